// A tree item handle together with the tree view that holds it: the unit in which the tree
// control hands items to its clients.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <vector>

class WMCT_TreeItem {
public:
  WMCT_TreeItem() = default;
  WMCT_TreeItem(HTREEITEM item, HWND tree) : m_Item(item), m_Tree(tree) {}

  HTREEITEM GetItem() const { return m_Item; }
  HWND GetTree() const { return m_Tree; }
  bool IsNull() const { return m_Item == nullptr; }

  // Sets the item's state image (0 none, 1.. the state image list's pictures).
  void SetStateImage(UINT index) const;

  friend bool operator==(const WMCT_TreeItem& a, const WMCT_TreeItem& b) {
    return a.m_Item == b.m_Item && a.m_Tree == b.m_Tree;
  }
  friend bool operator!=(const WMCT_TreeItem& a, const WMCT_TreeItem& b) { return !(a == b); }

private:
  HTREEITEM m_Item = nullptr;
  HWND m_Tree = nullptr;
};

// The rectangle of an item (TVM_GETITEMRECT); false when the tree cannot give it.
inline bool WMCT_GetItemRect(HWND tree, HTREEITEM item, bool textOnly, RECT* rect) {
  static_assert(sizeof(HTREEITEM) <= sizeof(RECT), "the request puts the handle in the rectangle");
  std::memcpy(rect, &item, sizeof(item));
  return ::SendMessageW(tree, TVM_GETITEMRECT, textOnly ? TRUE : FALSE,
                        reinterpret_cast<LPARAM>(rect)) != 0;
}

using WMCT_TreeItemVector = std::vector<WMCT_TreeItem>;
