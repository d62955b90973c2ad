#include "WTLU/WTLU_Functions.h"

#include <atlbase.h>

#include <vector>

namespace {

// Room for 4097 characters and the terminator.
constexpr int kStringResourceBufferSize = 4098;
constexpr int kTreeTextBufferSize = 512;
// The states an item does not take along: they describe where it was, not what it is.
constexpr UINT kTreeStatesLeftBehind =
    TVIS_SELECTED | TVIS_DROPHILITED | TVIS_EXPANDED | TVIS_EXPANDEDONCE | TVIS_EXPANDPARTIAL;

HTREEITEM NextItem(HWND tree, HTREEITEM item, UINT code) {
  return reinterpret_cast<HTREEITEM>(
      ::SendMessageW(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

bool IsInSubtreeOf(HWND tree, HTREEITEM candidate, HTREEITEM item) {
  for (HTREEITEM p = candidate; p != nullptr && p != TVI_ROOT; p = NextItem(tree, p, TVGN_PARENT)) {
    if (p == item) {
      return true;
    }
  }
  return false;
}

LPARAM ItemData(HWND tree, HTREEITEM item) {
  TVITEMW data = {};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  return ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)) ? data.lParam : 0;
}

// Whether some item of the subtree holds an lParam.
bool SubtreeHoldsData(HWND tree, HTREEITEM item) {
  if (ItemData(tree, item) != 0) {
    return true;
  }
  for (HTREEITEM child = NextItem(tree, item, TVGN_CHILD); child != nullptr;
       child = NextItem(tree, child, TVGN_NEXT)) {
    if (SubtreeHoldsData(tree, child)) {
      return true;
    }
  }
  return false;
}

HTREEITEM CopyOrMoveSubtree(HWND tree, HTREEITEM item, HTREEITEM newParent, bool copy,
                            WTLU_TreeItemTransform transform, HTREEITEM insertAfter) {
  wchar_t text[kTreeTextBufferSize] = {};
  TVINSERTSTRUCTW insert = {};
  TVITEMW& data = insert.item;
  data.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = kTreeTextBufferSize;
  data.stateMask = ~kTreeStatesLeftBehind;
  if (!::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) {
    return nullptr;
  }
  // The control may answer with its own copy of the text.
  data.pszText = data.pszText ? data.pszText : text;
  data.state &= ~kTreeStatesLeftBehind;
  data.stateMask = ~kTreeStatesLeftBehind;
  if (copy && transform) {
    data.lParam = transform(tree, item, data.lParam);
  }
  data.hItem = nullptr;
  insert.hParent = newParent;
  insert.hInsertAfter = insertAfter;
  const HTREEITEM newItem = reinterpret_cast<HTREEITEM>(
      ::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (newItem == nullptr) {
    return nullptr;
  }
  // A move deletes each child as it goes: take the next sibling first.
  HTREEITEM child = NextItem(tree, item, TVGN_CHILD);
  while (child != nullptr) {
    const HTREEITEM next = NextItem(tree, child, TVGN_NEXT);
    CopyOrMoveSubtree(tree, child, newItem, copy, transform, TVI_LAST);
    child = next;
  }
  if (!copy) {
    TVITEMW cleared = {};
    cleared.mask = TVIF_PARAM;
    cleared.hItem = item;
    ::SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&cleared));
    ::SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
  }
  return newItem;
}

}  // namespace

int WTLU_LoadString(UINT id, wchar_t* buffer, int size) {
  return ATL::AtlLoadString(id, buffer, size);
}

GLIB_WString WTLU_LoadStringResource(UINT id) {
  std::vector<wchar_t> buffer(kStringResourceBufferSize);
  const int length = WTLU_LoadString(id, buffer.data(), kStringResourceBufferSize);
  return GLIB_WString(buffer.data(), static_cast<GLIB_WString::size_type>(length));
}

BOOL WTLU_MoveWindowBy(HWND window, int dx, int dy) {
  RECT r = {};
  if (!::GetWindowRect(window, &r)) {
    return FALSE;
  }
  ::OffsetRect(&r, dx, dy);
  // A child is placed in its parent's client coordinates; any other window on the screen (its
  // GetParent may be an owner).
  const HWND parent =
      (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) ? ::GetParent(window) : nullptr;
  if (parent != nullptr && ::IsWindow(parent)) {
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&r), 2);
  }
  return ::MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

int WTLU_Sign(int value) {
  return (value > 0) - (value < 0);
}

HTREEITEM WTLU_CopyOrMoveTreeItem(HWND tree, HTREEITEM item, HTREEITEM newParent, bool copy,
                                  WTLU_TreeItemTransform transform, HTREEITEM insertAfter) {
  if (item == nullptr || newParent == nullptr) {
    return nullptr;
  }
  if (newParent == item || NextItem(tree, item, TVGN_PARENT) == newParent) {
    return item;
  }
  if (IsInSubtreeOf(tree, newParent, item)) {
    return nullptr;
  }
  if (copy && transform == nullptr && SubtreeHoldsData(tree, item)) {
    return nullptr;
  }
  return CopyOrMoveSubtree(tree, item, newParent, copy, transform, insertAfter);
}

GLIB_WString WTLU_GetFileVersion(const wchar_t* path) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) {
    return GLIB_WString();
  }
  std::vector<BYTE> block(size);
  if (!::GetFileVersionInfoW(path, 0, size, block.data())) {
    return GLIB_WString();
  }
  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(block.data(), L"\\", &value, &length) || value == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return GLIB_WString();
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
  wchar_t text[64] = {};
  GLIB_snprintf(text, 64, L"%i.%i.%i.%i", static_cast<int>(HIWORD(info->dwFileVersionMS)),
                static_cast<int>(LOWORD(info->dwFileVersionMS)),
                static_cast<int>(HIWORD(info->dwFileVersionLS)),
                static_cast<int>(LOWORD(info->dwFileVersionLS)));
  return GLIB_WString(text);
}

GLIB_WString WTLU_GetModuleFileVersion() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return GLIB_WString();
  }
  return WTLU_GetFileVersion(path);
}
