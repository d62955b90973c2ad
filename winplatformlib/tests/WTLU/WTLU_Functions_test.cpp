#include "WTLU/WTLU_Functions.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atlbase.h>
#include <atlctrls.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "USTR/USTR_LocalizedString.h"
#include "support/WTLU_TestSupport.h"
#include "win/ResourceLibrary.h"
#include "win/WTLU_TestResources.h"

namespace {

class ResourceModulesTest : public testing::Test {
protected:
  static void SetUpTestSuite() {
    sm_Language = LoadResourceLibraryBesideTests(L"WTLU_TestLanguage.dll");
    sm_Added = LoadResourceLibraryBesideTests(L"WTLU_TestAddedModule.dll");
  }
  static void TearDownTestSuite() {
    FreeLibrary(sm_Language);
    FreeLibrary(sm_Added);
  }

  void SetUp() override {
    ASSERT_NE(sm_Language, nullptr);
    ASSERT_NE(sm_Added, nullptr);
  }
  void TearDown() override {
    ATL::_AtlBaseModule.SetResourceInstance(nullptr);
    ATL::_AtlBaseModule.RemoveResourceInstance(sm_Added);
  }

  static std::wstring Load(UINT id) {
    wchar_t buffer[64] = {L'?'};
    const int length = WTLU_LoadString(id, buffer, 64);
    EXPECT_EQ(static_cast<std::size_t>(length), std::wcslen(buffer)) << id;
    return buffer;
  }

  static inline HMODULE sm_Language = nullptr;
  static inline HMODULE sm_Added = nullptr;
};

TEST_F(ResourceModulesTest, SearchesResourceInstanceAddedModulesThenProgram) {
  // The program alone.
  EXPECT_EQ(Load(IDS_WTLU_TEST_EVERYWHERE), L"Program");
  EXPECT_EQ(Load(IDS_WTLU_TEST_NOWHERE), L"");

  ATL::_AtlBaseModule.SetResourceInstance(sm_Language);
  ATL::_AtlBaseModule.AddResourceInstance(sm_Added);
  EXPECT_EQ(Load(IDS_WTLU_TEST_EVERYWHERE), L"Sprache");
  EXPECT_EQ(Load(IDS_WTLU_TEST_ADDED_AND_PROGRAM), L"Added module");
  EXPECT_EQ(Load(IDS_WTLU_TEST_PROGRAM_ONLY), L"Program only");
  EXPECT_EQ(Load(IDS_WTLU_TEST_NOWHERE), L"");

  EXPECT_EQ(WTLU_LoadStringResource(IDS_WTLU_TEST_PROGRAM_ONLY), GLIB_WString(L"Program only"));
  EXPECT_EQ(WTLU_LoadStringResource(IDS_WTLU_TEST_NOWHERE), GLIB_WString());
}

TEST_F(ResourceModulesTest, SmallBuffersAreCutAndTerminated) {
  wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
  EXPECT_EQ(WTLU_LoadString(IDS_WTLU_TEST_PROGRAM_ONLY, buffer, 4), 3);
  EXPECT_EQ(std::wstring(buffer), L"Pro");
  // No room at all: nothing is written, not even the pointer LoadStringW gives for size 0.
  wchar_t untouched[4] = {L'x', L'x', L'x', L'\0'};
  EXPECT_EQ(WTLU_LoadString(IDS_WTLU_TEST_PROGRAM_ONLY, untouched, 0), 0);
  EXPECT_EQ(std::wstring(untouched), L"xxx");
  EXPECT_EQ(WTLU_LoadString(IDS_WTLU_TEST_PROGRAM_ONLY, nullptr, 4), 0);
}

TEST_F(ResourceModulesTest, ModuleObjectFeedsTheLocalisedTextLookup) {
  ATL::_AtlBaseModule.SetResourceInstance(sm_Language);
  EXPECT_EQ(iUSTR_GetLocalizedWString(10061), GLIB_WString(L"Zurueck"));
  // A text the translation lacks reads in English, in both lookups.
  EXPECT_EQ(iUSTR_GetLocalizedWString(10070), GLIB_WString(L"Front"));
  EXPECT_EQ(WTLU_LoadStringResource(10070), GLIB_WString(L"Front"));
  EXPECT_EQ(WTLU_LoadStringResource(10061), GLIB_WString(L"Zurueck"));
}

TEST(Sign, OfEachRange) {
  const std::pair<int, int> cases[] = {{INT_MIN, -1}, {-7, -1}, {-1, -1},    {0, 0},
                                       {1, 1},        {42, 1},  {INT_MAX, 1}};
  for (const auto& [value, sign] : cases) {
    EXPECT_EQ(WTLU_Sign(value), sign) << value;
  }
}

TEST(MoveWindowBy, ChildMovesInItsParentAndPopupOnTheScreen) {
  ReflectingParent parent;
  RECT frame = {100, 100, 400, 300};
  ASSERT_NE(parent.Create(nullptr, frame, ProcessUniqueName(L"move").c_str()), nullptr);
  HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 20, 30, 40, parent,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(child, nullptr);
  EXPECT_TRUE(WTLU_MoveWindowBy(child, 5, -3));
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&r), 2);
  EXPECT_EQ(r.left, 15);
  EXPECT_EQ(r.top, 17);
  EXPECT_EQ(r.right - r.left, 30);
  EXPECT_EQ(r.bottom - r.top, 40);
  // No move is no move.
  EXPECT_TRUE(WTLU_MoveWindowBy(child, 0, 0));
  RECT same = {};
  GetWindowRect(child, &same);
  MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&same), 2);
  EXPECT_TRUE(EqualRect(&r, &same));

  // An owned pop-up: GetParent names its owner, but it lives in screen coordinates.
  HWND popup = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 200, 150, 50, 60, parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(GetParent(popup), parent.m_hWnd);
  EXPECT_TRUE(WTLU_MoveWindowBy(popup, -20, 10));
  GetWindowRect(popup, &r);
  EXPECT_EQ(r.left, 180);
  EXPECT_EQ(r.top, 160);
  DestroyWindow(popup);
  parent.DestroyWindow();
  EXPECT_FALSE(WTLU_MoveWindowBy(nullptr, 1, 1));
}

TEST(FileVersion, OfTheProgramAndOfAFileWithout) {
  EXPECT_EQ(WTLU_GetModuleFileVersion(), GLIB_WString(L"4.3.2.1"));
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = folder + ProcessUniqueName(L"noversion") + L".txt";
  { std::ofstream(std::string(path.begin(), path.end())) << "no version here"; }
  EXPECT_EQ(WTLU_GetFileVersion(path.c_str()), GLIB_WString());
  DeleteFileW(path.c_str());
  EXPECT_EQ(WTLU_GetFileVersion(L"C:\\no such folder\\no such file.exe"), GLIB_WString());
}

// The tree's owner, which would delete what a deleted item's lParam holds: it records them.
class TreeOwner : public ATL::CWindowImpl<TreeOwner, ATL::CWindow, ATL::CFrameWinTraits> {
public:
  std::vector<LPARAM> m_Deleted;
  BEGIN_MSG_MAP(TreeOwner)
  NOTIFY_CODE_HANDLER(TVN_DELETEITEMW, OnDeleteItem)
  END_MSG_MAP()
  LRESULT OnDeleteItem(int, LPNMHDR header, BOOL&) {
    m_Deleted.push_back(reinterpret_cast<LPNMTREEVIEWW>(header)->itemOld.lParam);
    return 0;
  }
};

// A tree of named items whose lParams stand for owned objects.
class TreeMoveTest : public ListControlsCapturingTest {
protected:
  void SetUp() override {
    ListControlsCapturingTest::SetUp();
    RECT frame = {0, 0, 300, 300};
    ASSERT_NE(m_Parent.Create(nullptr, frame, ProcessUniqueName(L"tree").c_str()), nullptr);
    m_Tree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 280, 280, m_Parent,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(m_Tree.IsWindow());
    // a (b (c, d), e), f
    m_A = Add(L"a", TVI_ROOT, 1);
    m_B = Add(L"b", m_A, 2);
    m_C = Add(L"c", m_B, 3);
    m_D = Add(L"d", m_B, 4);
    m_E = Add(L"e", m_A, 5);
    m_F = Add(L"f", TVI_ROOT, 6);
  }
  void TearDown() override {
    m_Parent.DestroyWindow();
    ListControlsCapturingTest::TearDown();
  }

  HTREEITEM Add(const wchar_t* text, HTREEITEM parent, LPARAM data) {
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<LPWSTR>(text);
    insert.item.lParam = data;
    insert.item.iImage = static_cast<int>(data);
    insert.item.iSelectedImage = static_cast<int>(data) + 10;
    return m_Tree.InsertItem(&insert);
  }

  // "text:lParam(children)" of the subtree, siblings separated by spaces.
  std::wstring Shape(HTREEITEM first) const {
    std::wstring shape;
    for (HTREEITEM item = first; item != nullptr; item = m_Tree.GetNextSiblingItem(item)) {
      wchar_t text[32] = {};
      m_Tree.GetItemText(item, text, 32);
      if (!shape.empty()) {
        shape += L' ';
      }
      shape += text + (L":" + std::to_wstring(m_Tree.GetItemData(item)));
      if (HTREEITEM child = m_Tree.GetChildItem(item)) {
        shape += L"(" + Shape(child) + L")";
      }
    }
    return shape;
  }
  std::wstring Whole() const { return Shape(m_Tree.GetRootItem()); }

  TreeOwner m_Parent;
  WTL::CTreeViewCtrl m_Tree;
  HTREEITEM m_A = nullptr, m_B = nullptr, m_C = nullptr, m_D = nullptr, m_E = nullptr,
            m_F = nullptr;
};

TEST_F(TreeMoveTest, MoveTakesTheSubtreeAndLeavesNothingBehind) {
  const HTREEITEM moved = WTLU_CopyOrMoveTreeItem(m_Tree, m_B, m_F, false, nullptr, TVI_LAST);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(m_Tree.GetParentItem(moved), m_F);
  EXPECT_EQ(Whole(), L"a:1(e:5) f:6(b:2(c:3 d:4))");
  // Images go along.
  TVITEMW item = {};
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  item.hItem = moved;
  ASSERT_TRUE(m_Tree.GetItem(&item));
  EXPECT_EQ(item.iImage, 2);
  EXPECT_EQ(item.iSelectedImage, 12);
}

TEST_F(TreeMoveTest, MoveGoesAfterTheGivenSibling) {
  const HTREEITEM moved = WTLU_CopyOrMoveTreeItem(m_Tree, m_E, TVI_ROOT, false, nullptr, m_A);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(Whole(), L"a:1(b:2(c:3 d:4)) e:5 f:6");
}

TEST_F(TreeMoveTest, TargetsThatChangeNothingOrCannotBe) {
  // Onto itself or its own parent: the item itself, nothing moved.
  EXPECT_EQ(WTLU_CopyOrMoveTreeItem(m_Tree, m_B, m_B, false, nullptr, TVI_LAST), m_B);
  EXPECT_EQ(WTLU_CopyOrMoveTreeItem(m_Tree, m_B, m_A, false, nullptr, TVI_LAST), m_B);
  // Into its own subtree, or with nothing: null.
  EXPECT_EQ(WTLU_CopyOrMoveTreeItem(m_Tree, m_A, m_C, false, nullptr, TVI_LAST), nullptr);
  EXPECT_EQ(WTLU_CopyOrMoveTreeItem(m_Tree, m_B, m_D, true, nullptr, TVI_LAST), nullptr);
  EXPECT_EQ(WTLU_CopyOrMoveTreeItem(m_Tree, nullptr, m_F, false, nullptr, TVI_LAST), nullptr);
  EXPECT_EQ(WTLU_CopyOrMoveTreeItem(m_Tree, m_B, nullptr, false, nullptr, TVI_LAST), nullptr);
  EXPECT_EQ(Whole(), L"a:1(b:2(c:3 d:4) e:5) f:6");
}

TEST_F(TreeMoveTest, CopyTransformsEveryLParam) {
  const WTLU_TreeItemTransform plusHundred = [](HWND, HTREEITEM, LPARAM data) -> LPARAM {
    return data + 100;
  };
  const HTREEITEM copied = WTLU_CopyOrMoveTreeItem(m_Tree, m_B, m_F, true, plusHundred, TVI_LAST);
  ASSERT_NE(copied, nullptr);
  EXPECT_NE(copied, m_B);
  EXPECT_EQ(Whole(), L"a:1(b:2(c:3 d:4) e:5) f:6(b:102(c:103 d:104))");
}

TEST_F(TreeMoveTest, CopyWithoutTransformRefusesToShareAnLParam) {
  EXPECT_EQ(WTLU_CopyOrMoveTreeItem(m_Tree, m_B, m_F, true, nullptr, TVI_LAST), nullptr);
  EXPECT_EQ(Whole(), L"a:1(b:2(c:3 d:4) e:5) f:6");
  // A subtree without data has nothing to share.
  const HTREEITEM bare = Add(L"g", m_F, 0);
  Add(L"h", bare, 0);
  const HTREEITEM copied = WTLU_CopyOrMoveTreeItem(m_Tree, bare, m_E, true, nullptr, TVI_LAST);
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(Whole(), L"a:1(b:2(c:3 d:4) e:5(g:0(h:0))) f:6(g:0(h:0))");
}

TEST_F(TreeMoveTest, StatesOfWhereItWasStayBehind) {
  m_Tree.Expand(m_B);
  TVITEMW item = {};
  item.mask = TVIF_STATE;
  item.hItem = m_B;
  item.state = TVIS_BOLD | TVIS_SELECTED | INDEXTOSTATEIMAGEMASK(2);
  item.stateMask = TVIS_BOLD | TVIS_SELECTED | TVIS_STATEIMAGEMASK;
  ASSERT_TRUE(m_Tree.SetItem(&item));
  const HTREEITEM moved = WTLU_CopyOrMoveTreeItem(m_Tree, m_B, m_F, false, nullptr, TVI_LAST);
  ASSERT_NE(moved, nullptr);
  const UINT state = m_Tree.GetItemState(moved, 0xFFFFFFFF);
  EXPECT_EQ(state & TVIS_BOLD, static_cast<UINT>(TVIS_BOLD));
  EXPECT_EQ(state & TVIS_STATEIMAGEMASK, static_cast<UINT>(INDEXTOSTATEIMAGEMASK(2)));
  EXPECT_EQ(state & (TVIS_SELECTED | TVIS_EXPANDED | TVIS_EXPANDEDONCE), 0u);
}

TEST_F(TreeMoveTest, MoveClearsTheSourceLParamsBeforeDeletingThem) {
  m_Parent.m_Deleted.clear();
  ASSERT_NE(WTLU_CopyOrMoveTreeItem(m_Tree, m_B, m_F, false, nullptr, TVI_LAST), nullptr);
  // b, c and d were deleted at their old places, none still holding its object.
  EXPECT_EQ(m_Parent.m_Deleted, std::vector<LPARAM>({0, 0, 0}));
}

}  // namespace
