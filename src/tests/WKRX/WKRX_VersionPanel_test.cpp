// The colour types use names that windows.h makes macros of: the fixture reads them first.
#include "support/WKRX_PaletteTest.h"

#include "WKRX/WKRX_VersionPanel.h"
#include "win/DibCanvas.h"

#include <gtest/gtest.h>

namespace {

RECT InParent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

class WKRXVersionPanel : public WKRX_PaletteTest {
protected:
  void SetUp() override {
    WKRX_PaletteTest::SetUp();
    m_Panel = new WKRX_VersionPanel;
    ASSERT_NE(m_Panel->Create(m_Frame, RECT{0, 0, 270, 28}), nullptr);
    m_Panel->SetFrame(m_Frame);
    m_Panel->ShowWindow(SW_SHOWNA);
  }
  void TearDown() override {
    m_Frame.DestroyWindow();
    WKRX_PaletteTest::TearDown();
  }
  int Selection() const { return static_cast<int>(m_Panel->List().SendMessage(CB_GETCURSEL)); }
  int Count() const { return static_cast<int>(m_Panel->List().SendMessage(CB_GETCOUNT)); }

  std::vector<USTR_String> m_Names{USTR_String(L"Common"), USTR_String(L"A"), USTR_String(L"B")};
  WKRX_VersionPanel* m_Panel = nullptr;
};

TEST_F(WKRXVersionPanel, TheFirstVersionIsChosenAndToldToThePaletteAndTheFrame) {
  m_Panel->SetVersions(m_Names);
  EXPECT_EQ(Count(), 3);
  EXPECT_EQ(m_Panel->List().SendMessage(CB_GETITEMDATA, 2), reinterpret_cast<LRESULT>(&m_Names[2]));
  m_Frame.m_Received.clear();
  m_Panel->SelectFirstVersion();
  EXPECT_EQ(Selection(), 1);
  // The recorder is parent and frame at once: it hears the choice twice.
  const auto chosen = m_Frame.Of(WKRX_WM_VERSIONSELECTED);
  ASSERT_EQ(chosen.size(), 2u);
  const auto* set = reinterpret_cast<const WKRX_VersionSet*>(chosen[0].m_lParam);
  EXPECT_EQ(set, &m_Panel->SelectedVersions());
  EXPECT_EQ(m_Panel->SelectedVersions().count(), 1u);
  EXPECT_TRUE(m_Panel->SelectedVersions().test(1));
  // Already on entry 1: nothing more.
  m_Frame.m_Received.clear();
  m_Panel->SelectFirstVersion();
  EXPECT_TRUE(m_Frame.m_Received.empty());
}

TEST_F(WKRXVersionPanel, ASetShowsItsLowestVersionOrNothingAndTellsNoOne) {
  m_Panel->SetVersions(m_Names);
  m_Frame.m_Received.clear();
  WKRX_VersionSet set;
  set.set(2);
  m_Panel->SelectVersionSet(set);
  EXPECT_EQ(Selection(), 2);
  set.set(1);
  m_Panel->SelectVersionSet(set);
  EXPECT_EQ(Selection(), 1);
  m_Panel->SelectVersionSet(WKRX_VersionSet());
  EXPECT_EQ(Selection(), -1);
  EXPECT_TRUE(m_Frame.m_Received.empty());
}

TEST_F(WKRXVersionPanel, TheListHoldsAtMost1024EntriesAndTheLastOneCanBeChosen) {
  std::vector<USTR_String> names;
  for (int i = 0; i < 1025; ++i)
    names.push_back(USTR_String(std::to_wstring(i).c_str()));
  m_Panel->SetVersions(names);
  ASSERT_EQ(Count(), 1024);
  m_Panel->List().SendMessage(CB_SETCURSEL, 1023);
  m_Panel->SendMessage(WM_COMMAND, MAKEWPARAM(WKRX_Ids::kControlVersionList, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(m_Panel->List().m_hWnd));
  EXPECT_TRUE(m_Panel->SelectedVersions().test(1023));
}

TEST_F(WKRXVersionPanel, ANarrowPanelHidesTheLabelAndWidensTheList) {
  for (long width : {270L, 118L, 117L, 90L}) {
    m_Panel->SetPanelWidth(width);
    const bool label = width >= 118;
    EXPECT_EQ((m_Panel->Label().GetStyle() & WS_VISIBLE) != 0, label) << width;
    const RECT list = InParent(m_Panel->List());
    const RECT labelRect = InParent(m_Panel->Label());
    EXPECT_EQ(list.left, label ? labelRect.right - labelRect.left + 10 : 4) << width;
    EXPECT_EQ(list.right, width - 22) << width;
    const RECT info = InParent(m_Panel->InfoButton());
    EXPECT_EQ(info.left, width - 20) << width;
    EXPECT_EQ(info.right, width + 1) << width;
  }
  EXPECT_EQ(m_Panel->Label().GetText(), L"Version");
}

TEST_F(WKRXVersionPanel, TheInformationButtonAsksTheFrameForTheVersionInformation) {
  m_Frame.m_Received.clear();
  SendMessageW(m_Panel->InfoButton(), BM_CLICK, 0, 0);
  EXPECT_EQ(m_Frame.Messages(), std::vector<UINT>{WKRX_WM_SHOWVERSIONINFO});
}

TEST_F(WKRXVersionPanel, ListItemsAreDrawnInTheMenuColours) {
  m_Panel->SetVersions(m_Names);
  struct Case {
    UINT state;
    int back;
  };
  for (const Case& c : {Case{0, COLOR_MENU}, Case{ODS_SELECTED, COLOR_MENUHILIGHT},
                        Case{ODS_HOTLIGHT, COLOR_HOTLIGHT}}) {
    DibCanvas canvas(100, 16, RGB(1, 2, 3));
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_COMBOBOX;
    item.hwndItem = m_Panel->List();
    item.itemID = 1;
    item.itemState = c.state;
    item.hDC = canvas.dc();
    item.rcItem = RECT{0, 0, 100, 16};
    item.itemData = reinterpret_cast<ULONG_PTR>(&m_Names[1]);
    m_Panel->List().DrawItem(&item);
    EXPECT_EQ(canvas.at(99, 0), GetSysColor(c.back)) << c.state;
  }
  // An index past the items draws nothing.
  DibCanvas canvas(100, 16, RGB(1, 2, 3));
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_COMBOBOX;
  item.hwndItem = m_Panel->List();
  item.itemID = 3;
  item.hDC = canvas.dc();
  item.rcItem = RECT{0, 0, 100, 16};
  m_Panel->List().DrawItem(&item);
  EXPECT_EQ(canvas.at(50, 8), RGB(1, 2, 3));
}

}  // namespace
