#include "TIFX/iTIFX_Fields.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr bool kOne = false;
constexpr bool kVar = true;

}  // namespace

const iTIFX_FieldRow kTIFX_FieldTable[kTIFX_FieldCount] = {
    {34756, kTIFX_Byte, kVar, true, -1, "NoltIFD"},
    {34757, kTIFX_Byte, kVar, true, -1, "NoltReserved2"},
    {34758, kTIFX_Byte, kVar, true, -1, "NoltReserved3"},
    {34759, kTIFX_Byte, kVar, true, -1, "NoltReserved4"},
    {34760, kTIFX_Byte, kVar, true, -1, "NoltReserved5"},
    {10001, kTIFX_Float, kOne, false, 11, "InterpretationTime"},
    {10002, kTIFX_Float, kOne, false, 12, "RenderingTime"},
    {10003, kTIFX_Float, kOne, false, 13, "CompressionRatio"},
    {10004, kTIFX_Ascii, kVar, false, 14, "Title"},
    {10005, kTIFX_Short, kOne, false, 15, "Scale"},
    {10006, kTIFX_Long, kOne, false, 0, "NoltTagIntfVersion"},
    {10007, kTIFX_Long, kOne, false, 1, "NoltTagMinIntfVersion"},
    {10008, kTIFX_Short, kOne, false, 3, "WorkStyle"},
    {10009, kTIFX_Long, kOne, false, 4, "PluginIntfVersion"},
    {10010, kTIFX_Long, kOne, false, 5, "PluginMinIntfVersion"},
    {10011, kTIFX_Ascii, kVar, false, 6, "DigVersion"},
    {10012, kTIFX_Ascii, kVar, false, 7, "SourceMachine"},
    {10013, kTIFX_Ascii, kVar, false, 8, "PrintTime"},
    {10014, kTIFX_Ascii, kVar, false, 9, "ColorStr"},
    {10015, kTIFX_Short, kOne, false, 10, "Color"},
    {10016, kTIFX_Long, kOne, false, 19, "PressSheetTop"},
    {10017, kTIFX_Long, kOne, false, 20, "PressSheetLeft"},
    {10018, kTIFX_Long, kOne, false, 21, "PressSheetBottom"},
    {10019, kTIFX_Long, kOne, false, 22, "PressSheetRight"},
    {10020, kTIFX_Long, kOne, false, 23, "PsFileNum"},
    {10021, kTIFX_Long, kOne, false, 24, "PsFileCount"},
    {10022, kTIFX_Long, kOne, false, 25, "PsImageNum"},
    {10023, kTIFX_Long, kOne, false, 26, "PsLastImage"},
    {10024, kTIFX_Short, kOne, false, 27, "PrintOrder"},
    {11001, kTIFX_Short, kOne, false, 16, "Num Pages"},
    {11002, kTIFX_Short, kOne, false, 17, "Signature"},
    {11003, kTIFX_Short, kOne, false, 18, "Surface"},
    {11004, kTIFX_Long, kOne, false, 28, "ImpoTileWidth"},
    {11005, kTIFX_Long, kOne, false, 29, "ImpoTileHeight"},
    {11006, kTIFX_Short, kOne, false, 30, "ImpoTileNumX"},
    {11007, kTIFX_Short, kOne, false, 31, "ImpoTileNumY"},
    {11008, kTIFX_Short, kOne, false, 32, "ImpoTileCountX"},
    {11009, kTIFX_Short, kOne, false, 33, "ImpoTileCountY"},
    {11010, kTIFX_Short, kOne, false, 2, "ImpoTileOrientation"},
    {12001, kTIFX_Long, kVar, true, 35, "PagePosnTop"},
    {12002, kTIFX_Long, kVar, true, 36, "PagePosnLeft"},
    {12003, kTIFX_Long, kVar, true, 37, "PagePosnBottom"},
    {12004, kTIFX_Long, kVar, true, 38, "PagePosnRight"},
    {12005, kTIFX_Long, kVar, true, 39, "PageBleedTop"},
    {12006, kTIFX_Long, kVar, true, 40, "PageBleedLeft"},
    {12007, kTIFX_Long, kVar, true, 41, "PageBleedBottom"},
    {12008, kTIFX_Long, kVar, true, 42, "PageBleedRight"},
    {12009, kTIFX_Short, kVar, true, 47, "PageOrientation"},
    {12010, kTIFX_Short, kVar, true, 48, "PageNumber"},
    {12011, kTIFX_Long, kVar, true, 49, "PageBottleX"},
    {12012, kTIFX_Long, kVar, true, 50, "PageBottleY"},
    {12013, kTIFX_Float, kVar, true, 51, "PageBottleAngle"},
    {12014, kTIFX_Long, kVar, true, 43, "PageMaxBleedTop"},
    {12015, kTIFX_Long, kVar, true, 44, "PageMaxBleedLeft"},
    {12016, kTIFX_Long, kVar, true, 45, "PageMaxBleedBottom"},
    {12017, kTIFX_Long, kVar, true, 46, "PageMaxBleedRight"},
    {12018, kTIFX_Long, kVar, true, 52, "PageSourceClipPath"},
    {12020, kTIFX_Long, kVar, true, 54, "PageTypeSafetyTop"},
    {12021, kTIFX_Long, kVar, true, 55, "PageTypeSafetyLeft"},
    {12022, kTIFX_Long, kVar, true, 56, "PageTypeSafetyBottom"},
    {12023, kTIFX_Long, kVar, true, 57, "PageTypeSafetyRight"},
    {12288, kTIFX_Ascii, kVar, false, 58, "RastTintCalibInfo"},
    {12289, kTIFX_Byte, kVar, true, 59, "RastColorAbbrev"},
    {12290, kTIFX_Short, kVar, true, 60, "RastColorOpacity"},
    {12500, kTIFX_Byte, kVar, true, 61, "Versions"},
    {34017, kTIFX_Ascii, kVar, false, 62, "ColorSequence"},
    {34032, kTIFX_Short, kVar, true, 63, "CMYKEquivalent"},
};

iTIFX_FieldRow const* iTIFX_FindRow(std::uint32_t tag) {
  for (iTIFX_FieldRow const& row : kTIFX_FieldTable)
    if (row.tag == tag)
      return &row;
  return nullptr;
}

std::uint32_t iTIFX_TypeSize(std::uint16_t type) {
  switch (type) {
    case kTIFX_Byte:
    case kTIFX_Ascii:
    case kTIFX_SByte:
    case kTIFX_Undefined:
      return 1;
    case kTIFX_Short:
    case kTIFX_SShort:
      return 2;
    case kTIFX_Long:
    case kTIFX_SLong:
    case kTIFX_Float:
      return 4;
    case kTIFX_Rational:
    case kTIFX_SRational:
    case kTIFX_Double:
      return 8;
    default:
      return 0;
  }
}

std::size_t iTIFX_FieldValue::Count() const {
  if (isText)
    return text.size();
  return isReal ? reals.size() : integers.size();
}

std::uint32_t iTIFX_FieldValue::U32(std::size_t i) const {
  if (!isReal)
    return integers[i];
  // Out-of-range and NaN values must not reach the conversion.
  const double v = reals[i];
  if (!(v > 0))
    return 0;
  if (v >= 4294967295.0)
    return 0xFFFFFFFFu;
  return static_cast<std::uint32_t>(v);
}

float iTIFX_FieldValue::F32(std::size_t i) const {
  return isReal ? static_cast<float>(reals[i]) : static_cast<float>(integers[i]);
}

namespace {

std::uint64_t Unsigned(std::uint8_t const* p, unsigned size, bool bigEndian) {
  std::uint64_t v = 0;
  for (unsigned i = 0; i < size; ++i) {
    const unsigned shift = 8 * (bigEndian ? size - 1 - i : i);
    v |= static_cast<std::uint64_t>(p[i]) << shift;
  }
  return v;
}

std::uint32_t SignExtended(std::uint64_t v, unsigned size) {
  const unsigned bits = 8 * size;
  const std::uint64_t sign = std::uint64_t{1} << (bits - 1);
  if (v & sign)
    v |= ~((sign << 1) - 1);
  return static_cast<std::uint32_t>(v);
}

double Signed32(std::uint64_t v) {
  const std::uint32_t u = static_cast<std::uint32_t>(v);
  return u & 0x80000000u ? -static_cast<double>(~u) - 1.0 : static_cast<double>(u);
}

}  // namespace

iTIFX_FieldValue iTIFX_DecodeValues(std::uint16_t type, std::uint32_t count,
                                    std::uint8_t const* bytes, bool bigEndian) {
  iTIFX_FieldValue value;
  const unsigned size = iTIFX_TypeSize(type);
  if (type == kTIFX_Ascii) {
    value.isText = true;
    const char* text = reinterpret_cast<const char*>(bytes);
    value.text.assign(text, std::find(text, text + count, '\0'));
    return value;
  }
  for (std::uint32_t i = 0; i < count && size != 0; ++i) {
    std::uint8_t const* p = bytes + static_cast<std::size_t>(i) * size;
    switch (type) {
      case kTIFX_SByte:
      case kTIFX_SShort:
      case kTIFX_SLong:
        value.integers.push_back(SignExtended(Unsigned(p, size, bigEndian), size));
        break;
      case kTIFX_Float: {
        const std::uint32_t bits = static_cast<std::uint32_t>(Unsigned(p, 4, bigEndian));
        float f;
        std::memcpy(&f, &bits, 4);
        value.reals.push_back(f);
        break;
      }
      case kTIFX_Double: {
        const std::uint64_t bits = Unsigned(p, 8, bigEndian);
        double d;
        std::memcpy(&d, &bits, 8);
        value.reals.push_back(d);
        break;
      }
      case kTIFX_Rational:
      case kTIFX_SRational: {
        const std::uint64_t n = Unsigned(p, 4, bigEndian), d = Unsigned(p + 4, 4, bigEndian);
        const bool isSigned = type == kTIFX_SRational;
        const double num = isSigned ? Signed32(n) : static_cast<double>(n);
        const double den = isSigned ? Signed32(d) : static_cast<double>(d);
        value.reals.push_back(den != 0 ? num / den : 0.0);
        break;
      }
      default:
        value.integers.push_back(static_cast<std::uint32_t>(Unsigned(p, size, bigEndian)));
        break;
    }
  }
  value.isReal = type == kTIFX_Float || type == kTIFX_Double || type == kTIFX_Rational ||
                 type == kTIFX_SRational;
  return value;
}

namespace {

using U32Member = std::uint32_t TIFX_Page::*;

U32Member PageMember(std::uint32_t tag) {
  switch (tag) {
    case 12001:
      return &TIFX_Page::PosnTop;
    case 12002:
      return &TIFX_Page::PosnLeft;
    case 12003:
      return &TIFX_Page::PosnBottom;
    case 12004:
      return &TIFX_Page::PosnRight;
    case 12005:
      return &TIFX_Page::BleedTop;
    case 12006:
      return &TIFX_Page::BleedLeft;
    case 12007:
      return &TIFX_Page::BleedBottom;
    case 12008:
      return &TIFX_Page::BleedRight;
    case 12011:
      return &TIFX_Page::BottleX;
    case 12012:
      return &TIFX_Page::BottleY;
    case 12014:
      return &TIFX_Page::MaxBleedTop;
    case 12015:
      return &TIFX_Page::MaxBleedLeft;
    case 12016:
      return &TIFX_Page::MaxBleedBottom;
    case 12017:
      return &TIFX_Page::MaxBleedRight;
    case 12020:
      return &TIFX_Page::TypeSafetyTop;
    case 12021:
      return &TIFX_Page::TypeSafetyLeft;
    case 12022:
      return &TIFX_Page::TypeSafetyBottom;
    case 12023:
      return &TIFX_Page::TypeSafetyRight;
    default:
      return nullptr;
  }
}

// For every page: the number of paths, then for every path the number of points and the
// points as (x, y) pairs. The whole array is checked against its own counts before anything
// is stored.
bool ApplyClipPaths(TIFX_NoltDirectory& dir, iTIFX_FieldValue const& v) {
  const std::size_t n = v.Count();
  std::size_t pos = 0;
  std::vector<std::vector<TIFX_SCPath>> paths(dir.Pages.size());
  for (std::vector<TIFX_SCPath>& pagePaths : paths) {
    if (pos >= n)
      return false;
    const std::uint32_t pathCount = v.U32(pos++);
    for (std::uint32_t k = 0; k < pathCount; ++k) {
      if (pos >= n)
        return false;
      const std::uint64_t points = v.U32(pos++);
      if (points * 2 > n - pos)
        return false;
      TIFX_SCPath path;
      path.reserve(static_cast<std::size_t>(points));
      for (std::uint64_t m = 0; m < points; ++m, pos += 2)
        path.push_back(
            {static_cast<std::int32_t>(v.U32(pos)), static_cast<std::int32_t>(v.U32(pos + 1))});
      pagePaths.push_back(std::move(path));
    }
  }
  for (std::size_t p = 0; p < paths.size(); ++p)
    for (TIFX_SCPath& path : paths[p])
      dir.Pages[p].SCPaths.push_back(std::move(path));
  return true;
}

// Names end at each zero byte; bytes after the last zero byte make no name.
void ApplyVersions(TIFX_NoltDirectory& dir, iTIFX_FieldValue const& v) {
  std::string name;
  for (std::size_t i = 0; i < v.Count(); ++i) {
    const char c = static_cast<char>(v.U32(i) & 0xFF);
    if (c != 0) {
      name += c;
    } else {
      dir.Versions.push_back(name);
      name.clear();
    }
  }
}

template <class Member>
void ForEachPage(TIFX_NoltDirectory& dir, iTIFX_FieldValue const& v, Member store) {
  const std::size_t n = std::min(v.Count(), dir.Pages.size());
  for (std::size_t i = 0; i < n; ++i)
    store(dir.Pages[i], i);
}

bool StoreSingle(TIFX_NoltDirectory& dir, std::uint32_t tag, iTIFX_FieldValue const& v) {
  const std::uint32_t u = v.U32(0);
  const std::uint16_t s = static_cast<std::uint16_t>(u);
  switch (tag) {
    case 10001:
      dir.InterpretationTime = v.F32(0);
      break;
    case 10002:
      dir.RenderingTime = v.F32(0);
      break;
    case 10003:
      dir.CompressionRatio = v.F32(0);
      break;
    case 10005:
      dir.Scale = s;
      break;
    case 10006:
      dir.NoltTagIntfVersion = u;
      break;
    case 10007:
      dir.NoltTagMinIntfVersion = u;
      break;
    case 10008:
      dir.WorkStyle = s;
      break;
    case 10009:
      dir.PluginIntfVersion = u;
      break;
    case 10010:
      dir.PluginMinIntfVersion = u;
      break;
    case 10015:
      dir.Color = s;
      break;
    case 10016:
      dir.PressSheetTop = u;
      break;
    case 10017:
      dir.PressSheetLeft = u;
      break;
    case 10018:
      dir.PressSheetBottom = u;
      break;
    case 10019:
      dir.PressSheetRight = u;
      break;
    case 10020:
      dir.PsFileNum = u;
      break;
    case 10021:
      dir.PsFileCount = u;
      break;
    case 10022:
      dir.PsImageNum = u;
      break;
    case 10023:
      dir.PsLastImage = u;
      break;
    case 10024:
      dir.PrintOrder = s;
      break;
    case 11001:
      // The page list never grows past what one count can name, whatever a file repeats.
      if (dir.Pages.size() + s > 0xFFFF)
        return false;
      dir.NumPages = s;
      dir.Pages.resize(dir.Pages.size() + s);
      dir.SetFieldBit(NoltField::Pages);
      break;
    case 11002:
      dir.Signature = s;
      break;
    case 11003:
      dir.Surface = s;
      break;
    case 11004:
      dir.ImpoTileWidth = u;
      break;
    case 11005:
      dir.ImpoTileHeight = u;
      break;
    case 11006:
      dir.ImpoTileNumX = s;
      break;
    case 11007:
      dir.ImpoTileNumY = s;
      break;
    case 11008:
      dir.ImpoTileCountX = s;
      break;
    case 11009:
      dir.ImpoTileCountY = s;
      break;
    case 11010:
      dir.ImpoTileOrientation = s;
      break;
    default:
      return false;
  }
  return true;
}

bool StoreText(TIFX_NoltDirectory& dir, std::uint32_t tag, std::string const& text) {
  switch (tag) {
    case 10004:
      dir.Title = text;
      break;
    case 10011:
      dir.DigVersion = text;
      break;
    case 10012:
      dir.SourceMachine = text;
      break;
    case 10013:
      dir.PrintTime = text;
      break;
    case 10014:
      dir.ColorStr = text;
      break;
    case 34017:
      dir.ColorSequence = text;
      break;
    case 12288:
      break;  // kept only as present
    default:
      return false;
  }
  return true;
}

bool StoreArray(TIFX_NoltDirectory& dir, std::uint32_t tag, iTIFX_FieldValue const& v) {
  if (U32Member member = PageMember(tag)) {
    ForEachPage(dir, v, [&](TIFX_Page& page, std::size_t i) { page.*member = v.U32(i); });
    return true;
  }
  switch (tag) {
    case 12009:
      ForEachPage(dir, v, [&](TIFX_Page& p, std::size_t i) {
        p.Orientation = static_cast<std::uint16_t>(v.U32(i));
      });
      return true;
    case 12010:
      ForEachPage(dir, v, [&](TIFX_Page& p, std::size_t i) {
        p.Number = static_cast<std::uint16_t>(v.U32(i));
      });
      return true;
    case 12013:
      ForEachPage(dir, v, [&](TIFX_Page& p, std::size_t i) { p.BottleAngle = v.F32(i); });
      return true;
    case 12018:
      return ApplyClipPaths(dir, v);
    case 12289:
      return true;  // kept only as present
    case 12290:
      for (std::size_t i = 0; i < v.Count(); ++i)
        dir.RastColorOpacity.push_back(static_cast<std::uint16_t>(v.U32(i)));
      return true;
    case 12500:
      ApplyVersions(dir, v);
      return true;
    case 34032:
      if (v.Count() < 4)
        return false;
      for (std::size_t i = 0; i < 4; ++i)
        dir.CMYKEquivalent[i] = static_cast<std::uint16_t>(v.U32(i));
      return true;
    default:
      return false;
  }
}

}  // namespace

bool iTIFX_ApplyField(TIFX_NoltDirectory& dir, std::uint32_t tag, iTIFX_FieldValue const& value) {
  iTIFX_FieldRow const* row = iTIFX_FindRow(tag);
  if (!row || row->bit < 0)
    return false;
  const bool textRow = row->type == kTIFX_Ascii;
  if (textRow != value.isText)
    return false;
  bool stored = false;
  if (textRow)
    stored = StoreText(dir, tag, value.text);
  else if (row->variable)
    stored = StoreArray(dir, tag, value);
  else
    stored = value.Count() >= 1 && StoreSingle(dir, tag, value);
  if (stored)
    dir.SetFieldBit(static_cast<NoltField>(row->bit));
  return stored;
}

namespace {

// The out-of-line values of one directory usually lie together: one read of the span that holds
// them all replaces a read per value. Values outside the span, or all of them when the span
// cannot be read, are read one by one.
class ValueWindow {
public:
  static constexpr std::uint64_t kMaxSpan = 256 * 1024;

  explicit ValueWindow(iTIFX_ByteSource& file) : m_File(file) {}

  void Include(std::uint64_t offset, std::uint64_t bytes) {
    m_First = std::min(m_First, offset);
    m_End = std::max(m_End, offset + bytes);
  }

  void Load() {
    if (m_End <= m_First || m_End - m_First > kMaxSpan)
      return;
    m_Bytes.resize(static_cast<std::size_t>(m_End - m_First));
    if (!m_File.Read(m_First, m_Bytes.size(), m_Bytes.data()))
      m_Bytes.clear();
  }

  // The bytes at offset, from the window or else from the file into scratch; null when absent.
  std::uint8_t const* Bytes(std::uint64_t offset, std::uint64_t bytes,
                            std::vector<std::uint8_t>& scratch) {
    if (!m_Bytes.empty() && offset >= m_First && offset + bytes <= m_First + m_Bytes.size())
      return m_Bytes.data() + (offset - m_First);
    scratch.resize(static_cast<std::size_t>(bytes));
    return m_File.Read(offset, scratch.size(), scratch.data()) ? scratch.data() : nullptr;
  }

private:
  iTIFX_ByteSource& m_File;
  std::uint64_t m_First = UINT64_MAX;
  std::uint64_t m_End = 0;
  std::vector<std::uint8_t> m_Bytes;
};

struct EmbeddedEntry {
  std::uint32_t tag;
  std::uint16_t type;
  std::uint32_t count;
  std::uint8_t const* field;
  std::uint64_t bytes;
};

EmbeddedEntry EntryAt(std::uint8_t const* block, std::size_t i, bool bigEndian) {
  std::uint8_t const* entry = block + 2 + 12 * i;
  EmbeddedEntry e;
  e.tag = static_cast<std::uint32_t>(Unsigned(entry, 2, bigEndian));
  e.type = static_cast<std::uint16_t>(Unsigned(entry + 2, 2, bigEndian));
  e.count = static_cast<std::uint32_t>(Unsigned(entry + 4, 4, bigEndian));
  e.field = entry + 8;
  e.bytes = static_cast<std::uint64_t>(e.count) * iTIFX_TypeSize(e.type);
  return e;
}

// Whether the entry is one of ours with a type whose size is known.
bool Wanted(EmbeddedEntry const& e) {
  iTIFX_FieldRow const* row = iTIFX_FindRow(e.tag);
  return row && row->bit >= 0 && iTIFX_TypeSize(e.type) != 0;
}

}  // namespace

bool iTIFX_ParseEmbeddedDirectory(std::uint8_t const* block, std::size_t size, bool bigEndian,
                                  iTIFX_ByteSource& file, TIFX_NoltDirectory& dir) {
  if (size < 2)
    return false;
  const std::size_t entries = static_cast<std::size_t>(Unsigned(block, 2, bigEndian));
  if (2 + 12 * entries > size)
    return false;
  const std::uint64_t fileSize = file.Size();
  auto outOfLineOffset = [&](EmbeddedEntry const& e, std::uint64_t* offset) {
    *offset = Unsigned(e.field, 4, bigEndian);
    return *offset <= fileSize && e.bytes <= fileSize - *offset;
  };
  ValueWindow window(file);
  for (std::size_t i = 0; i < entries; ++i) {
    const EmbeddedEntry e = EntryAt(block, i, bigEndian);
    std::uint64_t offset = 0;
    if (Wanted(e) && e.bytes > 4 && outOfLineOffset(e, &offset))
      window.Include(offset, e.bytes);
  }
  window.Load();
  std::vector<std::uint8_t> scratch;
  for (std::size_t i = 0; i < entries; ++i) {
    const EmbeddedEntry e = EntryAt(block, i, bigEndian);
    if (!Wanted(e))
      continue;
    if (e.bytes <= 4) {
      iTIFX_ApplyField(dir, e.tag, iTIFX_DecodeValues(e.type, e.count, e.field, bigEndian));
      continue;
    }
    std::uint64_t offset = 0;
    if (!outOfLineOffset(e, &offset))
      continue;
    std::uint8_t const* data = window.Bytes(offset, e.bytes, scratch);
    if (!data)
      continue;
    iTIFX_ApplyField(dir, e.tag, iTIFX_DecodeValues(e.type, e.count, data, bigEndian));
  }
  return true;
}
