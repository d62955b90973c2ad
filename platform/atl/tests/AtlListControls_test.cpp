#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <atlbase.h>
#include <atlctrls.h>

#include "AtlTestSupport.h"

namespace {

class ListControlsTest : public testing::Test {
protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&init));
    m_Parent = CreateWindowExW(0, L"STATIC", ProcessUniqueName(L"lists").c_str(), WS_POPUP, 0, 0,
                               300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(m_Parent, nullptr);
  }
  void TearDown() override { DestroyWindow(m_Parent); }

  HWND Child(LPCWSTR className, DWORD style) {
    return CreateWindowExW(0, className, L"", WS_CHILD | style, 0, 0, 280, 180, m_Parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }

  HWND m_Parent = nullptr;
};

int CALLBACK CompareData(LPARAM first, LPARAM second, LPARAM direction) {
  return static_cast<int>((first - second) * direction);
}

TEST_F(ListControlsTest, ListViewItemsCarryDataAndSort) {
  WTL::CListViewCtrl list(Child(WTL::CListViewCtrl::GetWndClassName(), LVS_REPORT));
  ASSERT_TRUE(list.IsWindow());
  EXPECT_EQ(list.InsertColumn(0, L"Name", LVCFMT_LEFT, 100), 0);
  EXPECT_EQ(list.InsertItem(0, L"b", 20), 0);
  EXPECT_EQ(list.InsertItem(1, L"a", 10), 1);
  EXPECT_EQ(list.InsertItem(2, L"c", 30), 2);
  EXPECT_EQ(list.GetItemCount(), 3);
  EXPECT_EQ(list.GetItemData(1), 10u);
  EXPECT_TRUE(list.SetItemData(1, 15));
  EXPECT_EQ(list.GetItemData(1), 15u);

  // Descending by data.
  EXPECT_TRUE(list.SortItems(CompareData, -1));
  wchar_t text[8] = {};
  std::wstring order;
  for (int i = 0; i < list.GetItemCount(); ++i) {
    list.GetItemText(i, 0, text, 8);
    order += text;
  }
  EXPECT_EQ(order, L"cba");

  EXPECT_TRUE(list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED));
  EXPECT_TRUE(list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED));
  EXPECT_EQ(list.GetSelectedCount(), 2u);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 0);
  EXPECT_EQ(list.GetNextItem(0, LVNI_SELECTED), 2);
  EXPECT_EQ(list.GetNextItem(2, LVNI_SELECTED), -1);
  EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));

  EXPECT_TRUE(list.DeleteItem(0));
  EXPECT_EQ(list.GetItemCount(), 2);
  EXPECT_TRUE(list.DeleteAllItems());
  EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(ListControlsTest, HeaderOfAReportListReadsAndWritesItsFormat) {
  WTL::CListViewCtrl list(Child(WTL::CListViewCtrl::GetWndClassName(), LVS_REPORT));
  list.InsertColumn(0, L"One", LVCFMT_LEFT, 60);
  list.InsertColumn(1, L"Two", LVCFMT_LEFT, 60);
  WTL::CHeaderCtrl header(list.GetHeader());
  ASSERT_TRUE(header.IsWindow());
  EXPECT_EQ(header.GetItemCount(), 2);
  HDITEMW item = {};
  item.mask = HDI_FORMAT;
  ASSERT_TRUE(header.GetItem(1, &item));
  item.fmt |= HDF_RIGHT;
  EXPECT_TRUE(header.SetItem(1, &item));
  HDITEMW read = {};
  read.mask = HDI_FORMAT;
  ASSERT_TRUE(header.GetItem(1, &read));
  EXPECT_EQ(read.fmt & HDF_JUSTIFYMASK, HDF_RIGHT);
  EXPECT_FALSE(header.GetItem(5, &read));
}

TEST_F(ListControlsTest, TreeViewWalksItsHierarchy) {
  WTL::CTreeViewCtrl tree(Child(WTL::CTreeViewCtrl::GetWndClassName(), 0));
  ASSERT_TRUE(tree.IsWindow());
  HTREEITEM root = tree.InsertItem(L"root", TVI_ROOT, TVI_LAST);
  HTREEITEM first = tree.InsertItem(L"first", root, TVI_LAST);
  HTREEITEM second = tree.InsertItem(L"second", root, TVI_LAST);
  ASSERT_TRUE(root && first && second);
  EXPECT_EQ(tree.GetRootItem(), root);
  EXPECT_EQ(tree.GetChildItem(root), first);
  EXPECT_EQ(tree.GetNextSiblingItem(first), second);
  EXPECT_EQ(tree.GetNextSiblingItem(second), nullptr);
  EXPECT_EQ(tree.GetParentItem(second), root);
  EXPECT_EQ(tree.GetParentItem(root), nullptr);
  EXPECT_EQ(tree.GetCount(), 3u);

  EXPECT_TRUE(tree.SetItemData(second, 77));
  EXPECT_EQ(tree.GetItemData(second), 77u);
  EXPECT_TRUE(tree.SetItemText(first, L"renamed"));
  wchar_t text[16] = {};
  ASSERT_TRUE(tree.GetItemText(first, text, 16));
  EXPECT_EQ(std::wstring(text), L"renamed");
  EXPECT_TRUE(tree.Expand(root));
  EXPECT_EQ(tree.GetItemState(root, TVIS_EXPANDED), static_cast<UINT>(TVIS_EXPANDED));

  EXPECT_TRUE(tree.DeleteItem(first));
  EXPECT_EQ(tree.GetChildItem(root), second);
  EXPECT_TRUE(tree.DeleteAllItems());
  EXPECT_EQ(tree.GetCount(), 0u);
}

TEST(ImageList, HoldsImagesAndDestroysOnce) {
  WTL::CImageListManaged managed;
  ASSERT_TRUE(managed.Create(16, 16, ILC_COLOR24, 2, 2));
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 16);
  ReleaseDC(nullptr, screen);
  // A strip of two images; the list copies them.
  EXPECT_EQ(managed.Add(bitmap), 0);
  DeleteObject(bitmap);
  EXPECT_EQ(managed.GetImageCount(), 2);
  int cx = 0;
  int cy = 0;
  EXPECT_TRUE(managed.GetIconSize(cx, cy));
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);

  // A plain handle owns nothing: the list outlives it.
  { WTL::CImageList plain(managed.m_hImageList); }
  EXPECT_EQ(managed.GetImageCount(), 2);

  WTL::CImageList own;
  ASSERT_TRUE(own.Create(8, 8, ILC_COLOR24, 1, 1));
  EXPECT_TRUE(own.Destroy());
  EXPECT_TRUE(own.IsNull());
  EXPECT_FALSE(own.Destroy());
}

}  // namespace
