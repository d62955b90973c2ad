// The Mac face of the portable sheet view: the scrolling view of one sheet in its window. It
// draws the composited tiles and the overlays with CoreGraphics, loads reduced levels a few tiles
// at a time on a main-loop timer, and is the dispatcher through which the navigation palette,
// the rulers and the surface panels hear what it shows. Main thread only.
// (Mouse tools, keys and drops are still to come: InitEventHandlers only records its call.)
#pragma once

#include "CKRX/CKRX_SheetView.h"
#include "GLIB/GLIB_Message.h"
#include "MKRX/MKRX_SheetViewMessages.h"
#include "PPXA/PPXA_ScrollableView.h"

#include <HIToolbox/Events.h>
#include <PPx/PPxTimer.h>

#include <vector>

class MKRX_DrawContext;

class MKRX_SheetView : public CKRX_SheetView,
                       public GLIB_MessageDispatcher,
                       public GLIB_MessageTarget,
                       public PPXA::ScrollableView,
                       public PPx::Timer {
public:
  // The loader's first firing and its interval, in seconds, and the tiles built per firing.
  static constexpr EventTimerInterval kLoadInterval = 0.0001;
  static constexpr long kTilesPerFiring = 10;

  MKRX_SheetView();
  ~MKRX_SheetView() override;

  void InitEventHandlers();

  GLIB_MessageDispatcher const& Dispatcher() const { return *this; }

  // A new sheet: the loader's requests point into the old one's tiled images.
  void SetSheet(IMPN_Sheet* sheet);

  // The state the sheet window's commands read and set.
  IMPN_Sheet* GetSheet() const { return m_Sheet.Get(); }
  IMPN_ZoomLevel GetZoomLevel() const { return m_ZoomLevel; }
  IMPN_ToolMode GetToolMode() const { return m_ActiveTool; }
  void SetToolMode(IMPN_ToolMode mode) { m_ActiveTool = mode; }
  IMPN_BackupAlignment GetBackupAlignment() const { return m_BackupAlignment; }
  void SetBackupAlignment(IMPN_BackupAlignment alignment);
  bool IsPageFlipped() const { return m_PageFlipped; }
  long GetRotation() const { return m_Rotation; }
  long GetMirroring() const { return m_BackupMode; }
  bool& ShowPressSheetEdge() { return m_ShowPressSheetEdge; }
  bool& ShowBleedEdges() { return m_ShowBleed; }
  bool& ShowTypeSafetyEdges() { return m_ShowTypeSafety; }
  bool& ShowSourceClipPaths() { return m_ShowSourceClipPaths; }
  bool& ShowGuideLines() { return m_ShowGuideLines; }
  bool ShowPageEdges() const { return m_ShowPageEdges; }
  bool ShowPageNumbers() const { return m_ShowPageNumbers; }
  bool HasClipPaths() const { return m_ClipPathsAvailable; }
  bool HasTypeSafetyEdges() const { return m_TypeSafetyAvailable; }
  IMPN_RectT<long> GetDensitometerFrame() const { return m_DensitometerFrame; }
  void SetDensitometerFrame(IMPN_RectT<long> const& frame) { m_DensitometerFrame = frame; }
  // Guide lines as the view's guide tool leaves them (one horizontal guide at the position).
  void AddHorizontalGuideLine(long position);

  // What the loader holds: requests still to build, and tiles built and not yet shown whole.
  std::size_t QueuedBackTiles() const { return m_BackTileRequests.size(); }
  std::size_t QueuedFrontTiles() const { return m_FrontTileRequests.size(); }
  std::size_t LoadedBackTiles() const { return m_BackTilesLoaded.size(); }
  std::size_t LoadedFrontTiles() const { return m_FrontTilesLoaded.size(); }
  bool IsLoading() const { return IsTimerInstalled(); }

  // Portable operations completed by the view.
  void TogglePageFlipped() override;
  void RotateLeft() override;
  void RotateRight() override;
  void SetSheetOpacity(int opacity) override;
  void ToggleShowPageEdges() override;
  void ToggleShowPageNumbers() override;
  void ShowEdgeInfo() override;
  void HideEdgeInfo() override;
  void ResetUnitOrigin() override;
  void RefreshView() override;
  void EraseAndRefreshView() override;
  IMPN_RectT<long> GetViewFrame() override;
  void ResizeView(long width, long height, bool refresh) override;
  void ScrollViewTo(long x, long y, bool refresh) override;
  void EraseTile(CKRX_Context& context, IMPN_RectT<long> rect, IMPN_RGBColor8 colour) override;
  void BeginBackMode(CKRX_Context& context, int opacity) override;
  void EndBackMode(CKRX_Context& context) override;
  void BeginFrontMode(CKRX_Context& context, int opacity) override;
  void EndFrontMode(CKRX_Context& context) override;
  void DrawBitMapToContext(IMPN_BitMap const* tile, CKRX_Context& context,
                           IMPN_RectT<long> const& rect) override;
  void DrawPlateEdge(CKRX_Context& context, IMPN_RectT<long> const& rect, bool dashed) override;
  void DrawPressSheetEdge(CKRX_Context& context, IMPN_RectT<long> const& rect,
                          bool dashed) override;
  void DrawBleedEdges(CKRX_Context& context, std::vector<IMPN_RectT<long>> const& rects,
                      bool dashed) override;
  void DrawPageEdges(CKRX_Context& context, std::vector<IMPN_PageEdge> const& pages, bool dashed,
                     bool showEdges, bool showNumbers) override;
  void DrawSourceClipPaths(CKRX_Context& context, CKRX_ClipPathList const& paths,
                           bool dashed) override;
  void DrawTypeSafetyEdges(CKRX_Context& context, std::vector<IMPN_RectT<long>> const& rects,
                           bool dashed) override;
  void DrawGuideLines(CKRX_Context& context, IMPN_GuideLines const& guides, bool dashed) override;
  void DrawDensitometerFrame(CKRX_Context& context, IMPN_RectT<long> const& frame) override;
  void StartDrawCachedImageTimer() override;
  void StopDrawCachedImageTimer() override;

  // The visible frame, normalised, to the navigation view and the rulers.
  void BroadcastSheetViewFrameChangedMessage();
  // From the navigation palette.
  void DoNavigationViewFrameMoved(MKRX_NavigationViewFrameMovedMessage const& message);
  void DoNavigationViewFrameResized(MKRX_NavigationViewFrameResizedMessage const& message);
  // From a surface panel.
  void DoSurfaceOpacityChanged(MKRX_SurfaceOpacityChangedMessage const& message);

  // One paint into the context, y down from the image origin as the scroll view leaves it.
  OSStatus Draw(CGContextRef context);

  const char* ClassName() const override { return "MKRX_SheetView"; }

  // The densitometer frame's dash phase for its next draw.
  static float DensitometerDashPhase() { return sm_DensitometerDashPhase; }

protected:
  OSStatus DoControlDraw(RgnHandle region, CGContextRef context) override;
  OSStatus DoScrollableScrollTo(PPx::SysCarbonEvent& event, CGPoint const& origin) override;
  void DoTimer() override;

private:
  using TileList = std::vector<IMPN_ImageTile>;

  // Both surfaces' requests and loaded tiles go, so the next paint starts over from what is
  // drawn now.
  void CancelLoading();
  // Builds the first request of the queue and moves it to the loaded list.
  void LoadFirstTile(TileQueue& queue, TileList& loaded);
  void DrawLoadedTiles(MKRX_DrawContext& context);
  bool StartsLoading();
  void FillBackground(MKRX_DrawContext& context, long width, long length);
  void Turn(CGContextRef context, long width, long length) const;
  void StrokeEdges(CKRX_Context& context, std::vector<IMPN_RectT<long>> const& rects,
                   IMPN_RGBColor8 const& colour, bool dashed);
  void DrawPageEdge(MKRX_DrawContext& context, IMPN_PageEdge const& page, bool dashed,
                    bool showEdges, bool showNumbers);
  float ZoomFactor() const;
  // The surface with separations at this opacity, 0 without separations.
  static int OpacityOf(IMPN_Surface const& surface);

  TileList m_BackTilesLoaded;
  TileList m_FrontTilesLoaded;
  bool m_EraseAll = false;

  static float sm_DensitometerDashPhase;
};
