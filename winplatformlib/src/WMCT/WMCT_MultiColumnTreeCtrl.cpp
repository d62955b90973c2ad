#include "WMCT/WMCT_MultiColumnTreeCtrl.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/win/GLIB_WinGuard.h"
#include "UWIN/UWIN_SystemInfo.h"
#include "UWIN/UWIN_WinCallError.h"
#include "WMCT/WMCT_Cells.h"
#include "WMCT/WMCT_Resources.h"
#include "WTLU/WTLU_Functions.h"

namespace {

constexpr DWORD kHeaderStyle = WS_CHILD | WS_VISIBLE | HDS_FULLDRAG | HDS_DRAGDROP | HDS_BUTTONS;
constexpr int kHeaderWidth = 5000;
constexpr int kIndentPerLevel = 20;
constexpr int kImageWidth = 20;
constexpr int kLineStep = 6;
constexpr UINT kOnItem = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT |
                         TVHT_ONITEMSTATEICON;
constexpr UINT kExpandActions = TVE_COLLAPSE | TVE_EXPAND;
constexpr int kSortMarks = HDF_SORTUP | HDF_SORTDOWN;
constexpr int kBitmapMarks = HDF_BITMAP | HDF_BITMAP_ON_RIGHT;

POINT PointOf(LPARAM lParam) {
  return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

HBITMAP LoadArrow(UINT id) {
  return static_cast<HBITMAP>(
      ATL::AtlLoadImage(MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
}

}  // namespace

void WMCT_TreeItem::SetStateImage(UINT index) const {
  TVITEMW item = {};
  item.mask = TVIF_STATE;
  item.hItem = m_Item;
  item.state = INDEXTOSTATEIMAGEMASK(index);
  item.stateMask = TVIS_STATEIMAGEMASK;
  ::SendMessageW(m_Tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

WMCT_MultiColumnTreeCtrl::WMCT_MultiColumnTreeCtrl(bool multipleSelection, bool headerVisible,
                                                   bool dragAndDrop, bool autoScroll,
                                                   bool autoExpand)
    : m_Tree(WC_TREEVIEWW, this, 1),
      m_Header(WC_HEADERW, this, 2),
      m_PrePaint(new WMCT_RowDecoratorChain),
      m_PostPaint(new WMCT_RowDecoratorChain),
      m_MultipleSelection(multipleSelection),
      m_HeaderVisible(headerVisible),
      m_DragAndDrop(dragAndDrop),
      m_DeletePolicy(new iWMCT_DeletePolicyBase),
      m_Windows2000(UWIN_GetOSVersion() == 0x500) {
  if (autoScroll) {
    AddBehaviourPolicy(iWMCT_BehaviourAutoScroll(this));
  }
  if (autoExpand) {
    AddBehaviourPolicy(iWMCT_BehaviourAutoExpand(this));
  }
  if (m_Windows2000) {
    m_AscendingArrow.reset(LoadArrow(kWMCT_AscendingArrowBitmap));
    m_DescendingArrow.reset(LoadArrow(kWMCT_DescendingArrowBitmap));
  }
}

WMCT_MultiColumnTreeCtrl::~WMCT_MultiColumnTreeCtrl() = default;

BOOL WMCT_MultiColumnTreeCtrl::SubclassWindow(HWND hWnd) {
  if (!CWindowImpl::SubclassWindow(hWnd)) {
    return FALSE;
  }
  CreateChildren();
  return TRUE;
}

// Children and layout.

void WMCT_MultiColumnTreeCtrl::CreateChildren() {
  m_LetTreeErase = false;
  m_HorizontalOffset = 0;
  RECT client = {};
  GetClientRect(&client);
  ::SetLastError(0);
  if (m_Tree.Create(m_hWnd, client, nullptr, GetStyle(), 0, static_cast<UINT>(GetDlgCtrlID())) ==
      nullptr) {
    UWIN_RaiseIfWinCallReturnedNull(__FILE__, __LINE__);
    return;
  }
  m_Tree.ModifyStyle(TVS_NOHSCROLL, TVS_SHOWSELALWAYS);
  RECT none = {};
  ::SetLastError(0);
  if (m_Header.Create(m_hWnd, none, nullptr, kHeaderStyle, 0, 0U) == nullptr) {
    UWIN_RaiseIfWinCallReturnedNull(__FILE__, __LINE__);
    return;
  }
  m_Header.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                       TRUE);
  Invalidate();
  UpdateLayout();
  m_ItemJustExpanded = false;
  if (m_DragAndDrop) {
    m_DropCursor = std::make_unique<WMCT_RowDecoratorDropCursor>();
    m_PostPaint->Add(*m_DropCursor);
    SetTreeStyleBit(TVS_DISABLEDRAGDROP, false);
  }
}

void WMCT_MultiColumnTreeCtrl::UpdateLayout() {
  if (!m_Tree.IsWindow() || !m_Header.IsWindow()) {
    return;
  }
  RECT client = {};
  ::SetLastError(0);
  if (!GetClientRect(&client)) {
    UWIN_RaiseIfWinCallFailed("false", __FILE__, __LINE__);
  }
  const int left = client.left + m_HorizontalOffset;
  const int right = client.right - m_HorizontalOffset;
  int top = client.top;
  if (m_Header.GetStyle() & WS_VISIBLE) {
    RECT area = client;
    WINDOWPOS position = {};
    HDLAYOUT layout = {&area, &position};
    m_Header.SendMessage(HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
    m_Header.SetWindowPos(nullptr, m_HorizontalOffset, position.y, kHeaderWidth, position.cy,
                          SWP_NOACTIVATE);
    top = position.cy;
  }
  m_Tree.SetWindowPos(nullptr, left, top, right - left, client.bottom - top,
                      SWP_NOACTIVATE | SWP_NOZORDER);
  UpdateHorizontalScrollBar();
  if (!m_HeaderVisible) {
    m_Header.ShowWindow(SW_HIDE);
  }
}

int WMCT_MultiColumnTreeCtrl::GetTotalColumnWidth() const {
  int total = 0;
  const int count = GetColumnCount();
  for (int i = 0; i < count; ++i) {
    RECT rect = {};
    m_Header.SendMessage(HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rect));
    total += rect.right - rect.left;
  }
  return total;
}

void WMCT_MultiColumnTreeCtrl::UpdateHorizontalScrollBar() {
  if (!m_Header.IsWindow()) {
    return;
  }
  const int total = GetTotalColumnWidth();
  RECT client = {};
  GetClientRect(&client);
  const int width = client.right - client.left;
  if (width < total) {
    ::ShowScrollBar(m_hWnd, SB_HORZ, TRUE);
    ::SetScrollRange(m_hWnd, SB_HORZ, 0, total - width, TRUE);
  } else if (GetStyle() & WS_HSCROLL) {
    ::SetScrollPos(m_hWnd, SB_HORZ, 0, TRUE);
    ::ShowScrollBar(m_hWnd, SB_HORZ, FALSE);
    ModifyStyle(WS_HSCROLL, 0);
    m_HorizontalOffset = 0;
  }
}

void WMCT_MultiColumnTreeCtrl::ShowHeader() {
  m_HeaderVisible = true;
  m_HorizontalOffset = 0;
  m_Header.SetWindowPos(nullptr, 0, 0, 0, 0,
                        SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateLayout();
}

LRESULT WMCT_MultiColumnTreeCtrl::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  CreateChildren();
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnWindowPosChange(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  UpdateLayout();
  BroadcastMessage(WMCT_WindowPosChanged(reinterpret_cast<const WINDOWPOS*>(lParam)));
  bHandled = FALSE;
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnHScroll(UINT, WPARAM wParam, LPARAM, BOOL&) {
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  ::GetScrollInfo(m_hWnd, SB_HORZ, &info);
  RECT treeClient = {};
  m_Tree.GetClientRect(&treeClient);
  const int page = treeClient.right - treeClient.left;
  const int maximum = info.nMax;
  int position = info.nPos;
  switch (LOWORD(wParam)) {
    case SB_LINELEFT:
      position = std::max(position - kLineStep, 0);
      break;
    case SB_LINERIGHT:
      position = std::min(position + kLineStep, maximum);
      break;
    case SB_PAGELEFT:
      position = std::max(position - page, 0);
      break;
    case SB_PAGERIGHT:
      position = std::min(position + page, maximum);
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      position = std::min(static_cast<int>(HIWORD(wParam)), maximum);
      break;
    case SB_LEFT:
      position = 0;
      break;
    case SB_RIGHT:
      position = maximum;
      break;
    default:
      break;
  }
  ::SetScrollPos(m_hWnd, SB_HORZ, position, TRUE);
  m_HorizontalOffset = -position;
  UpdateLayout();
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnTimer(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (wParam == kExpansionTimer) {
    KillTimer(kExpansionTimer);
    m_ItemJustExpanded = false;
    return 0;
  }
  // Copied: a policy may be added while the others run.
  const std::vector<WMCT_BehaviourPolicyPtr> policies = m_Policies;
  for (const WMCT_BehaviourPolicyPtr& policy : policies) {
    policy->Timer(static_cast<UINT_PTR>(wParam), lParam);
  }
  return 0;
}

// Painting.

LRESULT WMCT_MultiColumnTreeCtrl::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  RECT clip = {};
  ::GetClipBox(reinterpret_cast<HDC>(wParam), &clip);
  RECT treeClient = {};
  m_Tree.GetClientRect(&treeClient);
  RECT both = {};
  ::UnionRect(&both, &clip, &treeClient);
  if (::EqualRect(&both, &treeClient) && !m_LetTreeErase) {
    return 1;
  }
  bHandled = FALSE;
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnPaint(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  UpdateHorizontalScrollBar();
  bHandled = FALSE;
  return 0;
}

template <class Child>
void WMCT_MultiColumnTreeCtrl::PaintBuffered(Child& child, HDC target, const RECT& area,
                                             int colour) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) {
    return;
  }
  struct Buffer {
    HDC m_Dc;
    HBITMAP m_Bitmap;
    HGDIOBJ m_Old = nullptr;
    ~Buffer() {
      if (m_Old) {
        ::SelectObject(m_Dc, m_Old);
      }
      if (m_Bitmap) {
        ::DeleteObject(m_Bitmap);
      }
      if (m_Dc) {
        ::DeleteDC(m_Dc);
      }
    }
  } buffer{::CreateCompatibleDC(target), ::CreateCompatibleBitmap(target, width, height)};
  if (buffer.m_Dc == nullptr || buffer.m_Bitmap == nullptr) {
    // No memory for the buffer: paint directly.
    child.DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(target), 0);
    return;
  }
  buffer.m_Old = ::SelectObject(buffer.m_Dc, buffer.m_Bitmap);
  ::SetWindowOrgEx(buffer.m_Dc, area.left, area.top, nullptr);
  ::FillRect(buffer.m_Dc, &area, ::GetSysColorBrush(colour));
  child.DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(buffer.m_Dc), 0);
  ::BitBlt(target, area.left, area.top, width, height, buffer.m_Dc, area.left, area.top, SRCCOPY);
}

LRESULT WMCT_MultiColumnTreeCtrl::OnTreePaint(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam != 0) {
    bHandled = FALSE;
    return 0;
  }
  PAINTSTRUCT paint = {};
  const HDC dc = ::BeginPaint(m_Tree, &paint);
  PaintBuffered(m_Tree, dc, paint.rcPaint, COLOR_WINDOW);
  ::EndPaint(m_Tree, &paint);
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnHeaderPaint(UINT uMsg, WPARAM wParam, LPARAM, BOOL&) {
  if (uMsg == WM_PRINTCLIENT || wParam != 0) {
    RECT client = {};
    m_Header.GetClientRect(&client);
    PaintBuffered(m_Header, reinterpret_cast<HDC>(wParam), client, COLOR_BTNFACE);
    return 0;
  }
  PAINTSTRUCT paint = {};
  const HDC dc = ::BeginPaint(m_Header, &paint);
  PaintBuffered(m_Header, dc, paint.rcPaint, COLOR_BTNFACE);
  ::EndPaint(m_Header, &paint);
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnTreeNcLButtonDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam == HTVSCROLL) {
    m_LetTreeErase = true;
  }
  bHandled = FALSE;
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnCustomDraw(int, LPNMHDR header, BOOL& bHandled) {
  auto* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(header);
  const auto item = reinterpret_cast<HTREEITEM>(draw->nmcd.dwItemSpec);
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return header->hwndFrom == m_Tree.m_hWnd ? (CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT) : 0;
    case CDDS_POSTPAINT:
      return 0;
    case CDDS_ITEMPREPAINT:
      if (m_PrePaint) {
        m_PrePaint->Decorate(MakeItem(item), draw->nmcd.hdc);
      }
      return CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPOSTPAINT:
      DrawItem(item, draw->nmcd.hdc);
      return 0;
    default:
      bHandled = FALSE;
      return 0;
  }
}

std::uint32_t WMCT_MultiColumnTreeCtrl::RowStateOf(HTREEITEM item) const {
  const bool selected = IsSelected(item);
  const bool enabled = IsWindowEnabled() != FALSE;
  if (selected) {
    return !enabled ? 5u : (m_Focused ? 3u : 4u);
  }
  return enabled ? 0u : 1u;
}

void WMCT_MultiColumnTreeCtrl::DrawItem(HTREEITEM item, HDC dc) {
  WMCT_RowBase* row = GetRow(item);
  RECT text = {};
  WMCT_GetItemRect(m_Tree, item, true, &text);
  const int count = GetColumnCount();
  for (int i = 0; i < count && row; ++i) {
    RECT cell = {};
    m_Header.SendMessage(HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&cell));
    cell.top = text.top;
    cell.bottom = text.bottom;
    const WMCT_HeaderItemPtr column = GetHeaderItem(i);
    if (!column) {
      continue;
    }
    if (i == 0) {
      cell.left += kIndentPerLevel * GetItemDepth(item);
      TVITEMW image = {};
      image.mask = TVIF_IMAGE;
      image.hItem = item;
      ::SetLastError(0);
      if (!m_Tree.GetItem(&image)) {
        UWIN_RaiseIfWinCallFailed("false", __FILE__, __LINE__);
      }
      if (image.iImage != -1) {
        cell.left += kImageWidth;
      }
    }
    cell.left += column->m_LeftMargin;
    cell.right -= column->m_RightMargin;
    ::SetBkMode(dc, TRANSPARENT);
    row->SetRowState(RowStateOf(item));
    row->DrawCell(column->m_ColumnId, dc, cell);
  }
  if (m_PostPaint) {
    m_PostPaint->Decorate(MakeItem(item), dc);
  }
}

// Columns.

void WMCT_MultiColumnTreeCtrl::AddColumn(const WMCT_HeaderItemPtr& item) {
  static const int formats[] = {HDF_LEFT, HDF_CENTER, HDF_RIGHT};
  if (item->m_Justification < 0 || item->m_Justification > 2) {
    GLIB_LogMessage::Log(
        GLIB_SEVERITY_FATAL,
        (L"Unknown text justification code = " + std::to_wstring(item->m_Justification)).c_str(),
        __FILE__, __LINE__);
    return;
  }
  auto held = std::make_unique<WMCT_HeaderItemPtr>(item);
  HDITEMW column = {};
  column.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_LPARAM;
  column.cxy = item->m_Width;
  column.pszText = const_cast<wchar_t*>(item->m_Title.c_str());
  column.fmt = formats[item->m_Justification];
  column.lParam = reinterpret_cast<LPARAM>(held.get());
  if (m_Header.InsertItem(GetColumnCount(), &column) >= 0) {
    held.release();
  }
  UpdateHorizontalScrollBar();
}

int WMCT_MultiColumnTreeCtrl::GetColumnCount() const {
  ::SetLastError(0);
  const int count = m_Header.GetItemCount();
  if (count == -1) {
    UWIN_RaiseIfWinCallFailed("-1", __FILE__, __LINE__);
  }
  return count;
}

WMCT_HeaderItemPtr WMCT_MultiColumnTreeCtrl::GetHeaderItem(int position) const {
  HDITEMW column = {};
  column.mask = HDI_LPARAM;
  ::SetLastError(0);
  if (!m_Header.GetItem(position, &column)) {
    UWIN_RaiseIfWinCallFailed("false", __FILE__, __LINE__);
    return WMCT_HeaderItemPtr();
  }
  const auto* held = reinterpret_cast<const WMCT_HeaderItemPtr*>(column.lParam);
  return held ? *held : WMCT_HeaderItemPtr();
}

int WMCT_MultiColumnTreeCtrl::GetColumnId(int position) const {
  const WMCT_HeaderItemPtr item = GetHeaderItem(position);
  return item ? item->m_ColumnId : -1;
}

bool WMCT_MultiColumnTreeCtrl::IsColumnHiddenWhenExpanded(int position) const {
  const WMCT_HeaderItemPtr item = GetHeaderItem(position);
  return item && item->m_HideWhenExpanded;
}

bool WMCT_MultiColumnTreeCtrl::IsColumnSortable(int position) const {
  if (position < 0) {
    return false;
  }
  const WMCT_HeaderItemPtr item = GetHeaderItem(position);
  return item && item->m_Sortable;
}

int WMCT_MultiColumnTreeCtrl::GetLeftMargin(int position) const {
  const WMCT_HeaderItemPtr item = GetHeaderItem(position);
  return item ? item->m_LeftMargin : 0;
}

void WMCT_MultiColumnTreeCtrl::SetLeftMargin(int position, int margin) {
  if (const WMCT_HeaderItemPtr item = GetHeaderItem(position)) {
    item->m_LeftMargin = margin;
  }
}

int WMCT_MultiColumnTreeCtrl::GetRightMargin(int position) const {
  const WMCT_HeaderItemPtr item = GetHeaderItem(position);
  return item ? item->m_RightMargin : 0;
}

void WMCT_MultiColumnTreeCtrl::SetRightMargin(int position, int margin) {
  if (const WMCT_HeaderItemPtr item = GetHeaderItem(position)) {
    item->m_RightMargin = margin;
  }
}

LRESULT WMCT_MultiColumnTreeCtrl::OnHeaderDeleteItem(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  HDITEMW column = {};
  column.mask = HDI_LPARAM;
  if (m_Header.GetItem(static_cast<int>(wParam), &column) && column.lParam != 0) {
    delete reinterpret_cast<WMCT_HeaderItemPtr*>(column.lParam);
    column.lParam = 0;
    m_Header.SetItem(static_cast<int>(wParam), &column);
  }
  bHandled = FALSE;
  return 0;
}

void WMCT_MultiColumnTreeCtrl::DeleteAllColumns() {
  for (int i = GetColumnCount() - 1; i >= 0; --i) {
    ::SetLastError(0);
    if (!m_Header.SendMessage(HDM_DELETEITEM, static_cast<WPARAM>(i))) {
      UWIN_RaiseIfWinCallFailed("false", __FILE__, __LINE__);
    }
    UpdateHorizontalScrollBar();
  }
  AfterAllColumnsDeleted();
}

LRESULT WMCT_MultiColumnTreeCtrl::OnHeaderDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  DeleteAllColumns();
  bHandled = FALSE;
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnHeaderItemChanging(int, LPNMHDR header, BOOL&) {
  const auto* change = reinterpret_cast<const NMHEADERW*>(header);
  if (change->pitem && (change->pitem->mask & HDI_WIDTH)) {
    const WMCT_HeaderItemPtr item = GetHeaderItem(change->iItem);
    if (item &&
        (change->pitem->cxy < item->m_MinimumWidth || change->pitem->cxy > item->m_MaximumWidth)) {
      return 1;
    }
  }
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnHeaderItemChanged(int, LPNMHDR header, BOOL&) {
  const auto* change = reinterpret_cast<const NMHEADERW*>(header);
  ::RedrawWindow(m_Tree, nullptr, nullptr, RDW_INVALIDATE);
  if (change->pitem && (change->pitem->mask & HDI_WIDTH)) {
    if (const WMCT_HeaderItemPtr item = GetHeaderItem(change->iItem)) {
      item->m_Width = change->pitem->cxy;
    }
    UpdateHorizontalScrollBar();
    ::RedrawWindow(m_Tree, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  }
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnHeaderBeginDrag(int, LPNMHDR, BOOL&) {
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnHeaderEndDrag(int, LPNMHDR header, BOOL& bHandled) {
  const auto* drag = reinterpret_cast<const NMHEADERW*>(header);
  if (drag->pitem == nullptr || (drag->pitem->mask & HDI_ORDER) == 0) {
    bHandled = FALSE;
    return 0;
  }
  const int newOrder = drag->pitem->iOrder;
  if (drag->iItem == 0 || newOrder == 0) {
    return 1;
  }
  const WMCT_HeaderItemPtr dragged = GetHeaderItem(drag->iItem);
  if (!dragged || dragged->m_Order == newOrder) {
    return 0;
  }
  const int oldOrder = dragged->m_Order;
  const int count = GetColumnCount();
  for (int i = 0; i < count; ++i) {
    const WMCT_HeaderItemPtr other = GetHeaderItem(i);
    if (!other || i == drag->iItem) {
      continue;
    }
    if (newOrder < oldOrder && other->m_Order >= newOrder && other->m_Order <= oldOrder - 1) {
      ++other->m_Order;
    } else if (newOrder > oldOrder && other->m_Order >= oldOrder + 1 &&
               other->m_Order <= newOrder) {
      --other->m_Order;
    }
  }
  dragged->m_Order = newOrder;
  m_Tree.Invalidate();
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnHeaderItemClick(int, LPNMHDR header, BOOL&) {
  const int column = reinterpret_cast<const NMHEADERW*>(header)->iItem;
  const int direction = column == m_SortColumn ? -m_SortDirection : 1;
  SortByColumn(column, direction, true);
  return 0;
}

// Rows.

void WMCT_MultiColumnTreeCtrl::SetImageList(HIMAGELIST imageList, const std::vector<int>& kinds) {
  m_RowKinds = kinds;
  m_ImageList = imageList;
  m_Tree.SetImageList(imageList, TVSIL_NORMAL);
}

int WMCT_MultiColumnTreeCtrl::GetImageIndex(int rowKind) const {
  const auto found = std::find(m_RowKinds.begin(), m_RowKinds.end(), rowKind);
  return found == m_RowKinds.end() ? I_IMAGECALLBACK : static_cast<int>(found - m_RowKinds.begin());
}

WMCT_TreeItem WMCT_MultiColumnTreeCtrl::InsertRow(const GLIB_WString& label, int rowKind,
                                                  HTREEITEM insertAfter) {
  return InsertChildRow(label, WMCT_TreeItem(TVI_ROOT, m_Tree.m_hWnd), rowKind, insertAfter);
}

WMCT_TreeItem WMCT_MultiColumnTreeCtrl::InsertChildRow(const GLIB_WString& label,
                                                       const WMCT_TreeItem& parent, int rowKind,
                                                       HTREEITEM insertAfter) {
  const auto factory = m_RowFactories.find(rowKind);
  if (factory == m_RowFactories.end() || factory->second == nullptr) {
    throw GLIB_Exception(kWMCT_CellCreationFailed,
                         ("No row factory for row kind " + std::to_string(rowKind)).c_str(),
                         __FILE__, __LINE__);
  }
  const int image = GetImageIndex(rowKind);
  TVINSERTSTRUCTW insert = {};
  insert.hParent = parent.GetItem();
  insert.hInsertAfter = insertAfter;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<wchar_t*>(label.c_str());
  insert.item.iImage = image;
  insert.item.iSelectedImage = image;
  ::SetLastError(0);
  const HTREEITEM handle = m_Tree.InsertItem(&insert);
  if (handle == nullptr) {
    UWIN_RaiseIfWinCallReturnedNull(__FILE__, __LINE__);
    return WMCT_TreeItem();
  }
  const WMCT_TreeItem item = MakeItem(handle);
  std::unique_ptr<WMCT_RowBase> row = factory->second();
  try {
    if (!row) {
      throw GLIB_Exception(
          kWMCT_CellCreationFailed,
          ("The row factory of kind " + std::to_string(rowKind) + " made no row").c_str(), __FILE__,
          __LINE__);
    }
    row->Initialise(label, m_CellFactories, item, this);
  } catch (...) {
    m_Tree.DeleteItem(handle);
    throw;
  }
  m_Tree.SetItemData(handle, reinterpret_cast<DWORD_PTR>(row.release()));
  UpdateLayout();
  return item;
}

WMCT_RowBase* WMCT_MultiColumnTreeCtrl::GetRow(HTREEITEM item) const {
  return item ? reinterpret_cast<WMCT_RowBase*>(m_Tree.GetItemData(item)) : nullptr;
}

void WMCT_MultiColumnTreeCtrl::CollectItems(HTREEITEM start, WMCT_TreeItemVector& items) const {
  for (HTREEITEM item = start; item != nullptr; item = m_Tree.GetNextSiblingItem(item)) {
    items.push_back(MakeItem(item));
    CollectItems(m_Tree.GetChildItem(item), items);
  }
}

int WMCT_MultiColumnTreeCtrl::GetItemDepth(HTREEITEM item) const {
  int depth = 0;
  for (HTREEITEM level = item; level != nullptr; level = m_Tree.GetParentItem(level)) {
    ++depth;
  }
  return depth;
}

GLIB_WString WMCT_MultiColumnTreeCtrl::GetItemText(HTREEITEM item) const {
  if (const WMCT_RowBase* row = GetRow(item)) {
    return row->GetLabel();
  }
  wchar_t text[1024] = {};
  m_Tree.GetItemText(item, text, 1024);
  return text;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnDeleteItem(int, LPNMHDR header, BOOL&) {
  const auto* deleted = reinterpret_cast<const NMTREEVIEWW*>(header);
  ForgetItem(deleted->itemOld.hItem);
  delete reinterpret_cast<WMCT_RowBase*>(deleted->itemOld.lParam);
  return 0;
}

void WMCT_MultiColumnTreeCtrl::ForgetItem(HTREEITEM item) {
  if (m_Anchor == item) {
    m_Anchor = nullptr;
  }
  if (m_LastClicked == item) {
    m_LastClicked = nullptr;
    m_LastClickedSelected = false;
  }
  if (m_Pressed == item) {
    m_Pressed = nullptr;
    m_PendingDrag = false;
  }
  if (m_DragCaret == item) {
    m_DragCaret = nullptr;
  }
  m_Dragged.erase(std::remove(m_Dragged.begin(), m_Dragged.end(), MakeItem(item)), m_Dragged.end());
}

void WMCT_MultiColumnTreeCtrl::DeleteAllItems() {
  m_Tree.DeleteAllItems();
  AfterAllItemsDeleted();
}

LRESULT WMCT_MultiColumnTreeCtrl::OnTreeDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  DeleteAllItems();
  bHandled = FALSE;
  return 0;
}

// Expansion.

LRESULT WMCT_MultiColumnTreeCtrl::OnItemExpanding(int, LPNMHDR header, BOOL&) {
  const auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
  const HTREEITEM item = change->itemNew.hItem;
  WMCT_RowBase* row = GetRow(item);
  if ((change->action & kExpandActions) == TVE_EXPAND) {
    if (row) {
      row->HideCellsForExpandedRow();
      row->OnExpanding();
    }
  } else if ((change->action & kExpandActions) == TVE_COLLAPSE) {
    m_LetTreeErase = true;
    if (row) {
      row->ShowAllCells();
    }
    WMCT_TreeItemVector below;
    CollectItems(m_Tree.GetChildItem(item), below);
    for (const WMCT_TreeItem& descendant : below) {
      if (IsSelected(descendant.GetItem())) {
        SetItemSelected(descendant.GetItem(), false);
      }
    }
  }
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnItemExpanded(int, LPNMHDR header, BOOL&) {
  m_LetTreeErase = false;
  m_ItemJustExpanded = true;
  SetTimer(kExpansionTimer, ::GetDoubleClickTime());
  const std::vector<WMCT_BehaviourPolicyPtr> policies = m_Policies;
  for (const WMCT_BehaviourPolicyPtr& policy : policies) {
    policy->ItemExpanded(*reinterpret_cast<const NMTREEVIEWW*>(header));
  }
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnGetDispInfo(int, LPNMHDR header, BOOL&) {
  auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
  info->item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  info->item.iImage = -1;
  info->item.iSelectedImage = -1;
  return 0;
}

// Check boxes.

void WMCT_MultiColumnTreeCtrl::EnableCheckboxes(UINT stateImage) {
  SetLeftMargin(0, GetLeftMargin(0) + WMCT_SmallIconWidth() + 2);
  OwnedImageList list(::ImageList_Create(WMCT_SmallIconWidth(), WMCT_SmallIconHeight(),
                                         ILC_COLOR32 | ILC_MASK, 4, 4));
  const UINT* ids = m_Windows2000 ? kWMCT_CheckboxIcons2000 : kWMCT_CheckboxIcons;
  for (int i = 0; i < 4 && list; ++i) {
    HICON icon = m_Windows2000
                     ? static_cast<HICON>(ATL::AtlLoadImage(MAKEINTRESOURCEW(ids[i]), IMAGE_ICON, 0,
                                                            0, LR_LOADMAP3DCOLORS))
                     : ATL::AtlLoadIcon(MAKEINTRESOURCEW(ids[i]));
    ::ImageList_ReplaceIcon(list.get(), -1, icon);
    if (m_Windows2000 && icon) {
      ::DestroyIcon(icon);
    }
  }
  m_Tree.SetImageList(list.get(), TVSIL_STATE);
  m_StateImages = std::move(list);
  WMCT_TreeItemVector items;
  CollectItems(m_Tree.GetRootItem(), items);
  for (const WMCT_TreeItem& item : items) {
    item.SetStateImage(stateImage);
  }
  m_CheckboxesOn = true;
}

// Sorting.

LPARAM WMCT_MultiColumnTreeCtrl::SortParameter(int column, int direction) {
  const auto packed = (static_cast<std::uint32_t>(direction) & 0xFFFFu) << 16 |
                      (static_cast<std::uint32_t>(column) & 0xFFFFu);
  return static_cast<LPARAM>(packed);
}

int CALLBACK WMCT_MultiColumnTreeCtrl::CompareRows(LPARAM first, LPARAM second,
                                                   LPARAM sortParameter) {
  const auto* a = reinterpret_cast<const WMCT_RowBase*>(first);
  const auto* b = reinterpret_cast<const WMCT_RowBase*>(second);
  const auto direction = static_cast<unsigned>((sortParameter >> 16) & 0xFFFF);
  const int column = static_cast<int>(sortParameter & 0xFFFF);
  if (a == nullptr || b == nullptr) {
    return 0;
  }
  // Called by comctl32: nothing may unwind through it.
  try {
    if (direction == 1) {
      return a->Compare(*b, column);
    }
    if (direction == 0xFFFF) {
      return b->Compare(*a, column);
    }
  } catch (...) {
    GLIB_HandleEscapedException("WMCT_MultiColumnTreeCtrl", "WMCT_MultiColumnTreeCtrl.h");
  }
  return 0;
}

void WMCT_MultiColumnTreeCtrl::SetHeaderMark(int column, int direction) {
  HDITEMW item = {};
  item.mask = HDI_FORMAT;
  if (!m_Header.GetItem(column, &item)) {
    return;
  }
  item.fmt &= ~kSortMarks;
  if (m_Windows2000) {
    item.fmt &= ~kBitmapMarks;
  }
  if (direction == 1) {
    item.fmt |= HDF_SORTUP;
  } else if (direction == -1) {
    item.fmt |= HDF_SORTDOWN;
  }
  if (m_Windows2000 && direction != 0) {
    item.fmt |= kBitmapMarks;
    item.mask |= HDI_BITMAP;
    item.hbm = direction == 1 ? m_AscendingArrow.get() : m_DescendingArrow.get();
  }
  m_Header.SetItem(column, &item);
}

void WMCT_MultiColumnTreeCtrl::SortLevel(HTREEITEM parent) {
  TVSORTCB sort = {};
  sort.hParent = parent;
  sort.lpfnCompare = &CompareRows;
  sort.lParam = SortParameter(m_SortColumn, m_SortDirection);
  m_Tree.SendMessage(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
  GLIB_RethrowPendingFatal();
}

void WMCT_MultiColumnTreeCtrl::SortByColumn(int column, int direction, bool recursive) {
  if (column >= 0 && column != m_SortColumn) {
    SetHeaderMark(m_SortColumn, 0);
  }
  if (!IsColumnSortable(column)) {
    return;
  }
  m_SortColumn = column;
  m_SortDirection = direction;
  SetHeaderMark(column, direction);
  const WMCT_TreeItemVector selected = GetSelectedItems();
  ClearSelection();
  SortLevel(TVI_ROOT);
  if (recursive) {
    for (HTREEITEM top = m_Tree.GetRootItem(); top; top = m_Tree.GetNextSiblingItem(top)) {
      SortChildren(top, true);
    }
  }
  RestoreSelection(selected);
}

void WMCT_MultiColumnTreeCtrl::SortChildren(HTREEITEM item, bool recursive) {
  if (item == nullptr) {
    return;
  }
  const WMCT_TreeItemVector selected = GetSelectedItems();
  ClearSelection();
  SortLevel(item);
  ::SetScrollPos(m_hWnd, SB_VERT, 0, TRUE);
  if (recursive) {
    for (HTREEITEM child = m_Tree.GetChildItem(item); child;
         child = m_Tree.GetNextSiblingItem(child)) {
      SortChildren(child, true);
    }
  }
  RestoreSelection(selected);
}

void WMCT_MultiColumnTreeCtrl::RestoreSelection(const WMCT_TreeItemVector& items) {
  const HTREEITEM caret = GetCaret();
  for (const WMCT_TreeItem& item : items) {
    if (item.GetItem() != caret) {
      SetItemSelected(item.GetItem(), true);
      m_Anchor = item.GetItem();
    }
  }
  if (caret) {
    SetItemSelected(caret, true);
  }
}

// Selection.

bool WMCT_MultiColumnTreeCtrl::IsSelected(HTREEITEM item) const {
  return item && (m_Tree.GetItemState(item, TVIS_SELECTED) & TVIS_SELECTED) != 0;
}

void WMCT_MultiColumnTreeCtrl::SetItemSelected(HTREEITEM item, bool selected) {
  TVITEMW state = {};
  state.mask = TVIF_STATE;
  state.hItem = item;
  state.state = selected ? TVIS_SELECTED : 0;
  state.stateMask = TVIS_SELECTED;
  m_Tree.SetItem(&state);
}

void WMCT_MultiColumnTreeCtrl::SelectCaret(HTREEITEM item) {
  m_Tree.SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

WMCT_TreeItemVector& WMCT_MultiColumnTreeCtrl::GetSelectedItems(WMCT_TreeItemVector& items) const {
  for (HTREEITEM item = m_Tree.GetRootItem(); item;
       item = m_Tree.GetNextItem(item, TVGN_NEXTVISIBLE)) {
    if (GetRow(item) && IsSelected(item)) {
      items.push_back(MakeItem(item));
    }
  }
  return items;
}

WMCT_TreeItemVector WMCT_MultiColumnTreeCtrl::GetSelectedItems() const {
  WMCT_TreeItemVector items;
  return GetSelectedItems(items);
}

void WMCT_MultiColumnTreeCtrl::ClearSelection() {
  for (HTREEITEM item = m_Tree.GetRootItem(); item;
       item = m_Tree.GetNextItem(item, TVGN_NEXTVISIBLE)) {
    if (IsSelected(item)) {
      SetItemSelected(item, false);
    }
  }
  SelectCaret(nullptr);
}

bool WMCT_MultiColumnTreeCtrl::SelectRange(HTREEITEM anchor, HTREEITEM item) {
  // Both ends must be visible rows: a range to a missing end would run to the last row.
  bool anchorFound = false;
  bool itemFound = false;
  HTREEITEM first = nullptr;
  for (HTREEITEM visible = m_Tree.GetRootItem(); visible;
       visible = m_Tree.GetNextItem(visible, TVGN_NEXTVISIBLE)) {
    if (visible == anchor || visible == item) {
      first = first ? first : visible;
      anchorFound = anchorFound || visible == anchor;
      itemFound = itemFound || visible == item;
    }
  }
  if (!anchorFound || !itemFound) {
    return false;
  }
  const HTREEITEM last = first == anchor ? item : anchor;
  SelectCaret(item);
  bool inside = false;
  for (HTREEITEM visible = m_Tree.GetRootItem(); visible;
       visible = m_Tree.GetNextItem(visible, TVGN_NEXTVISIBLE)) {
    inside = inside || visible == first;
    SetItemSelected(visible, inside);
    if (visible == last) {
      inside = false;
    }
  }
  return true;
}

bool WMCT_MultiColumnTreeCtrl::SetAnnounceSelection(bool announce) {
  const bool previous = m_Announce != 0;
  m_Announce = announce ? 1 : 0;
  return previous;
}

void WMCT_MultiColumnTreeCtrl::AnnounceSelection() {
  BroadcastMessage(WMCT_SelectionChangedMessage(GetSelectedItems()));
}

void WMCT_MultiColumnTreeCtrl::UpdateSelection(HTREEITEM item, UINT keyFlags) {
  m_Announce = 0;
  if (keyFlags & MK_SHIFT) {
    if (m_Anchor == nullptr) {
      m_Anchor = GetCaret();
    }
    SelectRange(m_Anchor, item);
  } else if (keyFlags & MK_CONTROL) {
    if (IsSelected(item)) {
      SetItemSelected(item, false);
    } else {
      SelectCaret(item);
      SetItemSelected(item, true);
    }
    // Moving the caret took the selection from the previous caret.
    if (item != m_LastClicked && m_LastClicked != nullptr) {
      SetItemSelected(m_LastClicked, m_LastClickedSelected);
    }
  } else {
    ClearSelection();
    SelectCaret(item);
    SetItemSelected(item, true);
    m_Anchor = item;
  }
  m_LastClicked = item;
  m_LastClickedSelected = IsSelected(item);
  m_Announce = 1;
  AnnounceSelection();
}

LRESULT WMCT_MultiColumnTreeCtrl::OnSelChanged(int, LPNMHDR, BOOL&) {
  if (m_Announce) {
    AnnounceSelection();
  }
  return 0;
}

UINT WMCT_MultiColumnTreeCtrl::CurrentKeyFlags() {
  UINT flags = 0;
  if (::GetKeyState(VK_SHIFT) < 0) {
    flags |= MK_SHIFT;
  }
  if (::GetKeyState(VK_CONTROL) < 0) {
    flags |= MK_CONTROL;
  }
  return flags;
}

void WMCT_MultiColumnTreeCtrl::SetTreeStyleBit(DWORD bit, bool on) {
  if (on) {
    m_Tree.ModifyStyle(0, bit);
  } else {
    m_Tree.ModifyStyle(bit, 0);
  }
}

LRESULT WMCT_MultiColumnTreeCtrl::OnTreeLButtonDown(UINT, WPARAM wParam, LPARAM lParam,
                                                    BOOL& bHandled) {
  bHandled = FALSE;
  const POINT point = PointOf(lParam);
  TVHITTESTINFO hit = {};
  hit.pt = point;
  m_Tree.SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (hit.hItem && (hit.flags & TVHT_ONITEMSTATEICON)) {
    BroadcastMessage(WMCT_CheckboxClickMessage(MakeItem(hit.hItem)));
  }
  if (hit.flags & TVHT_NOWHERE) {
    if (!GetSelectedItems().empty()) {
      ClearSelection();
      BroadcastMessage(WMCT_SelectionChangedMessage(WMCT_TreeItemVector()));
    }
    return 0;
  }
  if (hit.hItem == nullptr || (hit.flags & kOnItem) == 0) {
    return 0;
  }
  m_Pressed = hit.hItem;
  if (m_MultipleSelection) {
    if (IsSelected(hit.hItem) && m_DragAndDrop) {
      m_PendingDrag = true;
      m_PressPoint = point;
      if (wParam & (MK_SHIFT | MK_CONTROL)) {
        SetTreeStyleBit(TVS_DISABLEDRAGDROP, true);
        bHandled = TRUE;
        return 0;
      }
    } else {
      UpdateSelection(hit.hItem, static_cast<UINT>(wParam));
      m_PendingDrag = false;
    }
  } else if (!IsSelected(hit.hItem)) {
    ClearSelection();
    SelectCaret(hit.hItem);
  }
  m_PressPoint = point;
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnTreeLButtonUp(UINT, WPARAM wParam, LPARAM lParam,
                                                  BOOL& bHandled) {
  bHandled = FALSE;
  if (!m_Dragged.empty()) {
    Drop(PointOf(lParam));
  } else if (m_PendingDrag) {
    if (m_Pressed) {
      UpdateSelection(m_Pressed, static_cast<UINT>(wParam));
    }
    m_PendingDrag = false;
    m_Pressed = nullptr;
  }
  if (m_DragAndDrop) {
    SetTreeStyleBit(TVS_DISABLEDRAGDROP, false);
  }
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnTreeRButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
  POINT point = PointOf(lParam);
  m_Tree.ClientToScreen(&point);
  ShowContextMenu(GetSelectedItems(), point);
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnTreeRButtonUp(UINT, WPARAM, LPARAM, BOOL&) {
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnTreeContextMenu(UINT, WPARAM, LPARAM, BOOL&) {
  RECT client = {};
  m_Tree.GetClientRect(&client);
  POINT centre = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
  m_Tree.ClientToScreen(&centre);
  ShowContextMenu(GetSelectedItems(), centre);
  return 0;
}

void WMCT_MultiColumnTreeCtrl::SetContextMenu(HMENU menu, HWND commandWindow) {
  m_ContextMenu = menu;
  m_CommandWindow = commandWindow;
}

void WMCT_MultiColumnTreeCtrl::ShowContextMenu(const WMCT_TreeItemVector&, POINT screenPoint) {
  if (m_ContextMenu == nullptr) {
    return;
  }
  MENUINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIM_MENUDATA;
  info.dwMenuData = static_cast<ULONG_PTR>(
      (screenPoint.x & 0xFFFF) | ((static_cast<ULONG_PTR>(screenPoint.y) & 0xFFFF) << 16));
  ::SetMenuInfo(m_ContextMenu, &info);
  ATL::CSystemLoopScope loop(ATL::CSystemLoopScope::kMenu);
  loop.Returned(::TrackPopupMenu(m_ContextMenu, TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0,
                                 m_CommandWindow, nullptr));
}

LRESULT WMCT_MultiColumnTreeCtrl::OnTreeLButtonDblClk(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  const HTREEITEM caret = GetCaret();
  if (caret && !m_ItemJustExpanded) {
    BroadcastMessage(WMCT_DoubleClickMessage(WMCT_TreeItemVector{MakeItem(caret)}));
  }
  bHandled = FALSE;
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnTreeKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam,
                                                BOOL& bHandled) {
  if (::GetKeyState('I') < 0 && ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_SHIFT) < 0) {
    BroadcastMessage(WMCT_DisplayDebugInfoMessage(GetSelectedItems()));
  }
  if (!m_MultipleSelection) {
    bHandled = FALSE;
    return 0;
  }
  const bool shift = ::GetKeyState(VK_SHIFT) < 0;
  switch (wParam) {
    case VK_LEFT:
    case VK_RIGHT:
      bHandled = FALSE;
      return 0;
    case VK_PRIOR:
    case VK_NEXT:
      if (!shift) {
        if (GetSelectedItems().size() > 1) {
          const HTREEITEM caret = GetCaret();
          ClearSelection();
          SelectCaret(caret);
        }
        m_Tree.DefWindowProc(uMsg, wParam, lParam);
        m_Anchor = GetCaret();
      } else {
        m_Announce = 0;
        m_Tree.DefWindowProc(uMsg, wParam, lParam);
        SelectRange(m_Anchor, GetCaret());
        m_Announce = 1;
        AnnounceSelection();
      }
      return 0;
    case VK_UP:
    case VK_DOWN: {
      const HTREEITEM caret = GetCaret();
      const HTREEITEM target =
          caret
              ? m_Tree.GetNextItem(caret, wParam == VK_UP ? TVGN_PREVIOUSVISIBLE : TVGN_NEXTVISIBLE)
              : nullptr;
      if (!shift) {
        if (GetSelectedItems().size() > 1) {
          ClearSelection();
          if (target) {
            SelectCaret(target);
          }
        } else if (target) {
          m_Tree.DefWindowProc(uMsg, wParam, lParam);
        }
        m_Anchor = GetCaret();
        return 0;
      }
      if (target) {
        m_Announce = 0;
        const bool targetWasSelected = IsSelected(target);
        SelectCaret(target);
        if (!targetWasSelected || !IsSelected(caret)) {
          SelectRange(m_Anchor, target);
        }
        m_Announce = 1;
        AnnounceSelection();
      }
      NMTVKEYDOWN key = {};
      key.hdr.hwndFrom = m_hWnd;
      key.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
      key.hdr.code = TVN_KEYDOWN;
      key.wVKey = static_cast<WORD>(wParam);
      SendMessage(WM_NOTIFY, key.hdr.idFrom, reinterpret_cast<LPARAM>(&key));
      return 0;
    }
    default:
      return 0;
  }
}

LRESULT WMCT_MultiColumnTreeCtrl::OnTreeKeyUp(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  if (!m_DeletePolicy->IsDeleteKey(static_cast<unsigned short>(wParam))) {
    return 0;
  }
  WMCT_TreeItemVector doomed;
  m_DeletePolicy->ItemsToDelete(doomed, GetSelectedItems());
  bool selectedWent = false;
  const bool announce = SetAnnounceSelection(false);
  for (const WMCT_TreeItem& item : doomed) {
    selectedWent = selectedWent || IsSelected(item.GetItem());
    m_Tree.DeleteItem(item.GetItem());
  }
  SetAnnounceSelection(announce);
  if (selectedWent) {
    BroadcastMessage(WMCT_SelectionChangedMessage(WMCT_TreeItemVector()));
  }
  if (!doomed.empty()) {
    BroadcastMessage(WMCT_ItemsHaveBeenDeletedMessage());
  }
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnTreeFocus(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled) {
  m_Focused = uMsg == WM_SETFOCUS;
  m_Tree.Invalidate();
  bHandled = FALSE;
  return 0;
}

void WMCT_MultiColumnTreeCtrl::SetDeletePolicy(const iWMCT_DeletePolicyBase& policy) {
  std::unique_ptr<iWMCT_DeletePolicyBase> copy = policy.Clone();
  TMPL_ReferenceCountPointer<iWMCT_DeletePolicyBase> held(copy.get());
  copy.release();
  m_DeletePolicy = held;
}

// Drag and drop.

void WMCT_MultiColumnTreeCtrl::AddBehaviourPolicy(const iWMCT_BehaviourPolicyBase& policy) {
  std::unique_ptr<iWMCT_BehaviourPolicyBase> copy = policy.Clone();
  WMCT_BehaviourPolicyPtr held(copy.get());
  copy.release();
  m_Policies.push_back(held);
}

void WMCT_MultiColumnTreeCtrl::AddPrePaintDecorator(const WMCT_RowDecoratorBase& decorator) {
  m_PrePaint->Add(decorator);
}

void WMCT_MultiColumnTreeCtrl::AddPostPaintDecorator(const WMCT_RowDecoratorBase& decorator) {
  m_PostPaint->Add(decorator);
}

LRESULT WMCT_MultiColumnTreeCtrl::OnInternalDragStart(int, LPNMHDR, BOOL&) {
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnBeginDrag(int idCtrl, LPNMHDR header, BOOL& bHandled) {
  if (m_DragAndDrop && header->hwndFrom == m_Tree.m_hWnd) {
    m_Dragged = GetSelectedItems();
    if (!m_Dragged.empty()) {
      m_Tree.SetCapture();
      BroadcastDragBegin(static_cast<WPARAM>(idCtrl), reinterpret_cast<LPARAM>(header));
    }
  }
  return OnInternalDragStart(idCtrl, header, bHandled);
}

void WMCT_MultiColumnTreeCtrl::BroadcastDragBegin(WPARAM wParam, LPARAM lParam) {
  ::LockWindowUpdate(nullptr);
  SetTreeStyleBit(TVS_TRACKSELECT, false);
  m_DragCaret = GetCaret();
  m_Announce = 0;
  SelectCaret(nullptr);
  m_Announce = 1;
  const std::vector<WMCT_BehaviourPolicyPtr> policies = m_Policies;
  for (const WMCT_BehaviourPolicyPtr& policy : policies) {
    policy->DragBegin(wParam, lParam);
  }
  m_Tree.Invalidate();
}

void WMCT_MultiColumnTreeCtrl::BroadcastDragOver(POINT point) {
  const std::vector<WMCT_BehaviourPolicyPtr> policies = m_Policies;
  for (const WMCT_BehaviourPolicyPtr& policy : policies) {
    policy->DragOver(point);
  }
  m_Tree.Invalidate();
}

void WMCT_MultiColumnTreeCtrl::BroadcastDragLeave(LPARAM lParam) {
  const std::vector<WMCT_BehaviourPolicyPtr> policies = m_Policies;
  for (const WMCT_BehaviourPolicyPtr& policy : policies) {
    policy->DragLeave(lParam);
  }
  m_Tree.Invalidate();
}

void WMCT_MultiColumnTreeCtrl::BroadcastDragEnd() {
  const std::vector<WMCT_BehaviourPolicyPtr> policies = m_Policies;
  for (const WMCT_BehaviourPolicyPtr& policy : policies) {
    policy->DragEnd();
  }
  if (m_DragCaret) {
    m_Announce = 0;
    SelectCaret(m_DragCaret);
    m_Announce = 1;
    m_DragCaret = nullptr;
  }
  SetTreeStyleBit(TVS_TRACKSELECT, true);
  m_Tree.Invalidate();
}

void WMCT_MultiColumnTreeCtrl::SetDropPosition(HTREEITEM row, bool upperHalf) {
  if (!m_DropCursor) {
    return;
  }
  if (row == nullptr) {
    UnsetDropLines();
    return;
  }
  const HTREEITEM unset = WMCT_RowDecoratorDropCursor::Unset();
  if (upperHalf && row == m_Tree.GetRootItem()) {
    m_DropCursor->SetLines(row, unset);
  } else if (!upperHalf) {
    const HTREEITEM next = m_Tree.GetNextSiblingItem(row);
    m_DropCursor->SetLines(next ? next : unset, row);
  } else {
    const HTREEITEM previous = m_Tree.GetNextItem(row, TVGN_PREVIOUS);
    m_DropCursor->SetLines(row, previous ? previous : unset);
  }
  m_Tree.Invalidate();
}

void WMCT_MultiColumnTreeCtrl::UnsetDropLines() {
  if (m_DropCursor) {
    m_DropCursor->SetLines(WMCT_RowDecoratorDropCursor::Unset(),
                           WMCT_RowDecoratorDropCursor::Unset());
  }
  m_Tree.Invalidate();
}

namespace {

// Whether point lies in the upper half of item's full row.
bool InUpperHalf(HWND tree, HTREEITEM item, POINT point) {
  RECT row = {};
  if (!WMCT_GetItemRect(tree, item, false, &row)) {
    return false;
  }
  row.bottom -= (row.bottom - row.top) / 2;
  return ::PtInRect(&row, point) != FALSE;
}

}  // namespace

LRESULT WMCT_MultiColumnTreeCtrl::OnTreeMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const POINT point = PointOf(lParam);
  if (m_PendingDrag && m_Pressed &&
      (std::abs(point.x - m_PressPoint.x) > ::GetSystemMetrics(SM_CXDRAG) ||
       std::abs(point.y - m_PressPoint.y) > ::GetSystemMetrics(SM_CYDRAG))) {
    m_PendingDrag = false;
    if ((GetStyle() & TVS_DISABLEDRAGDROP) == 0) {
      NMTREEVIEWW begin = {};
      begin.hdr.hwndFrom = m_hWnd;
      begin.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
      begin.hdr.code = TVN_BEGINDRAGW;
      begin.itemNew.mask = TVIF_STATE | TVIF_PARAM | TVIF_HANDLE;
      begin.itemNew.hItem = m_Pressed;
      begin.itemNew.state = m_Tree.GetItemState(m_Pressed, 0xFFFFFFFF);
      begin.itemNew.lParam = static_cast<LPARAM>(m_Tree.GetItemData(m_Pressed));
      begin.ptDrag = point;
      SendMessage(WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
    }
    m_Pressed = nullptr;
  }
  if (!m_Dragged.empty()) {
    TVHITTESTINFO hit = {};
    hit.pt = point;
    m_Tree.SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.hItem) {
      SetDropPosition(hit.hItem, InUpperHalf(m_Tree, hit.hItem, point));
    } else if (HTREEITEM last = m_Tree.GetRootItem()) {
      while (HTREEITEM next = m_Tree.GetNextSiblingItem(last)) {
        last = next;
      }
      SetDropPosition(last, false);
    }
    BroadcastDragOver(point);
  }
  return 0;
}

LRESULT WMCT_MultiColumnTreeCtrl::OnTreeCaptureChanged(UINT, WPARAM, LPARAM lParam,
                                                       BOOL& bHandled) {
  m_LetTreeErase = false;
  if (!m_Dragged.empty()) {
    // The capture went elsewhere: the drag ends without a drop.
    m_Dragged.clear();
    UnsetDropLines();
    BroadcastDragLeave(lParam);
    BroadcastDragEnd();
  }
  bHandled = FALSE;
  return 0;
}

void WMCT_MultiColumnTreeCtrl::Drop(POINT point) {
  WMCT_TreeItemVector dragged;
  dragged.swap(m_Dragged);
  if (::GetCapture() == m_Tree.m_hWnd) {
    ::ReleaseCapture();
  }
  TVHITTESTINFO hit = {};
  hit.pt = point;
  m_Tree.SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  HTREEITEM insertAfter = TVI_LAST;
  if (hit.hItem) {
    // Rows land at the top level: a child row stands for its top-level ancestor.
    HTREEITEM top = hit.hItem;
    while (HTREEITEM parent = m_Tree.GetParentItem(top)) {
      top = parent;
    }
    if (top != hit.hItem || !InUpperHalf(m_Tree, hit.hItem, point)) {
      insertAfter = top;
    } else {
      const HTREEITEM previous = m_Tree.GetNextItem(top, TVGN_PREVIOUS);
      insertAfter = previous ? previous : TVI_FIRST;
    }
  }
  SelectCaret(nullptr);
  // A row whose ancestor is dragged too moves with that ancestor.
  WMCT_TreeItemVector moving;
  for (const WMCT_TreeItem& item : dragged) {
    bool ancestorDragged = false;
    for (HTREEITEM up = m_Tree.GetParentItem(item.GetItem()); up && !ancestorDragged;
         up = m_Tree.GetParentItem(up)) {
      ancestorDragged = std::find(dragged.begin(), dragged.end(), MakeItem(up)) != dragged.end();
    }
    if (!ancestorDragged) {
      moving.push_back(item);
    }
  }
  WMCT_TreeItemVector moved;
  for (const WMCT_TreeItem& item : moving) {
    if (item.GetItem() == insertAfter) {
      // Moving a row after itself leaves it where it is.
      moved.push_back(item);
      continue;
    }
    const HTREEITEM newItem =
        WTLU_CopyOrMoveTreeItem(m_Tree, item.GetItem(), TVI_ROOT, false, nullptr, insertAfter);
    if (newItem) {
      moved.push_back(MakeItem(newItem));
      insertAfter = newItem;
    }
  }
  UnsetDropLines();
  BroadcastDragLeave(0);
  BroadcastDragEnd();
  m_Announce = 0;
  RestoreSelection(moved);
  m_Announce = 1;
  AfterRowsMoved();
}
