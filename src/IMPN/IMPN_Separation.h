#pragma once
#include "IMPN/IMPN_BitMap.h"
#include "IMPN/IMPN_Color.h"
#include "IMPN/IMPN_Geometry.h"
#include "IMPN/IMPN_Ink.h"
#include "IMPN/IMPN_Node.h"
#include "TIFX/TIFX_KRXFile.h"
#include "USTR/USTR_String.h"

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

// One preview file: one ink plate of one surface of one press sheet. It copies what the job
// model needs out of the file and keeps a file object of its own for reading tiles later.
// Reads never throw: a file that fails (even one deleted since) gives -1 or counts nothing.
class IMPN_Separation : public IMPN_Node {
public:
  // Cached content of one tile of the full-resolution image.
  enum TileState {
    kTileUnknown = 0,
    kTileBlank = 1,  // every byte 0x00
    kTileFull = 2,   // every byte 0xFF
    kTileMixed = 4,
    kTileOutside = 128  // answer for a pixel beyond the last tile
  };

  typedef std::bitset<1024> VersionMask;

  // file is open; its current directory may change on the way and is IFD 0 afterwards.
  // Throws TIFX_TagNotFoundException when an image or tile dimension or resolution is missing.
  explicit IMPN_Separation(TIFX_KRXFile& file);
  ~IMPN_Separation() override;

  // The first of IFD 1 and IFD 2 that is 8-bit, else 1. Leaves another directory current.
  static std::uint16_t FindThumbnailDirectory(TIFX_KRXFile& file);

  void Clear() override {}
  void SelectRecent() override {}
  void SelectChildren(IMPN_ButtonState) override {}
  void UpdateParentSelections() override;
  int CompareTo(IMPN_Node const* other, SortKey key) override;
  void Print(long level) override;
  std::string ToString() const override;
  void Add(TIFX_KRXFile&) override {}

  // Resolves the ink, forgets the tile states and takes a new time stamp, which it returns.
  std::uint32_t Init();
  void InitInk();
  void SetInk(IMPN_Ink const& ink);
  // Visibility changes what the compositor draws, so it stamps the separation too.
  void SetVisible(bool visible);
  void CloseFile();

  long GetTileState(unsigned long x, unsigned long y) const;
  // The 1-bit tile holding pixel (x, y); buffer holds (tile width / 8) x tile length bytes.
  // 1 for a blank or full tile (its first byte tells which), else the byte count; -1 on failure.
  long GetTile(void* buffer, unsigned long x, unsigned long y);
  // Read from the file again; the getters of the same values below need no file access.
  void GetImageDimensions(long& width, long& length, long& tileWidth, long& tileLength);
  void GetThumbnailDimensions(long& width, long& length, long& tileWidth, long& tileLength);
  long GetThumbnailScale();
  // The whole 8-bit thumbnail into a new buffer the bitmap then owns; the byte count, or -1
  // with an empty bitmap when any part of it cannot be read.
  long GetThumbnail(IMPN_BitMap& bitmap, long& width, long& length);
  // Fraction of inked pixels inside rect (full-resolution pixels).
  float CalculateInkDensity(IMPN_RectT<long> const& rect);
  bool HasVersion(USTR_String const& name) const;

  GFIL_FileSpec const& GetFileSpec() const { return m_File; }
  // IFD 0 as it was when the separation was made.
  std::uint32_t GetImageWidth() const { return m_ImageWidth; }
  std::uint32_t GetImageLength() const { return m_ImageLength; }
  long GetTileWidth() const { return m_TileWidth; }
  long GetTileLength() const { return m_TileLength; }
  long GetTilesAcross() const { return m_TilesAcross; }
  long GetTilesDown() const { return m_TilesDown; }
  long GetTileCount() const { return m_TileCount; }
  float GetResolution() const { return m_Resolution; }  // x
  float GetYResolution() const { return m_YResolution; }
  std::uint16_t GetPrintOrder() const { return m_PrintOrder; }
  std::uint16_t GetColorCode() const { return m_ColorCode; }
  std::string const& GetInkName() const { return m_InkName; }
  std::string const& GetPrintTime() const { return m_PrintTime; }
  // Looked up on first use: registering a file then reads no directory beyond what the
  // preview-file test read already.
  std::uint16_t GetThumbnailDirectory();
  std::string const& GetTitle() const { return m_Title; }
  long GetSignature() const { return m_Signature; }
  long GetSheetNumber() const { return m_SheetNumber; }
  bool IsFront() const { return m_Front; }
  std::uint64_t GetPressSheetArea() const { return m_PressSheetArea; }
  bool HasVersions() const { return m_HasVersions; }
  bool IsCommonToAllVersions() const { return m_CommonToAllVersions; }
  std::vector<USTR_String> const& GetVersionNames() const { return m_VersionNames; }
  VersionMask const& GetVersionMask() const { return m_VersionMask; }
  void SetVersionMask(VersionMask const& mask) { m_VersionMask = mask; }
  IMPN_Ink const& GetInk() const { return m_DisplayInk; }
  IMPN_Ink const& GetFileInk() const { return m_FileInk; }
  bool HasCMYKEquivalent() const { return m_HasCMYKEquivalent; }
  IMPN_CMYKColor16 const& GetCMYKEquivalent() const { return m_CMYKEquivalent; }
  bool IsVisible() const { return m_Visible; }
  std::uint32_t GetTimeStamp() const { return m_TimeStamp; }
  void SetTimeStamp(std::uint32_t stamp) { m_TimeStamp = stamp; }
  bool IsTransparent() const { return m_Transparent; }
  // The lay-down changes what the compositor draws, so it stamps the separation too.
  void SetTransparent(bool transparent);
  std::uint64_t GetPrintTimeSeconds() const;

private:
  IMPN_Separation(IMPN_Separation const&) = delete;
  IMPN_Separation& operator=(IMPN_Separation const&) = delete;

  void ReadFileInkSources(TIFX_KRXFile& file);
  void ReadVersions(TIFX_NoltDirectory const& directory);
  // Opens the own file when needed and makes the directory current; throws TIFX_Exception.
  void SelectDirectory(std::uint16_t index);
  long TileIndex(unsigned long x, unsigned long y) const;
  long ReadTileOrFail(void* buffer, unsigned long x, unsigned long y);
  void ReadDimensions(std::uint16_t directory, long& width, long& length, long& tileWidth,
                      long& tileLength);
  long ReadThumbnailTiles(std::uint8_t* pixels, long paddedWidth, long paddedLength, long tileWidth,
                          long tileLength);

  std::vector<long> m_TileStates;
  std::uint32_t m_ImageWidth;
  std::uint32_t m_ImageLength;
  long m_TileWidth;
  long m_TileLength;
  long m_TilesAcross;
  long m_TilesDown;
  long m_TileCount;
  float m_Resolution;
  float m_YResolution;
  std::uint16_t m_PrintOrder;
  std::uint16_t m_ColorCode;
  std::string m_InkName;
  std::string m_PrintTime;
  std::uint16_t m_ThumbnailDirectory;  // 0 until looked up
  std::string m_Title;
  long m_Signature;
  long m_SheetNumber;
  bool m_Front;
  // 64-bit: a plate of 100 000 x 70 000 pixels does not fit 32 bits.
  std::uint64_t m_PressSheetArea;
  bool m_HasVersions;
  bool m_CommonToAllVersions;
  std::vector<USTR_String> m_VersionNames;
  VersionMask m_VersionMask;
  TIFX_KRXFile m_File;
  IMPN_Ink m_DisplayInk;
  IMPN_Ink m_FileInk;
  IMPN_CMYKColor16 m_CMYKEquivalent;
  bool m_Visible;
  bool m_HasCMYKEquivalent;
  std::uint32_t m_TimeStamp;
  bool m_Transparent;

  // What the file says about its ink, kept from construction so that resolving the ink
  // later needs no file access.
  bool m_FileHasCMYKEquivalent;
  IMPN_CMYKColor16 m_FileCMYKEquivalent;
  std::vector<std::uint16_t> m_FileOpacities;
};
