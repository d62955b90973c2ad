#include "IMPN/IMPN_TiledImage.h"

#include "GLIB/GLIB_Math.h"
#include "IMPN/IMPN_Ink.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Workers.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <mutex>

std::uint8_t IMPN_TiledImage::sm_Factor1Table[256][8];
std::uint8_t IMPN_TiledImage::sm_Factor2Table[2][256][4];
std::uint8_t IMPN_TiledImage::sm_Factor4Table[4][256][2];
std::uint8_t IMPN_TiledImage::sm_BitCounts[65536];

namespace {
// The only separation tile size the compositing paths are laid out for.
long const kSupportedTileSize = 512;
IMPN_RGBColor8 const kWhite(255, 255, 255);

// For byte v: eight pixel bytes, 1 where the bit is set (pixel 0 = most significant bit), as
// one word so that a separation's bit can be shifted into eight pixels at once.
std::uint64_t s_SpreadBits[256];

long CeilDiv(long a, long b) {
  return b > 0 ? (a + b - 1) / b : 0;
}

std::uint64_t Load64(std::uint8_t const* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

std::uint64_t const kLowNibbles = 0x0F0F0F0F0F0F0F0FULL;
std::uint64_t const kByteLowBits = 0x0101010101010101ULL;

// Set bits of each nibble of the word, per nibble (0 to 4).
std::uint64_t NibbleBitCounts(std::uint64_t v) {
  v = v - ((v >> 1) & 0x5555555555555555ULL);
  return (v & 0x3333333333333333ULL) + ((v >> 2) & 0x3333333333333333ULL);
}

// Per byte the sum of its two nibbles.
std::uint64_t NibblesToBytes(std::uint64_t v) {
  return (v & kLowNibbles) + ((v >> 4) & kLowNibbles);
}

// Set bits per byte column over eight rows (0 to 64 each). Nibble counts of up to three rows
// still fit a nibble, which saves folding every row into bytes.
std::uint64_t BlockBitCounts(std::uint8_t const* row, long bytesPerRow) {
  auto at = [row, bytesPerRow](int r) { return NibbleBitCounts(Load64(row + r * bytesPerRow)); };
  return NibblesToBytes(at(0) + at(1) + at(2)) + NibblesToBytes(at(3) + at(4) + at(5)) +
         NibblesToBytes(at(6) + at(7));
}

// Per byte n of 0 to 64 set bits, the coverage (n * 255) >> 6, which is 0 for 0 and
// 4 (n - 1) + 3 otherwise.
std::uint64_t CoverageOfCounts(std::uint64_t counts) {
  std::uint64_t const inked = ((counts + 0x7F * kByteLowBits) >> 7) & kByteLowBits;
  return ((counts - inked) << 2) | (inked * 3);
}

void StoreColor(std::uint8_t* p, IMPN_RGBColor8 const& c) {
  std::memcpy(p, &c, 3);
}

IMPN_RGBColor8 LoadColor(std::uint8_t const* p) {
  IMPN_RGBColor8 c;
  std::memcpy(&c, p, 3);
  return c;
}

void FillColor(std::uint8_t* p, long count, IMPN_RGBColor8 const& c) {
  for (long i = 0; i < count; ++i, p += 3)
    StoreColor(p, c);
}

// Averages two neighbouring pixels of two rows per channel.
void AverageBlock(std::uint8_t const* upper, std::uint8_t const* lower, std::uint8_t* out) {
  for (int ch = 0; ch < 3; ++ch)
    out[ch] = static_cast<std::uint8_t>(
        (unsigned(upper[ch]) + upper[ch + 3] + lower[ch] + lower[ch + 3]) >> 2);
}

int NibbleBits(int v) {
  return (v & 1) + ((v >> 1) & 1) + ((v >> 2) & 1) + ((v >> 3) & 1);
}

long ZoomDivisor(IMPN_ZoomLevel level) {
  return 1L << (kIMPN_ZoomLevel1to1 - level);  // 8, 4, 2 for levels 0, 1, 2
}
}  // namespace

void IMPN_TiledImage::InitTables() {
  // Several tiled images may be made on different threads; the tables are filled once.
  static std::once_flag filled;
  std::call_once(filled, FillTables);
}

void IMPN_TiledImage::FillTables() {
  static std::uint8_t const kPairUpper[2][3] = {{0, 63, 127}, {0, 64, 128}};
  static std::uint8_t const kPairLower[2][3] = {{0, 64, 128}, {0, 63, 127}};
  // Per row of a four-row group, the value of n set bits of a nibble; the uneven entries make
  // a fully inked block sum to 255.
  static std::uint8_t const kNibble[4][5] = {
      {0, 16, 32, 47, 64}, {0, 16, 32, 48, 63}, {0, 15, 32, 48, 64}, {0, 16, 31, 48, 64}};
  for (int v = 0; v < 256; ++v) {
    std::uint8_t spread[8];
    for (int k = 0; k < 8; ++k) {
      bool const set = (v >> (7 - k)) & 1;
      sm_Factor1Table[v][k] = set ? 255 : 0;
      spread[k] = set ? 1 : 0;
    }
    std::memcpy(&s_SpreadBits[v], spread, sizeof spread);
    for (int k = 0; k < 4; ++k) {
      int const n = ((v >> (7 - 2 * k)) & 1) + ((v >> (6 - 2 * k)) & 1);
      sm_Factor2Table[0][v][k] = kPairUpper[k & 1][n];
      sm_Factor2Table[1][v][k] = kPairLower[k & 1][n];
    }
    for (int r = 0; r < 4; ++r) {
      int const high = NibbleBits(v >> 4);
      int const low = NibbleBits(v & 0x0F);
      sm_Factor4Table[r][v][0] = kNibble[r][high];
      sm_Factor4Table[r][v][1] = kNibble[r][low];
    }
  }
  for (long v = 0; v < 65536; ++v) {
    int n = 0;
    for (long w = v; w; w &= w - 1)
      ++n;
    sm_BitCounts[v] = static_cast<std::uint8_t>(n);
  }
}

void IMPN_TiledImage::Generate8bppFrom1bpp(std::uint8_t const* bits, long bytesPerRow, long rows,
                                           std::uint8_t* coverage, IMPN_ZoomLevel level) {
  switch (level) {
    case kIMPN_ZoomLevel1to1:
      for (long y = 0; y < rows; ++y)
        for (long j = 0; j < bytesPerRow; ++j, coverage += 8)
          std::memcpy(coverage, sm_Factor1Table[bits[y * bytesPerRow + j]], 8);
      break;
    case kIMPN_ZoomLevel1to2:
      for (long y = 0; y + 1 < rows; y += 2) {
        std::uint8_t const* upper = bits + y * bytesPerRow;
        std::uint8_t const* lower = upper + bytesPerRow;
        for (long j = 0; j < bytesPerRow; ++j, coverage += 4)
          for (int k = 0; k < 4; ++k)
            coverage[k] = static_cast<std::uint8_t>(sm_Factor2Table[0][upper[j]][k] +
                                                    sm_Factor2Table[1][lower[j]][k]);
      }
      break;
    case kIMPN_ZoomLevel1to4:
      for (long y = 0; y + 3 < rows; y += 4) {
        std::uint8_t const* row = bits + y * bytesPerRow;
        for (long j = 0; j < bytesPerRow; ++j, coverage += 2)
          for (int k = 0; k < 2; ++k) {
            unsigned sum = 0;
            for (int r = 0; r < 4; ++r)
              sum += sm_Factor4Table[r][row[r * bytesPerRow + j]][k];
            coverage[k] = static_cast<std::uint8_t>(sum);
          }
      }
      break;
    case kIMPN_ZoomLevel1to8:
      for (long y = 0; y + 7 < rows; y += 8) {
        std::uint8_t const* row = bits + y * bytesPerRow;
        long j = 0;
        // Eight byte columns at a time: per-byte bit counts of eight rows fit a byte each.
        for (; j + 8 <= bytesPerRow; j += 8, coverage += 8) {
          std::uint64_t const values = CoverageOfCounts(BlockBitCounts(row + j, bytesPerRow));
          std::memcpy(coverage, &values, 8);
        }
        for (; j < bytesPerRow; ++j, ++coverage) {
          unsigned n = 0;
          for (int r = 0; r < 8; ++r)
            n += sm_BitCounts[row[r * bytesPerRow + j]];
          *coverage = static_cast<std::uint8_t>((n * 255) >> 6);
        }
      }
      break;
    default:
      break;
  }
}

IMPN_TiledImage::IMPN_TiledImage(std::vector<IMPN_Separation*>& separations,
                                 IMPN_RGBColor8& surfaceColour)
    : m_Separations(separations),
      m_SurfaceColor(surfaceColour),
      m_ImageWidth(0),
      m_ImageLength(0),
      m_TileWidth(0),
      m_TileLength(0),
      m_TilesAcross(0),
      m_TilesDown(0),
      m_ColorTableRecord(),
      m_ColorTable(),
      m_EntryCount(0),
      m_ColorTableTimeStamp(0),
      m_Supported(false),
      m_Budget(IMPN_TileBudget::Instance()),
      m_BuildDepth(0),
      m_Scratch(1),
      m_WorkerCount(IMPN_Workers::CoreCount()),
      m_ReadLockCount(0) {
  InitTables();
  GenerateColorTable();
  ComputeLevelGeometry();
  for (int level = kIMPN_ZoomLevel1to1; level < kIMPN_ZoomLevelCount; ++level)
    m_DenseTiles[level - kIMPN_ZoomLevel1to1].resize(
        static_cast<size_t>(std::int64_t(m_Levels[level].tilesAcross) * m_Levels[level].tilesDown));
}

IMPN_TiledImage::~IMPN_TiledImage() {
  ResetCache();
  for (auto& map : m_SparseTiles)
    map.clear();
  for (auto& tiles : m_DenseTiles)
    tiles.clear();
}

void IMPN_TiledImage::ComputeLevelGeometry() {
  // What the separations read when they were made: no file is opened for it.
  if (!m_Separations.empty()) {
    IMPN_Separation const& first = *m_Separations.front();
    m_ImageWidth = static_cast<long>(first.GetImageWidth());
    m_ImageLength = static_cast<long>(first.GetImageLength());
    m_TileWidth = first.GetTileWidth();
    m_TileLength = first.GetTileLength();
  }
  m_Supported = m_TileWidth == kSupportedTileSize && m_TileLength == kSupportedTileSize &&
                m_ImageWidth > 0 && m_ImageLength > 0;
  for (IMPN_Separation const* separation : m_Separations)
    m_Supported = m_Supported && separation->GetTileWidth() == kSupportedTileSize &&
                  separation->GetTileLength() == kSupportedTileSize;
  if (!m_Supported)
    m_ImageWidth = m_ImageLength = 0;
  m_TilesAcross = CeilDiv(m_ImageWidth, m_TileWidth);
  m_TilesDown = CeilDiv(m_ImageLength, m_TileLength);

  long multiplier = 1;
  for (int level = 0; level < kIMPN_ZoomLevelCount; ++level) {
    double const f = kIMPN_ZoomFactor[level];
    LevelGeometry& g = m_Levels[level];
    g.scaledWidth = MATH_Round(double(m_ImageWidth) * f);
    g.scaledLength = MATH_Round(double(m_ImageLength) * f);
    long const scaledTileWidth = MATH_Round(double(m_TileWidth) * f);
    long const scaledTileLength = MATH_Round(double(m_TileLength) * f);
    g.tileWidth = std::min(std::max(scaledTileWidth, 64L), 512L);
    g.tileLength = std::min(std::max(scaledTileLength, 64L), 512L);
    g.tilesAcross = CeilDiv(g.scaledWidth, g.tileWidth);
    g.tilesDown = CeilDiv(g.scaledLength, g.tileLength);
    if (scaledTileLength < 64)
      multiplier *= 2;
    g.separationTilesPerTile = multiplier;
  }
}

bool IMPN_TiledImage::IsIndexedLevel(IMPN_ZoomLevel level) const {
  return level <= kIMPN_ZoomLevel1to1 && m_Separations.size() <= kMaxIndexedSeparations;
}

bool IMPN_TiledImage::TileIndex(long top, long left, IMPN_ZoomLevel level, long& index) const {
  if (int(level) < 0 || int(level) >= int(kIMPN_ZoomLevelCount) || top < 0 || left < 0)
    return false;
  LevelGeometry const& g = m_Levels[level];
  if (g.tileLength <= 0 || g.tileWidth <= 0)
    return false;
  long const row = top / g.tileLength;
  long const column = left / g.tileWidth;
  // A column past the last would otherwise name a tile of the next row.
  if (row >= g.tilesDown || column >= g.tilesAcross)
    return false;
  std::int64_t const flat = std::int64_t(row) * g.tilesAcross + column;
  if (flat > std::numeric_limits<long>::max())
    return false;
  index = static_cast<long>(flat);
  return true;
}

IMPN_TiledImage::Slot* IMPN_TiledImage::TileAt(long index, IMPN_ZoomLevel level, bool create) {
  if (level >= kIMPN_ZoomLevel1to1)
    return &m_DenseTiles[level - kIMPN_ZoomLevel1to1][static_cast<size_t>(index)];
  auto& map = m_SparseTiles[level];
  auto found = map.find(index);
  if (found != map.end())
    return &found->second;
  return create ? &map[index] : nullptr;
}

IMPN_RectT<long> IMPN_TiledImage::TileRect(long index, IMPN_ZoomLevel level) const {
  LevelGeometry const& g = m_Levels[level];
  return IMPN_RectT<long>(index / g.tilesAcross * g.tileLength, index % g.tilesAcross * g.tileWidth,
                          g.tileWidth, g.tileLength);
}

IMPN_TiledImage::Slot* IMPN_TiledImage::SlotFor(long top, long left, IMPN_ZoomLevel level) {
  long index = 0;
  if (!TileIndex(top, left, level, index))
    return nullptr;
  Slot* slot = TileAt(index, level, true);
  if (!slot->bitMap.pixels)
    slot->bitMap.rect = TileRect(index, level);
  return slot;
}

bool IMPN_TiledImage::IsStaleRGB(IMPN_BitMap const& tile, long stamp) {
  // A tile left incomplete by a failed read (stamp 0) is built again.
  return !tile.pixels || tile.timeStamp == 0 || tile.timeStamp < stamp;
}

IMPN_BitMap* IMPN_TiledImage::GetTile(long top, long left, IMPN_ZoomLevel level, long stamp) {
  // Nothing below holds a tile pointer yet, nor do the workers run.
  if (m_BuildDepth == 0)
    m_Budget.MakeRoom();
  BuildDepth depth(m_BuildDepth);
  Slot* slot = CurrentTile(top, left, level, stamp);
  return slot ? &slot->bitMap : nullptr;
}

IMPN_TiledImage::Slot* IMPN_TiledImage::CurrentTile(long top, long left, IMPN_ZoomLevel level,
                                                    long stamp) {
  Slot* slot = SlotFor(top, left, level);
  if (!slot)
    return nullptr;
  long index = 0;
  TileIndex(top, left, level, index);
  m_Budget.Touch(slot->place, *this, level, index);
  IMPN_BitMap& tile = slot->bitMap;
  if (IsIndexedLevel(level)) {
    // A tile left incomplete by a failed read (stamp 0) is built again.
    if (!tile.pixels || tile.timeStamp == 0)
      GenerateIndexedTile(*slot, level, stamp);
    if (stamp > m_ColorTableTimeStamp)
      GenerateColorTable();
    return slot;
  }
  if (IsStaleRGB(tile, stamp)) {
    if (level >= kIMPN_ZoomLevel1to16) {
      // Everything the pyramid below needs from the separations, at once.
      std::vector<Slot*> stale;
      CollectStaleBaseTiles(tile, level, stamp, stale);
      BuildBaseTilesTogether(stale);
    }
    GenerateRGBTile(*slot, level, stamp);
  }
  return slot;
}

void IMPN_TiledImage::SetVisibleArea(void const* view, IMPN_ZoomLevel level,
                                     IMPN_RectT<long> const& area) {
  for (VisibleArea& visible : m_VisibleAreas)
    if (visible.view == view) {
      visible.level = level;
      visible.area = area;
      return;
    }
  m_VisibleAreas.push_back(VisibleArea{view, level, area});
}

void IMPN_TiledImage::ForgetVisibleArea(void const* view) {
  m_VisibleAreas.erase(std::remove_if(m_VisibleAreas.begin(), m_VisibleAreas.end(),
                                      [view](VisibleArea const& v) { return v.view == view; }),
                       m_VisibleAreas.end());
}

bool IMPN_TiledImage::IsTileNeeded(int level, long index) const {
  IMPN_RectT<long> const tile = TileRect(index, IMPN_ZoomLevel(level));
  for (VisibleArea const& visible : m_VisibleAreas) {
    // The area in the tile's level: the level itself, the 1:1 tiles that magnified tiles
    // are made of, or the finer levels a reduced tile is averaged from down to 1:8.
    int shift = 0;
    if (level == visible.level)
      shift = 0;
    else if (visible.level < kIMPN_ZoomLevel1to1 && level == kIMPN_ZoomLevel1to1)
      shift = visible.level - kIMPN_ZoomLevel1to1;
    else if (visible.level > kIMPN_ZoomLevel1to8 && level >= kIMPN_ZoomLevel1to8 &&
             level < visible.level)
      shift = visible.level - level;
    else
      continue;
    auto scale = [shift](std::int64_t v, bool end) -> std::int64_t {
      if (shift >= 0)
        return v << shift;
      std::int64_t const k = std::int64_t(1) << -shift;
      return end ? (v + k - 1) / k : v / k;
    };
    IMPN_RectT<long> const& a = visible.area;
    if (scale(a.left, false) < std::int64_t(tile.left) + tile.width &&
        std::int64_t(tile.left) < scale(std::int64_t(a.left) + a.width, true) &&
        scale(a.top, false) < std::int64_t(tile.top) + tile.height &&
        std::int64_t(tile.top) < scale(std::int64_t(a.top) + a.height, true))
      return true;
  }
  return false;
}

void IMPN_TiledImage::DropTile(int level, long index) {
  IMPN_ZoomLevel const z = IMPN_ZoomLevel(level);
  Slot* slot = TileAt(index, z, false);
  if (!slot)
    return;
  // The budget has taken it out of its order already.
  slot->place = m_Budget.Unplaced();
  FreePixels(*slot);
  if (level < kIMPN_ZoomLevel1to1)
    m_SparseTiles[level].erase(index);
}

void IMPN_TiledImage::SetWorkerCount(unsigned count) {
  m_WorkerCount = std::max(1u, count);
}

void IMPN_TiledImage::PrepareWorkers(std::size_t workers) {
  if (m_ReadLockCount != m_Separations.size()) {
    m_ReadLocks.reset(new std::mutex[m_Separations.size()]);
    m_ReadLockCount = m_Separations.size();
  }
  if (m_Scratch.size() < workers)
    m_Scratch.resize(workers);
}

void IMPN_TiledImage::CollectStaleBaseTiles(IMPN_BitMap const& tile, IMPN_ZoomLevel level,
                                            long stamp, std::vector<Slot*>& stale) {
  // The same descent as the build's own: a finer tile that is up to date ends it.
  IMPN_ZoomLevel const finer = static_cast<IMPN_ZoomLevel>(level - 1);
  ForEachQuadrant(tile, finer, [&](int, int, long top, long left) {
    Slot* source = SlotFor(top, left, finer);
    if (!source || !IsStaleRGB(source->bitMap, stamp))
      return;
    if (finer == kIMPN_ZoomLevel1to8) {
      // Placed in the budget's order here, on the calling thread, so that a build the
      // workers leave unfinished cannot hide tiles from it.
      long index = 0;
      TileIndex(top, left, finer, index);
      m_Budget.Touch(source->place, *this, finer, index);
      stale.push_back(source);
    } else
      CollectStaleBaseTiles(source->bitMap, finer, stamp, stale);
  });
}

void IMPN_TiledImage::BuildBaseTilesTogether(std::vector<Slot*> const& tiles) {
  if (tiles.empty())
    return;
  RefreshInkRamps();
  for (Slot* slot : tiles) {
    slot->bitMap.timeStamp = 0;
    slot->bitMap.palette = nullptr;
  }
  unsigned const workers =
      static_cast<unsigned>(std::min<std::size_t>(m_WorkerCount, tiles.size()));
  PrepareWorkers(workers);
  std::size_t const n = std::max<std::size_t>(1, m_Separations.size());
  // One byte per tile, not vector<bool>: workers write neighbouring entries at once.
  std::vector<std::uint8_t> complete(tiles.size(), 0);
  // A failure leaves every tile at stamp 0, built again at the next request.
  IMPN_Workers::Run(tiles.size(), workers,
                    [this, &tiles, &complete, n](std::size_t item, unsigned worker) {
                      complete[item] = BuildRGBFromSeparationTile(*tiles[item], kIMPN_ZoomLevel1to8,
                                                                  m_Scratch[worker], item % n);
                    });
  for (std::size_t i = 0; i < tiles.size(); ++i)
    if (complete[i])
      tiles[i]->bitMap.timeStamp = IMPN_Registry::GetNewTimeStamp();
}

long IMPN_TiledImage::GetTileTimeStamp(long top, long left, IMPN_ZoomLevel level) {
  long index = 0;
  if (!TileIndex(top, left, level, index))
    return 0;
  Slot const* slot = TileAt(index, level, false);
  IMPN_BitMap const* tile = slot ? &slot->bitMap : nullptr;
  if (IsIndexedLevel(level))
    return tile && tile->pixels && tile->timeStamp == 0 ? 0 : m_ColorTableTimeStamp;
  return tile ? tile->timeStamp : 0;
}

void IMPN_TiledImage::ResetCache() {
  for (auto& map : m_SparseTiles)
    for (auto& entry : map)
      FreePixels(entry.second);
  for (auto& tiles : m_DenseTiles)
    for (auto& slot : tiles)
      FreePixels(slot);
  IMPN_PixelBuffer::ReleaseSpares();
}

void IMPN_TiledImage::FreePixels(Slot& slot) {
  m_Budget.Remove(slot.place);
  m_Budget.Refund(slot.buffer.Size());
  slot.buffer = IMPN_PixelBuffer();
  slot.bitMap = IMPN_BitMap();
}

void IMPN_TiledImage::SetPixels(Slot& slot, long kind, std::uint16_t rowBytes) {
  IMPN_BitMap& tile = slot.bitMap;
  std::size_t const area = std::size_t(tile.rect.width) * std::size_t(tile.rect.height);
  std::size_t bytes = 0;
  switch (kind) {
    case kIMPN_BitMapIndexed:
      bytes = area;
      break;
    case kIMPN_BitMapUniformIndex:
      bytes = 1;
      break;
    case kIMPN_BitMapRGB:
      bytes = area * 3;
      break;
    case kIMPN_BitMapUniformRGB:
      bytes = 3;
      break;
    default:
      break;
  }
  if (!slot.buffer.Get() || slot.buffer.Size() != bytes) {
    IMPN_PixelBuffer pixels(bytes);
    slot.buffer.Swap(pixels);
    m_Budget.Charge(bytes);
    m_Budget.Refund(pixels.Size());
    tile.pixels = slot.buffer.Get();
  }
  tile.kind = kind;
  tile.rowBytes = rowBytes;
}

void IMPN_TiledImage::MapTileCoordinate(long& top, long& left, IMPN_ZoomLevel level) const {
  LevelGeometry const& g = m_Levels[level];
  if (level < kIMPN_ZoomLevel1to1) {
    long const k = ZoomDivisor(level);
    left = m_TileWidth * (left / (m_TileWidth * k));
    top = m_TileLength * (top / (m_TileLength * k));
  } else if (level <= kIMPN_ZoomLevel1to8) {
    long const ratio = m_TileWidth / g.tileWidth;
    left *= ratio;
    top *= ratio;
  } else {
    long const ratio = g.separationTilesPerTile * m_TileWidth / g.tileWidth;
    left *= ratio;
    top *= ratio;
  }
}

void IMPN_TiledImage::GenerateColorTable() {
  long const n = static_cast<long>(m_Separations.size());
  m_EntryCount = n >= long(kMaxIndexedSeparations) ? long(kColorTableSize) : 1L << n;
  m_ColorTable[0] = m_SurfaceColor;
  // Each set is the set without its top separation with that one laid over it, which is the
  // bottom-first order of laying the set's inks down.
  int top = 0;
  for (long set = 1; set < m_EntryCount; ++set) {
    if (set == (2L << top))
      ++top;
    IMPN_RGBColor8 colour = m_ColorTable[set & ~(1L << top)];
    IMPN_Separation const* separation = m_Separations[static_cast<size_t>(top)];
    if (separation->IsVisible()) {
      if (separation->IsTransparent())
        IMPN_Ink::Blend(separation->GetInk(), colour, colour);
      else
        IMPN_Ink::OpaqueAlphaBlend(separation->GetInk(), colour, colour);
    }
    m_ColorTable[set] = colour;
  }
  m_ColorTableRecord.entries = m_ColorTable;
  m_ColorTableRecord.count = m_EntryCount;
  m_ColorTableTimeStamp = IMPN_Registry::GetNewTimeStamp();
}

void IMPN_TiledImage::RefreshInkRamps() {
  size_t const n = m_Separations.size();
  m_InkRamps.resize(n);
  m_InkRampSeparations.resize(n, nullptr);
  m_InkRampStamps.resize(n, -1);
  for (size_t i = 0; i < n; ++i) {
    IMPN_Separation const* separation = m_Separations[i];
    long const stamp = static_cast<long>(separation->GetTimeStamp());
    if (m_InkRampSeparations[i] == separation && m_InkRampStamps[i] == stamp)
      continue;
    m_InkRamps[i].Prepare(separation->GetInk(), separation->IsTransparent());
    m_InkRampSeparations[i] = separation;
    m_InkRampStamps[i] = stamp;
  }
}

void IMPN_TiledImage::ReadSeparationTiles(Scratch& scratch, long top, long left, bool skipHidden,
                                          std::size_t firstRead, bool& allUniform, bool& failed) {
  size_t const n = m_Separations.size();
  size_t const bytes = static_cast<size_t>(m_TileWidth / 8) * static_cast<size_t>(m_TileLength);
  if (scratch.bitBuffers.size() < n)
    scratch.bitBuffers.resize(n);
  scratch.separationTiles.assign(n, SeparationTile());
  allUniform = true;
  failed = false;
  for (size_t k = 0; k < n; ++k) {
    size_t const i = (firstRead + k) % n;
    std::lock_guard<std::mutex> lock(ReadLock(i));
    IMPN_Separation* separation = m_Separations[i];
    SeparationTile& st = scratch.separationTiles[i];
    long const state =
        separation->GetTileState(static_cast<unsigned long>(left), static_cast<unsigned long>(top));
    if (state == IMPN_Separation::kTileBlank)
      continue;
    if (state == IMPN_Separation::kTileFull) {
      st.content = SeparationTile::kFull;
      continue;
    }
    if (state != IMPN_Separation::kTileMixed && state != IMPN_Separation::kTileUnknown) {
      // A separation smaller than the first has no tile here, and never will.
      st.content = SeparationTile::kFailed;
      allUniform = false;
      continue;
    }
    if (state == IMPN_Separation::kTileMixed && skipHidden && !separation->IsVisible()) {
      st.content = SeparationTile::kSkipped;
      allUniform = false;
      continue;
    }
    IMPN_PixelBuffer& buffer = scratch.bitBuffers[i];
    if (buffer.Size() < bytes)
      buffer = IMPN_PixelBuffer(bytes);
    long const result = separation->GetTile(buffer.Get(), static_cast<unsigned long>(left),
                                            static_cast<unsigned long>(top));
    if (result == -1) {
      st.content = SeparationTile::kFailed;
      allUniform = false;
      failed = true;
    } else if (result == 1 && state == IMPN_Separation::kTileUnknown)
      st.content = buffer.Get()[0] == 0xFF ? SeparationTile::kFull : SeparationTile::kBlank;
    else {
      st.content = SeparationTile::kBits;
      st.bits = buffer.Get();
      allUniform = false;
    }
  }
}

void IMPN_TiledImage::GenerateIndexedTile(Slot& slot, IMPN_ZoomLevel level, long stamp) {
  IMPN_BitMap& tile = slot.bitMap;
  tile.timeStamp = 0;
  tile.palette = &m_ColorTableRecord;
  bool const complete = level == kIMPN_ZoomLevel1to1
                            ? GenerateIDXFromSingleTile(slot)
                            : GenerateIDXFromPartialTile(slot, level, stamp);
  if (complete)
    tile.timeStamp = IMPN_Registry::GetNewTimeStamp();
}

bool IMPN_TiledImage::GenerateIDXFromSingleTile(Slot& slot) {
  IMPN_BitMap& tile = slot.bitMap;
  long top = tile.rect.top;
  long left = tile.rect.left;
  MapTileCoordinate(top, left, kIMPN_ZoomLevel1to1);
  bool allUniform = true;
  bool failed = false;
  PrepareWorkers(1);
  Scratch& scratch = m_Scratch.front();
  ReadSeparationTiles(scratch, top, left, false, 0, allUniform, failed);

  std::uint8_t fullSet = 0;
  std::vector<std::pair<std::uint8_t const*, int>> mixed;
  for (size_t i = 0; i < scratch.separationTiles.size(); ++i) {
    SeparationTile const& st = scratch.separationTiles[i];
    if (st.content == SeparationTile::kFull)
      fullSet = static_cast<std::uint8_t>(fullSet | (1u << i));
    else if (st.content == SeparationTile::kBits)
      mixed.emplace_back(st.bits, static_cast<int>(i));
  }
  if (allUniform) {
    SetPixels(slot, kIMPN_BitMapUniformIndex, 1);
    tile.pixels[0] = fullSet;
  } else {
    long const width = tile.rect.width;
    long const length = tile.rect.height;
    long const bytesPerRow = m_TileWidth / 8;
    SetPixels(slot, kIMPN_BitMapIndexed, static_cast<std::uint16_t>(width));
    std::uint64_t const base = s_SpreadBits[0xFF] * fullSet;
    for (long y = 0; y < length; ++y) {
      std::uint8_t* out = tile.pixels + std::ptrdiff_t(y) * width;
      std::ptrdiff_t const rowOffset = std::ptrdiff_t(y) * bytesPerRow;
      for (long j = 0; j < bytesPerRow; ++j, out += 8) {
        std::uint64_t pixels = base;
        for (auto const& m : mixed)
          pixels |= s_SpreadBits[m.first[rowOffset + j]] << m.second;
        std::memcpy(out, &pixels, 8);
      }
    }
  }
  return !failed;
}

bool IMPN_TiledImage::GenerateIDXFromPartialTile(Slot& slot, IMPN_ZoomLevel level, long stamp) {
  std::uint8_t const noInk = 0;
  return MagnifyOneToOneTile(slot, level, stamp, kIMPN_BitMapIndexed, kIMPN_BitMapUniformIndex, 1,
                             &noInk);
}

bool IMPN_TiledImage::MagnifyOneToOneTile(Slot& slot, IMPN_ZoomLevel level, long stamp, long kind,
                                          long uniformKind, long bytesPerPixel,
                                          std::uint8_t const* withoutSource) {
  IMPN_BitMap& tile = slot.bitMap;
  long top = tile.rect.top;
  long left = tile.rect.left;
  MapTileCoordinate(top, left, level);
  Slot const* sourceSlot = CurrentTile(top, left, kIMPN_ZoomLevel1to1, stamp);
  IMPN_BitMap const* source = sourceSlot ? &sourceSlot->bitMap : nullptr;
  size_t const pixelBytes = static_cast<size_t>(bytesPerPixel);
  if (!source || source->kind == uniformKind) {
    SetPixels(slot, uniformKind, static_cast<std::uint16_t>(bytesPerPixel));
    std::memcpy(tile.pixels, source ? source->pixels : withoutSource, pixelBytes);
  } else {
    long const k = ZoomDivisor(level);
    long const width = tile.rect.width;
    std::ptrdiff_t const rowBytes = std::ptrdiff_t(width) * bytesPerPixel;
    long const sourceRow = (tile.rect.top / k) % m_TileLength;
    long const sourceColumn = (tile.rect.left / k) % m_TileWidth;
    SetPixels(slot, kind, static_cast<std::uint16_t>(rowBytes));
    for (long sy = 0; sy < tile.rect.height / k; ++sy) {
      std::uint8_t const* in = source->pixels + std::ptrdiff_t(sourceRow + sy) * source->rowBytes +
                               std::ptrdiff_t(sourceColumn) * bytesPerPixel;
      std::uint8_t* out = tile.pixels + std::ptrdiff_t(sy) * k * rowBytes;
      // Each source pixel k times along the row, then the row k times.
      for (long sx = 0; sx < width / k; ++sx, in += bytesPerPixel)
        for (long r = 0; r < k; ++r, out += bytesPerPixel)
          std::memcpy(out, in, pixelBytes);
      out = tile.pixels + std::ptrdiff_t(sy) * k * rowBytes;
      for (long r = 1; r < k; ++r)
        std::memcpy(out + r * rowBytes, out, static_cast<size_t>(rowBytes));
    }
  }
  return source && source->timeStamp != 0;
}

void IMPN_TiledImage::GenerateRGBTile(Slot& slot, IMPN_ZoomLevel level, long stamp) {
  IMPN_BitMap& tile = slot.bitMap;
  tile.timeStamp = 0;
  tile.palette = nullptr;
  bool complete = false;
  if (level >= kIMPN_ZoomLevel1to16)
    complete = GenerateRGBFromMultipleTiles(slot, level, stamp);
  else if (level < kIMPN_ZoomLevel1to1)
    complete = GenerateRGBFromPartialTile(slot, level, stamp);
  else {
    RefreshInkRamps();
    PrepareWorkers(1);
    complete = BuildRGBFromSeparationTile(slot, level, m_Scratch.front(), 0);
  }
  if (complete)
    tile.timeStamp = IMPN_Registry::GetNewTimeStamp();
}

bool IMPN_TiledImage::BuildRGBFromSeparationTile(Slot& slot, IMPN_ZoomLevel level, Scratch& scratch,
                                                 std::size_t firstRead) {
  // The states are forgotten when the separations are initialised again while the tiled image
  // is kept; a refresh from them would lose the full inks, so such a tile is read again.
  if (slot.bitMap.kind == kIMPN_BitMapUniformRGB && TileStatesKnown(slot.bitMap, level)) {
    RefreshRGBUniformTile(slot.bitMap, level);
    return true;
  }
  return GenerateRGBFromSingleTile(slot, level, scratch, firstRead);
}

bool IMPN_TiledImage::TileStatesKnown(IMPN_BitMap const& tile, IMPN_ZoomLevel level) const {
  long top = tile.rect.top;
  long left = tile.rect.left;
  MapTileCoordinate(top, left, level);
  for (IMPN_Separation const* separation : m_Separations)
    if (separation->GetTileState(static_cast<unsigned long>(left),
                                 static_cast<unsigned long>(top)) == IMPN_Separation::kTileUnknown)
      return false;
  return true;
}

IMPN_RGBColor8 IMPN_TiledImage::UniformColor(long top, long left) const {
  IMPN_RGBColor8 colour = m_SurfaceColor;
  for (size_t i = 0; i < m_Separations.size(); ++i) {
    IMPN_Separation const* separation = m_Separations[i];
    if (separation->IsVisible() &&
        separation->GetTileState(static_cast<unsigned long>(left),
                                 static_cast<unsigned long>(top)) == IMPN_Separation::kTileFull)
      m_InkRamps[i].Apply(255, colour);
  }
  return colour;
}

void IMPN_TiledImage::RefreshRGBUniformTile(IMPN_BitMap& tile, IMPN_ZoomLevel level) {
  long top = tile.rect.top;
  long left = tile.rect.left;
  MapTileCoordinate(top, left, level);
  StoreColor(tile.pixels, UniformColor(top, left));
}

bool IMPN_TiledImage::ExtendsBeyondImage(IMPN_BitMap const& tile, IMPN_ZoomLevel level) const {
  LevelGeometry const& g = m_Levels[level];
  return tile.rect.left + tile.rect.width > g.scaledWidth ||
         tile.rect.top + tile.rect.height > g.scaledLength;
}

void IMPN_TiledImage::ImagePart(IMPN_BitMap const& tile, IMPN_ZoomLevel level, long& width,
                                long& length) const {
  LevelGeometry const& g = m_Levels[level];
  width = std::max(0L, std::min(tile.rect.width, g.scaledWidth - tile.rect.left));
  length = std::max(0L, std::min(tile.rect.height, g.scaledLength - tile.rect.top));
}

bool IMPN_TiledImage::GenerateRGBFromSingleTile(Slot& slot, IMPN_ZoomLevel level, Scratch& scratch,
                                                std::size_t firstRead) {
  IMPN_BitMap& tile = slot.bitMap;
  long top = tile.rect.top;
  long left = tile.rect.left;
  MapTileCoordinate(top, left, level);
  bool allUniform = true;
  bool failed = false;
  ReadSeparationTiles(scratch, top, left, true, firstRead, allUniform, failed);

  if (allUniform && !ExtendsBeyondImage(tile, level)) {
    SetPixels(slot, kIMPN_BitMapUniformRGB, 3);
    StoreColor(tile.pixels, UniformColor(top, left));
    return true;
  }

  long const width = tile.rect.width;
  long const length = tile.rect.height;
  size_t const n = m_Separations.size();
  if (scratch.coverageBuffers.size() < n)
    scratch.coverageBuffers.resize(n);
  // Bottom first.
  std::vector<Layer>& layers = scratch.layers;
  layers.clear();
  for (size_t i = 0; i < n; ++i) {
    SeparationTile const& st = scratch.separationTiles[i];
    if (!m_Separations[i]->IsVisible())
      continue;
    if (st.content == SeparationTile::kFull)
      layers.push_back({&m_InkRamps[i], nullptr});
    else if (st.content == SeparationTile::kBits) {
      IMPN_PixelBuffer& coverage = scratch.coverageBuffers[i];
      std::size_t const area = std::size_t(width) * std::size_t(length);
      if (coverage.Size() < area)
        coverage = IMPN_PixelBuffer(area);
      Generate8bppFrom1bpp(st.bits, m_TileWidth / 8, m_TileLength, coverage.Get(), level);
      layers.push_back({&m_InkRamps[i], coverage.Get()});
    }
  }

  SetPixels(slot, kIMPN_BitMapRGB, static_cast<std::uint16_t>(width * 3));
  long imageWidth = 0;
  long imageLength = 0;
  ImagePart(tile, level, imageWidth, imageLength);
  // Full layers at the bottom make one colour of the ground, and the lowest layer with
  // coverage over that ground one colour per coverage value: a look-up replaces the fill
  // and that layer's pass.
  IMPN_RGBColor8 ground = m_SurfaceColor;
  size_t lowest = 0;
  for (; lowest < layers.size() && !layers[lowest].coverage; ++lowest)
    layers[lowest].ramp->Apply(255, ground);
  bool const looksUp = lowest < layers.size();
  IMPN_RGBColor8 overGround[256];
  if (looksUp)
    for (int c = 0; c < 256; ++c) {
      overGround[c] = ground;
      layers[lowest].ramp->Apply(static_cast<std::uint8_t>(c), overGround[c]);
    }
  // Row by row, each row its ground first and then every further layer over the whole row
  // while it is in the cache.
  for (long y = 0; y < length; ++y) {
    std::uint8_t* out = tile.pixels + std::ptrdiff_t(y) * width * 3;
    long const inside = y < imageLength ? imageWidth : 0;
    if (looksUp) {
      std::uint8_t const* coverage = layers[lowest].coverage + std::ptrdiff_t(y) * width;
      for (long x = 0; x < inside; ++x)
        StoreColor(out + x * 3, overGround[coverage[x]]);
    } else
      FillColor(out, inside, ground);
    for (size_t i = looksUp ? lowest + 1 : lowest; i < layers.size(); ++i)
      layers[i].ramp->ApplyToRow(layers[i].coverage ? layers[i].coverage + std::ptrdiff_t(y) * width
                                                    : nullptr,
                                 out, inside);
    FillColor(out + std::ptrdiff_t(inside) * 3, width - inside, kWhite);
  }
  return !failed;
}

bool IMPN_TiledImage::GenerateRGBFromMultipleTiles(Slot& slot, IMPN_ZoomLevel level, long stamp) {
  IMPN_BitMap& tile = slot.bitMap;
  IMPN_ZoomLevel const finer = static_cast<IMPN_ZoomLevel>(level - 1);
  IMPN_BitMap const* quadrants[2][2] = {{nullptr, nullptr}, {nullptr, nullptr}};
  int fetched = 0;
  int uniform = 0;
  bool incomplete = false;
  ForEachQuadrant(tile, finer, [&](int qy, int qx, long top, long left) {
    Slot const* sourceSlot = CurrentTile(top, left, finer, stamp);
    IMPN_BitMap const* source = sourceSlot ? &sourceSlot->bitMap : nullptr;
    if (!source || !source->pixels)
      return;
    quadrants[qy][qx] = source;
    ++fetched;
    if (source->kind == kIMPN_BitMapUniformRGB)
      ++uniform;
    if (source->timeStamp == 0)
      incomplete = true;
  });

  if (fetched == 4 && uniform == 4) {
    unsigned sums[3] = {0, 0, 0};
    for (auto const& row : quadrants)
      for (IMPN_BitMap const* q : row)
        for (int ch = 0; ch < 3; ++ch)
          sums[ch] += q->pixels[ch];
    SetPixels(slot, kIMPN_BitMapUniformRGB, 3);
    for (int ch = 0; ch < 3; ++ch)
      tile.pixels[ch] = static_cast<std::uint8_t>(sums[ch] / 4);
  } else {
    long const width = tile.rect.width;
    long const length = tile.rect.height;
    long const halfWidth = width / 2;
    long const halfLength = length / 2;
    SetPixels(slot, kIMPN_BitMapRGB, static_cast<std::uint16_t>(width * 3));
    long imageWidth = 0;
    long imageLength = 0;
    ImagePart(tile, level, imageWidth, imageLength);
    for (long y = 0; y < length; ++y) {
      std::uint8_t* out = tile.pixels + std::ptrdiff_t(y) * width * 3;
      long const inside = y < imageLength ? imageWidth : 0;
      long const sourceRow = (y % halfLength) * 2;
      for (long x = 0; x < inside;) {
        IMPN_BitMap const* source = quadrants[y / halfLength][x / halfWidth];
        long const end = std::min(inside, (x / halfWidth + 1) * halfWidth);
        if (!source)
          FillColor(out, end - x, m_SurfaceColor);
        else if (source->kind == kIMPN_BitMapUniformRGB)
          FillColor(out, end - x, LoadColor(source->pixels));
        else {
          std::uint8_t const* upper = source->pixels +
                                      std::ptrdiff_t(sourceRow) * source->rowBytes +
                                      std::ptrdiff_t(x % halfWidth) * 2 * 3;
          std::uint8_t const* lower = upper + source->rowBytes;
          for (long i = x; i < end; ++i, upper += 6, lower += 6)
            AverageBlock(upper, lower, out + (i - x) * 3);
        }
        out += std::ptrdiff_t(end - x) * 3;
        x = end;
      }
      FillColor(out, width - inside, kWhite);
    }
  }
  return !incomplete;
}

bool IMPN_TiledImage::GenerateRGBFromPartialTile(Slot& slot, IMPN_ZoomLevel level, long stamp) {
  std::uint8_t surface[3];
  StoreColor(surface, m_SurfaceColor);
  return MagnifyOneToOneTile(slot, level, stamp, kIMPN_BitMapRGB, kIMPN_BitMapUniformRGB, 3,
                             surface);
}
