// The view operations that tell the palettes, rulers and panels what the view shows, and the
// messages the view hears from them.
#include "MKRX/MKRX_SheetView.h"

#include "MKRX/MKRX_PaletteManager.h"

void MKRX_SheetView::TogglePageFlipped() {
  // The loader's requests belong to the surface shown until now.
  CancelLoading();
  bool const frontShown = m_PageFlipped;
  m_PageFlipped = !m_PageFlipped;
  BroadcastMessage(MKRX_ShowThumbnailMessage(frontShown));
  MKRX_PaletteManager::ArrangePanels(frontShown);
  EraseAndRefreshView();
}

void MKRX_SheetView::SetSheetOpacity(int opacity) {
  // What shows through, and how, may change: the queued tiles no longer fit.
  CancelLoading();
  CKRX_SheetView::SetSheetOpacity(opacity);
  BroadcastMessage(MKRX_SurfaceOpacityChangedMessage());
}

void MKRX_SheetView::ToggleShowPageEdges() {
  m_ShowPageEdges = !m_ShowPageEdges;
  BroadcastMessage(MKRX_SetShowPageEdgesMessage(m_ShowPageEdges));
  RefreshView();
}

void MKRX_SheetView::ToggleShowPageNumbers() {
  m_ShowPageNumbers = !m_ShowPageNumbers;
  BroadcastMessage(MKRX_SetShowPageNumbersMessage(m_ShowPageNumbers));
  RefreshView();
}

void MKRX_SheetView::ShowEdgeInfo() {
  CKRX_SheetView::ShowEdgeInfo();
  BroadcastMessage(MKRX_SetShowPageEdgesMessage(true));
  BroadcastMessage(MKRX_SetShowPageNumbersMessage(true));
}

void MKRX_SheetView::HideEdgeInfo() {
  CKRX_SheetView::HideEdgeInfo();
  BroadcastMessage(MKRX_SetShowPageEdgesMessage(false));
  BroadcastMessage(MKRX_SetShowPageNumbersMessage(false));
}

void MKRX_SheetView::ResetUnitOrigin() {
  CKRX_SheetView::ResetUnitOrigin();
  BroadcastMessage(MKRX_UpdateCursorTickMessage(IMPN_PointT<double>(0, 0)));
}

void MKRX_SheetView::DoSurfaceOpacityChanged(MKRX_SurfaceOpacityChangedMessage const&) {
  RefreshView();
}
