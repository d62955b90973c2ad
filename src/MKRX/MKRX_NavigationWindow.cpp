#include "MKRX/MKRX_NavigationWindow.h"

#include "IMPN/IMPN_Sheet.h"
#include "MKRX/MKRX_SheetView.h"
#include "USTR/USTR_LocalizedString.h"

#include <CoreGraphics/CGDirectDisplay.h>

#include <cmath>

namespace {

constexpr OSType kCreator = 0x4E6C7432;                   // 'Nlt2'
constexpr PropertyTag kWindowTag = 0x4E617657;            // 'NavW'
constexpr ControlID kNavigationViewID = {0x4E617656, 0};  // 'NavV'
constexpr CGDisplayCount kMaxDisplays = 32;

}  // namespace

MKRX_NavigationWindow::MKRX_NavigationWindow() {
  // A failed load shows in the view's look-up, which throws.
  Initialize(CFSTR("MKRX_Resources"), CFSTR("Navigation Palette"));
  InitWindow();
  InstallHandlersOnWindow();
}

MKRX_NavigationWindow::~MKRX_NavigationWindow() {
  RemoveView(m_View);
}

void MKRX_NavigationWindow::InitWindow() {
  CFStringRef text = iUSTR_GetLocalizedCFString(CFSTR("CKRX_Navigation"));
  if (text) {
    SetTitle(text);
    CFRelease(text);
  }
  m_NavigationView.Attach(FindViewByID(kNavigationViewID));
}

void MKRX_NavigationWindow::InstallHandlersOnWindow() {
  MKRX_NavigationWindow* self = this;
  SetWindowProperty(GetSysWindow(), kCreator, kWindowTag, sizeof self, &self);
}

OSStatus MKRX_NavigationWindow::DoWindowClose(PPx::SysCarbonEvent&, WindowRef) {
  Hide();
  return noErr;
}

void MKRX_NavigationWindow::RemoveView(MKRX_SheetView* view) {
  if (view == nullptr || view != m_View)
    return;
  m_NavigationView.RemoveSheetView(view);
  m_View = nullptr;
}

Rect MKRX_NavigationWindow::KeptOnScreen(Rect bounds) {
  CGRect const rect =
      CGRectMake(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
  CGDirectDisplayID displays[kMaxDisplays] = {};
  CGDisplayCount count = 0;
  if (CGGetDisplaysWithRect(rect, kMaxDisplays, displays, &count) != kCGErrorSuccess || count == 0)
    return bounds;
  CGRect best = CGRectMake(0, 0, 0, 0);
  CGFloat bestArea = -1;
  for (CGDisplayCount i = 0; i < count; ++i) {
    CGRect const display = CGDisplayBounds(displays[i]);
    CGRect const shared = CGRectIntersection(display, rect);
    CGFloat const area = CGRectIsNull(shared) ? 0 : shared.size.width * shared.size.height;
    if (area > bestArea) {
      bestArea = area;
      best = display;
    }
  }
  auto shift = [](Rect& r, short dx, short dy) {
    r.left = static_cast<short>(r.left + dx);
    r.right = static_cast<short>(r.right + dx);
    r.top = static_cast<short>(r.top + dy);
    r.bottom = static_cast<short>(r.bottom + dy);
  };
  short const left = static_cast<short>(CGRectGetMinX(best));
  short const right = static_cast<short>(CGRectGetMaxX(best));
  short const top = static_cast<short>(CGRectGetMinY(best));
  short const bottom = static_cast<short>(CGRectGetMaxY(best));
  if (bounds.left < left)
    shift(bounds, static_cast<short>(left - bounds.left), 0);
  if (bounds.right > right)
    shift(bounds, static_cast<short>(right - bounds.right), 0);
  if (bounds.top < top)
    shift(bounds, 0, static_cast<short>(top - bounds.top));
  if (bounds.bottom > bottom)
    shift(bounds, 0, static_cast<short>(bottom - bounds.bottom));
  return bounds;
}

void MKRX_NavigationWindow::SetView(MKRX_SheetView* view) {
  // Also when it is the same view, as after a turn: one binding at a time.
  if (m_View)
    m_NavigationView.RemoveSheetView(m_View);
  m_View = view;
  if (view == nullptr || view->GetSheet() == nullptr)
    return;
  IMPN_Sheet* sheet = view->GetSheet();
  bool const sideways = view->GetRotation() == 90 || view->GetRotation() == 270;
  CGFloat const w =
      static_cast<CGFloat>(sideways ? sheet->GetThumbnailLength() : sheet->GetThumbnailWidth());
  CGFloat const h =
      static_cast<CGFloat>(sideways ? sheet->GetThumbnailWidth() : sheet->GetThumbnailLength());
  IMPN_RectT<double> const n = view->GetNormalizedViewFrame();
  CGRect const start = CGRectMake(w * n.left, h * n.top, w * n.width, h * n.height);

  Rect bounds = {0, 0, 0, 0};
  GetWindowBounds(GetSysWindow(), kWindowStructureRgn, &bounds);
  HIRect const viewFrame = m_NavigationView.GetFrame();
  bounds.right = static_cast<short>(bounds.right + std::trunc(w - viewFrame.size.width));
  bounds.bottom = static_cast<short>(bounds.bottom + std::trunc(h - viewFrame.size.height));
  bounds = KeptOnScreen(bounds);

  m_NavigationView.SetVisible(false);
  HIRect const target =
      CGRectMake(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
  TransitionWindowOptions options = {};
  TransitionWindowWithOptions(GetSysWindow(), kWindowSlideTransitionEffect,
                              kWindowResizeTransitionAction, &target, false, &options);
  // The view fills the palette's content, as the nib lays it out.
  m_NavigationView.SetFrame(CGRectMake(viewFrame.origin.x, viewFrame.origin.y, w, h));
  m_NavigationView.SetViewFrame(start);
  m_NavigationView.SetVisible(true);
  m_NavigationView.SetSheetView(view);
}
