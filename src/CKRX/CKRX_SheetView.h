#pragma once
#include "CKRX/CKRX_SheetViewTypes.h"
#include "CKRX/CKRX_Units.h"
#include "IMPN/IMPN_BitMap.h"
#include "IMPN/IMPN_Color.h"
#include "IMPN/IMPN_Geometry.h"
#include "IMPN/IMPN_Sheet.h"
#include "IMPN/IMPN_SheetReference.h"
#include "IMPN/IMPN_SurfaceRecords.h"
#include "IMPN/IMPN_ZoomLevel.h"
#include "USTR/USTR_String.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <vector>

class CKRX_Context;
class IMPN_Surface;

// The platform-free half of the window that shows one press sheet: viewing state, the geometry
// between view, level and base image space, tile requests, drawing order, tools and guides.
// Everything that touches a window or a drawing surface goes through the pure hooks.
//
// View image space: zoomed and rotated, what the scrollable view shows. Level image space:
// zoomed, unrotated (tiles). Base image space: 1:1, unrotated (guides, densitometer frame, unit
// origin), so they survive zooming and rotating.
class CKRX_SheetView {
public:
  // Milliseconds of a free-running counter that may wrap.
  using TickSource = std::function<std::uint32_t()>;

  CKRX_SheetView();
  virtual ~CKRX_SheetView();

  virtual void ZoomToFit(bool refresh);
  virtual void SetZoomLevel(IMPN_ZoomLevel level, bool refresh);
  virtual void SetZoomLevel(IMPN_ZoomLevel level, IMPN_PointT<long> centre, bool refresh);
  virtual void TogglePageFlipped();
  virtual void RotateLeft();
  virtual void RotateRight();
  virtual void SetSheetOpacity(int opacity);
  virtual void ToggleShowPageEdges();
  virtual void ToggleShowPageNumbers();
  virtual void ShowEdgeInfo();
  virtual void HideEdgeInfo();
  virtual void ResetUnitOrigin();
  virtual void RefreshView() = 0;
  virtual void EraseAndRefreshView() = 0;
  virtual IMPN_RectT<long> GetViewFrame() = 0;
  virtual void SetZoomFactor(double factor, bool refresh);
  virtual void SetZoomFactor(double factor, IMPN_PointT<long> centre, bool refresh);
  virtual void Rotate(long degrees);
  virtual IMPN_TileRange DetermineBackTileRange(IMPN_Surface& surface);
  virtual void DrawBackTile(CKRX_Context& context, IMPN_BitMap const* tile, IMPN_RGBColor8 colour,
                            bool erase);
  virtual void DrawFrontTile(CKRX_Context& context, IMPN_BitMap const* tile, IMPN_RGBColor8 colour,
                             bool erase);
  virtual void ResizeView(long width, long height, bool refresh) = 0;
  virtual void ScrollViewTo(long x, long y, bool refresh) = 0;
  virtual void EraseTile(CKRX_Context& context, IMPN_RectT<long> rect, IMPN_RGBColor8 colour) = 0;
  virtual void BeginBackMode(CKRX_Context& context, int opacity) = 0;
  virtual void EndBackMode(CKRX_Context& context) = 0;
  virtual void BeginFrontMode(CKRX_Context& context, int opacity) = 0;
  virtual void EndFrontMode(CKRX_Context& context) = 0;
  virtual void DrawBitMapToContext(IMPN_BitMap const* tile, CKRX_Context& context,
                                   IMPN_RectT<long> const& rect) = 0;
  virtual void DrawPlateEdge(CKRX_Context& context, IMPN_RectT<long> const& rect, bool back) = 0;
  virtual void DrawPressSheetEdge(CKRX_Context& context, IMPN_RectT<long> const& rect,
                                  bool back) = 0;
  virtual void DrawBleedEdges(CKRX_Context& context, std::vector<IMPN_RectT<long>> const& rects,
                              bool back) = 0;
  virtual void DrawPageEdges(CKRX_Context& context, std::vector<IMPN_PageEdge> const& pages,
                             bool back, bool edges, bool numbers) = 0;
  virtual void DrawSourceClipPaths(CKRX_Context& context, CKRX_ClipPathList const& paths,
                                   bool back) = 0;
  virtual void DrawTypeSafetyEdges(CKRX_Context& context,
                                   std::vector<IMPN_RectT<long>> const& rects, bool back) = 0;
  virtual void DrawGuideLines(CKRX_Context& context, IMPN_GuideLines const& guides, bool back) = 0;
  virtual void DrawDensitometerFrame(CKRX_Context& context, IMPN_RectT<long> const& frame) = 0;
  virtual void StartDrawCachedImageTimer() = 0;
  virtual void StopDrawCachedImageTimer() = 0;

  // Binding and zoom.
  void SetSheet(IMPN_Sheet* sheet);
  void ZoomIn(bool refresh);
  void ZoomIn(IMPN_PointT<long> centre, bool refresh);
  void ZoomOut(bool refresh);
  void ZoomOut(IMPN_PointT<long> centre, bool refresh);
  void AdjustFrameToFit(IMPN_RectT<double>& rect);

  int GetSheetOpacity();
  void AdjustSheetOpacity(int delta);

  // Coordinates.
  IMPN_PointT<double> ImageToUnitPoint(IMPN_PointT<long> const& point, IMPN_Units units);
  // The lengths in units from the unit origin to a view point, along the screen's axes: x grows
  // rightwards and y downwards at every rotation, so rulers, read-outs and distances (the
  // difference of two such points) follow what the user sees, not the unturned image.
  IMPN_PointT<double> ViewPointToUnitLengths(IMPN_PointT<long> const& viewPoint, IMPN_Units units);
  IMPN_RectT<long> ViewFrameRectToImageRect(IMPN_RectT<long> const& rect);
  IMPN_RectT<long> ImageRectToViewFrameRect(IMPN_RectT<long> const& rect);
  static IMPN_RectT<long> TransformRect(IMPN_RectT<long> const& rect, long angle, long width,
                                        long length);
  IMPN_RectT<double> GetNormalizedViewFrame();
  IMPN_RectT<long> GetViewFrameMirrored();

  void PurgeCacheAndCloseFiles();

  // Tiles and drawing.
  IMPN_TileRange DetermineFrontTileRange(IMPN_Surface& surface);
  void DetermineFrontTileRangeState(IMPN_Surface& surface, long& current, long& stale);
  void DetermineBackTileRangeState(IMPN_Surface& surface, long& current, long& stale);
  void CacheImage();
  void DrawImage(CKRX_Context& context);
  void DrawFront(CKRX_Context& context, IMPN_Surface& surface, IMPN_TileRange range,
                 IMPN_GuideLines& guides);
  void DrawBack(CKRX_Context& context, IMPN_Surface& surface, IMPN_TileRange range,
                IMPN_GuideLines& guides);
  // One timer pass over the queued requests: gives the thread back once two milliseconds
  // have passed, after at least one tile.
  void DrawCachedImage(CKRX_Context& context);
  void SetTickSource(TickSource source);

  // Tools, guides and overlays.
  IMPN_ToolMode DetermineActiveTool(IMPN_PointT<long> const& point, bool zoomKey, bool measureKey,
                                    bool panKey, long& guidePosition);
  bool NearHorizontalGuideLine(IMPN_PointT<long> const& point, long& position);
  bool NearVerticalGuideLine(IMPN_PointT<long> const& point, long& position);
  bool AnyGuideLinesPresent() const;
  void ClearGuideLines();
  bool AnyEdgeInfoVisible() const;
  void ResetDensitometerFrame();
  USTR_String GetWindowTitle();

protected:
  enum {
    kEdgeInfoCount = 6
  };

  IMPN_SheetReference m_Sheet;
  IMPN_ZoomLevel m_ZoomLevel;
  IMPN_BackupAlignment m_BackupAlignment;
  long m_BackupMode;
  IMPN_ToolMode m_ActiveTool;
  bool m_PageFlipped;
  long m_Rotation;
  bool m_ShowPlateEdge;
  bool m_ShowPressSheetEdge;
  bool m_ShowBleed;
  bool m_ShowPageEdges;
  bool m_ShowPageNumbers;
  bool m_ShowSourceClipPaths;
  bool m_ShowTypeSafety;
  bool m_ShowGuideLines;
  bool m_ClipPathsAvailable;
  bool m_TypeSafetyAvailable;
  bool m_SavedEdgeInfo[kEdgeInfoCount];
  long m_UnitOriginX;
  long m_UnitOriginY;
  IMPN_GuideLines m_FrontGuideLines;
  IMPN_GuideLines m_BackGuideLines;
  // Drawn from the front: a pass takes tiles in the order they were queued.
  using TileQueue = std::deque<IMPN_ImageTile>;
  TileQueue m_BackTileRequests;
  TileQueue m_FrontTileRequests;
  bool m_BackgroundDrawing;
  bool m_BackOverlaysPending;
  IMPN_RectT<long> m_DensitometerFrame;

  IMPN_Surface& ViewedSurface();
  IMPN_Surface& OtherSurface();
  IMPN_GuideLines& ViewedGuideLines();
  IMPN_GuideLines& OtherGuideLines();
  // Image size at a level as displayed: width and length exchanged at 90 and 270 degrees.
  long DisplayedWidth(IMPN_ZoomLevel level) const;
  long DisplayedHeight(IMPN_ZoomLevel level) const;

private:
  CKRX_SheetView(CKRX_SheetView const&) = delete;
  CKRX_SheetView& operator=(CKRX_SheetView const&) = delete;

  bool* EdgeInfoSwitch(int index);
  void TurnUpright();
  bool IsSideways() const { return m_Rotation == 90 || m_Rotation == 270; }
  long LevelWidth(IMPN_ZoomLevel level) const;
  long LevelLength(IMPN_ZoomLevel level) const;
  // The unrotated level rectangle that the frame shows.
  IMPN_RectT<long> FrameInLevelImage();
  // The tiles of the rectangle, which the surface's tiled image is told this view shows.
  IMPN_TileRange TileRangeOf(IMPN_RectT<long> const& rect, IMPN_Surface& surface);
  // The tiled image may drop the tiles this view showed of the surface.
  void ForgetVisibleArea(IMPN_Surface& surface);
  void CountTileStates(IMPN_Surface& surface, IMPN_TileRange const& range, long& current,
                       long& stale);
  int ViewedOpacity();
  // Whether the other surface shows through the viewed one at all.
  bool OtherSideShown();
  void QueueTiles(IMPN_Surface& surface, IMPN_TileRange const& range, TileQueue& requests);
  // The body of DrawBackTile and DrawFrontTile: the sides differ only in the mode around them.
  void DrawTile(CKRX_Context& context, IMPN_BitMap const* tile, IMPN_RGBColor8 colour, bool erase);
  void DrawOverlays(CKRX_Context& context, IMPN_Surface& surface, IMPN_GuideLines& guides,
                    bool back);
  bool NearGuideLine(IMPN_PointT<long> const& point, std::set<long> const& positions,
                     bool horizontal, long& position);

  TickSource m_TickSource;
};
