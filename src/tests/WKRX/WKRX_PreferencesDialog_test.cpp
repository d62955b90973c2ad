#include "WKRX/WKRX_PreferencesDialog.h"

#include "IMPN/IMPN_Ink.h"
#include "IMPN/IMPN_Preferences.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "win/GuardCapture.h"
#include "win/SheetOwnerWindow.h"
#include "win/WKRX_TestResources.h"

namespace {

constexpr UINT kRunScript = WM_APP + 21;

// Where the pages tell what they did.
std::vector<std::string> g_Events;
// Run inside the sheet's loop once its start page shows.
std::function<void(HWND sheet)> g_Script;

// A page that sets one preference on OK.
class TestPage : public WKRX_PreferencePageImpl<TestPage> {
public:
  enum {
    IDD = IDD_WKRX_TEST_PAGE
  };

  TestPage(const wchar_t* title, std::function<void()> apply)
      : WKRX_PreferencePageImpl<TestPage>(title),
        m_Name(GLIB_WString(title).AsString()),
        m_Apply(std::move(apply)) {}

  BEGIN_MSG_MAP(TestPage)
  MESSAGE_HANDLER(kRunScript, OnRunScript)
  CHAIN_MSG_MAP(WTL::CPropertyPageImpl<TestPage>)
  END_MSG_MAP()

  BOOL OnSetActive() {
    g_Events.push_back(m_Name + " shown");
    if (g_Script)
      PostMessage(kRunScript);
    return TRUE;
  }
  void ApplyValues() {
    g_Events.push_back(m_Name + " applied");
    m_Apply();
  }

private:
  LRESULT OnRunScript(UINT, WPARAM, LPARAM, BOOL&) {
    auto script = std::move(g_Script);
    g_Script = nullptr;
    script(GetParent());
    return 0;
  }

  std::string m_Name;
  std::function<void()> m_Apply;
};

RECT WindowRect(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

class PreferencesDialogTest : public GuardCapturingTest {
protected:
  void SetUp() override {
    GuardCapturingTest::SetUp();
    m_Path = GLIB_WString(WKRX_Preferences::kRegistryKeyPath) + L" Dialog " +
             std::to_wstring(GetCurrentProcessId());
    RegDeleteTreeW(HKEY_CURRENT_USER, m_Path.c_str());
    WKRX_Preferences::SetRegistryKeyPath(m_Path);
    WKRX_Preferences::SetToDefaultValues();
    g_Events.clear();
  }
  void TearDown() override {
    g_Script = nullptr;
    RegDeleteTreeW(HKEY_CURRENT_USER, m_Path.c_str());
    WKRX_Preferences::SetRegistryKeyPath(GLIB_WString());
    WKRX_Preferences::SetToDefaultValues();
    EXPECT_TRUE(sm_Logged.empty());
    GuardCapturingTest::TearDown();
  }

  // The stored units, or -1.
  int StoredUnits() const {
    std::int32_t units = -1;
    DWORD size = sizeof(units);
    RegGetValueW(HKEY_CURRENT_USER, m_Path.c_str(), L"WKRX_PreferredLinearUnits", RRF_RT_ANY,
                 nullptr, &units, &size);
    return units;
  }

  SheetOwnerWindow m_Owner;
  GLIB_WString m_Path;
};

TEST_F(PreferencesDialogTest, OkAppliesEachPageAndSavesAfterEach) {
  int unitsStoredWhenSecondApplied = -1;
  TestPage first(L"First", [] { IMPN_Preferences::sm_PreferredLinearUnits = 3; });
  TestPage second(L"Second", [&] {
    unitsStoredWhenSecondApplied = StoredUnits();
    IMPN_Preferences::sm_LinearUnitPrecision = 5;
  });
  WKRX_PreferencesDialog dialog(IDS_WKRX_TEST_PREFERENCES, 1, m_Owner);
  dialog.AddPage(first);
  dialog.AddPage(second);

  std::wstring title;
  bool applyButton = true;
  int startIndex = -1;
  RECT sheet = {};
  g_Script = [&](HWND window) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    title = text;
    applyButton =
        GetDlgItem(window, 0x3021) != nullptr && IsWindowVisible(GetDlgItem(window, 0x3021));
    startIndex = static_cast<int>(SendMessageW(
        window, PSM_HWNDTOINDEX, SendMessageW(window, PSM_GETCURRENTPAGEHWND, 0, 0), 0));
    sheet = WindowRect(window);
    SendMessageW(window, PSM_SETCURSEL, 0, 0);
    PostMessageW(window, PSM_PRESSBUTTON, PSBTN_OK, 0);
  };
  EXPECT_GT(dialog.DoModal(m_Owner), 0);

  EXPECT_EQ(title, L"Preferences");
  EXPECT_FALSE(applyButton);
  EXPECT_EQ(startIndex, 1);
  const RECT owner = WindowRect(m_Owner);
  EXPECT_NEAR((sheet.left + sheet.right) / 2, (owner.left + owner.right) / 2, 1);
  EXPECT_NEAR((sheet.top + sheet.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
  EXPECT_EQ(g_Events, (std::vector<std::string>{"Second shown", "First shown", "First applied",
                                                "Second applied"}));
  EXPECT_EQ(unitsStoredWhenSecondApplied, 3) << "the first page's apply saved";
  WKRX_Preferences::LoadPreferences();
  EXPECT_EQ(IMPN_Preferences::sm_PreferredLinearUnits, 3);
  EXPECT_EQ(IMPN_Preferences::sm_LinearUnitPrecision, 5);
}

TEST_F(PreferencesDialogTest, CancelAppliesAndSavesNothing) {
  TestPage only(L"Only", [] { IMPN_Preferences::sm_PreferredLinearUnits = 3; });
  WKRX_PreferencesDialog dialog(IDS_WKRX_TEST_PREFERENCES, 0, m_Owner);
  dialog.AddPage(only);
  g_Script = [](HWND window) { PostMessageW(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); };
  EXPECT_EQ(dialog.DoModal(m_Owner), 0);
  EXPECT_EQ(g_Events, std::vector<std::string>{"Only shown"});
  EXPECT_EQ(StoredUnits(), -1);
  EXPECT_EQ(IMPN_Preferences::sm_PreferredLinearUnits, 0);
}

// Inks without a colour of their own take the new default spot colour as soon as OK is pressed.
TEST_F(PreferencesDialogTest, OkPutsTheNewDefaultSpotColourInForceAtOnce) {
  IMPN_Ink::sm_DefaultColor = IMPN_RGBColor8(0, 0, 0);
  TestPage only(L"Only", [] { IMPN_Preferences::sm_DefaultSpotColor = IMPN_RGBColor8(9, 8, 7); });
  WKRX_PreferencesDialog dialog(IDS_WKRX_TEST_PREFERENCES, 0, m_Owner);
  dialog.AddPage(only);
  g_Script = [](HWND window) { PostMessageW(window, PSM_PRESSBUTTON, PSBTN_OK, 0); };
  EXPECT_GT(dialog.DoModal(m_Owner), 0);
  EXPECT_TRUE(IMPN_Ink::sm_DefaultColor == IMPN_RGBColor8(9, 8, 7));
}

}  // namespace
