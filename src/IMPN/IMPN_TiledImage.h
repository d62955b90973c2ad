#pragma once
#include "IMPN/IMPN_BitMap.h"
#include "IMPN/IMPN_Color.h"
#include "IMPN/IMPN_Geometry.h"
#include "IMPN/IMPN_InkRamp.h"
#include "IMPN/IMPN_PixelBuffer.h"
#include "IMPN/IMPN_TileBudget.h"
#include "IMPN/IMPN_ZoomLevel.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class IMPN_Separation;

// Turns the 1-bit separations of one surface into display tiles at every zoom level and caches
// them. From 8:1 to 1:1 with at most 8 separations a tile holds per pixel the set of separations
// inked there and a 256-entry colour table gives the colours, so ink and visibility changes
// only rebuild the table; otherwise tiles are RGB, rebuilt when older than the request, and the
// levels below 1:8 are built from the next finer level's tiles. A reduced tile that needs many
// 1:8 tiles has them built first, on several threads.
//
// The pixels of all tiled images share one budget (IMPN_TileBudget): on entry to a GetTile
// from outside, the least recently used tiles that no view shows are dropped until the budget
// holds; a dropped tile is built again, to the same pixels, when next asked for.
//
// Threads: every public call, of every tiled image, comes from one thread (the user-interface
// thread), and a tile pointer is good until the next GetTile or ResetCache of any tiled image.
// Only the 1:8 tile builds run on worker threads, inside GetTile; they share nothing but the
// separations (one lock each), the budget's byte count and their own tiles and scratch.
class IMPN_TiledImage final : private IMPN_TileBudget::Owner {
public:
  struct LevelGeometry {
    long scaledWidth = 0;
    long scaledLength = 0;
    long tileWidth = 0;  // display tile
    long tileLength = 0;
    long tilesAcross = 0;
    long tilesDown = 0;
    long separationTilesPerTile = 1;  // along each axis
  };

  struct LessThanIndex {
    bool operator()(long a, long b) const { return a < b; }
  };

  enum {
    kMaxIndexedSeparations = 8,
    kColorTableSize = 256
  };

  // Keeps both references; the vector holds at least one separation, all initialised.
  IMPN_TiledImage(std::vector<IMPN_Separation*>& separations, IMPN_RGBColor8& surfaceColour);
  ~IMPN_TiledImage();

  // The tile at (top, left) of the level, brought up to date for stamp; owned by the cache.
  // Null for a position outside the level's tile grid.
  IMPN_BitMap* GetTile(long top, long left, IMPN_ZoomLevel level, long stamp);
  // 0 when there is no such tile or it is not yet complete.
  long GetTileTimeStamp(long top, long left, IMPN_ZoomLevel level);
  // Frees every tile's pixels and gives the spare tile pages back; the colour table stays.
  void ResetCache();
  // What a view shows of a level, in that level's pixels: those tiles, and the finer tiles
  // their builds read, stay whatever the budget. One area per view, which it forgets when it
  // closes or shows something else.
  void SetVisibleArea(void const* view, IMPN_ZoomLevel level, IMPN_RectT<long> const& area);
  void ForgetVisibleArea(void const* view);
  // How many threads may build 1:8 tiles together; at least 1. The machine's core count
  // unless set.
  void SetWorkerCount(unsigned count);

  LevelGeometry const& GetLevelGeometry(IMPN_ZoomLevel level) const { return m_Levels[level]; }
  long GetScaledWidth(IMPN_ZoomLevel level) const { return m_Levels[level].scaledWidth; }
  long GetScaledLength(IMPN_ZoomLevel level) const { return m_Levels[level].scaledLength; }
  long GetTileWidth(IMPN_ZoomLevel level) const { return m_Levels[level].tileWidth; }
  long GetTileLength(IMPN_ZoomLevel level) const { return m_Levels[level].tileLength; }
  long GetTilesAcross(IMPN_ZoomLevel level) const { return m_Levels[level].tilesAcross; }
  long GetTilesDown(IMPN_ZoomLevel level) const { return m_Levels[level].tilesDown; }
  IMPN_ColorTable const& GetColorTable() const { return m_ColorTableRecord; }
  long GetColorTableTimeStamp() const { return m_ColorTableTimeStamp; }
  bool IsIndexedLevel(IMPN_ZoomLevel level) const;

  // From display tile to the separation tile that supplies it, in full-resolution pixels.
  void MapTileCoordinate(long& top, long& left, IMPN_ZoomLevel level) const;

  // One coverage byte per display pixel of levels 3 to 6 from a 1-bit tile.
  static void Generate8bppFrom1bpp(std::uint8_t const* bits, long bytesPerRow, long rows,
                                   std::uint8_t* coverage, IMPN_ZoomLevel level);
  // Fills the tables below once per process, whichever thread asks first.
  static void InitTables();
  static void FillTables();

  static std::uint8_t sm_Factor1Table[256][8];
  static std::uint8_t sm_Factor2Table[2][256][4];
  static std::uint8_t sm_Factor4Table[4][256][2];
  static std::uint8_t sm_BitCounts[65536];

private:
  IMPN_TiledImage(IMPN_TiledImage const&) = delete;
  IMPN_TiledImage& operator=(IMPN_TiledImage const&) = delete;

  // A cache place: the bitmap handed out, the pixels it points at, its place in the budget.
  struct Slot {
    Slot() : place(IMPN_TileBudget::Instance().Unplaced()) {}
    IMPN_BitMap bitMap;
    IMPN_PixelBuffer buffer;
    IMPN_TileBudget::Place place;
  };

  struct VisibleArea {
    void const* view;
    IMPN_ZoomLevel level;
    IMPN_RectT<long> area;
  };

  // Counts the GetTile calls under way, so that only the outermost makes room.
  class BuildDepth {
  public:
    explicit BuildDepth(int& depth) : m_Depth(depth) { ++m_Depth; }
    ~BuildDepth() { --m_Depth; }
    BuildDepth(BuildDepth const&) = delete;
    BuildDepth& operator=(BuildDepth const&) = delete;

  private:
    int& m_Depth;
  };

  bool IsTileNeeded(int level, long index) const override;
  void DropTile(int level, long index) override;

  // What one separation gives a display tile built from a single separation tile.
  struct SeparationTile {
    enum Content {
      kBlank,
      kFull,
      kBits,
      kFailed,
      kSkipped  // hidden and mixed: cannot show and is known not to be uniform
    };
    Content content = kBlank;
    std::uint8_t const* bits = nullptr;
  };

  // A visible ink that lays something down on a tile being built; no coverage means full.
  struct Layer {
    IMPN_InkRamp const* ramp;
    std::uint8_t const* coverage;
  };

  // Memory for building one tile from separation tiles, one set per thread: each
  // separation's 1-bit tile and its coverage.
  struct Scratch {
    std::vector<IMPN_PixelBuffer> bitBuffers;
    std::vector<IMPN_PixelBuffer> coverageBuffers;
    std::vector<SeparationTile> separationTiles;
    std::vector<Layer> layers;
  };

  void ComputeLevelGeometry();
  // False for a position outside the level's own tile grid.
  bool TileIndex(long top, long left, IMPN_ZoomLevel level, long& index) const;
  // The slot by the tile's index in its level, which TileIndex gave.
  Slot* TileAt(long index, IMPN_ZoomLevel level, bool create);
  // The cache slot of the tile at (top, left), its place set when it holds no pixels yet.
  Slot* SlotFor(long top, long left, IMPN_ZoomLevel level);
  // The tile at (top, left) brought up to date, and marked as just used.
  Slot* CurrentTile(long top, long left, IMPN_ZoomLevel level, long stamp);
  IMPN_RectT<long> TileRect(long index, IMPN_ZoomLevel level) const;
  static bool IsStaleRGB(IMPN_BitMap const& tile, long stamp);
  // Calls visit(qy, qx, top, left) with where the finer level's tile for each quadrant of a
  // tile starts; beyond the finer level's last tile there is nothing to visit.
  template <typename Visit>
  void ForEachQuadrant(IMPN_BitMap const& tile, IMPN_ZoomLevel finer, Visit visit) const {
    LevelGeometry const& fg = m_Levels[finer];
    for (int qy = 0; qy < 2; ++qy)
      for (int qx = 0; qx < 2; ++qx) {
        long const top = 2 * tile.rect.top + qy * fg.tileLength;
        long const left = 2 * tile.rect.left + qx * fg.tileWidth;
        if (top / fg.tileLength < fg.tilesDown && left / fg.tileWidth < fg.tilesAcross)
          visit(qy, qx, top, left);
      }
  }
  void GenerateColorTable();
  void RefreshInkRamps();

  // The builds below leave the tile's stamp to their caller, which stamps it once it is
  // whole: until then it is 0, so a build that throws leaves a tile that is built again at the
  // next request. Each answers false when a failed read left the tile incomplete.
  void GenerateIndexedTile(Slot& slot, IMPN_ZoomLevel level, long stamp);
  bool GenerateIDXFromSingleTile(Slot& slot);
  bool GenerateIDXFromPartialTile(Slot& slot, IMPN_ZoomLevel level, long stamp);
  // 8:1 to 2:1: each pixel of the 1:1 tile below, of either kind, repeated k times each way;
  // withoutSource is the uniform value where there is no 1:1 tile.
  bool MagnifyOneToOneTile(Slot& slot, IMPN_ZoomLevel level, long stamp, long kind,
                           long uniformKind, long bytesPerPixel, std::uint8_t const* withoutSource);

  void GenerateRGBTile(Slot& slot, IMPN_ZoomLevel level, long stamp);
  // The RGB tile of a level from 1:1 to 1:8 from its separation tile; ink ramps up to date.
  // Safe on several threads at once for different tiles.
  bool BuildRGBFromSeparationTile(Slot& slot, IMPN_ZoomLevel level, Scratch& scratch,
                                  std::size_t firstRead);
  void RefreshRGBUniformTile(IMPN_BitMap& tile, IMPN_ZoomLevel level);
  // Whether every separation knows its state at a tile, as a uniform tile's refresh needs.
  bool TileStatesKnown(IMPN_BitMap const& tile, IMPN_ZoomLevel level) const;
  bool GenerateRGBFromSingleTile(Slot& slot, IMPN_ZoomLevel level, Scratch& scratch,
                                 std::size_t firstRead);
  bool GenerateRGBFromMultipleTiles(Slot& slot, IMPN_ZoomLevel level, long stamp);
  bool GenerateRGBFromPartialTile(Slot& slot, IMPN_ZoomLevel level, long stamp);

  // The 1:8 tiles under a reduced tile that its build would have to rebuild first.
  void CollectStaleBaseTiles(IMPN_BitMap const& tile, IMPN_ZoomLevel level, long stamp,
                             std::vector<Slot*>& stale);
  // Builds 1:8 tiles on up to m_WorkerCount threads.
  void BuildBaseTilesTogether(std::vector<Slot*> const& tiles);

  // Reads every separation's tile at a full-resolution position into the scratch, starting
  // with separation firstRead so that threads building neighbouring tiles seldom wait for
  // the same file. Hidden mixed tiles need no reading when skipHidden. failed: a read that
  // may succeed later failed, so the tile must not be kept.
  void ReadSeparationTiles(Scratch& scratch, long top, long left, bool skipHidden,
                           std::size_t firstRead, bool& allUniform, bool& failed);
  // The surface with the visible inks that are full at a separation tile laid over it; ink
  // ramps up to date.
  IMPN_RGBColor8 UniformColor(long top, long left) const;
  // One lock per separation: its file and tile states serve one thread at a time.
  std::mutex& ReadLock(std::size_t separation) { return m_ReadLocks[separation]; }
  void PrepareWorkers(std::size_t workers);
  bool ExtendsBeyondImage(IMPN_BitMap const& tile, IMPN_ZoomLevel level) const;
  // The part of a tile inside the scaled image; pixels beyond it are white.
  void ImagePart(IMPN_BitMap const& tile, IMPN_ZoomLevel level, long& width, long& length) const;

  // Gives the tile pixels for the kind, reusing its allocation when the size matches; a new
  // allocation that fails leaves the old pixels and kind.
  void SetPixels(Slot& slot, long kind, std::uint16_t rowBytes);
  // Frees the pixels, takes the tile out of the budget and empties its bitmap.
  void FreePixels(Slot& slot);

  std::vector<IMPN_Separation*>& m_Separations;
  IMPN_RGBColor8& m_SurfaceColor;
  LevelGeometry m_Levels[kIMPN_ZoomLevelCount];
  long m_ImageWidth;
  long m_ImageLength;
  long m_TileWidth;  // separation tile
  long m_TileLength;
  long m_TilesAcross;
  long m_TilesDown;
  IMPN_ColorTable m_ColorTableRecord;
  IMPN_RGBColor8 m_ColorTable[kColorTableSize];
  long m_EntryCount;
  long m_ColorTableTimeStamp;
  // Only 512 x 512 separation tiles fit the compositing paths; otherwise there are no tiles.
  bool m_Supported;
  std::map<long, Slot, LessThanIndex> m_SparseTiles[3];
  std::vector<Slot> m_DenseTiles[kIMPN_ZoomLevelCount - 3];
  IMPN_TileBudget& m_Budget;
  std::vector<VisibleArea> m_VisibleAreas;
  int m_BuildDepth;

  // Scratch per worker; the calling thread's is the first.
  std::vector<Scratch> m_Scratch;
  unsigned m_WorkerCount;
  std::unique_ptr<std::mutex[]> m_ReadLocks;
  std::size_t m_ReadLockCount;

  // Blend tables of each separation's ink, keyed by the separation and its stamp.
  std::vector<IMPN_InkRamp> m_InkRamps;
  std::vector<IMPN_Separation const*> m_InkRampSeparations;
  std::vector<long> m_InkRampStamps;
};
