#include "MKRX/MKRX_SheetView.h"

#include "MKRX/iMKRX_PlaceholderLog.h"

MKRX_SheetView::MKRX_SheetView() {
  SetLineSize(8, 8);
}

void MKRX_SheetView::InitEventHandlers() {
  iMKRX_PlaceholderLog::Record("MKRX_SheetView::InitEventHandlers");
}

void MKRX_SheetView::AddHorizontalGuideLine(long position) {
  ViewedGuideLines().horizontal.insert(position);
}

void MKRX_SheetView::RefreshView() {
  iMKRX_PlaceholderLog::Record("MKRX_SheetView::RefreshView");
  if (GetSysView())
    HIViewSetNeedsDisplay(GetSysView(), true);
}

void MKRX_SheetView::EraseAndRefreshView() {
  iMKRX_PlaceholderLog::Record("MKRX_SheetView::EraseAndRefreshView");
  if (GetSysView())
    HIViewSetNeedsDisplay(GetSysView(), true);
}

IMPN_RectT<long> MKRX_SheetView::GetViewFrame() {
  CGSize const size = GetSysView() ? ViewSize() : CGSizeMake(0, 0);
  CGPoint const origin = ImageOrigin();
  return IMPN_RectT<long>(static_cast<long>(origin.y), static_cast<long>(origin.x),
                          static_cast<long>(size.width), static_cast<long>(size.height));
}

void MKRX_SheetView::ResizeView(long width, long height, bool refresh) {
  if (GetSysView())
    SetImageSize(static_cast<float>(width), static_cast<float>(height), refresh);
}

void MKRX_SheetView::ScrollViewTo(long x, long y, bool refresh) {
  if (GetSysView())
    ScrollTo(static_cast<float>(x), static_cast<float>(y), refresh);
}
