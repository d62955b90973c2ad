#include "TIFX/TIFX_NoltDirectory.h"

void TIFX_NoltDirectory::Reset() {
  Title.clear();
  NoltTagIntfVersion = NoltTagMinIntfVersion = 0;
  WorkStyle = 0;
  PluginIntfVersion = PluginMinIntfVersion = 0;
  DigVersion.clear();
  SourceMachine.clear();
  PrintTime.clear();
  ColorStr.clear();
  Color = 0;
  InterpretationTime = RenderingTime = CompressionRatio = 0;
  Scale = 1;
  NumPages = Signature = Surface = 0;
  PressSheetTop = PressSheetLeft = PressSheetBottom = PressSheetRight = 0;
  PsFileNum = PsFileCount = PsImageNum = PsLastImage = 0;
  PrintOrder = 0;
  ImpoTileWidth = ImpoTileHeight = 0;
  ImpoTileNumX = ImpoTileNumY = ImpoTileCountX = ImpoTileCountY = 0;
  ImpoTileOrientation = 0;
  Pages.clear();
  ColorSequence.clear();
  for (std::uint16_t& v : CMYKEquivalent)
    v = 0;
  RastColorOpacity.clear();
  Versions.clear();
  FieldSet[0] = FieldSet[1] = 0;
}

bool TIFX_NoltDirectory::FieldBitSet(NoltField field) const {
  const unsigned bit = static_cast<unsigned>(field);
  return bit < 64 && (FieldSet[bit / 32] & (1u << (bit % 32))) != 0;
}

void TIFX_NoltDirectory::SetFieldBit(NoltField field) {
  const unsigned bit = static_cast<unsigned>(field);
  if (bit < 64)
    FieldSet[bit / 32] |= 1u << (bit % 32);
}

void TIFX_NoltDirectory::ClearFieldBit(NoltField field) {
  const unsigned bit = static_cast<unsigned>(field);
  if (bit < 64)
    FieldSet[bit / 32] &= ~(1u << (bit % 32));
}
