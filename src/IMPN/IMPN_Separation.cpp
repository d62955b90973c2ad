#include "IMPN/IMPN_Separation.h"

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_Math.h"
#include "GLIB/GLIB_String.h"
#include "GLIB/GLIB_StringUtils.h"
#include "IMPN/IMPN_ColorDatabase.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Tools.h"
#include "IMPN/iIMPN_Compare.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <limits>
#include <memory>

namespace {
// Set bits of every byte value; pixel 0 is the most significant bit.
struct SetBitTable {
  SetBitTable() {
    for (int v = 0; v < 256; ++v) {
      int n = 0;
      for (int b = v; b != 0; b >>= 1)
        n += b & 1;
      count[v] = static_cast<std::uint8_t>(n);
    }
  }
  std::uint8_t count[256];
};

SetBitTable const kSetBits;

// Set bits of one tile row from pixel offset over width pixels.
std::uint64_t CountRowBits(std::uint8_t const* row, long offset, long width) {
  long const firstByte = offset / 8;
  long const lastByte = (offset + width - 1) / 8;
  std::uint8_t const firstMask = static_cast<std::uint8_t>(0xFF >> (offset % 8));
  std::uint8_t const lastMask = static_cast<std::uint8_t>(0xFF << (7 - (offset + width - 1) % 8));
  if (firstByte == lastByte)
    return kSetBits.count[row[firstByte] & firstMask & lastMask];
  std::uint64_t count = kSetBits.count[row[firstByte] & firstMask];
  for (long i = firstByte + 1; i < lastByte; ++i)
    count += kSetBits.count[row[i]];
  return count + kSetBits.count[row[lastByte] & lastMask];
}

// a - b of the whole parts, as an int; a file may state any resolution.
int TruncatedDifference(float a, float b) {
  std::int64_t const difference = std::int64_t{MATH_Truncate(a)} - MATH_Truncate(b);
  return static_cast<int>(MATH_Clamp<std::int64_t>(difference, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

std::int64_t CeilDiv(std::int64_t value, std::int64_t divisor) {
  return (value + divisor - 1) / divisor;
}

// Rounds down to a multiple of step, also for negative values.
long FloorToMultiple(long value, long step) {
  long q = value / step;
  if (value % step != 0 && value < 0)
    --q;
  return q * step;
}

// Runs a read of a separation's file. Reads never throw: a file that fails, or one the file
// system cannot reach any more (deleted since it was listed), gives the fallback.
template <typename Result, typename Read>
Result ReadQuietly(Result fallback, Read read) {
  try {
    return read();
  } catch (TIFX_Exception const&) {
  } catch (GLIB_Exception const&) {
  }
  return fallback;
}
}  // namespace

IMPN_Separation::IMPN_Separation(TIFX_KRXFile& file)
    : m_ImageWidth(0),
      m_ImageLength(0),
      m_TileWidth(0),
      m_TileLength(0),
      m_TilesAcross(0),
      m_TilesDown(0),
      m_TileCount(0),
      m_Resolution(0),
      m_YResolution(0),
      m_PrintOrder(0),
      m_ColorCode(0),
      m_ThumbnailDirectory(0),
      m_Signature(0),
      m_SheetNumber(1),
      m_Front(true),
      m_PressSheetArea(0),
      m_HasVersions(false),
      m_CommonToAllVersions(false),
      m_File(file),
      m_Visible(true),
      m_HasCMYKEquivalent(false),
      m_TimeStamp(0),
      m_Transparent(true),
      m_FileHasCMYKEquivalent(false) {
  file.SelectImageDirectory();

  std::uint32_t const tileWidth = file.GetTag<std::uint32_t>(kTIFX_TagTileWidth);
  std::uint32_t const tileLength = file.GetTag<std::uint32_t>(kTIFX_TagTileLength);
  m_Resolution = file.GetTag<float>(kTIFX_TagXResolution);
  m_YResolution = file.GetTag<float>(kTIFX_TagYResolution);
  file.GetTag<std::uint16_t>(kTIFX_TagResolutionUnit);
  m_ImageWidth = file.GetTag<std::uint32_t>(kTIFX_TagImageWidth);
  m_ImageLength = file.GetTag<std::uint32_t>(kTIFX_TagImageLength);
  if (tileWidth == 0 || tileLength == 0)
    throw TIFX_Exception(kTIFX_FileIOError, "Tile size is zero", __FILE__, __LINE__);
  // In 64 bits: sizes and counts must fit a long, which has 32 bits on Windows.
  std::uint64_t const across = (std::uint64_t{m_ImageWidth} + tileWidth - 1) / tileWidth;
  std::uint64_t const down = (std::uint64_t{m_ImageLength} + tileLength - 1) / tileLength;
  std::uint64_t const longMax = static_cast<std::uint64_t>(std::numeric_limits<long>::max());
  if (std::uint64_t{tileWidth} > longMax || std::uint64_t{tileLength} > longMax ||
      across * down > longMax)
    throw TIFX_Exception(kTIFX_FileIOError, "Too many tiles", __FILE__, __LINE__);
  m_TileWidth = static_cast<long>(tileWidth);
  m_TileLength = static_cast<long>(tileLength);
  m_TilesAcross = static_cast<long>(across);
  m_TilesDown = static_cast<long>(down);
  m_TileCount = static_cast<long>(across * down);

  TIFX_NoltDirectory const& directory = file.GetPrivateDirectory();
  m_PrintOrder = directory.PrintOrder;
  m_ColorCode = directory.Color;
  m_InkName = directory.ColorStr;
  m_PrintTime = directory.PrintTime;
  m_Title = directory.Title;
  m_Signature = directory.Signature;
  m_SheetNumber = directory.Surface / 2 + 1;
  m_Front = directory.Surface % 2 == 0;
  // Edges given the wrong way round make no area rather than a huge one.
  std::uint64_t const sheetLength = directory.PressSheetBottom > directory.PressSheetTop
                                        ? directory.PressSheetBottom - directory.PressSheetTop
                                        : 0;
  std::uint64_t const sheetWidth = directory.PressSheetRight > directory.PressSheetLeft
                                       ? directory.PressSheetRight - directory.PressSheetLeft
                                       : 0;
  m_PressSheetArea = sheetLength * sheetWidth;
  ReadVersions(directory);
  ReadFileInkSources(file);
  // Named from the start; the colour follows when the ink is resolved.
  m_FileInk.SetName(m_InkName);
  m_DisplayInk.SetName(m_InkName);
}

IMPN_Separation::~IMPN_Separation() = default;

std::uint16_t IMPN_Separation::FindThumbnailDirectory(TIFX_KRXFile& file) {
  for (std::uint16_t index = 1; index <= 2; ++index) {
    if (file.SetDirectory(index) && file.GetTag<std::uint16_t>(kTIFX_TagBitsPerSample) == 8)
      return index;
  }
  return 1;
}

std::uint16_t IMPN_Separation::GetThumbnailDirectory() {
  if (m_ThumbnailDirectory == 0) {
    // A failed look-up is tried again next time.
    m_ThumbnailDirectory = ReadQuietly<std::uint16_t>(0, [this] {
      m_File.Open();
      return FindThumbnailDirectory(m_File);
    });
  }
  return m_ThumbnailDirectory != 0 ? m_ThumbnailDirectory : 1;
}

void IMPN_Separation::ReadVersions(TIFX_NoltDirectory const& directory) {
  m_HasVersions = directory.FieldBitSet(NoltField::Versions);
  m_CommonToAllVersions = directory.Versions.size() == 1 && directory.Versions[0].empty();
  if (!m_HasVersions || m_CommonToAllVersions)
    return;
  for (std::string const& name : directory.Versions)
    m_VersionNames.push_back(USTR_String(GLIB_WStringFromUTF8(name).c_str()));
}

void IMPN_Separation::ReadFileInkSources(TIFX_KRXFile& file) {
  try {
    char const* inkNames = file.GetTag<char const*>(kTIFX_TagInkNames);
    if (inkNames && m_InkName == inkNames) {
      std::uint16_t const* cmyk = file.GetCMYKEquivalent();
      m_FileCMYKEquivalent = IMPN_CMYKColor16(cmyk[0], cmyk[1], cmyk[2], cmyk[3]);
      m_FileHasCMYKEquivalent = true;
    }
  } catch (TIFX_TagNotFoundException const&) {
    // No ink names or no CMYK equivalent: the colour comes from the databases.
  }
  m_FileOpacities = file.GetPrivateDirectory().RastColorOpacity;
}

std::uint32_t IMPN_Separation::Init() {
  InitInk();
  m_TileStates.assign(static_cast<std::size_t>(m_TileCount), kTileUnknown);
  m_TimeStamp = IMPN_Registry::GetNewTimeStamp();
  return m_TimeStamp;
}

void IMPN_Separation::InitInk() {
  IMPN_RGBColor8 colour;
  bool found = false;
  m_HasCMYKEquivalent = m_FileHasCMYKEquivalent;
  if (m_HasCMYKEquivalent) {
    m_CMYKEquivalent = m_FileCMYKEquivalent;
    colour = IMPN_ColorDatabase::IMPNCMYKToRGB(m_CMYKEquivalent);
    found = true;
  }
  if (!m_FileOpacities.empty())
    m_Transparent = m_FileOpacities[0] == 0;
  if (!found)
    found = IMPN_ColorDatabase::GetPantoneRecipe(colour, m_InkName) ||
            IMPN_ColorDatabase::GetUserRecipe(colour, m_InkName);
  if (found) {
    m_FileInk.SetColor(m_InkName.c_str(), colour, 100);
  } else {
    m_FileInk.SetColor(m_InkName.c_str(), IMPN_Ink::sm_DefaultColor, 100);
    m_FileInk.SetUnknown(true);
  }
  m_DisplayInk = m_FileInk;
  CloseFile();
}

void IMPN_Separation::SetInk(IMPN_Ink const& ink) {
  m_DisplayInk = ink;
  m_TimeStamp = IMPN_Registry::GetNewTimeStamp();
}

void IMPN_Separation::SetVisible(bool visible) {
  m_Visible = visible;
  m_TimeStamp = IMPN_Registry::GetNewTimeStamp();
}

void IMPN_Separation::SetTransparent(bool transparent) {
  m_Transparent = transparent;
  m_TimeStamp = IMPN_Registry::GetNewTimeStamp();
}

void IMPN_Separation::CloseFile() {
  m_File.Close();
}

void IMPN_Separation::SelectDirectory(std::uint16_t index) {
  m_File.Open();
  if (!m_File.SelectDirectoryIfNeeded(index))
    throw TIFX_Exception(kTIFX_FileIOError, "Directory cannot be read", __FILE__, __LINE__);
}

long IMPN_Separation::TileIndex(unsigned long x, unsigned long y) const {
  unsigned long const column = x / static_cast<unsigned long>(m_TileWidth);
  unsigned long const row = y / static_cast<unsigned long>(m_TileLength);
  if (column >= static_cast<unsigned long>(m_TilesAcross) ||
      row >= static_cast<unsigned long>(m_TilesDown))
    return -1;
  return static_cast<long>(row * static_cast<unsigned long>(m_TilesAcross) + column);
}

long IMPN_Separation::GetTileState(unsigned long x, unsigned long y) const {
  long const index = TileIndex(x, y);
  if (index < 0 || static_cast<std::size_t>(index) >= m_TileStates.size())
    return kTileOutside;
  return m_TileStates[static_cast<std::size_t>(index)];
}

long IMPN_Separation::ReadTileOrFail(void* buffer, unsigned long x, unsigned long y) {
  std::size_t const size =
      static_cast<std::size_t>((m_TileWidth + 7) / 8) * static_cast<std::size_t>(m_TileLength);
  return ReadQuietly(-1L, [&] {
    SelectDirectory(0);
    return m_File.ReadTile(buffer, size, static_cast<std::uint32_t>(x),
                           static_cast<std::uint32_t>(y));
  });
}

long IMPN_Separation::GetTile(void* buffer, unsigned long x, unsigned long y) {
  long const index = TileIndex(x, y);
  if (index < 0 || static_cast<std::size_t>(index) >= m_TileStates.size())
    return -1;
  long& state = m_TileStates[static_cast<std::size_t>(index)];
  std::uint8_t* bytes = static_cast<std::uint8_t*>(buffer);
  switch (state) {
    case kTileBlank:
      bytes[0] = 0x00;
      return 1;
    case kTileFull:
      bytes[0] = 0xFF;
      return 1;
    case kTileMixed:
      return ReadTileOrFail(buffer, x, y);
    case kTileUnknown:
      break;
    default:
      return -1;
  }

  long const count = ReadTileOrFail(buffer, x, y);
  if (count <= 0)
    return -1;
  std::uint8_t* const end = bytes + count;
  if (std::all_of(bytes, end, [](std::uint8_t b) { return b == 0x00; }))
    state = kTileBlank;
  else if (std::all_of(bytes, end, [](std::uint8_t b) { return b == 0xFF; }))
    state = kTileFull;
  else
    state = kTileMixed;
  return state == kTileMixed ? count : 1;
}

void IMPN_Separation::ReadDimensions(std::uint16_t directory, long& width, long& length,
                                     long& tileWidth, long& tileLength) {
  ReadQuietly(false, [&] {
    SelectDirectory(directory);
    width = m_File.GetTag<std::uint32_t>(kTIFX_TagImageWidth);
    length = m_File.GetTag<std::uint32_t>(kTIFX_TagImageLength);
    tileWidth = m_File.GetTag<std::uint32_t>(kTIFX_TagTileWidth);
    tileLength = m_File.GetTag<std::uint32_t>(kTIFX_TagTileLength);
    return true;
  });
}

void IMPN_Separation::GetImageDimensions(long& width, long& length, long& tileWidth,
                                         long& tileLength) {
  ReadDimensions(0, width, length, tileWidth, tileLength);
}

void IMPN_Separation::GetThumbnailDimensions(long& width, long& length, long& tileWidth,
                                             long& tileLength) {
  ReadDimensions(GetThumbnailDirectory(), width, length, tileWidth, tileLength);
}

long IMPN_Separation::GetThumbnailScale() {
  return ReadQuietly(1L, [this] {
    SelectDirectory(GetThumbnailDirectory());
    return static_cast<long>(m_File.GetPrivateDirectory().Scale);
  });
}

long IMPN_Separation::GetThumbnail(IMPN_BitMap& bitmap, long& width, long& length) {
  long thumbWidth = 0;
  long thumbLength = 0;
  long tileWidth = 0;
  long tileLength = 0;
  GetThumbnailDimensions(thumbWidth, thumbLength, tileWidth, tileLength);
  if (thumbWidth <= 0 || thumbLength <= 0 || tileWidth <= 0 || tileLength <= 0)
    return -1;
  width = thumbWidth;
  length = thumbLength;
  // Tag values fit 32 bits: padded to whole tiles in 64.
  std::int64_t const padded[2] = {CeilDiv(width, tileWidth) * tileWidth,
                                  CeilDiv(length, tileLength) * tileLength};
  if (padded[0] > std::numeric_limits<std::uint16_t>::max() ||
      padded[1] > std::numeric_limits<long>::max())
    return -1;
  long const paddedWidth = static_cast<long>(padded[0]);
  long const paddedLength = static_cast<long>(padded[1]);

  std::unique_ptr<std::uint8_t[]> pixels(
      new std::uint8_t[static_cast<std::size_t>(paddedWidth) * paddedLength]());
  long const total =
      ReadThumbnailTiles(pixels.get(), paddedWidth, paddedLength, tileWidth, tileLength);
  if (total < 0) {
    // A thumbnail with holes is no thumbnail: the caller gets nothing to draw.
    bitmap = IMPN_BitMap();
    return -1;
  }
  bitmap.pixels = pixels.release();
  bitmap.rowBytes = static_cast<std::uint16_t>(paddedWidth);
  bitmap.timeStamp = IMPN_Registry::GetNewTimeStamp();
  bitmap.rect = IMPN_RectT<long>(0, 0, paddedWidth, paddedLength);
  bitmap.kind = kIMPN_BitMapGray;
  bitmap.palette = nullptr;
  return total;
}

long IMPN_Separation::ReadThumbnailTiles(std::uint8_t* pixels, long paddedWidth, long paddedLength,
                                         long tileWidth, long tileLength) {
  std::size_t const tileBytes = static_cast<std::size_t>(tileWidth) * tileLength;
  std::vector<std::uint8_t> scratch(tileBytes);
  return ReadQuietly(-1L, [&] {
    SelectDirectory(GetThumbnailDirectory());
    long total = 0;
    for (long top = 0; top < paddedLength; top += tileLength) {
      for (long left = 0; left < paddedWidth; left += tileWidth) {
        long const count =
            m_File.ReadTile(scratch.data(), tileBytes, static_cast<std::uint32_t>(left),
                            static_cast<std::uint32_t>(top));
        if (count < 0)
          return -1L;
        for (long row = 0; row < tileLength; ++row)
          std::memcpy(pixels + static_cast<std::size_t>(top + row) * paddedWidth + left,
                      scratch.data() + static_cast<std::size_t>(row) * tileWidth,
                      static_cast<std::size_t>(tileWidth));
        total += count;
      }
    }
    return total;
  });
}

float IMPN_Separation::CalculateInkDensity(IMPN_RectT<long> const& rect) {
  if (rect.width < 1 || rect.height < 1 || m_TileCount <= 0)
    return 0;
  long const right = rect.left + rect.width;
  long const bottom = rect.top + rect.height;
  long const firstColumn = std::max(0L, FloorToMultiple(rect.left, m_TileWidth));
  long const lastColumn =
      std::min(FloorToMultiple(right, m_TileWidth), (m_TilesAcross - 1) * m_TileWidth);
  long const firstRow = std::max(0L, FloorToMultiple(rect.top, m_TileLength));
  long const lastRow =
      std::min(FloorToMultiple(bottom, m_TileLength), (m_TilesDown - 1) * m_TileLength);
  long const rowBytes = (m_TileWidth + 7) / 8;

  std::vector<std::uint8_t> tile(static_cast<std::size_t>(rowBytes) * m_TileLength);
  std::uint64_t count = 0;
  for (long top = firstRow; top <= lastRow; top += m_TileLength) {
    long const y0 = std::max(rect.top, top);
    long const y1 = std::min(bottom, top + m_TileLength);
    for (long left = firstColumn; left <= lastColumn; left += m_TileWidth) {
      long const x0 = std::max(rect.left, left);
      long const x1 = std::min(right, left + m_TileWidth);
      if (x1 <= x0 || y1 <= y0)
        continue;
      long const result =
          GetTile(tile.data(), static_cast<unsigned long>(left), static_cast<unsigned long>(top));
      if (result == -1)
        continue;
      std::uint64_t const w = static_cast<std::uint64_t>(x1 - x0);
      std::uint64_t const h = static_cast<std::uint64_t>(y1 - y0);
      if (result == 1) {
        if (tile[0] != 0)
          count += w * h;
        continue;
      }
      for (long y = y0; y < y1; ++y)
        count += CountRowBits(tile.data() + (y - top) * rowBytes, x0 - left, x1 - x0);
    }
  }
  double const area = static_cast<double>(rect.width) * static_cast<double>(rect.height);
  return static_cast<float>(static_cast<double>(count) / area);
}

bool IMPN_Separation::HasVersion(USTR_String const& name) const {
  return std::find(m_VersionNames.begin(), m_VersionNames.end(), name) != m_VersionNames.end();
}

std::uint64_t IMPN_Separation::GetPrintTimeSeconds() const {
  return IMPN_Tools::DateTimeToSeconds(m_PrintTime);
}

void IMPN_Separation::UpdateParentSelections() {
  if (m_Parent)
    m_Parent->UpdateParentSelections();
}

int IMPN_Separation::CompareTo(IMPN_Node const* other, SortKey key) {
  IMPN_Separation const* that = dynamic_cast<IMPN_Separation const*>(other);
  if (!that)
    return 0;
  switch (key) {
    case kCountOrPrintOrder:
      if (m_PrintOrder != that->m_PrintOrder)
        return m_PrintOrder - that->m_PrintOrder;
      // Same print order: the colour order decides.
      [[fallthrough]];
    case kIdentityOrder:
      if (iIMPN_ColorRank(m_ColorCode) != iIMPN_ColorRank(that->m_ColorCode))
        return iIMPN_ColorRank(m_ColorCode) - iIMPN_ColorRank(that->m_ColorCode);
      return GLIB_stricmp(m_InkName.c_str(), that->m_InkName.c_str());
    case kPrintTime:
      return iIMPN_ComparePrintTimes(GetPrintTimeSeconds(), that->GetPrintTimeSeconds());
    case kResolution:
      return TruncatedDifference(m_Resolution, that->m_Resolution);
    default:
      return IMPN_Node::CompareTo(other, key);
  }
}

void IMPN_Separation::Print(long level) {
  for (long i = 0; i < level; ++i)
    std::cout << "  ";
  std::cout << "Separation <" << m_DisplayInk.GetName() << ">\n";
}

std::string IMPN_Separation::ToString() const {
  return m_InkName;
}
