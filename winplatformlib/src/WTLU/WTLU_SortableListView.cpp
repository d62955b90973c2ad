#include "WTLU/WTLU_SortableListView.h"

#include "GLIB/win/GLIB_WinGuard.h"
#include "UWIN/UWIN_SystemInfo.h"

namespace {

// The arrow bitmaps are for exactly Windows 2000, whose header has no sort marks of its own.
constexpr int kArrowBitmapsVersion = 0x500;
constexpr int kAscendingArrowId = 133;
constexpr int kDescendingArrowId = 134;
constexpr int kSortMarkFormats = HDF_SORTUP | HDF_SORTDOWN;
constexpr int kArrowBitmapFormats = HDF_BITMAP | HDF_BITMAP_ON_RIGHT;

// Where the comparisons of the sort under way on this thread keep the first exception of an
// item's Compare: comctl32 runs them, and nothing may unwind through it.
thread_local std::exception_ptr* sm_SortFailure = nullptr;

class SortFailureScope {
public:
  explicit SortFailureScope(std::exception_ptr* failure) : m_Outer(sm_SortFailure) {
    sm_SortFailure = failure;
  }
  SortFailureScope(const SortFailureScope&) = delete;
  SortFailureScope& operator=(const SortFailureScope&) = delete;
  ~SortFailureScope() { sm_SortFailure = m_Outer; }

private:
  std::exception_ptr* m_Outer;
};

const WTLU_SortableListViewItem* ItemOf(LPARAM data) {
  return reinterpret_cast<const WTLU_SortableListViewItem*>(data);
}

}  // namespace

WTLU_SortableListView::WTLU_SortableListView()
    : m_UseArrowBitmaps(UWIN_GetOSVersion() == kArrowBitmapsVersion) {
  if (m_UseArrowBitmaps) {
    LoadArrowBitmaps();
  }
}

WTLU_SortableListView::~WTLU_SortableListView() = default;

void WTLU_SortableListView::LoadArrowBitmaps() {
  HMODULE shell = ::GetModuleHandleW(L"shell32.dll");
  const bool loadedHere = shell == nullptr;
  if (loadedHere) {
    shell = ::LoadLibraryW(L"shell32.dll");
  }
  if (shell == nullptr) {
    return;
  }
  const auto load = [shell](int id) {
    return OwnedBitmap(static_cast<HBITMAP>(
        ::LoadImageW(shell, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
  };
  // Each replaces (and deletes) an earlier one.
  m_AscendingArrow = load(kAscendingArrowId);
  m_DescendingArrow = load(kDescendingArrowId);
  if (loadedHere) {
    ::FreeLibrary(shell);
  }
}

int WTLU_SortableListView::InsertItemObject(int index, const wchar_t* text,
                                            std::unique_ptr<WTLU_SortableListViewItem> item) {
  // A message to no window answers 0, which would read as row 0.
  if (!IsWindow()) {
    return -1;
  }
  const int row = InsertItem(index, text, reinterpret_cast<LPARAM>(item.get()));
  if (row >= 0) {
    item.release();
  }
  return row;
}

WTLU_SortableListViewItem* WTLU_SortableListView::GetItemObject(int index) const {
  return reinterpret_cast<WTLU_SortableListViewItem*>(GetItemData(index));
}

LPARAM WTLU_SortableListView::SortParameter(int column, int direction) {
  const auto high = static_cast<LPARAM>(static_cast<WORD>(direction));
  return (high << 16) | static_cast<LPARAM>(static_cast<WORD>(column));
}

int WTLU_SortableListView::SortColumnOf(LPARAM sortParameter) {
  return static_cast<int>(sortParameter & 0xFFFF);
}

int CALLBACK WTLU_SortableListView::CompareItems(LPARAM first, LPARAM second,
                                                 LPARAM sortParameter) noexcept {
  // Once a comparison has failed the rest compare equal: the sort is going to be reported.
  if (sm_SortFailure != nullptr && *sm_SortFailure) {
    return 0;
  }
  const WTLU_SortableListViewItem* a = ItemOf(first);
  const WTLU_SortableListViewItem* b = ItemOf(second);
  if (a == nullptr || b == nullptr) {
    return 0;
  }
  // On 64-bit the parameter is wider than 32 bits: the high word is bits 16 to 31.
  const unsigned direction = static_cast<unsigned>((sortParameter >> 16) & 0xFFFF);
  try {
    if (direction == 1) {
      return a->Compare(*b, sortParameter);
    }
    if (direction == 0xFFFF) {
      return b->Compare(*a, sortParameter);
    }
  } catch (...) {
    if (sm_SortFailure != nullptr) {
      *sm_SortFailure = std::current_exception();
    } else {
      // Called by a sort of someone else's: the guard takes it.
      GLIB_HandleEscapedException("WTLU_SortableListView", "WTLU_SortableListView.h");
    }
  }
  return 0;
}

void WTLU_SortableListView::SortByColumn(int column, int direction) {
  if (column >= 0 && column != m_SortColumn) {
    SetHeaderMark(m_SortColumn, 0);
  }
  m_SortDirection = direction;
  m_SortColumn = column;
  SetHeaderMark(column, direction);
  std::exception_ptr failure;
  {
    SortFailureScope scope(&failure);
    SortItems(CompareItems, SortParameter(column, direction));
  }
  if (failure) {
    std::rethrow_exception(failure);
  }
}

void WTLU_SortableListView::SetHeaderMark(int column, int direction) {
  WTL::CHeaderCtrl header(GetHeader());
  HDITEMW item = {};
  item.mask = HDI_FORMAT;
  if (column < 0 || header.m_hWnd == nullptr || !header.GetItem(column, &item)) {
    return;
  }
  item.fmt &= ~kSortMarkFormats;
  if (m_UseArrowBitmaps) {
    item.fmt &= ~kArrowBitmapFormats;
  }
  if (direction == 1 || direction == -1) {
    item.fmt |= direction == 1 ? HDF_SORTUP : HDF_SORTDOWN;
    if (m_UseArrowBitmaps) {
      item.fmt |= kArrowBitmapFormats;
      item.mask |= HDI_BITMAP;
      item.hbm = direction == 1 ? m_AscendingArrow.get() : m_DescendingArrow.get();
    }
  }
  header.SetItem(column, &item);
}

int WTLU_SortableListView::DeleteSelectedItems() {
  const UINT count = GetSelectedCount();
  int deleted = 0;
  for (UINT i = 0; i < count; ++i) {
    const int index = GetNextItem(-1, LVNI_SELECTED);
    if (index < 0 || !DeleteItem(index)) {
      break;
    }
    ++deleted;
  }
  return deleted;
}

int WTLU_SortableListView::DeleteAllItems() {
  const int count = GetItemCount();
  int deleted = 0;
  for (int i = 0; i < count; ++i) {
    const int index = GetNextItem(-1, LVNI_ALL);
    if (index < 0 || !DeleteItem(index)) {
      break;
    }
    ++deleted;
  }
  return deleted;
}

LRESULT WTLU_SortableListView::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  // Each row's LVN_DELETEITEM deletes its object while the parent still reflects it; the
  // control then goes on with its own destruction.
  DeleteAllItems();
  bHandled = FALSE;
  return 0;
}

LRESULT WTLU_SortableListView::OnColumnClick(int, LPNMHDR header, BOOL& bHandled) {
  if (!IsOwnNotification(header)) {
    bHandled = FALSE;
    return 0;
  }
  const int column = reinterpret_cast<LPNMLISTVIEW>(header)->iSubItem;
  SortByColumn(column, column == m_SortColumn ? -m_SortDirection : 1);
  return 0;
}

LRESULT WTLU_SortableListView::OnBeginDragNotify(int idCtrl, LPNMHDR header, BOOL& bHandled) {
  if (!IsOwnNotification(header)) {
    bHandled = FALSE;
    return 0;
  }
  return OnBeginDrag(idCtrl, header, bHandled);
}

LRESULT WTLU_SortableListView::OnDeleteItem(int, LPNMHDR header, BOOL& bHandled) {
  if (!IsOwnNotification(header)) {
    bHandled = FALSE;
    return 0;
  }
  delete ItemOf(reinterpret_cast<LPNMLISTVIEW>(header)->lParam);
  return 0;
}

LRESULT WTLU_SortableListView::OnDeleteAllItems(int, LPNMHDR header, BOOL& bHandled) {
  if (!IsOwnNotification(header)) {
    bHandled = FALSE;
    return 0;
  }
  // FALSE: every row still gets its LVN_DELETEITEM, which deletes its object.
  return FALSE;
}

LRESULT WTLU_SortableListView::OnCustomDraw(int idCtrl, LPNMHDR header, BOOL& bHandled) {
  if (!IsOwnNotification(header)) {
    bHandled = FALSE;
    return 0;
  }
  return CCustomDraw::OnCustomDraw(idCtrl, header, bHandled);
}

DWORD WTLU_SortableListView::OnPrePaint(int idCtrl, LPNMCUSTOMDRAW customDraw) {
  return CCustomDraw::OnPrePaint(idCtrl, customDraw);
}

DWORD WTLU_SortableListView::OnItemPrePaint(int idCtrl, LPNMCUSTOMDRAW customDraw) {
  return CCustomDraw::OnItemPrePaint(idCtrl, customDraw);
}

DWORD WTLU_SortableListView::OnItemPostPaint(int idCtrl, LPNMCUSTOMDRAW customDraw) {
  return CCustomDraw::OnItemPostPaint(idCtrl, customDraw);
}

LRESULT WTLU_SortableListView::OnBeginDrag(int, LPNMHDR, BOOL&) {
  return 0;
}
