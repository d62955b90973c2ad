#include "WCTL/WCTL_PopupButton.h"
#include "WCTL/WCTL_StaticText.h"

#include <gtest/gtest.h>

#include "UWIN/UWIN_SystemInfo.h"
#include "support/WCTL_TestDialog.h"

namespace {

constexpr int kComboID = 2001;
constexpr int kTitleID = 2002;

USTR_StringVector Texts(std::vector<wchar_t const*> const& texts) {
  USTR_StringVector result;
  for (wchar_t const* text : texts) {
    result.push_back(U(text));
  }
  return result;
}

class PopupTest : public WCTL_DialogTest {
protected:
  void SetUp() override {
    WCTL_DialogTest::SetUp();
    RECT combo = {10, 10, 160, 200};
    RECT title = {10, 220, 160, 240};
    ASSERT_TRUE(m_Popup.SubclassWindow(
        m_Dialog.AddChild(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, kComboID, combo)));
    ASSERT_TRUE(m_Title.SubclassWindow(m_Dialog.AddChild(L"STATIC", 0, kTitleID, title)));
    m_Listener.Listen(m_Popup);
  }

  // The entries the combo box lists.
  std::vector<std::wstring> Listed() {
    std::vector<std::wstring> listed;
    for (int i = 0; i < m_Popup.GetCount(); ++i) {
      wchar_t text[64] = {};
      m_Popup.GetLBText(i, text);
      listed.push_back(text);
    }
    return listed;
  }

  WCTL_PopupButton m_Popup;
  WCTL_StaticText m_Title;
  WCTL_TestListener m_Listener;
};

TEST_F(PopupTest, SeparatorsAreListedItemsButNotEntries) {
  m_Popup.SetMenuItems(Texts({L"A", L"-", L"B"}));
  EXPECT_EQ(Listed(), (std::vector<std::wstring>{L"A", L"B"}));
  EXPECT_EQ(m_Popup.MenuItems(), Texts({L"A", L"-", L"B"}));
  EXPECT_EQ(m_Popup.ControlValue(), -1) << "nothing selected";
  EXPECT_TRUE(m_Popup.ControlValueAsText().empty());

  m_Popup.SetControlValue(2);
  EXPECT_EQ(W(m_Popup.ControlValueAsText()), L"B");
  EXPECT_EQ(m_Popup.ControlValue(), 2);
  ASSERT_EQ(m_Listener.m_Values.size(), 1u);
  EXPECT_EQ(m_Listener.m_Values[0].m_ControlID, static_cast<std::uint32_t>(kComboID));
  EXPECT_EQ(m_Listener.m_Values[0].m_Value, 2);

  // Selecting the disabled separator finds no entry: the selection stays.
  m_Popup.SetControlValue(1);
  EXPECT_EQ(m_Popup.ControlValue(), 2);
}

TEST_F(PopupTest, OutOfRangeValuesAndClearing) {
  m_Popup.SetMenuItems(Texts({L"one", L"two", L"three"}));
  m_Popup.SetControlValue(0);
  m_Listener.m_Values.clear();
  m_Popup.SetControlValue(5);
  m_Popup.SetControlValue(3);
  m_Popup.SetControlValue(-2);
  EXPECT_EQ(m_Popup.ControlValue(), 0);
  m_Popup.SetControlValue(-1);
  EXPECT_EQ(m_Popup.ControlValue(), -1);
  EXPECT_EQ(m_Popup.GetCurSel(), CB_ERR);
  EXPECT_TRUE(m_Listener.m_Values.empty());
}

TEST_F(PopupTest, DisablingTheSelectedItemSelectsTheEntryBeforeIt) {
  m_Popup.SetMenuItems(Texts({L"one", L"two", L"three"}));
  m_Popup.SetControlValue(1);
  m_Popup.SetMenuItemEnabled(1, false);
  EXPECT_EQ(Listed(), (std::vector<std::wstring>{L"one", L"three"}));
  EXPECT_EQ(m_Popup.ControlValue(), 0);

  m_Popup.SetMenuItemEnabled(1, true);
  m_Popup.SetControlValue(0);
  m_Popup.SetMenuItemEnabled(0, false);
  EXPECT_EQ(m_Popup.ControlValue(), -1) << "the first had nothing before it";

  // An index outside the items changes no item but refills keeping the selection.
  m_Popup.SetControlValue(2);
  m_Popup.SetMenuItemEnabled(7, false);
  EXPECT_EQ(m_Popup.ControlValue(), 2);
  EXPECT_EQ(Listed(), (std::vector<std::wstring>{L"two", L"three"}));
}

TEST_F(PopupTest, AnItemWithEmptyTextIsSelectedByARefill) {
  m_Popup.SetMenuItems(Texts({L"x", L"", L"y"}));
  EXPECT_EQ(m_Popup.ControlValue(), 1);
}

TEST_F(PopupTest, TheUsersSelectionIsBroadcast) {
  m_Popup.SetMenuItems(Texts({L"a", L"-", L"b", L"c"}));
  m_Popup.SetCurSel(2);
  m_Dialog.SendMessage(WM_COMMAND, MAKEWPARAM(kComboID, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(m_Popup.m_hWnd));
  ASSERT_EQ(m_Listener.m_Values.size(), 1u);
  EXPECT_EQ(m_Listener.m_Values[0].m_Value, 3) << "the item index, the separator counted";
  // Another window's notification is not this control's.
  EXPECT_EQ(m_Popup.SendMessage(OCM_COMMAND, MAKEWPARAM(kComboID, CBN_SELCHANGE),
                                reinterpret_cast<LPARAM>(m_Title.m_hWnd)),
            1);
  EXPECT_EQ(m_Listener.m_Values.size(), 1u);
}

TEST_F(PopupTest, TheDroppedListShowsUpToFifteenEntriesAfterWindows2000) {
  std::vector<wchar_t const*> many(20, L"entry");
  {
    UWIN_OSVersionOverride xp(0x501);
    m_Popup.SetMenuItems(Texts({L"1", L"2", L"3"}));
    EXPECT_EQ(m_Popup.GetMinVisible(), 3);
    m_Popup.SetMenuItems(Texts(many));
    EXPECT_EQ(m_Popup.GetMinVisible(), 15);
  }
  {
    UWIN_OSVersionOverride windows2000(0x500);
    m_Popup.SetMenuItems(Texts({L"1", L"2", L"3"}));
    EXPECT_EQ(m_Popup.GetMinVisible(), 15) << "left as it was";
  }
}

TEST_F(PopupTest, TheTitleControlFollowsThePopup) {
  m_Popup.SetControlTitle(U(L"lost"));
  EXPECT_TRUE(m_Popup.ControlTitle().empty()) << "no title control yet";
  m_Popup.SetTitleControl(&m_Title);
  m_Popup.SetControlTitle(U(L"Unit:"));
  EXPECT_EQ(W(m_Title.ControlText()), L"Unit:");
  EXPECT_EQ(W(m_Popup.ControlTitle()), L"Unit:");
  m_Popup.SetControlVisible(false);
  EXPECT_FALSE(m_Title.IsControlVisible());
  m_Popup.SetControlEnabled(false);
  EXPECT_FALSE(m_Title.IsControlEnabled());
  EXPECT_FALSE(m_Popup.IsControlEnabled());
  m_Title.SetControlEnabled(true);
  EXPECT_FALSE(m_Popup.IsControlEnabled()) << "the queries look at the combo box only";
}

TEST_F(PopupTest, NegativeSizesCountAsZero) {
  m_Popup.SetControlSize(120, -1);
  RECT client;
  m_Popup.GetClientRect(&client);
  EXPECT_EQ(client.right, 120);
  // A combo box keeps the height of its edit field whatever it is given.
  EXPECT_GT(client.bottom, 0);
  EXPECT_LT(m_Popup.ControlBounds().height, 100);
}

}  // namespace
