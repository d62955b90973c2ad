#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UWIN/UWIN_SystemInfo.h"
#include "WMCT/WMCT_MultiColumnTreeCtrl.h"
#include "WMCT/WMCT_Resources.h"
#include "support/WMCT_TestSupport.h"
#include "win/ResourceLibrary.h"

namespace {

using Texts = std::vector<std::wstring>;

class LayoutTest : public TreeControlTest {
protected:
  int ClientWidth() const {
    RECT client = {};
    GetClientRect(*m_Control, &client);
    return client.right - client.left;
  }
  bool HasBar() const { return (m_Control->GetStyle() & WS_HSCROLL) != 0; }
  std::pair<int, int> Range() const {
    int low = -1;
    int high = -1;
    GetScrollRange(*m_Control, SB_HORZ, &low, &high);
    return {low, high};
  }
  int Position() const { return GetScrollPos(*m_Control, SB_HORZ); }
  void Scroll(WORD code, WORD thumb = 0) {
    SendMessageW(*m_Control, WM_HSCROLL, MAKEWPARAM(code, thumb), 0);
  }
};

TEST_F(LayoutTest, ChildrenAreMadeWithTheirStyles) {
  MakeControl();
  ASSERT_TRUE(IsWindow(Tree()));
  ASSERT_TRUE(IsWindow(m_Control->GetHeaderCtrl()));
  const DWORD treeStyle = static_cast<DWORD>(GetWindowLongPtrW(Tree(), GWL_STYLE));
  EXPECT_EQ(treeStyle & TVS_NOHSCROLL, 0u);
  EXPECT_NE(treeStyle & TVS_SHOWSELALWAYS, 0u);
  EXPECT_EQ(GetDlgCtrlID(Tree()), kControlId);
  const DWORD headerStyle =
      static_cast<DWORD>(GetWindowLongPtrW(m_Control->GetHeaderCtrl(), GWL_STYLE));
  EXPECT_NE(headerStyle & HDS_DRAGDROP, 0u);
  EXPECT_NE(headerStyle & WS_VISIBLE, 0u);
  RECT tree = {};
  GetWindowRect(Tree(), &tree);
  MapWindowPoints(nullptr, *m_Control, reinterpret_cast<POINT*>(&tree), 2);
  RECT header = {};
  GetWindowRect(m_Control->GetHeaderCtrl(), &header);
  EXPECT_EQ(header.right - header.left, 5000);
  EXPECT_EQ(tree.top, header.bottom - header.top) << "the tree starts below the header";
}

TEST_F(LayoutTest, ScrollBarAppearsWhenTheColumnsAreWiderThanTheClient) {
  MakeControl();
  const int width = ClientWidth();
  m_Control->AddColumn(WMCT_HeaderItem::Create(L"A", 0, 0, width - 100, 2000, 10, false, false, 0,
                                               true, 0, 0, 0, 0));
  m_Control->AddColumn(
      WMCT_HeaderItem::Create(L"B", 2, 1, 100, 2000, 10, false, false, 1, true, 0, 0, 0, 0));
  EXPECT_EQ(m_Control->GetTotalColumnWidth(), width);
  EXPECT_FALSE(HasBar()) << "equal widths need no bar";
  m_Control->AddColumn(
      WMCT_HeaderItem::Create(L"C", 1, 2, 1, 2000, 0, false, false, 2, true, 0, 0, 0, 0));
  ASSERT_TRUE(HasBar());
  EXPECT_EQ(Range(), std::make_pair(0, 1));
  m_Control->DeleteAllColumns();
  EXPECT_FALSE(HasBar());
  EXPECT_EQ(m_Control->GetHorizontalOffset(), 0);
}

TEST_F(LayoutTest, EveryScrollCodeAtTheClamps) {
  MakeControl();
  const int width = ClientWidth();
  m_Control->AddColumn(
      WMCT_HeaderItem::Create(L"A", 0, 0, width + 50, 5000, 10, false, false, 0, true, 0, 0, 0, 0));
  ASSERT_EQ(Range(), std::make_pair(0, 50));
  struct Case {
    int m_Start;
    WORD m_Code;
    WORD m_Thumb;
    int m_Expected;
  };
  const Case cases[] = {
      {3, SB_LINELEFT, 0, 0},    {10, SB_LINELEFT, 0, 4},     {47, SB_LINERIGHT, 0, 50},
      {10, SB_LINERIGHT, 0, 16}, {40, SB_PAGELEFT, 0, 0},     {1, SB_PAGERIGHT, 0, 50},
      {20, SB_THUMBTRACK, 0, 0}, {20, SB_THUMBTRACK, 70, 50}, {0, SB_THUMBPOSITION, 33, 33},
      {20, SB_LEFT, 0, 0},       {20, SB_RIGHT, 0, 50},       {20, SB_ENDSCROLL, 0, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.m_Start << " code " << c.m_Code);
    Scroll(SB_THUMBPOSITION, static_cast<WORD>(c.m_Start));
    ASSERT_EQ(Position(), c.m_Start);
    Scroll(c.m_Code, c.m_Thumb);
    EXPECT_EQ(Position(), c.m_Expected);
    EXPECT_EQ(m_Control->GetHorizontalOffset(), -c.m_Expected);
    RECT header = {};
    GetWindowRect(m_Control->GetHeaderCtrl(), &header);
    MapWindowPoints(nullptr, *m_Control, reinterpret_cast<POINT*>(&header), 2);
    EXPECT_EQ(header.left, -c.m_Expected) << "the header scrolls with the rows";
  }
}

TEST_F(LayoutTest, WindowPositionChangesAreBroadcast) {
  MakeControl();
  struct Listener : GLIB_MessageTarget {
    void On(const WMCT_WindowPosChanged& message) {
      ++m_Count;
      m_LastWidth = message.GetWindowPos()->cx;
    }
    int m_Count = 0;
    int m_LastWidth = 0;
  } listener;
  m_Control->Register(new GLIB_Callback<Listener, WMCT_WindowPosChanged>(&listener, &Listener::On));
  m_Control->SetWindowPos(nullptr, 0, 0, 333, 200, SWP_NOZORDER);
  EXPECT_EQ(listener.m_Count, 2) << "changing and changed";
  EXPECT_EQ(listener.m_LastWidth, 333);
}

class HeaderTest : public TreeControlTest {
protected:
  LRESULT NotifyHeader(UINT code, int item, HDITEMW* data) {
    NMHEADERW notice = {};
    notice.hdr.hwndFrom = m_Control->GetHeaderCtrl();
    notice.hdr.code = code;
    notice.iItem = item;
    notice.pitem = data;
    return SendMessageW(*m_Control, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
  }
  LRESULT ChangeWidth(UINT code, int column, int width) {
    HDITEMW data = {};
    data.mask = HDI_WIDTH;
    data.cxy = width;
    return NotifyHeader(code, column, &data);
  }
  LRESULT EndDrag(int column, int order) {
    HDITEMW data = {};
    data.mask = HDI_ORDER;
    data.iOrder = order;
    return NotifyHeader(HDN_ENDDRAG, column, &data);
  }
  int Format(int column) const {
    HDITEMW data = {};
    data.mask = HDI_FORMAT;
    SendMessageW(m_Control->GetHeaderCtrl(), HDM_GETITEMW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&data));
    return data.fmt;
  }
  std::vector<int> Orders() const {
    std::vector<int> orders;
    for (int i = 0; i < m_Control->GetColumnCount(); ++i) {
      orders.push_back(m_Control->GetHeaderItem(i)->m_Order);
    }
    return orders;
  }
};

TEST_F(HeaderTest, WidthChangesOutsideTheLimitsAreRefused) {
  MakeControl();
  AddColumns();
  struct Case {
    int m_Width;
    LRESULT m_Refused;
  };
  const Case cases[] = {{39, 1}, {40, 0}, {300, 0}, {301, 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(ChangeWidth(HDN_ITEMCHANGINGW, 1, c.m_Width), c.m_Refused) << c.m_Width;
  }
  ChangeWidth(HDN_ITEMCHANGEDW, 1, 150);
  EXPECT_EQ(m_Control->GetHeaderItem(1)->m_Width, 150);
}

TEST_F(HeaderTest, ColumnZeroStaysFirstAndOrdersShift) {
  MakeControl();
  AddColumns();
  EXPECT_EQ(EndDrag(0, 2), 1) << "column 0 cannot move";
  EXPECT_EQ(EndDrag(2, 0), 1) << "nothing moves before column 0";
  EXPECT_EQ(Orders(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(EndDrag(2, 2), 0);
  EXPECT_EQ(Orders(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(EndDrag(3, 1), 0) << "left";
  EXPECT_EQ(Orders(), (std::vector<int>{0, 2, 3, 1}));
  EXPECT_EQ(EndDrag(3, 3), 0) << "right";
  EXPECT_EQ(Orders(), (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(HeaderTest, ClicksSortAndMarkTheColumn) {
  MakeControl();
  AddColumns(3);
  m_Control->AddColumn(
      WMCT_HeaderItem::Create(L"Fixed", 0, 4, 80, 300, 40, false, false, 3, false, 0, 0, 0, 0));
  for (const wchar_t* label : {L"2", L"3", L"1"}) {
    Row(label);
  }
  NotifyHeader(HDN_ITEMCLICKW, 0, nullptr);
  EXPECT_EQ(m_Control->GetSortDirection(), -1) << "the first click on column 0 sorts descending";
  EXPECT_EQ(TopLabels(), (Texts{L"3", L"2", L"1"}));
  EXPECT_EQ(Format(0) & (HDF_SORTUP | HDF_SORTDOWN), HDF_SORTDOWN);
  NotifyHeader(HDN_ITEMCLICKW, 1, nullptr);
  EXPECT_EQ(m_Control->GetSortColumn(), 1);
  EXPECT_EQ(m_Control->GetSortDirection(), 1);
  EXPECT_EQ(TopLabels(), (Texts{L"3", L"2", L"1"})) << "column 1 compares the other way";
  EXPECT_EQ(Format(0) & (HDF_SORTUP | HDF_SORTDOWN), 0);
  EXPECT_EQ(Format(1) & (HDF_SORTUP | HDF_SORTDOWN), HDF_SORTUP);
  NotifyHeader(HDN_ITEMCLICKW, 1, nullptr);
  EXPECT_EQ(TopLabels(), (Texts{L"1", L"2", L"3"}));
  EXPECT_EQ(Format(1) & (HDF_SORTUP | HDF_SORTDOWN), HDF_SORTDOWN);
  // A column that does not sort only clears the old mark.
  NotifyHeader(HDN_ITEMCLICKW, 3, nullptr);
  EXPECT_EQ(Format(1) & (HDF_SORTUP | HDF_SORTDOWN), 0);
  EXPECT_EQ(Format(3) & (HDF_SORTUP | HDF_SORTDOWN), 0);
  EXPECT_EQ(m_Control->GetSortColumn(), 1);
  EXPECT_EQ(m_Control->GetSortDirection(), -1);
  EXPECT_EQ(TopLabels(), (Texts{L"1", L"2", L"3"}));
}

TEST_F(HeaderTest, Windows2000MarksWithArrowBitmaps) {
  for (int code : {0x500, 0x501}) {
    SCOPED_TRACE(code);
    const UWIN_OSVersionOverride version(code);
    MakeControl();
    AddColumns(2);
    m_Control->SortByColumn(1, -1, false);
    const int format = Format(1);
    EXPECT_EQ(format & HDF_SORTDOWN, HDF_SORTDOWN);
    HDITEMW data = {};
    data.mask = HDI_BITMAP;
    SendMessageW(m_Control->GetHeaderCtrl(), HDM_GETITEMW, 1, reinterpret_cast<LPARAM>(&data));
    if (code == 0x500) {
      EXPECT_EQ(format & (HDF_BITMAP | HDF_BITMAP_ON_RIGHT), HDF_BITMAP | HDF_BITMAP_ON_RIGHT);
      ASSERT_NE(data.hbm, nullptr);
      BITMAP bitmap = {};
      GetObjectW(data.hbm, sizeof(bitmap), &bitmap);
      EXPECT_EQ(bitmap.bmWidth, 14);
      m_Control->SortByColumn(0, 1, false);
      EXPECT_EQ(Format(1) & (HDF_BITMAP | HDF_BITMAP_ON_RIGHT | HDF_SORTDOWN), 0);
    } else {
      EXPECT_EQ(format & HDF_BITMAP, 0);
    }
    TearDown();
    SetUp();
  }
}

TEST_F(HeaderTest, SortParameterPacksDirectionInTheHighWord) {
  EXPECT_EQ(WMCT_MultiColumnTreeCtrl::SortParameter(3, -1), static_cast<LPARAM>(0xFFFF0003));
  EXPECT_EQ(WMCT_MultiColumnTreeCtrl::SortParameter(2, 1), static_cast<LPARAM>(0x00010002));
  NumberRow low;
  NumberRow high;
  WMCT_TreeItem none;
  low.Initialise(L"1", {}, none, nullptr);
  high.Initialise(L"2", {}, none, nullptr);
  const auto a = reinterpret_cast<LPARAM>(&low);
  const auto b = reinterpret_cast<LPARAM>(&high);
  EXPECT_LT(
      WMCT_MultiColumnTreeCtrl::CompareRows(a, b, WMCT_MultiColumnTreeCtrl::SortParameter(0, 1)),
      0);
  EXPECT_GT(
      WMCT_MultiColumnTreeCtrl::CompareRows(a, b, WMCT_MultiColumnTreeCtrl::SortParameter(0, -1)),
      0);
  EXPECT_EQ(
      WMCT_MultiColumnTreeCtrl::CompareRows(a, b, WMCT_MultiColumnTreeCtrl::SortParameter(0, 0)),
      0);
  EXPECT_EQ(
      WMCT_MultiColumnTreeCtrl::CompareRows(a, 0, WMCT_MultiColumnTreeCtrl::SortParameter(0, 1)),
      0);
}

TEST_F(HeaderTest, RecursiveSortOrdersEverySubtreeAndKeepsTheSelection) {
  MakeControl();
  AddColumns();
  const HTREEITEM first = Row(L"20");
  const HTREEITEM second = Row(L"10");
  for (const wchar_t* label : {L"3", L"1", L"2"}) {
    Child(first, label);
  }
  HTREEITEM picked = nullptr;
  for (const wchar_t* label : {L"6", L"4", L"5"}) {
    const HTREEITEM child = Child(second, label);
    picked = std::wstring(label) == L"4" ? child : picked;
  }
  const HTREEITEM grandParent = Next(second, TVGN_CHILD);
  for (const wchar_t* label : {L"9", L"7"}) {
    Child(grandParent, label);
  }
  for (HTREEITEM item : {first, second, grandParent}) {
    SendMessageW(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
  }
  m_Control->UpdateSelection(picked, 0);
  m_Control->UpdateSelection(first, MK_CONTROL);
  ASSERT_EQ(SelectedLabels(), (Texts{L"20", L"4"}));
  m_Control->SortByColumn(0, 1, true);
  EXPECT_EQ(TopLabels(), (Texts{L"10", L"20"}));
  EXPECT_EQ(Labels(Next(first, TVGN_CHILD)), (Texts{L"1", L"2", L"3"}));
  EXPECT_EQ(Labels(Next(second, TVGN_CHILD)), (Texts{L"4", L"5", L"6"}));
  EXPECT_EQ(Labels(Next(grandParent, TVGN_CHILD)), (Texts{L"7", L"9"}));
  EXPECT_EQ(SelectedLabels(), (Texts{L"4", L"20"}));
}

class SelectionTest : public TreeControlTest {
protected:
  void MakeRows(int count = 6) {
    MakeControl();
    AddColumns();
    for (int i = 1; i <= count; ++i) {
      m_Items.push_back(Row(std::to_wstring(i).c_str()));
    }
    m_Recorder = std::make_unique<MessageRecorder>(*m_Control);
  }
  void TearDown() override {
    m_Recorder.reset();
    TreeControlTest::TearDown();
  }
  LRESULT Key(WPARAM key) { return SendMessageW(Tree(), WM_KEYDOWN, key, 0); }
  Texts LastSelectionMessage() const {
    Texts labels;
    for (auto entry = m_Recorder->m_Entries.rbegin(); entry != m_Recorder->m_Entries.rend();
         ++entry) {
      if (entry->m_Kind == "TreeView selection changed") {
        for (const WMCT_TreeItem& item : entry->m_Items) {
          labels.push_back(Label(item.GetItem()));
        }
        return labels;
      }
    }
    return {L"<none>"};
  }

  std::vector<HTREEITEM> m_Items;
  std::unique_ptr<MessageRecorder> m_Recorder;
};

TEST_F(SelectionTest, ClicksWithAndWithoutModifiers) {
  MakeRows();
  struct Step {
    int m_Row;
    UINT m_Flags;
    Texts m_Selected;
  };
  const Step steps[] = {
      {1, 0, {L"2"}},
      {3, MK_SHIFT, {L"2", L"3", L"4"}},
      {5, MK_CONTROL, {L"2", L"3", L"4", L"6"}},
      {2, MK_CONTROL, {L"2", L"4", L"6"}},
      {0, MK_SHIFT, {L"1", L"2"}},
      {4, 0, {L"5"}},
      {4, MK_CONTROL, {}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.m_Row);
    m_Control->UpdateSelection(m_Items[static_cast<std::size_t>(step.m_Row)], step.m_Flags);
    EXPECT_EQ(SelectedLabels(), step.m_Selected);
    EXPECT_EQ(LastSelectionMessage(), step.m_Selected);
  }
}

TEST_F(SelectionTest, ShiftWithoutAnchorUsesTheCaretAndWithNeitherChangesNothing) {
  MakeRows();
  m_Control->UpdateSelection(m_Items[4], MK_SHIFT);
  EXPECT_EQ(SelectedLabels(), Texts{}) << "no anchor and no caret";
  EXPECT_EQ(LastSelectionMessage(), Texts{}) << "still announced";
  SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(m_Items[1]));
  m_Control->UpdateSelection(m_Items[3], MK_SHIFT);
  EXPECT_EQ(SelectedLabels(), (Texts{L"2", L"3", L"4"}));
}

TEST_F(SelectionTest, DeletedItemsAreForgotten) {
  MakeRows();
  m_Control->UpdateSelection(m_Items[1], 0);
  EXPECT_EQ(m_Control->GetAnchor(), m_Items[1]);
  SendMessageW(Tree(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(m_Items[1]));
  EXPECT_EQ(m_Control->GetAnchor(), nullptr);
  // A later Shift click anchors at the caret, not at the dead handle.
  SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(m_Items[3]));
  m_Control->UpdateSelection(m_Items[5], MK_SHIFT);
  EXPECT_EQ(SelectedLabels(), (Texts{L"4", L"5", L"6"}));
}

TEST_F(SelectionTest, ArrowAndPageKeys) {
  MakeRows();
  m_Control->UpdateSelection(m_Items[2], 0);
  SetKeys(false, false);
  Key(VK_DOWN);
  EXPECT_EQ(SelectedLabels(), (Texts{L"4"}));
  SetKeys(true, false);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(SelectedLabels(), (Texts{L"4", L"5", L"6"}));
  EXPECT_EQ(LastSelectionMessage(), (Texts{L"4", L"5", L"6"}));
  Key(VK_DOWN);
  EXPECT_EQ(SelectedLabels(), (Texts{L"4", L"5", L"6"})) << "no row below the last";
  Key(VK_UP);
  EXPECT_EQ(SelectedLabels(), (Texts{L"4", L"5"}));
  SetKeys(false, false);
  Key(VK_UP);
  EXPECT_EQ(SelectedLabels(), (Texts{L"4"})) << "several selected: the selection collapses";
  Key(VK_UP);
  EXPECT_EQ(SelectedLabels(), (Texts{L"3"}));
  SetKeys(true, false);
  Key(VK_PRIOR);
  EXPECT_EQ(SelectedLabels(), (Texts{L"1", L"2", L"3"}));
  SetKeys(false, false);
  Key(VK_NEXT);
  EXPECT_EQ(SelectedLabels(), (Texts{L"6"}));
  for (int ignored : {VK_HOME, VK_END, static_cast<int>('A')}) {
    Key(static_cast<WPARAM>(ignored));
    EXPECT_EQ(SelectedLabels(), (Texts{L"6"})) << ignored;
  }
}

TEST_F(SelectionTest, DebugKeysBroadcastTheSelectionFirst) {
  MakeRows();
  m_Control->UpdateSelection(m_Items[0], 0);
  PressKeys({'I', VK_CONTROL, VK_SHIFT});
  Key(VK_HOME);
  SetKeys(false, false);
  ASSERT_EQ(m_Recorder->Count("Debug Info to be displayed"), 1u);
  EXPECT_EQ(m_Recorder->m_Entries.back().m_Items.size(), 1u);
}

TEST_F(SelectionTest, PressOnEmptySpaceClearsOnlyASelection) {
  MakeRows(2);
  // A tree view that gains the focus with no caret makes its first row the caret.
  SetFocus(Tree());
  m_Control->ClearSelection();
  m_Recorder->m_Entries.clear();
  RECT last = ItemRect(m_Items[1]);
  const LPARAM below = MAKELPARAM(5, last.bottom + 40);
  SendMessageW(Tree(), WM_LBUTTONDOWN, 0, below);
  EXPECT_EQ(m_Recorder->m_Entries.size(), 0u) << "nothing was selected";
  m_Control->UpdateSelection(m_Items[0], 0);
  m_Recorder->m_Entries.clear();
  SendMessageW(Tree(), WM_LBUTTONDOWN, 0, below);
  EXPECT_EQ(SelectedLabels(), Texts{});
  ASSERT_GE(m_Recorder->m_Entries.size(), 1u);
  EXPECT_EQ(m_Recorder->m_Entries[0].m_Kind, "TreeView selection changed");
  EXPECT_TRUE(m_Recorder->m_Entries[0].m_Items.empty());
}

TEST_F(SelectionTest, DoubleClickIsReportedUnlessARowJustExpanded) {
  MakeRows(2);
  Child(m_Items[0], L"9");
  m_Control->UpdateSelection(m_Items[1], 0);
  // The tree's own double-click handling follows ours.
  SendMessageW(Tree(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 300));
  EXPECT_EQ(m_Recorder->Count("TreeView items double clicked"), 1u);
  NotifyTree(TVN_ITEMEXPANDEDW, m_Items[0], TVE_EXPAND);
  SendMessageW(Tree(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 300));
  EXPECT_EQ(m_Recorder->Count("TreeView items double clicked"), 1u);
  SendMessageW(*m_Control, WM_TIMER, WMCT_MultiColumnTreeCtrl::kExpansionTimer, 0);
  SendMessageW(Tree(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 300));
  EXPECT_EQ(m_Recorder->Count("TreeView items double clicked"), 2u);
}

// A policy that deletes the selection with the Delete key.
class DeleteSelected : public iWMCT_DeletePolicyBase {
public:
  std::unique_ptr<iWMCT_DeletePolicyBase> Clone() const override {
    return std::make_unique<DeleteSelected>(*this);
  }
  bool IsDeleteKey(unsigned short key) const override { return key == VK_DELETE; }
  void ItemsToDelete(WMCT_TreeItemVector& result,
                     const WMCT_TreeItemVector& selected) const override {
    result = selected;
  }
};

TEST_F(SelectionTest, DeleteKeyFollowsThePolicy) {
  MakeRows(3);
  m_Control->UpdateSelection(m_Items[1], 0);
  m_Recorder->m_Entries.clear();
  SendMessageW(Tree(), WM_KEYUP, VK_DELETE, 0);
  EXPECT_TRUE(m_Recorder->m_Entries.empty()) << "the base policy deletes nothing";
  m_Control->SetDeletePolicy(DeleteSelected());
  SendMessageW(Tree(), WM_KEYUP, VK_DELETE, 0);
  EXPECT_EQ(TopLabels(), (Texts{L"1", L"3"}));
  ASSERT_EQ(m_Recorder->m_Entries.size(), 2u);
  EXPECT_EQ(m_Recorder->m_Entries[0].m_Kind, "TreeView selection changed");
  EXPECT_TRUE(m_Recorder->m_Entries[0].m_Items.empty());
  EXPECT_EQ(m_Recorder->m_Entries[1].m_Kind, "TreeView items have been deleted");
}

TEST_F(SelectionTest, CollapseDeselectsTheHiddenRows) {
  MakeRows(2);
  const HTREEITEM child = Child(m_Items[0], L"7");
  SendMessageW(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(m_Items[0]));
  m_Control->UpdateSelection(child, 0);
  m_Control->UpdateSelection(m_Items[1], MK_CONTROL);
  NotifyExpanding(m_Items[0], TVE_COLLAPSE);
  EXPECT_FALSE(IsSelected(child));
  EXPECT_TRUE(IsSelected(m_Items[1]));
}

class CheckboxTest : public TreeControlTest {};

TEST_F(CheckboxTest, StateImagesOnBothSystems) {
  for (int code : {0x500, 0x600}) {
    SCOPED_TRACE(code);
    const UWIN_OSVersionOverride version(code);
    MakeControl();
    AddColumns();
    const HTREEITEM parent = Row(L"1");
    const HTREEITEM child = Child(parent, L"2");
    const int margin = m_Control->GetLeftMargin(0);
    m_Control->EnableCheckboxes(2);
    EXPECT_TRUE(m_Control->AreCheckboxesEnabled());
    EXPECT_EQ(m_Control->GetLeftMargin(0), margin + WMCT_SmallIconWidth() + 2);
    const auto list =
        reinterpret_cast<HIMAGELIST>(SendMessageW(Tree(), TVM_GETIMAGELIST, TVSIL_STATE, 0));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(list), 4);
    for (HTREEITEM item : {parent, child}) {
      EXPECT_EQ(SendMessageW(Tree(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                             TVIS_STATEIMAGEMASK),
                INDEXTOSTATEIMAGEMASK(2));
    }
    m_Control->MakeItem(child).SetStateImage(3);
    EXPECT_EQ(SendMessageW(Tree(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(child),
                           TVIS_STATEIMAGEMASK),
              INDEXTOSTATEIMAGEMASK(3));
    TearDown();
    SetUp();
  }
}

// A language library that translates strings only leaves the pictures to the program.
TEST_F(CheckboxTest, PicturesOutliveAStringsOnlyLanguageLibrary) {
  const HMODULE strings = LoadResourceLibraryBesideTests(L"WMCT_TestStrings.dll");
  ASSERT_NE(strings, nullptr);
  ATL::_AtlBaseModule.SetResourceInstance(strings);
  for (int code : {0x500, 0x600}) {
    SCOPED_TRACE(code);
    const UWIN_OSVersionOverride version(code);
    MakeControl();
    AddColumns(2);
    m_Control->EnableCheckboxes(1);
    const auto list =
        reinterpret_cast<HIMAGELIST>(SendMessageW(Tree(), TVM_GETIMAGELIST, TVSIL_STATE, 0));
    EXPECT_EQ(ImageList_GetImageCount(list), 4);
    if (code == 0x500) {
      m_Control->SortByColumn(1, -1, false);
      HDITEMW data = {};
      data.mask = HDI_BITMAP;
      SendMessageW(m_Control->GetHeaderCtrl(), HDM_GETITEMW, 1, reinterpret_cast<LPARAM>(&data));
      EXPECT_NE(data.hbm, nullptr) << "the sort mark";
    }
    TearDown();
    SetUp();
  }
  ATL::_AtlBaseModule.SetResourceInstance(nullptr);
  FreeLibrary(strings);
}

TEST_F(CheckboxTest, PressOnTheCheckBoxIsBroadcast) {
  MakeControl();
  AddColumns();
  const HTREEITEM item = Row(L"1");
  m_Control->EnableCheckboxes(1);
  MessageRecorder recorder(*m_Control);
  const RECT row = ItemRect(item);
  // The state image sits left of the label; look for it along the row.
  for (int x = row.left; x < row.right; ++x) {
    TVHITTESTINFO hit = {};
    hit.pt = {x, (row.top + row.bottom) / 2};
    SendMessageW(Tree(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.flags & TVHT_ONITEMSTATEICON) {
      PostMessageW(Tree(), WM_LBUTTONUP, 0, MAKELPARAM(x, hit.pt.y));
      SendMessageW(Tree(), WM_LBUTTONDOWN, 0, MAKELPARAM(x, hit.pt.y));
      break;
    }
  }
  ASSERT_EQ(recorder.Count("TreeView items checkbox clicked"), 1u);
}

class PaintTest : public TreeControlTest {};

TEST_F(PaintTest, RowsDrawTheirCellsInTheColumnsWithTheRowState) {
  MakeControl();
  AddColumns();
  const HTREEITEM item = Row(L"1");
  WMCT_RowBase* row = m_Control->GetRow(item);
  for (int id : {0, 1, 2, 4}) {
    row->Cell(id)->SetText(L"HHHH");
  }
  DibCanvas canvas(400, 300);
  SendMessageW(Tree(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  const RECT text = [&] {
    RECT r = {};
    WMCT_GetItemRect(Tree(), item, true, &r);
    return r;
  }();
  const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
  // Column 1 begins at 100 plus its margin of 6.
  bool inColumn1 = false;
  for (int x = 100; x < 200 && !inColumn1; ++x) {
    for (int y = text.top; y < text.bottom; ++y) {
      inColumn1 = inColumn1 || canvas.Pixel(x, y) == ink;
    }
  }
  EXPECT_TRUE(inColumn1);
  EXPECT_EQ(row->GetRowState(), 0u);
  m_Control->UpdateSelection(item, 0);
  SendMessageW(Tree(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  EXPECT_EQ(row->GetRowState(), 4u) << "selected without focus";
  SendMessageW(Tree(), WM_SETFOCUS, 0, 0);
  SendMessageW(Tree(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  EXPECT_EQ(row->GetRowState(), 3u);
  EnableWindow(*m_Control, FALSE);
  SendMessageW(Tree(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  EXPECT_EQ(row->GetRowState(), 5u);
}

class DragTest : public TreeControlTest {
protected:
  void MakeRows(bool autoScroll = false, bool autoExpand = false) {
    MakeControl(true, true, autoScroll, autoExpand);
    AddColumns();
    for (int i = 1; i <= 4; ++i) {
      m_Items.push_back(Row(std::to_wstring(i).c_str()));
    }
    m_Child = Child(m_Items[1], L"21");
    SendMessageW(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(m_Items[1]));
  }
  void BeginDrag(std::initializer_list<int> rows) {
    bool first = true;
    for (int row : rows) {
      m_Control->UpdateSelection(m_Items[static_cast<std::size_t>(row)], first ? 0 : MK_CONTROL);
      first = false;
    }
    NotifyTree(TVN_BEGINDRAGW, m_Items[static_cast<std::size_t>(*rows.begin())]);
  }
  LPARAM Upper(HTREEITEM item) const {
    const RECT r = ItemRect(item);
    return MAKELPARAM(30, r.top + 1);
  }
  LPARAM Lower(HTREEITEM item) const {
    const RECT r = ItemRect(item);
    return MAKELPARAM(30, r.bottom - 1);
  }
  LPARAM BelowAll() const { return MAKELPARAM(30, 280); }
  void Drop(LPARAM at) {
    SendMessageW(Tree(), WM_MOUSEMOVE, 0, at);
    SendMessageW(Tree(), WM_LBUTTONUP, 0, at);
  }

  std::vector<HTREEITEM> m_Items;
  HTREEITEM m_Child = nullptr;
};

TEST_F(DragTest, DropPlaces) {
  struct Case {
    const char* m_Name;
    std::vector<int> m_Dragged;
    int m_Target;  // -1 below all rows, 9 the child
    bool m_Upper;
    Texts m_Order;
  };
  const Case cases[] = {
      {"above the first row", {2, 3}, 0, true, {L"3", L"4", L"1", L"2"}},
      {"below all rows", {0}, -1, false, {L"2", L"3", L"4", L"1"}},
      {"lower half of a child", {3}, 9, false, {L"1", L"2", L"4", L"3"}},
      {"upper half of a row", {0}, 3, true, {L"2", L"3", L"1", L"4"}},
      {"lower half of a row", {3, 0}, 1, false, {L"2", L"1", L"4", L"3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.m_Name);
    MakeRows();
    std::vector<HTREEITEM> dragged;
    bool first = true;
    for (int row : c.m_Dragged) {
      m_Control->UpdateSelection(m_Items[static_cast<std::size_t>(row)], first ? 0 : MK_CONTROL);
      first = false;
    }
    NotifyTree(TVN_BEGINDRAGW, m_Items[static_cast<std::size_t>(c.m_Dragged[0])]);
    ASSERT_EQ(m_Control->GetDraggedItems().size(), c.m_Dragged.size());
    EXPECT_EQ(GetCapture(), Tree());
    const HTREEITEM target = c.m_Target == 9   ? m_Child
                             : c.m_Target >= 0 ? m_Items[static_cast<std::size_t>(c.m_Target)]
                                               : nullptr;
    Drop(target == nullptr ? BelowAll() : (c.m_Upper ? Upper(target) : Lower(target)));
    EXPECT_EQ(TopLabels(), c.m_Order);
    EXPECT_TRUE(m_Control->GetDraggedItems().empty());
    EXPECT_NE(GetCapture(), Tree());
    EXPECT_EQ(SelectedLabels().size(), c.m_Dragged.size()) << "the moved rows stay selected";
    EXPECT_EQ(m_Control->GetDropCursor()->GetLineAbove(), WMCT_RowDecoratorDropCursor::Unset());
    TearDown();
    SetUp();
    m_Items.clear();
  }
}

TEST_F(DragTest, AParentDraggedWithItsChildMovesOnce) {
  MakeRows();
  m_Control->UpdateSelection(m_Items[1], 0);
  m_Control->UpdateSelection(m_Child, MK_CONTROL);
  NotifyTree(TVN_BEGINDRAGW, m_Items[1]);
  ASSERT_EQ(m_Control->GetDraggedItems().size(), 2u);
  Drop(BelowAll());
  EXPECT_EQ(TopLabels(), (Texts{L"1", L"3", L"4", L"2"}));
  const HTREEITEM moved =
      Next(Next(Next(Next(nullptr, TVGN_ROOT), TVGN_NEXT), TVGN_NEXT), TVGN_NEXT);
  EXPECT_EQ(Labels(Next(moved, TVGN_CHILD)), (Texts{L"21"})) << "the child came along";
}

TEST_F(DragTest, DropLinesFollowThePointer) {
  MakeRows();
  BeginDrag({3});
  const WMCT_RowDecoratorDropCursor* cursor = m_Control->GetDropCursor();
  const HTREEITEM unset = WMCT_RowDecoratorDropCursor::Unset();
  struct Case {
    LPARAM m_At;
    HTREEITEM m_Above;
    HTREEITEM m_Below;
  };
  const Case cases[] = {
      {Upper(m_Items[0]), m_Items[0], unset},      {Lower(m_Items[0]), m_Items[1], m_Items[0]},
      {Upper(m_Items[2]), m_Items[2], m_Items[1]}, {Upper(m_Child), m_Child, unset},
      {Lower(m_Items[3]), unset, m_Items[3]},      {BelowAll(), unset, m_Items[3]},
  };
  for (const Case& c : cases) {
    SendMessageW(Tree(), WM_MOUSEMOVE, 0, c.m_At);
    EXPECT_EQ(cursor->GetLineAbove(), c.m_Above);
    EXPECT_EQ(cursor->GetLineBelow(), c.m_Below);
  }
  // Drawn: the text colour on the marked edge, the window colour to wipe the other.
  DibCanvas canvas(400, 300);
  canvas.Fill(RGB(1, 2, 3));
  m_Control->SetDropPosition(m_Items[2], true);
  const RECT row = ItemRect(m_Items[2]);
  WMCT_RowDecoratorDropCursor copy(*cursor);
  copy.Decorate(m_Control->MakeItem(m_Items[2]), canvas.Dc());
  EXPECT_EQ(canvas.Pixel(50, row.top), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(canvas.Pixel(50, row.bottom - 1), GetSysColor(COLOR_WINDOW));
  copy.Decorate(m_Control->MakeItem(m_Items[1]), canvas.Dc());
  const RECT previous = ItemRect(m_Items[1]);
  EXPECT_EQ(canvas.Pixel(50, previous.bottom - 1), GetSysColor(COLOR_WINDOWTEXT));
  // Losing the capture ends the drag without a drop.
  ReleaseCapture();
  EXPECT_TRUE(m_Control->GetDraggedItems().empty());
  EXPECT_EQ(cursor->GetLineAbove(), unset);
  EXPECT_EQ(TopLabels(), (Texts{L"1", L"2", L"3", L"4"}));
}

TEST_F(DragTest, AutoScrollStateMachine) {
  MakeRows(true, false);
  for (int i = 5; i <= 40; ++i) {
    Row(std::to_wstring(i).c_str());
  }
  ASSERT_EQ(m_Control->GetBehaviourPolicies().size(), 1u);
  auto* scroll =
      dynamic_cast<iWMCT_BehaviourAutoScroll*>(m_Control->GetBehaviourPolicies()[0].Get());
  ASSERT_NE(scroll, nullptr);
  BeginDrag({0});
  RECT client = {};
  GetClientRect(Tree(), &client);
  const LPARAM bottom = MAKELPARAM(30, client.bottom - 5);
  SendMessageW(Tree(), WM_MOUSEMOVE, 0, bottom);
  EXPECT_EQ(scroll->GetState(), iWMCT_BehaviourAutoScroll::kWaitDown);
  SendMessageW(*m_Control, WM_TIMER, iWMCT_BehaviourAutoScroll::kDelayTimer, 0);
  EXPECT_EQ(scroll->GetState(), iWMCT_BehaviourAutoScroll::kScrollingDown);
  const int before = GetScrollPos(Tree(), SB_VERT);
  for (int i = 0; i < 5; ++i) {
    SendMessageW(*m_Control, WM_TIMER, iWMCT_BehaviourAutoScroll::kRepeatTimer, 0);
  }
  EXPECT_GT(GetScrollPos(Tree(), SB_VERT), before);
  SendMessageW(Tree(), WM_MOUSEMOVE, 0, MAKELPARAM(30, client.bottom / 2));
  EXPECT_EQ(scroll->GetState(), iWMCT_BehaviourAutoScroll::kIdle);
  SendMessageW(Tree(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 5));
  EXPECT_EQ(scroll->GetState(), iWMCT_BehaviourAutoScroll::kWaitUp);
  SendMessageW(Tree(), WM_LBUTTONUP, 0, MAKELPARAM(30, 5));
  EXPECT_EQ(scroll->GetState(), iWMCT_BehaviourAutoScroll::kIdle) << "the drop ends it";
}

TEST_F(DragTest, AutoExpandStateMachine) {
  MakeRows(false, true);
  SendMessageW(Tree(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(m_Items[1]));
  auto* expand =
      dynamic_cast<iWMCT_BehaviourAutoExpand*>(m_Control->GetBehaviourPolicies()[0].Get());
  ASSERT_NE(expand, nullptr);
  BeginDrag({3});
  SendMessageW(Tree(), WM_MOUSEMOVE, 0, Upper(m_Items[0]));
  EXPECT_EQ(expand->GetState(), iWMCT_BehaviourAutoExpand::kIdle) << "a row without children";
  SendMessageW(Tree(), WM_MOUSEMOVE, 0, Upper(m_Items[1]));
  EXPECT_EQ(expand->GetState(), iWMCT_BehaviourAutoExpand::kWaiting);
  SendMessageW(Tree(), WM_MOUSEMOVE, 0, Upper(m_Items[2]));
  EXPECT_EQ(expand->GetState(), iWMCT_BehaviourAutoExpand::kIdle) << "left the row";
  SendMessageW(Tree(), WM_MOUSEMOVE, 0, Upper(m_Items[1]));
  ASSERT_EQ(expand->GetState(), iWMCT_BehaviourAutoExpand::kWaiting);
  SendMessageW(*m_Control, WM_TIMER, iWMCT_BehaviourAutoExpand::kTimer, 0);
  EXPECT_EQ(expand->GetState(), iWMCT_BehaviourAutoExpand::kIdle);
  EXPECT_NE(
      SendMessageW(Tree(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(m_Items[1]), TVIS_EXPANDED) &
          TVIS_EXPANDED,
      0);
  SendMessageW(Tree(), WM_LBUTTONUP, 0, BelowAll());
}

TEST_F(DragTest, WithoutTheOptionNothingIsDragged) {
  MakeControl(true, false);
  AddColumns();
  const HTREEITEM item = Row(L"1");
  m_Control->UpdateSelection(item, 0);
  NotifyTree(TVN_BEGINDRAGW, item);
  EXPECT_TRUE(m_Control->GetDraggedItems().empty());
  EXPECT_EQ(m_Control->GetDropCursor(), nullptr);
}

}  // namespace

namespace {

// A row whose expansion hook fails.
class FailingRow : public NumberRow {
public:
  void OnExpanding() override { throw GLIB_Exception(77, "no expansion", __FILE__, __LINE__); }
  static std::unique_ptr<WMCT_RowBase> Create() { return std::make_unique<FailingRow>(); }
};

class FailureTest : public TreeControlTest {};

TEST_F(FailureTest, AnExceptionInAHandlerIsLoggedAndKeptForTheLoop) {
  MakeControl();
  AddColumns();
  m_Control->SetRowFactories({{kRowKind, &FailingRow::Create}});
  const HTREEITEM item = Row(L"1");
  EXPECT_NO_THROW(NotifyExpanding(item, TVE_EXPAND)) << "nothing unwinds through the system";
  ASSERT_FALSE(sm_Logged.empty());
  EXPECT_EQ(sm_Logged[0].m_Severity, GLIB_SEVERITY_FATAL);
  const std::wstring& text = sm_Logged[0].m_Text;
  EXPECT_EQ(text.rfind(L"Class WMCT_MultiColumnTreeCtrl caught unhandled GLIB_Exception: ", 0), 0u);
  EXPECT_NE(text.find(L"no expansion"), std::wstring::npos);
  EXPECT_TRUE(GLIB_IsFatalPending());
  EXPECT_THROW(GLIB_RethrowPendingFatal(), GLIB_FatalException);
}

TEST_F(FailureTest, UnknownJustificationIsFatal) {
  MakeControl();
  EXPECT_THROW(m_Control->AddColumn(WMCT_HeaderItem::Create(L"X", 3, 0, 50, 100, 10, false, false,
                                                            0, true, 0, 0, 0, 0)),
               GLIB_FatalException);
  ASSERT_EQ(sm_Logged.size(), 1u);
  EXPECT_EQ(sm_Logged[0].m_Text, L"Unknown text justification code = 3");
  EXPECT_EQ(m_Control->GetColumnCount(), 0);
}

}  // namespace

namespace {

// Counts row deletions and the control's end-of-life hooks.
class CountedRow : public NumberRow {
public:
  ~CountedRow() override { ++sm_Deleted; }
  static std::unique_ptr<WMCT_RowBase> Create() { return std::make_unique<CountedRow>(); }
  static inline int sm_Deleted = 0;
};

class HookedControl : public WMCT_MultiColumnTreeCtrl {
public:
  HookedControl() : WMCT_MultiColumnTreeCtrl(true, true, false, false, false) {}
  int m_ItemsGone = 0;
  int m_ColumnsGone = 0;

protected:
  void AfterAllItemsDeleted() override { ++m_ItemsGone; }
  void AfterAllColumnsDeleted() override { ++m_ColumnsGone; }
};

class LifetimeTest : public ListControlsCapturingTest {};

TEST_F(LifetimeTest, DestroyingTheWindowDeletesRowsAndReleasesColumns) {
  TestFrame frame;
  RECT place = {0, 0, 300, 200};
  frame.Create(nullptr, place, ProcessUniqueName(L"WMCT lifetime ").c_str(), WS_OVERLAPPEDWINDOW);
  HookedControl control;
  control.Create(frame, place, nullptr, WS_CHILD | WS_VISIBLE, 0, 5U);
  control.SetRowFactories({{1, &CountedRow::Create}});
  control.SetCellFactories({{0, &WMCT_CellString::Create}});
  const WMCT_HeaderItemPtr column =
      WMCT_HeaderItem::Create(L"A", 0, 0, 100, 200, 10, false, false, 0, true, 0, 0, 0, 0);
  control.AddColumn(column);
  EXPECT_EQ(column.GetReferenceCount(), 2) << "the header holds a share";
  const WMCT_TreeItem parent = control.InsertRow(L"1", 1);
  control.InsertChildRow(L"2", parent, 1);
  control.InsertRow(L"3", 1);
  CountedRow::sm_Deleted = 0;
  frame.DestroyWindow();
  EXPECT_EQ(CountedRow::sm_Deleted, 3);
  EXPECT_EQ(control.m_ItemsGone, 1);
  EXPECT_EQ(control.m_ColumnsGone, 1);
  EXPECT_EQ(column.GetReferenceCount(), 1);
}

TEST_F(DragTest, AModifiedPressOnASelectedRowDecidesAtRelease) {
  MakeRows();
  m_Control->UpdateSelection(m_Items[0], 0);
  m_Control->UpdateSelection(m_Items[2], MK_CONTROL);
  const LPARAM at = Upper(m_Items[2]);
  SendMessageW(Tree(), WM_LBUTTONDOWN, MK_CONTROL, at);
  EXPECT_NE(GetWindowLongPtrW(Tree(), GWL_STYLE) & TVS_DISABLEDRAGDROP, 0)
      << "a modified press cannot start the tree's drag";
  EXPECT_TRUE(IsSelected(m_Items[2])) << "nothing changes before the release";
  SendMessageW(Tree(), WM_LBUTTONUP, MK_CONTROL, at);
  EXPECT_FALSE(IsSelected(m_Items[2]));
  EXPECT_TRUE(IsSelected(m_Items[0]));
  EXPECT_EQ(GetWindowLongPtrW(Tree(), GWL_STYLE) & TVS_DISABLEDRAGDROP, 0);
}

}  // namespace
