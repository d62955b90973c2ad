#pragma once
// List views, tree views, headers and image lists: thin wrappers that send the controls' own
// messages, as WTL's do. A wrapper holds a handle and owns nothing, except CImageListManaged.
#include "atlwin.h"

#include <commctrl.h>

namespace WTL {

template <class TBase = ::ATL::CWindow>
class CHeaderCtrlT : public TBase {
public:
  CHeaderCtrlT(HWND hWnd = nullptr) : TBase(hWnd) {}
  CHeaderCtrlT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  static LPCWSTR GetWndClassName() { return WC_HEADERW; }

  int GetItemCount() const { return static_cast<int>(this->SendMessage(HDM_GETITEMCOUNT)); }
  BOOL GetItem(int index, LPHDITEMW item) const {
    return static_cast<BOOL>(this->SendMessage(HDM_GETITEMW, static_cast<WPARAM>(index),
                                               reinterpret_cast<LPARAM>(item)));
  }
  BOOL SetItem(int index, LPHDITEMW item) {
    return static_cast<BOOL>(this->SendMessage(HDM_SETITEMW, static_cast<WPARAM>(index),
                                               reinterpret_cast<LPARAM>(item)));
  }
  int InsertItem(int index, LPHDITEMW item) {
    return static_cast<int>(this->SendMessage(HDM_INSERTITEMW, static_cast<WPARAM>(index),
                                              reinterpret_cast<LPARAM>(item)));
  }
};

using CHeaderCtrl = CHeaderCtrlT<>;

template <class TBase = ::ATL::CWindow>
class CListViewCtrlT : public TBase {
public:
  CListViewCtrlT(HWND hWnd = nullptr) : TBase(hWnd) {}
  CListViewCtrlT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  static LPCWSTR GetWndClassName() { return WC_LISTVIEWW; }

  int GetItemCount() const { return static_cast<int>(this->SendMessage(LVM_GETITEMCOUNT)); }
  UINT GetSelectedCount() const {
    return static_cast<UINT>(this->SendMessage(LVM_GETSELECTEDCOUNT));
  }
  // The next item after start (-1: from the beginning) with the LVNI_ flags; -1 when none.
  int GetNextItem(int start, int flags) const {
    return static_cast<int>(
        this->SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
  }

  int InsertItem(const LVITEMW* item) {
    return static_cast<int>(this->SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(item)));
  }
  // A text item carrying data in its lParam.
  int InsertItem(int index, LPCWSTR text, LPARAM data = 0) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<LPWSTR>(text);
    item.lParam = data;
    return InsertItem(&item);
  }
  BOOL DeleteItem(int index) {
    return static_cast<BOOL>(this->SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index)));
  }
  BOOL DeleteAllItems() { return static_cast<BOOL>(this->SendMessage(LVM_DELETEALLITEMS)); }

  BOOL GetItem(LVITEMW* item) const {
    return static_cast<BOOL>(this->SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item)));
  }
  BOOL SetItem(const LVITEMW* item) {
    return static_cast<BOOL>(this->SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(item)));
  }
  DWORD_PTR GetItemData(int index) const {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
  }
  BOOL SetItemData(int index, DWORD_PTR data) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = static_cast<LPARAM>(data);
    return SetItem(&item);
  }
  int GetItemText(int index, int subItem, LPWSTR buffer, int size) const {
    LVITEMW item = {};
    item.iSubItem = subItem;
    item.pszText = buffer;
    item.cchTextMax = size;
    return static_cast<int>(this->SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                                              reinterpret_cast<LPARAM>(&item)));
  }
  BOOL SetItemText(int index, int subItem, LPCWSTR text) {
    LVITEMW item = {};
    item.iSubItem = subItem;
    item.pszText = const_cast<LPWSTR>(text);
    return static_cast<BOOL>(this->SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                                               reinterpret_cast<LPARAM>(&item)));
  }
  UINT GetItemState(int index, UINT mask) const {
    return static_cast<UINT>(
        this->SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(index), static_cast<LPARAM>(mask)));
  }
  // index -1 sets the state of every item.
  BOOL SetItemState(int index, UINT state, UINT mask) {
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(this->SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                                               reinterpret_cast<LPARAM>(&item)));
  }

  int InsertColumn(int index, LPCWSTR heading, int format = LVCFMT_LEFT, int width = -1,
                   int subItem = -1) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.fmt = format;
    column.pszText = const_cast<LPWSTR>(heading);
    if (width != -1) {
      column.mask |= LVCF_WIDTH;
      column.cx = width;
    }
    if (subItem != -1) {
      column.mask |= LVCF_SUBITEM;
      column.iSubItem = subItem;
    }
    return static_cast<int>(this->SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                                              reinterpret_cast<LPARAM>(&column)));
  }

  HWND GetHeader() const { return reinterpret_cast<HWND>(this->SendMessage(LVM_GETHEADER)); }
  DWORD SetExtendedListViewStyle(DWORD exStyle, DWORD mask = 0) {
    return static_cast<DWORD>(this->SendMessage(
        LVM_SETEXTENDEDLISTVIEWSTYLE, static_cast<WPARAM>(mask), static_cast<LPARAM>(exStyle)));
  }

  // Sorts by compare(first item's lParam, second item's lParam, parameter).
  BOOL SortItems(PFNLVCOMPARE compare, LPARAM parameter) {
    return static_cast<BOOL>(this->SendMessage(LVM_SORTITEMS, static_cast<WPARAM>(parameter),
                                               reinterpret_cast<LPARAM>(compare)));
  }
};

using CListViewCtrl = CListViewCtrlT<>;

template <class TBase = ::ATL::CWindow>
class CTreeViewCtrlT : public TBase {
public:
  CTreeViewCtrlT(HWND hWnd = nullptr) : TBase(hWnd) {}
  CTreeViewCtrlT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  static LPCWSTR GetWndClassName() { return WC_TREEVIEWW; }

  UINT GetCount() const { return static_cast<UINT>(this->SendMessage(TVM_GETCOUNT)); }

  HTREEITEM InsertItem(const TVINSERTSTRUCTW* insert) {
    return reinterpret_cast<HTREEITEM>(
        this->SendMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(insert)));
  }
  HTREEITEM InsertItem(LPCWSTR text, HTREEITEM parent, HTREEITEM insertAfter) {
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = insertAfter;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<LPWSTR>(text);
    return InsertItem(&insert);
  }
  BOOL DeleteItem(HTREEITEM item) {
    return static_cast<BOOL>(this->SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)));
  }
  BOOL DeleteAllItems() {
    return static_cast<BOOL>(
        this->SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
  }

  BOOL GetItem(LPTVITEMW item) const {
    return static_cast<BOOL>(this->SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item)));
  }
  BOOL SetItem(const TVITEMW* item) {
    return static_cast<BOOL>(this->SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(item)));
  }
  BOOL GetItemText(HTREEITEM handle, LPWSTR buffer, int size) const {
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = handle;
    item.pszText = buffer;
    item.cchTextMax = size;
    return GetItem(&item);
  }
  BOOL SetItemText(HTREEITEM handle, LPCWSTR text) {
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = handle;
    item.pszText = const_cast<LPWSTR>(text);
    return SetItem(&item);
  }
  DWORD_PTR GetItemData(HTREEITEM handle) const {
    TVITEMW item = {};
    item.mask = TVIF_PARAM;
    item.hItem = handle;
    return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
  }
  BOOL SetItemData(HTREEITEM handle, DWORD_PTR data) {
    TVITEMW item = {};
    item.mask = TVIF_PARAM;
    item.hItem = handle;
    item.lParam = static_cast<LPARAM>(data);
    return SetItem(&item);
  }
  UINT GetItemState(HTREEITEM handle, UINT mask) const {
    return static_cast<UINT>(this->SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(handle),
                                               static_cast<LPARAM>(mask)));
  }
  BOOL Expand(HTREEITEM handle, UINT code = TVE_EXPAND) {
    return static_cast<BOOL>(
        this->SendMessage(TVM_EXPAND, static_cast<WPARAM>(code), reinterpret_cast<LPARAM>(handle)));
  }

  HTREEITEM GetNextItem(HTREEITEM handle, UINT code) const {
    return reinterpret_cast<HTREEITEM>(this->SendMessage(TVM_GETNEXTITEM, static_cast<WPARAM>(code),
                                                         reinterpret_cast<LPARAM>(handle)));
  }
  HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
  HTREEITEM GetParentItem(HTREEITEM handle) const { return GetNextItem(handle, TVGN_PARENT); }
  HTREEITEM GetChildItem(HTREEITEM handle) const { return GetNextItem(handle, TVGN_CHILD); }
  HTREEITEM GetNextSiblingItem(HTREEITEM handle) const { return GetNextItem(handle, TVGN_NEXT); }

  HIMAGELIST SetImageList(HIMAGELIST imageList, int kind = TVSIL_NORMAL) {
    return reinterpret_cast<HIMAGELIST>(this->SendMessage(
        TVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(imageList)));
  }
};

using CTreeViewCtrl = CTreeViewCtrlT<>;

// An image list handle. Like WTL's, it does not own the list: whoever made it destroys it, or
// holds it in a CImageListManaged.
class CImageList {
public:
  HIMAGELIST m_hImageList = nullptr;

  CImageList(HIMAGELIST imageList = nullptr) : m_hImageList(imageList) {}
  operator HIMAGELIST() const { return m_hImageList; }
  bool IsNull() const { return m_hImageList == nullptr; }

  BOOL Create(int cx, int cy, UINT flags, int initial, int grow) {
    ATLASSERT(m_hImageList == nullptr);
    m_hImageList = ::ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
  }
  BOOL Destroy() {
    if (m_hImageList == nullptr) {
      return FALSE;
    }
    const BOOL destroyed = ::ImageList_Destroy(m_hImageList);
    if (destroyed) {
      m_hImageList = nullptr;
    }
    return destroyed;
  }
  void Attach(HIMAGELIST imageList) { m_hImageList = imageList; }
  HIMAGELIST Detach() {
    HIMAGELIST imageList = m_hImageList;
    m_hImageList = nullptr;
    return imageList;
  }

  int GetImageCount() const { return ::ImageList_GetImageCount(m_hImageList); }
  // The bitmaps stay the caller's: the list copies them. Returns the first new index or -1.
  int Add(HBITMAP bitmap, HBITMAP mask = nullptr) {
    return ::ImageList_Add(m_hImageList, bitmap, mask);
  }
  int AddMasked(HBITMAP bitmap, COLORREF maskColour) {
    return ::ImageList_AddMasked(m_hImageList, bitmap, maskColour);
  }
  BOOL GetIconSize(int& cx, int& cy) const {
    return ::ImageList_GetIconSize(m_hImageList, &cx, &cy);
  }
};

// An image list this object owns and destroys.
class CImageListManaged : public CImageList {
public:
  CImageListManaged() = default;
  CImageListManaged(const CImageListManaged&) = delete;
  CImageListManaged& operator=(const CImageListManaged&) = delete;
  ~CImageListManaged() { Destroy(); }
};

}  // namespace WTL
