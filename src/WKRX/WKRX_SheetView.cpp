// The window, scrolling, painting, the tile timer, the private messages and dropped files.
#include "WKRX/WKRX_SheetView.h"

#include "CKRX/CKRX_Context.h"
#include "IMPN/IMPN_Preferences.h"
#include "GFIL/GFIL_Utils.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Surface.h"
#include "TIFX/TIFX_KRXFile.h"
#include "WKRX/WKRX_System.h"
#include "WTLU/WTLU_DropTarget.h"

#include <algorithm>

namespace {

long NextInstanceNumber() {
  static long sm_Count = 0;
  return ++sm_Count;
}

COLORREF ColourRef(const IMPN_RGBColor8& colour) {
  return RGB(colour.red, colour.green, colour.blue);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  if (rect.right <= rect.left || rect.bottom <= rect.top)
    return;
  const COLORREF previous = SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  SetBkColor(dc, previous);
}

// Whether the file can be shown: it opens and is a valid preview file.
bool IsPreviewFile(const GFIL_FileSpec& spec) {
  try {
    TIFX_KRXFile file(spec);
    file.Open();
    return file.IsValid();
  } catch (...) {
    return false;
  }
}

}  // namespace

WKRX_SheetView::WKRX_SheetView()
    : m_InstanceNumber(NextInstanceNumber()),
      m_Marker(-32768, -32768) {
  SetScrollExtendedStyle(WTL::SCRL_SCROLLCHILDREN | WTL::SCRL_ERASEBACKGROUND);
  SetScrollLine(1, 1);
  SetTickSource([] { return static_cast<std::uint32_t>(WKRX_System::Current().tickCount()); });
}

WKRX_SheetView::~WKRX_SheetView() {
  m_DropTarget.reset();
}

WKRX_DropTarget* WKRX_SheetView::DropTarget() const {
  return m_DropTarget ? static_cast<WKRX_DropTarget*>(m_DropTarget->Target()) : nullptr;
}

void WKRX_SheetView::BindSheet(IMPN_Sheet* sheet) {
  SetSheet(sheet);
  if (sheet != nullptr && m_Sheet == sheet && !m_CarriedStates.IsEmpty())
    m_CarriedStates.ApplyTo(*sheet);
  m_CarriedStates.Clear();
  EraseAndRefreshView();
}

// ---------------------------------------------------------------------------------------------
// Sizes and positions

double WKRX_SheetView::ZoomFactor() const {
  return kIMPN_ZoomFactor[m_ZoomLevel];
}

long WKRX_SheetView::LevelWidth() const {
  return m_Sheet != nullptr ? m_Sheet->GetImageWidth(m_ZoomLevel) : 0;
}

long WKRX_SheetView::LevelLength() const {
  return m_Sheet != nullptr ? m_Sheet->GetImageLength(m_ZoomLevel) : 0;
}

SIZE WKRX_SheetView::ClientSize() const {
  RECT client = {0, 0, 0, 0};
  if (m_hWnd != nullptr)
    ::GetClientRect(m_hWnd, &client);
  return SIZE{client.right, client.bottom};
}

IMPN_PointT<long> WKRX_SheetView::ClientToView(POINT client) const {
  return IMPN_PointT<long>(client.x + m_ptOffset.x, client.y + m_ptOffset.y);
}

bool WKRX_SheetView::HasResolution() const {
  return m_Sheet != nullptr && m_Sheet->GetXResolution() > 0.0f && m_Sheet->GetYResolution() > 0.0f;
}

IMPN_PointT<double> WKRX_SheetView::UnitLengths(IMPN_PointT<long> viewPoint) {
  return ViewPointToUnitLengths(viewPoint,
                                static_cast<IMPN_Units>(IMPN_Preferences::sm_PreferredLinearUnits));
}

IMPN_RectT<long> WKRX_SheetView::GetViewFrame() {
  const SIZE client = ClientSize();
  return IMPN_RectT<long>(m_ptOffset.y, m_ptOffset.x, client.cx, client.cy);
}

IMPN_RectT<double> WKRX_SheetView::GetNormalizedViewFrame() {
  const double w = static_cast<double>(LevelWidth());
  const double l = static_cast<double>(LevelLength());
  if (w <= 0.0 || l <= 0.0)
    return IMPN_RectT<double>();
  const IMPN_RectT<long> frame = GetViewFrame();
  return IMPN_RectT<double>(frame.top / l, frame.left / w, frame.width / w, frame.height / l);
}

void WKRX_SheetView::RefreshView() {
  if (m_hWnd != nullptr)
    InvalidateRect(nullptr, TRUE);
}

void WKRX_SheetView::EraseAndRefreshView() {
  m_EraseDocumentOnce = true;
  RefreshView();
}

void WKRX_SheetView::ResizeView(long width, long height, bool redraw) {
  SetScrollSize(static_cast<int>(width), static_cast<int>(height), redraw ? TRUE : FALSE);
  SetScrollLine(1, 1);
  UpdatePageSize();
}

void WKRX_SheetView::UpdatePageSize() {
  const SIZE client = ClientSize();
  SetScrollPage(client.cx, client.cy);
}

void WKRX_SheetView::ScrollViewTo(long x, long y, bool) {
  // Only the position: the caller repaints what it changed.
  SetScrollOffset(static_cast<int>(x), static_cast<int>(y), FALSE);
}

void WKRX_SheetView::ScrollContents(int dx, int dy) {
  if (m_hWnd == nullptr)
    return;
  HRGN uncovered = CreateRectRgn(0, 0, 0, 0);
  ::ScrollWindowEx(m_hWnd, dx, dy, nullptr, nullptr, uncovered, nullptr, m_uScrollFlags);
  // Below 1:1 the timer fills the tiles in later; meanwhile the old picture must not show.
  if (uncovered != nullptr && m_ZoomLevel > kIMPN_ZoomLevel1to1) {
    RECT box;
    if (GetRgnBox(uncovered, &box) != NULLREGION) {
      HDC dc = WKRX_System::Current().windowDC(m_hWnd);
      if (dc != nullptr) {
        FillRgn(dc, uncovered, GetSysColorBrush(COLOR_WINDOW));
        WKRX_System::Current().releaseWindowDC(m_hWnd, dc);
      }
    }
  }
  if (uncovered != nullptr)
    DeleteObject(uncovered);
}

void WKRX_SheetView::SetLayDownOrder(bool front, std::vector<IMPN_Separation*>& order) {
  if (m_Sheet == nullptr)
    return;
  (front ? m_Sheet->GetFrontSurface() : m_Sheet->GetBackSurface()).ResetLayDownOrder(order);
  RefreshView();
}

// ---------------------------------------------------------------------------------------------
// Window

LRESULT WKRX_SheetView::OnCreate(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  auto target = std::make_unique<WKRX_DropTarget>(m_hWnd, m_Frame);
  target->AddSupportedFormat(WKRX_DropTarget::FileListFormat());
  WKRX_DropTarget* raw = target.get();
  auto registration = std::make_unique<WTLU_DropTargetRegistration>(m_hWnd, std::move(target));
  if (!registration->IsRegistered())
    return 0;
  const GLIB_MessageDispatcher& dispatcher = raw->Dispatcher();
  dispatcher.Register(
      new GLIB_Callback<WKRX_SheetView, WKRX_DragEnterMessage>(this, &WKRX_SheetView::OnDragEnter));
  dispatcher.Register(
      new GLIB_Callback<WKRX_SheetView, WKRX_DragOverMessage>(this, &WKRX_SheetView::OnDragOver));
  dispatcher.Register(
      new GLIB_Callback<WKRX_SheetView, WKRX_DragLeaveMessage>(this, &WKRX_SheetView::OnDragLeave));
  dispatcher.Register(new GLIB_Callback<WKRX_SheetView, WKRX_DragDroppedMessage>(
      this, &WKRX_SheetView::OnDragDropped));
  m_DropTarget = std::move(registration);
  return 0;
}

LRESULT WKRX_SheetView::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  StopDrawCachedImageTimer();
  m_DropTarget.reset();
  return 0;
}

LRESULT WKRX_SheetView::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&) {
  const HDC dc = reinterpret_cast<HDC>(wParam);
  const SIZE client = ClientSize();
  const long docRight = m_sizeAll.cx - m_ptOffset.x;
  const long docBottom = m_sizeAll.cy - m_ptOffset.y;
  if (m_EraseDocumentOnce) {
    m_EraseDocumentOnce = false;
    if (m_Sheet != nullptr) {
      IMPN_Surface& shown = ViewedSurface();
      FillSolid(dc, RECT{-m_ptOffset.x, -m_ptOffset.y, docRight, docBottom},
                ColourRef(shown.GetColor()));
    }
  }
  const HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
  if (docRight < client.cx) {
    const RECT right = {std::max(docRight, 0L), 0, client.cx, client.cy};
    FillRect(dc, &right, window);
  }
  if (docBottom < client.cy) {
    const RECT below = {0, std::max(docBottom, 0L), std::min<long>(docRight, client.cx), client.cy};
    FillRect(dc, &below, window);
  }
  return 1;
}

void WKRX_SheetView::SendFrameChanged() {
  if (LevelWidth() <= 0 || LevelLength() <= 0)
    return;
  IMPN_RectT<double> frame = GetNormalizedViewFrame();
  ::SendMessageW(m_Frame, WKRX_WM_VIEWFRAMECHANGED, 0, reinterpret_cast<LPARAM>(&frame));
}

void WKRX_SheetView::DoPaint(WTL::CDCHandle dc) {
  if (m_Sheet == nullptr) {
    const int saved = SaveDC(dc);
    const SIZE client = ClientSize();
    const RECT area = {m_ptOffset.x, m_ptOffset.y, m_ptOffset.x + client.cx,
                       m_ptOffset.y + client.cy};
    FillRect(dc, &area, GetSysColorBrush(COLOR_APPWORKSPACE));
    RestoreDC(dc, saved);
    return;
  }
  SendFrameChanged();
  // Feedback drawn with XOR would be drawn over; it goes and comes back around the drawing.
  const bool feedback = m_FeedbackShown;
  if (feedback)
    HideFeedback();
  CKRX_Context context(dc);
  if (m_BackgroundDrawing && m_ZoomLevel > kIMPN_ZoomLevel1to1)
    CacheImage();
  else
    DrawImage(context);
  if (feedback)
    ShowFeedback(m_Feedback);
}

// ---------------------------------------------------------------------------------------------
// The tile timer

void WKRX_SheetView::StartDrawCachedImageTimer() {
  if (m_hWnd != nullptr)
    ::SetTimer(m_hWnd, static_cast<UINT_PTR>(m_InstanceNumber), 25, nullptr);
}

void WKRX_SheetView::StopDrawCachedImageTimer() {
  if (m_hWnd != nullptr)
    ::KillTimer(m_hWnd, static_cast<UINT_PTR>(m_InstanceNumber));
}

LRESULT WKRX_SheetView::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam != static_cast<WPARAM>(m_InstanceNumber)) {
    handled = FALSE;
    return 0;
  }
  RunTimerPass();
  return 0;
}

void WKRX_SheetView::RunTimerPass() {
  const WKRX_System& system = WKRX_System::Current();
  const HDC dc = system.windowDC(m_hWnd);
  if (dc == nullptr)
    return;
  // Tiles drawn over XOR feedback would invert when the feedback is taken off.
  const bool feedback = m_FeedbackShown;
  if (feedback)
    DrawFeedback(dc);
  POINT previous = {0, 0};
  SetViewportOrgEx(dc, -m_ptOffset.x, -m_ptOffset.y, &previous);
  CKRX_Context context(dc);
  DrawCachedImage(context);
  SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
  if (feedback)
    DrawFeedback(dc);
  system.releaseWindowDC(m_hWnd, dc);
}

// ---------------------------------------------------------------------------------------------
// Messages from the palettes

LRESULT WKRX_SheetView::OnScrollViewTo(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const double* fractions = reinterpret_cast<const double*>(lParam);
  if (fractions == nullptr || m_Sheet == nullptr)
    return 0;
  ScrollViewTo(static_cast<long>(fractions[1] * LevelWidth()),
               static_cast<long>(fractions[0] * LevelLength()), false);
  EraseAndRefreshView();
  return 0;
}

LRESULT WKRX_SheetView::OnZoomViewToRect(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const IMPN_RectT<double>* normalised = reinterpret_cast<const IMPN_RectT<double>*>(lParam);
  if (normalised == nullptr || m_Sheet == nullptr)
    return 0;
  const double w = static_cast<double>(LevelWidth());
  const double l = static_cast<double>(LevelLength());
  IMPN_RectT<double> rect(normalised->top * l, normalised->left * w, normalised->width * w,
                          normalised->height * l);
  AdjustFrameToFit(rect);
  EraseAndRefreshView();
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Dropped files

void WKRX_SheetView::FilesDropped(const std::vector<GLIB_WString>& paths) {
  GFIL_FileSpecVector dropped;
  for (const GLIB_WString& path : paths) {
    const GFIL_FileSpec spec = GFIL_SpecFromPlatformPath(path);
    if (IsPreviewFile(spec))
      dropped.push_back(spec);
  }
  if (dropped.empty() || m_Sheet == nullptr)
    return;

  GFIL_FileSpecVector lists[2];
  IMPN_Surface* surfaces[2] = {&m_Sheet->GetFrontSurface(), &m_Sheet->GetBackSurface()};
  std::vector<GLIB_WString> keys;
  for (int side = 0; side < 2; ++side) {
    for (IMPN_Separation* separation : surfaces[side]->GetSeparations()) {
      lists[side].push_back(separation->GetFileSpec());
      keys.push_back(WKRX_FileKey(separation->GetFileSpec()));
    }
  }
  GFIL_FileSpecVector& viewed = lists[m_PageFlipped ? 1 : 0];
  for (const GFIL_FileSpec& spec : dropped) {
    const GLIB_WString key = WKRX_FileKey(spec);
    if (std::find(keys.begin(), keys.end(), key) != keys.end())
      continue;
    keys.push_back(key);
    viewed.push_back(spec);
  }
  m_CarriedStates.Capture(*m_Sheet);
  // The frame takes its own reference while the message is sent; a sheet nobody takes goes.
  IMPN_SheetReference sheet(new IMPN_Sheet(lists[0], lists[1]));
  ::SendMessageW(m_Frame, WKRX_WM_FILESDROPPED, 0, reinterpret_cast<LPARAM>(sheet.Get()));
  RefreshView();
}
