// The private job directory of one IFD of a preview file: job title, signature, sheet surface,
// work style, press-sheet and imposition-tile geometry, per-page geometry with source clip paths,
// the ink's colour, opacities and CMYK equivalent, print order and time, and plate versions.
// A field the file does not carry keeps its reset value and leaves its field bit clear.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Field bits of TIFX_NoltDirectory; one per private tag, plus Pages (the page list exists).
enum class NoltField : unsigned {
  NoltTagIntfVersion = 0,
  NoltTagMinIntfVersion = 1,
  ImpoTileOrientation = 2,
  WorkStyle = 3,
  PluginIntfVersion = 4,
  PluginMinIntfVersion = 5,
  DigVersion = 6,
  SourceMachine = 7,
  PrintTime = 8,
  ColorStr = 9,
  Color = 10,
  InterpretationTime = 11,
  RenderingTime = 12,
  CompressionRatio = 13,
  Title = 14,
  Scale = 15,
  NumPages = 16,
  Signature = 17,
  Surface = 18,
  PressSheetTop = 19,
  PressSheetLeft = 20,
  PressSheetBottom = 21,
  PressSheetRight = 22,
  PsFileNum = 23,
  PsFileCount = 24,
  PsImageNum = 25,
  PsLastImage = 26,
  PrintOrder = 27,
  ImpoTileWidth = 28,
  ImpoTileHeight = 29,
  ImpoTileNumX = 30,
  ImpoTileNumY = 31,
  ImpoTileCountX = 32,
  ImpoTileCountY = 33,
  Pages = 34,
  PagePosnTop = 35,
  PagePosnLeft = 36,
  PagePosnBottom = 37,
  PagePosnRight = 38,
  PageBleedTop = 39,
  PageBleedLeft = 40,
  PageBleedBottom = 41,
  PageBleedRight = 42,
  PageMaxBleedTop = 43,
  PageMaxBleedLeft = 44,
  PageMaxBleedBottom = 45,
  PageMaxBleedRight = 46,
  PageOrientation = 47,
  PageNumber = 48,
  PageBottleX = 49,
  PageBottleY = 50,
  PageBottleAngle = 51,
  PageSourceClipPath = 52,
  Unused53 = 53,
  PageTypeSafetyTop = 54,
  PageTypeSafetyLeft = 55,
  PageTypeSafetyBottom = 56,
  PageTypeSafetyRight = 57,
  RastTintCalibInfo = 58,
  RastColorAbbrev = 59,
  RastColorOpacity = 60,
  Versions = 61,
  ColorSequence = 62,
  CMYKEquivalent = 63
};

struct TIFX_Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// One source clip path: its points in order.
using TIFX_SCPath = std::vector<TIFX_Point>;

// Geometry of one page in pixels of IFD 0; edges are inclusive.
struct TIFX_Page {
  std::uint16_t Number = 0;
  std::uint16_t Orientation = 0;  // 0 up, 1 down, 2 left, 3 right
  std::uint32_t PosnTop = 0;
  std::uint32_t PosnLeft = 0;
  std::uint32_t PosnBottom = 0;
  std::uint32_t PosnRight = 0;
  std::uint32_t BleedTop = 0;
  std::uint32_t BleedLeft = 0;
  std::uint32_t BleedBottom = 0;
  std::uint32_t BleedRight = 0;
  std::uint32_t MaxBleedTop = 0;
  std::uint32_t MaxBleedLeft = 0;
  std::uint32_t MaxBleedBottom = 0;
  std::uint32_t MaxBleedRight = 0;
  std::uint32_t BottleX = 0;
  std::uint32_t BottleY = 0;
  float BottleAngle = 0;  // degrees
  std::vector<TIFX_SCPath> SCPaths;
  std::uint32_t TypeSafetyTop = 0;
  std::uint32_t TypeSafetyLeft = 0;
  std::uint32_t TypeSafetyBottom = 0;
  std::uint32_t TypeSafetyRight = 0;
};

class TIFX_NoltDirectory {
public:
  TIFX_NoltDirectory() { Reset(); }

  void Reset();
  bool FieldBitSet(NoltField field) const;
  void SetFieldBit(NoltField field);
  void ClearFieldBit(NoltField field);

  std::string Title;
  std::uint32_t NoltTagIntfVersion;
  std::uint32_t NoltTagMinIntfVersion;
  std::uint16_t WorkStyle;  // 0 single sided, 1 sheetwise, 2 perfector, 3 work and turn,
                            // 4 work and tumble
  std::uint32_t PluginIntfVersion;
  std::uint32_t PluginMinIntfVersion;
  std::string DigVersion;
  std::string SourceMachine;
  std::string PrintTime;
  std::string ColorStr;
  std::uint16_t Color;  // 0 unknown, 1 cyan, 2 magenta, 3 yellow, 4 black, 5 red, 6 green, 7 blue
  float InterpretationTime;
  float RenderingTime;
  float CompressionRatio;
  std::uint16_t Scale;  // this image is 1 : Scale of IFD 0
  std::uint16_t NumPages;
  std::uint16_t Signature;
  std::uint16_t Surface;
  std::uint32_t PressSheetTop;
  std::uint32_t PressSheetLeft;
  std::uint32_t PressSheetBottom;
  std::uint32_t PressSheetRight;
  std::uint32_t PsFileNum;
  std::uint32_t PsFileCount;
  std::uint32_t PsImageNum;
  std::uint32_t PsLastImage;
  std::uint16_t PrintOrder;
  std::uint32_t ImpoTileWidth;
  std::uint32_t ImpoTileHeight;
  std::uint16_t ImpoTileNumX;
  std::uint16_t ImpoTileNumY;
  std::uint16_t ImpoTileCountX;
  std::uint16_t ImpoTileCountY;
  std::uint16_t ImpoTileOrientation;  // 0 up, 1 down, 2 left, 3 right
  std::vector<TIFX_Page> Pages;
  std::string ColorSequence;
  std::uint16_t CMYKEquivalent[4];  // C, M, Y, K; 65535 = 100 %
  std::vector<std::uint16_t> RastColorOpacity;
  std::vector<std::string> Versions;
  std::uint32_t FieldSet[2];
};
