// The Mac face of the portable sheet view: the scrolling view of one sheet in its window.
// (Placeholder until it is built: the portable view's state and commands work, the view sizes and
// scrolls its image, and it draws nothing; refreshes, the handlers' installation and the drawing
// hooks are recorded.)
#pragma once

#include "CKRX/CKRX_SheetView.h"
#include "PPXA/PPXA_ScrollableView.h"

class MKRX_SheetView : public CKRX_SheetView, public PPXA::ScrollableView {
public:
  MKRX_SheetView();

  void InitEventHandlers();

  // The state the sheet window's commands read and set.
  IMPN_Sheet* GetSheet() const { return m_Sheet.Get(); }
  IMPN_ZoomLevel GetZoomLevel() const { return m_ZoomLevel; }
  IMPN_ToolMode GetToolMode() const { return m_ActiveTool; }
  void SetToolMode(IMPN_ToolMode mode) { m_ActiveTool = mode; }
  IMPN_BackupAlignment GetBackupAlignment() const { return m_BackupAlignment; }
  void SetBackupAlignment(IMPN_BackupAlignment alignment) { m_BackupAlignment = alignment; }
  bool IsPageFlipped() const { return m_PageFlipped; }
  long GetRotation() const { return m_Rotation; }
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
  // Guide lines as the view's guide tool leaves them (one horizontal guide at the position).
  void AddHorizontalGuideLine(long position);

  void RefreshView() override;
  void EraseAndRefreshView() override;
  IMPN_RectT<long> GetViewFrame() override;
  void ResizeView(long width, long height, bool refresh) override;
  void ScrollViewTo(long x, long y, bool refresh) override;
  void EraseTile(CKRX_Context&, IMPN_RectT<long>, IMPN_RGBColor8) override {}
  void BeginBackMode(CKRX_Context&, int) override {}
  void EndBackMode(CKRX_Context&) override {}
  void BeginFrontMode(CKRX_Context&, int) override {}
  void EndFrontMode(CKRX_Context&) override {}
  void DrawBitMapToContext(IMPN_BitMap const*, CKRX_Context&, IMPN_RectT<long> const&) override {}
  void DrawPlateEdge(CKRX_Context&, IMPN_RectT<long> const&, bool) override {}
  void DrawPressSheetEdge(CKRX_Context&, IMPN_RectT<long> const&, bool) override {}
  void DrawBleedEdges(CKRX_Context&, std::vector<IMPN_RectT<long>> const&, bool) override {}
  void DrawPageEdges(CKRX_Context&, std::vector<IMPN_PageEdge> const&, bool, bool, bool) override {}
  void DrawSourceClipPaths(CKRX_Context&, CKRX_ClipPathList const&, bool) override {}
  void DrawTypeSafetyEdges(CKRX_Context&, std::vector<IMPN_RectT<long>> const&, bool) override {}
  void DrawGuideLines(CKRX_Context&, IMPN_GuideLines const&, bool) override {}
  void DrawDensitometerFrame(CKRX_Context&, IMPN_RectT<long> const&) override {}
  void StartDrawCachedImageTimer() override {}
  void StopDrawCachedImageTimer() override {}

  const char* ClassName() const override { return "MKRX_SheetView"; }

protected:
  OSStatus DoControlDraw(RgnHandle, CGContextRef) override { return noErr; }
};
