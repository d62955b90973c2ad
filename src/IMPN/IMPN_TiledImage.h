#ifndef IMPN_TILEDIMAGE_H
#define IMPN_TILEDIMAGE_H

#include "IMPN/IMPN_BitMap.h"
#include "IMPN/IMPN_Color.h"
#include "IMPN/IMPN_InkRamp.h"
#include "IMPN/IMPN_ZoomLevel.h"

#include <cstdint>
#include <map>
#include <vector>

class IMPN_Separation;

// Turns the 1-bit separations of one surface into display tiles at every zoom level and caches
// them. From 8:1 to 1:1 with at most 8 separations a tile holds per pixel the set of separations
// inked there and a 256-entry colour table gives the colours, so ink and visibility changes
// only rebuild the table; otherwise tiles are RGB, rebuilt when older than the request, and the
// levels below 1:8 are built from the next finer level's tiles.
class IMPN_TiledImage
{
public:
    struct LevelGeometry
    {
        long scaledWidth = 0;
        long scaledLength = 0;
        long tileWidth = 0;   // display tile
        long tileLength = 0;
        long tilesAcross = 0;
        long tilesDown = 0;
        long separationTilesPerTile = 1;  // along each axis
    };

    struct LessThanIndex
    {
        bool operator()(long a, long b) const { return a < b; }
    };

    enum
    {
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
    // Frees every tile's pixels; the colour table stays.
    void ResetCache();

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
    static void InitTables();

    static std::uint8_t sm_Factor1Table[256][8];
    static std::uint8_t sm_Factor2Table[2][256][4];
    static std::uint8_t sm_Factor4Table[4][256][2];
    static std::uint8_t sm_BitCounts[65536];
    static bool sm_TablesInitialized;

private:
    IMPN_TiledImage(IMPN_TiledImage const&) = delete;
    IMPN_TiledImage& operator=(IMPN_TiledImage const&) = delete;

    // What one separation gives a display tile built from a single separation tile.
    struct SeparationTile
    {
        enum Content
        {
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
    struct Layer
    {
        IMPN_InkRamp const* ramp;
        std::uint8_t const* coverage;
    };

    void ComputeLevelGeometry();
    // False for a position outside the level's own tile grid.
    bool TileIndex(long top, long left, IMPN_ZoomLevel level, long& index) const;
    IMPN_BitMap* FindTile(long top, long left, IMPN_ZoomLevel level, bool create);
    void GenerateColorTable();
    void RefreshInkRamps();

    void GenerateIndexedTile(IMPN_BitMap& tile, IMPN_ZoomLevel level, long stamp);
    void GenerateIDXFromSingleTile(IMPN_BitMap& tile);
    void GenerateIDXFromPartialTile(IMPN_BitMap& tile, IMPN_ZoomLevel level, long stamp);

    void GenerateRGBTile(IMPN_BitMap& tile, IMPN_ZoomLevel level, long stamp);
    void RefreshRGBUniformTile(IMPN_BitMap& tile, IMPN_ZoomLevel level);
    void GenerateRGBFromSingleTile(IMPN_BitMap& tile, IMPN_ZoomLevel level);
    void GenerateRGBFromMultipleTiles(IMPN_BitMap& tile, IMPN_ZoomLevel level, long stamp);
    void GenerateRGBFromPartialTile(IMPN_BitMap& tile, IMPN_ZoomLevel level, long stamp);

    // Reads every separation's tile at a full-resolution position into m_SeparationTiles.
    // Hidden mixed tiles need no reading when skipHidden. failed: a read that may succeed later
    // failed, so the tile must not be kept.
    void ReadSeparationTiles(long top, long left, bool skipHidden, bool& allUniform,
                             bool& failed);
    // The surface with the visible inks that are full at a separation tile laid over it.
    IMPN_RGBColor8 UniformColor(long top, long left);
    bool ExtendsBeyondImage(IMPN_BitMap const& tile, IMPN_ZoomLevel level) const;
    // The part of a tile inside the scaled image; pixels beyond it are white.
    void ImagePart(IMPN_BitMap const& tile, IMPN_ZoomLevel level, long& width,
                   long& length) const;

    // Gives the tile pixels for the kind, reusing its allocation when the size matches.
    static void SetPixels(IMPN_BitMap& tile, long kind, std::uint16_t rowBytes);
    static void FreePixels(IMPN_BitMap& tile);

    std::vector<IMPN_Separation*>& m_Separations;
    IMPN_RGBColor8& m_SurfaceColor;
    LevelGeometry m_Levels[kIMPN_ZoomLevelCount];
    long m_ImageWidth;
    long m_ImageLength;
    long m_TileWidth;   // separation tile
    long m_TileLength;
    long m_TilesAcross;
    long m_TilesDown;
    IMPN_ColorTable m_ColorTableRecord;
    IMPN_RGBColor8 m_ColorTable[kColorTableSize];
    long m_EntryCount;
    long m_ColorTableTimeStamp;
    // Only 512 x 512 separation tiles fit the compositing paths; otherwise there are no tiles.
    bool m_Supported;
    std::map<long, IMPN_BitMap, LessThanIndex> m_SparseTiles[3];
    std::vector<IMPN_BitMap> m_DenseTiles[kIMPN_ZoomLevelCount - 3];

    // Scratch for one build: each separation's 1-bit tile and its coverage.
    std::vector<std::vector<std::uint8_t>> m_BitBuffers;
    std::vector<std::vector<std::uint8_t>> m_CoverageBuffers;
    std::vector<SeparationTile> m_SeparationTiles;
    std::vector<Layer> m_Layers;

    // Blend tables of each separation's ink, keyed by the separation and its stamp.
    std::vector<IMPN_InkRamp> m_InkRamps;
    std::vector<IMPN_Separation const*> m_InkRampSeparations;
    std::vector<long> m_InkRampStamps;
};

#endif
