#include "WTLU/WTLU_SortableListView.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "GLIB/GLIB_Exception.h"
#include "UWIN/UWIN_SystemInfo.h"
#include "support/WTLU_TestSupport.h"

namespace {

// Rows keyed by a number; column 0 sorts by the key, column 1 by the key reversed. Each row
// records its deletion, so that every road that removes rows can be counted.
class KeyedItem : public WTLU_SortableListViewItem {
public:
  KeyedItem(int key, std::map<int, int>& deletions) : m_Key(key), m_Deletions(deletions) {}
  ~KeyedItem() override { ++m_Deletions[m_Key]; }

  int Compare(const WTLU_SortableListViewItem& other, LPARAM sortParameter) const override {
    ++sm_Comparisons;
    sm_LastParameter = sortParameter;
    const int otherKey = static_cast<const KeyedItem&>(other).m_Key;
    if (m_Key == sm_ThrowingKey || otherKey == sm_ThrowingKey) {
      ++sm_Throws;
      throw GLIB_Exception(5, "compare failed", __FILE__, __LINE__);
    }
    const int byKey = m_Key - otherKey;
    return WTLU_SortableListView::SortColumnOf(sortParameter) == 1 ? -byKey : byKey;
  }

  int Key() const { return m_Key; }

  static inline int sm_Comparisons = 0;
  static inline LPARAM sm_LastParameter = 0;
  static inline int sm_ThrowingKey = -1;
  static inline int sm_Throws = 0;

private:
  int m_Key;
  std::map<int, int>& m_Deletions;
};

// A browser-like list that answers item pre-paint and counts its hooks.
class DrawingList : public WTLU_SortableListView {
public:
  int m_PrePaints = 0;
  int m_ItemPrePaints = 0;
  int m_ItemPostPaints = 0;
  int m_Drags = 0;

protected:
  DWORD OnPrePaint(int idCtrl, LPNMCUSTOMDRAW customDraw) override {
    ++m_PrePaints;
    return WTLU_SortableListView::OnPrePaint(idCtrl, customDraw);
  }
  DWORD OnItemPrePaint(int, LPNMCUSTOMDRAW) override {
    ++m_ItemPrePaints;
    return CDRF_NOTIFYPOSTPAINT;
  }
  DWORD OnItemPostPaint(int, LPNMCUSTOMDRAW) override {
    ++m_ItemPostPaints;
    return CDRF_SKIPDEFAULT;
  }
  LRESULT OnBeginDrag(int, LPNMHDR, BOOL&) override {
    ++m_Drags;
    return 0;
  }
};

class SortableListTest : public ListControlsCapturingTest {
protected:
  static constexpr int kListId = 300;

  void SetUp() override {
    ListControlsCapturingTest::SetUp();
    KeyedItem::sm_Comparisons = 0;
    KeyedItem::sm_ThrowingKey = -1;
    KeyedItem::sm_Throws = 0;
    RECT frame = {0, 0, 400, 300};
    ASSERT_NE(m_Parent.Create(nullptr, frame, ProcessUniqueName(L"sortable").c_str()), nullptr);
    m_List = std::make_unique<DrawingList>();
    RECT inner = {0, 0, 380, 280};
    ASSERT_NE(m_List->Create(m_Parent, inner, nullptr, WS_CHILD | WS_VISIBLE | LVS_REPORT, 0,
                             static_cast<UINT>(kListId)),
              nullptr);
    m_List->InsertColumn(0, L"Key", LVCFMT_LEFT, 100);
    m_List->InsertColumn(1, L"Reversed", LVCFMT_LEFT, 100);
    m_List->InsertColumn(2, L"Other", LVCFMT_LEFT, 100);
    for (int key : {3, 1, 4, 2}) {
      const int row = m_List->InsertItemObject(m_List->GetItemCount(), std::to_wstring(key).c_str(),
                                               std::make_unique<KeyedItem>(key, m_Deletions));
      ASSERT_GE(row, 0);
    }
  }

  void TearDown() override {
    if (m_Parent.IsWindow()) {
      m_Parent.DestroyWindow();
    }
    m_List.reset();
    ListControlsCapturingTest::TearDown();
  }

  std::vector<int> Keys() const {
    std::vector<int> keys;
    for (int i = 0; i < m_List->GetItemCount(); ++i) {
      keys.push_back(static_cast<KeyedItem*>(m_List->GetItemObject(i))->Key());
    }
    return keys;
  }

  // The user clicks a column header: the notification goes to the parent, which reflects it.
  void ClickColumn(int column) {
    NMLISTVIEW click = {};
    click.hdr = {m_List->m_hWnd, static_cast<UINT_PTR>(kListId),
                 static_cast<UINT>(LVN_COLUMNCLICK)};
    click.iItem = -1;
    click.iSubItem = column;
    m_Parent.SendMessage(WM_NOTIFY, kListId, reinterpret_cast<LPARAM>(&click));
  }

  int HeaderFormat(int column) const {
    WTL::CHeaderCtrl header(m_List->GetHeader());
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    EXPECT_TRUE(header.GetItem(column, &item));
    return item.fmt;
  }

  void Select(std::initializer_list<int> rows) {
    for (int row : rows) {
      m_List->SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
  }

  int TotalDeletions() const {
    int total = 0;
    for (const auto& [key, count] : m_Deletions) {
      EXPECT_EQ(count, 1) << "key " << key << " deleted " << count << " times";
      total += count;
    }
    return total;
  }

  std::map<int, int> m_Deletions;
  ReflectingParent m_Parent;
  std::unique_ptr<DrawingList> m_List;
};

TEST_F(SortableListTest, ClicksSortAscendingThenDescendingAndMoveTheMark) {
  ClickColumn(1);
  EXPECT_EQ(Keys(), std::vector<int>({4, 3, 2, 1}));
  EXPECT_EQ(m_List->GetSortColumn(), 1);
  EXPECT_EQ(m_List->GetSortDirection(), 1);
  EXPECT_EQ(HeaderFormat(1) & (HDF_SORTUP | HDF_SORTDOWN), HDF_SORTUP);
  // Compare saw the packed parameter: direction 1, column 1.
  EXPECT_EQ(KeyedItem::sm_LastParameter, static_cast<LPARAM>(0x10001));

  ClickColumn(1);
  EXPECT_EQ(Keys(), std::vector<int>({1, 2, 3, 4}));
  EXPECT_EQ(m_List->GetSortDirection(), -1);
  EXPECT_EQ(HeaderFormat(1) & (HDF_SORTUP | HDF_SORTDOWN), HDF_SORTDOWN);

  // Another column starts ascending, and the first loses its mark.
  ClickColumn(0);
  EXPECT_EQ(m_List->GetSortColumn(), 0);
  EXPECT_EQ(m_List->GetSortDirection(), 1);
  EXPECT_EQ(Keys(), std::vector<int>({1, 2, 3, 4}));
  EXPECT_EQ(HeaderFormat(1) & (HDF_SORTUP | HDF_SORTDOWN), 0);
  EXPECT_EQ(HeaderFormat(0) & (HDF_SORTUP | HDF_SORTDOWN), HDF_SORTUP);
  // Without the arrow bitmaps no bitmap bits are set.
  EXPECT_EQ(HeaderFormat(0) & (HDF_BITMAP | HDF_BITMAP_ON_RIGHT), 0);
  EXPECT_TRUE(sm_Logged.empty());
}

TEST_F(SortableListTest, FirstClickOnTheInitialSortColumnReversesIt) {
  // The list starts as if sorted ascending by column 0, though nothing has sorted it yet.
  ClickColumn(0);
  EXPECT_EQ(m_List->GetSortDirection(), -1);
  EXPECT_EQ(Keys(), std::vector<int>({4, 3, 2, 1}));
}

TEST_F(SortableListTest, DirectionZeroComparesEverythingEqual) {
  m_List->SortByColumn(0, 0);
  EXPECT_EQ(Keys(), std::vector<int>({3, 1, 4, 2}));
  EXPECT_EQ(KeyedItem::sm_Comparisons, 0);
  EXPECT_EQ(HeaderFormat(0) & (HDF_SORTUP | HDF_SORTDOWN), 0);
}

TEST_F(SortableListTest, SortParameterKeepsItsHighWordOnSixtyFourBits) {
  std::map<int, int> deletions;
  KeyedItem one(1, deletions);
  KeyedItem two(2, deletions);
  const auto a = reinterpret_cast<LPARAM>(static_cast<WTLU_SortableListViewItem*>(&one));
  const auto b = reinterpret_cast<LPARAM>(static_cast<WTLU_SortableListViewItem*>(&two));
  const LPARAM descending = WTLU_SortableListView::SortParameter(0, -1);
  EXPECT_EQ((descending >> 16) & 0xFFFF, 0xFFFF);
  EXPECT_EQ(WTLU_SortableListView::SortColumnOf(WTLU_SortableListView::SortParameter(7, -1)), 7);
  struct Case {
    LPARAM m_Parameter;
    int m_Sign;
  };
  // Bits above the low 32, as a sign-extended -1 << 16 would set them, do not change the high
  // word.
  const LPARAM wide = static_cast<LPARAM>(~static_cast<ULONG_PTR>(0xFFFF));
  const Case cases[] = {{WTLU_SortableListView::SortParameter(0, 1), -1},
                        {descending, 1},
                        {wide, 1},
                        {WTLU_SortableListView::SortParameter(0, 0), 0},
                        {WTLU_SortableListView::SortParameter(0, 2), 0}};
  for (const Case& c : cases) {
    const int result = WTLU_SortableListView::CompareItems(a, b, c.m_Parameter);
    EXPECT_EQ((result > 0) - (result < 0), c.m_Sign) << std::hex << c.m_Parameter;
  }
  EXPECT_EQ(WTLU_SortableListView::CompareItems(a, 0, descending), 0);
}

TEST_F(SortableListTest, ACompareThatThrowsLeavesTheSortAfterTheControlIsDone) {
  KeyedItem::sm_ThrowingKey = 4;
  EXPECT_THROW(m_List->SortByColumn(0, 1), GLIB_Exception);
  // Once one comparison failed no other ran Compare.
  EXPECT_EQ(KeyedItem::sm_Throws, 1);
  EXPECT_FALSE(GLIB_IsFatalPending());
  EXPECT_TRUE(sm_Logged.empty());
}

TEST_F(SortableListTest, ACompareThatThrowsInAColumnClickIsKeptPendingByTheGuard) {
  KeyedItem::sm_ThrowingKey = 4;
  ClickColumn(0);
  EXPECT_EQ(KeyedItem::sm_Throws, 1);
  ASSERT_EQ(sm_Logged.size(), 1u);
  EXPECT_EQ(sm_Logged[0].m_Severity, GLIB_SEVERITY_FATAL);
  EXPECT_EQ(sm_Logged[0].m_Text.rfind(
                L"Class WTLU_SortableListView caught unhandled GLIB_Exception: ", 0),
            0u);
  EXPECT_EQ(sm_Logged[0].m_File, "WTLU_SortableListView.h");
  EXPECT_THROW(GLIB_RethrowPendingFatal(), GLIB_FatalException);
  EXPECT_TRUE(sm_ExitCodes.empty());
}

TEST_F(SortableListTest, ACompareOutsideTheListsOwnSortGoesToTheGuard) {
  KeyedItem::sm_ThrowingKey = 4;
  m_List->SortItems(WTLU_SortableListView::CompareItems,
                    WTLU_SortableListView::SortParameter(0, 1));
  ASSERT_FALSE(sm_Logged.empty());
  EXPECT_EQ(sm_Logged[0].m_Severity, GLIB_SEVERITY_FATAL);
  EXPECT_TRUE(GLIB_IsFatalPending());
}

TEST_F(SortableListTest, EveryRoadDeletesEachItemObjectOnce) {
  Select({0, 2});
  EXPECT_EQ(m_List->DeleteSelectedItems(), 2);
  EXPECT_EQ(Keys(), std::vector<int>({1, 2}));
  EXPECT_EQ(m_Deletions, (std::map<int, int>{{3, 1}, {4, 1}}));

  EXPECT_EQ(m_List->DeleteSelectedItems(), 0);

  // A row removed by someone else's LVM_DELETEITEM.
  m_List->InsertItemObject(0, L"7", std::make_unique<KeyedItem>(7, m_Deletions));
  EXPECT_TRUE(m_List->CListViewCtrlT::DeleteItem(0));
  EXPECT_EQ(m_Deletions[7], 1);

  EXPECT_EQ(m_List->DeleteAllItems(), 2);
  EXPECT_EQ(m_List->GetItemCount(), 0);
  EXPECT_EQ(TotalDeletions(), 5);

  // The control's own LVM_DELETEALLITEMS still notifies each row.
  m_List->InsertItemObject(0, L"8", std::make_unique<KeyedItem>(8, m_Deletions));
  m_List->InsertItemObject(1, L"9", std::make_unique<KeyedItem>(9, m_Deletions));
  EXPECT_TRUE(m_List->CListViewCtrlT::DeleteAllItems());
  EXPECT_EQ(TotalDeletions(), 7);
}

TEST_F(SortableListTest, DestroyingTheListDeletesEachItemObjectOnce) {
  EXPECT_TRUE(m_List->DestroyWindow());
  EXPECT_EQ(m_Deletions, (std::map<int, int>{{1, 1}, {2, 1}, {3, 1}, {4, 1}}));
}

TEST_F(SortableListTest, DestroyingTheParentDeletesEachItemObjectOnce) {
  EXPECT_TRUE(m_Parent.DestroyWindow());
  EXPECT_EQ(m_Deletions, (std::map<int, int>{{1, 1}, {2, 1}, {3, 1}, {4, 1}}));
  // The object outlives its window without touching the items again.
  m_List.reset();
  EXPECT_EQ(TotalDeletions(), 4);
}

TEST_F(SortableListTest, InsertionThatFailsDeletesTheObject) {
  WTLU_SortableListView windowless;
  EXPECT_EQ(windowless.InsertItemObject(0, L"5", std::make_unique<KeyedItem>(5, m_Deletions)), -1);
  EXPECT_EQ(m_Deletions[5], 1);
}

TEST_F(SortableListTest, CustomDrawGoesToTheHookOfEachStage) {
  struct Case {
    DWORD m_Stage;
    LRESULT m_Result;
  };
  const Case cases[] = {{CDDS_PREPAINT, CDRF_DODEFAULT},
                        {CDDS_ITEMPREPAINT, CDRF_NOTIFYPOSTPAINT},
                        {CDDS_ITEMPOSTPAINT, CDRF_SKIPDEFAULT},
                        {CDDS_POSTPAINT, 0},
                        {CDDS_PREERASE, 0},
                        {CDDS_POSTERASE, 0},
                        {CDDS_ITEMPREERASE, 0},
                        {CDDS_ITEMPOSTERASE, 0},
                        {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0},
                        {CDDS_ITEMPOSTPAINT | CDDS_SUBITEM, 0}};
  for (const Case& c : cases) {
    NMLVCUSTOMDRAW draw = {};
    draw.nmcd.hdr = {m_List->m_hWnd, static_cast<UINT_PTR>(kListId),
                     static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.nmcd.dwDrawStage = c.m_Stage;
    EXPECT_EQ(m_Parent.SendMessage(WM_NOTIFY, kListId, reinterpret_cast<LPARAM>(&draw)), c.m_Result)
        << std::hex << c.m_Stage;
  }
  EXPECT_EQ(m_List->m_PrePaints, 1);
  EXPECT_EQ(m_List->m_ItemPrePaints, 1);
  EXPECT_EQ(m_List->m_ItemPostPaints, 1);

  NMLISTVIEW drag = {};
  drag.hdr = {m_List->m_hWnd, static_cast<UINT_PTR>(kListId), static_cast<UINT>(LVN_BEGINDRAG)};
  m_Parent.SendMessage(WM_NOTIFY, kListId, reinterpret_cast<LPARAM>(&drag));
  EXPECT_EQ(m_List->m_Drags, 1);
}

TEST_F(SortableListTest, NotificationsOfAnotherWindowAreNotTaken) {
  // Reflected to the list, but naming another window: nothing sorts.
  NMLISTVIEW click = {};
  click.hdr = {m_Parent.m_hWnd, static_cast<UINT_PTR>(kListId), static_cast<UINT>(LVN_COLUMNCLICK)};
  click.iSubItem = 0;
  m_List->SendMessage(ATL::OCM_NOTIFY, kListId, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(Keys(), std::vector<int>({3, 1, 4, 2}));
  EXPECT_EQ(KeyedItem::sm_Comparisons, 0);
}

TEST_F(SortableListTest, AListAttachedToAnExistingControlOwnsItsRowsTheSameWay) {
  // As the application's dialogs do: the control exists, the list subclasses it.
  HWND control =
      CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 200, 100, m_Parent,
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kListId + 1)),
                      GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(control, nullptr);
  WTLU_SortableListView attached;
  ASSERT_TRUE(attached.SubclassWindow(control));
  attached.InsertColumn(0, L"Key", LVCFMT_LEFT, 100);
  for (int key : {12, 10, 11}) {
    attached.InsertItemObject(0, L"", std::make_unique<KeyedItem>(key, m_Deletions));
  }
  NMLISTVIEW click = {};
  click.hdr = {control, static_cast<UINT_PTR>(kListId + 1), static_cast<UINT>(LVN_COLUMNCLICK)};
  click.iSubItem = 0;
  // Column 0 is the initial sort column: the first click reverses it.
  m_Parent.SendMessage(WM_NOTIFY, kListId + 1, reinterpret_cast<LPARAM>(&click));
  std::vector<int> keys;
  for (int i = 0; i < attached.GetItemCount(); ++i) {
    keys.push_back(static_cast<KeyedItem*>(attached.GetItemObject(i))->Key());
  }
  EXPECT_EQ(keys, std::vector<int>({12, 11, 10}));
  EXPECT_TRUE(m_Parent.DestroyWindow());
  EXPECT_EQ(m_Deletions,
            (std::map<int, int>{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {10, 1}, {11, 1}, {12, 1}}));
}

TEST(SortableListArrows, WindowsTwoThousandShowsTheShellArrowsOnTheRight) {
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&init);
  UWIN_OSVersionOverride windows2000(0x500);
  ReflectingParent parent;
  RECT frame = {0, 0, 300, 200};
  ASSERT_NE(parent.Create(nullptr, frame, ProcessUniqueName(L"arrows").c_str()), nullptr);
  WTLU_SortableListView list;
  ASSERT_NE(list.Create(parent, frame, nullptr, WS_CHILD | LVS_REPORT), nullptr);
  list.InsertColumn(0, L"A", LVCFMT_LEFT, 100);
  list.InsertColumn(1, L"B", LVCFMT_LEFT, 100);
  WTL::CHeaderCtrl header(list.GetHeader());
  const auto itemOf = [&](int column) {
    HDITEMW item = {};
    item.mask = HDI_FORMAT | HDI_BITMAP;
    EXPECT_TRUE(header.GetItem(column, &item));
    return item;
  };

  list.SortByColumn(0, 1);
  const HDITEMW up = itemOf(0);
  EXPECT_EQ(up.fmt & (HDF_BITMAP | HDF_BITMAP_ON_RIGHT | HDF_SORTUP),
            HDF_BITMAP | HDF_BITMAP_ON_RIGHT | HDF_SORTUP);
  ASSERT_NE(up.hbm, nullptr);
  BITMAP bitmap = {};
  EXPECT_NE(GetObjectW(up.hbm, sizeof(bitmap), &bitmap), 0);

  list.SortByColumn(0, -1);
  const HDITEMW down = itemOf(0);
  EXPECT_EQ(down.fmt & (HDF_BITMAP | HDF_SORTDOWN | HDF_SORTUP), HDF_BITMAP | HDF_SORTDOWN);
  EXPECT_NE(down.hbm, nullptr);
  EXPECT_NE(down.hbm, up.hbm);

  list.SortByColumn(1, 1);
  EXPECT_EQ(itemOf(0).fmt & (HDF_BITMAP | HDF_BITMAP_ON_RIGHT | HDF_SORTUP | HDF_SORTDOWN), 0);
  EXPECT_EQ(itemOf(1).fmt & (HDF_BITMAP | HDF_BITMAP_ON_RIGHT), HDF_BITMAP | HDF_BITMAP_ON_RIGHT);
  parent.DestroyWindow();
}

}  // namespace
