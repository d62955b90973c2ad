#include <gtest/gtest.h>

#include <atldlgs.h>

#include <string>
#include <vector>

#include "AtlDialogResources.h"
#include "AtlTestSupport.h"
#include "GLIB/GLIB_Exception.h"
#include "ModalDialogEnder.h"
#include "win/SheetOwnerWindow.h"

namespace {

constexpr UINT kThrowMessage = WM_APP + 7;

class TestPage : public CPropertyPageImpl<TestPage> {
public:
  enum {
    IDD = IDD_ATL_PAGE
  };

  explicit TestPage(_U_STRINGorID title) : CPropertyPageImpl<TestPage>(title) {}

  BOOL m_AcceptApply = TRUE;
  BOOL m_AllowCancel = TRUE;
  int m_Applied = 0;
  int m_Reset = 0;

  BEGIN_MSG_MAP(TestPage)
  MESSAGE_HANDLER(kThrowMessage, OnThrow)
  CHAIN_MSG_MAP(CPropertyPageImpl<TestPage>)
  END_MSG_MAP()

  LRESULT OnThrow(UINT, WPARAM, LPARAM, BOOL&) {
    throw GLIB_Exception(5, static_cast<const char*>(nullptr), nullptr, 0);
  }
  BOOL OnApply() {
    ++m_Applied;
    return m_AcceptApply;
  }
  void OnReset() { ++m_Reset; }
  BOOL OnQueryCancel() { return m_AllowCancel; }
};

class TestSheet : public CPropertySheetImpl<TestSheet> {
public:
  TestSheet()
      : CPropertySheetImpl<TestSheet>(IDS_ATL_SHEET_TITLE),
        m_First(L"First"),
        m_Second(IDS_ATL_PAGE_TITLE) {
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    AddPage(m_First);
    AddPage(m_Second);
  }

  TestPage m_First;
  TestPage m_Second;
  int m_Initialized = 0;

  BEGIN_MSG_MAP(TestSheet)
  MESSAGE_HANDLER(kThrowMessage, OnThrow)
  CHAIN_MSG_MAP(CPropertySheetImpl<TestSheet>)
  END_MSG_MAP()

  LRESULT OnThrow(UINT, WPARAM, LPARAM, BOOL&) {
    throw GLIB_Exception(6, static_cast<const char*>(nullptr), nullptr, 0);
  }
  void OnSheetInitialized() { ++m_Initialized; }
};

std::wstring TabText(HWND sheet, int index) {
  wchar_t text[64] = {};
  TCITEMW item = {};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = 64;
  SendMessageW(reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0)), TCM_GETITEMW,
               static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return text;
}

RECT WindowRect(HWND hWnd) {
  RECT r = {};
  GetWindowRect(hWnd, &r);
  return r;
}

class PropertySheetTest : public GuardCapturingTest {
protected:
  SheetOwnerWindow m_Owner;
};

TEST_F(PropertySheetTest, OkAppliesTheCreatedPagesWithTheirTitlesAndNoApplyButton) {
  TestSheet sheet;
  std::wstring firstTab;
  std::wstring secondTab;
  bool boundDuringRun = false;
  bool applyShown = true;
  std::wstring title;
  ModalDialogEnder ender([&](HWND dialog) {
    boundDuringRun = sheet.m_hWnd == dialog;
    wchar_t text[64] = {};
    GetWindowTextW(dialog, text, 64);
    title = text;
    firstTab = TabText(dialog, 0);
    secondTab = TabText(dialog, 1);
    const HWND apply = GetDlgItem(dialog, 0x3021);
    applyShown = apply != nullptr && IsWindowVisible(apply);
    PropSheet_PressButton(dialog, PSBTN_OK);
    return false;
  });
  EXPECT_GT(sheet.DoModal(m_Owner), 0);
  EXPECT_TRUE(boundDuringRun);
  EXPECT_EQ(sheet.m_Initialized, 1);
  EXPECT_EQ(firstTab, L"First");
  // Titles given as string ids come from the resource instance.
  EXPECT_EQ(secondTab, L"Second");
  EXPECT_EQ(title, L"Sheet");
  EXPECT_FALSE(applyShown);
  // Only the page that was shown exists to apply.
  EXPECT_EQ(sheet.m_First.m_Applied, 1);
  EXPECT_EQ(sheet.m_Second.m_Applied, 0);
  EXPECT_EQ(sheet.m_hWnd, nullptr);
  EXPECT_EQ(sheet.m_First.m_hWnd, nullptr);
  EXPECT_TRUE(sm_Logged.empty());
}

TEST_F(PropertySheetTest, ARefusedApplyAnswersThroughTheResultSlotAndKeepsTheSheetOpen) {
  TestSheet sheet;
  sheet.m_First.m_AcceptApply = FALSE;
  LONG_PTR refusal = 0;
  bool openAfterRefusal = false;
  // The OK button's command, sent: pressing it through the sheet would only post it.
  const auto pressOk = [](HWND dialog) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  };
  ModalDialogEnder ender([&](HWND dialog) {
    pressOk(dialog);
    refusal = GetWindowLongPtrW(sheet.m_First.m_hWnd, DWLP_MSGRESULT);
    openAfterRefusal = IsWindow(dialog) && PropSheet_GetCurrentPageHwnd(dialog) != nullptr;
    sheet.m_First.m_AcceptApply = TRUE;
    pressOk(dialog);
    return false;
  });
  EXPECT_GT(sheet.DoModal(m_Owner), 0);
  EXPECT_EQ(refusal, PSNRET_INVALID_NOCHANGEPAGE);
  EXPECT_TRUE(openAfterRefusal);
  EXPECT_EQ(sheet.m_First.m_Applied, 2);
}

TEST_F(PropertySheetTest, CancelResetsAndAppliesNothing) {
  TestSheet sheet;
  ModalDialogEnder ender([](HWND dialog) {
    PropSheet_PressButton(dialog, PSBTN_CANCEL);
    return false;
  });
  EXPECT_EQ(sheet.DoModal(m_Owner), 0);
  EXPECT_EQ(sheet.m_First.m_Applied, 0);
  EXPECT_EQ(sheet.m_First.m_Reset, 1);
}

TEST_F(PropertySheetTest, TheSheetIsCentredOverItsOwnerOnceOnly) {
  TestSheet sheet;
  RECT atStart = {};
  RECT afterSecondPage = {};
  bool secondPageMade = false;
  ModalDialogEnder ender([&](HWND dialog) {
    atStart = WindowRect(dialog);
    // The user moves the sheet; a page created later leaves it where it is.
    SetWindowPos(dialog, nullptr, 5, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PropSheet_SetCurSel(dialog, nullptr, 1);
    afterSecondPage = WindowRect(dialog);
    secondPageMade = sheet.m_Second.m_hWnd != nullptr;
    PropSheet_PressButton(dialog, PSBTN_CANCEL);
    return false;
  });
  sheet.DoModal(m_Owner);
  const RECT owner = WindowRect(m_Owner);
  EXPECT_NEAR((atStart.left + atStart.right) / 2, (owner.left + owner.right) / 2, 1);
  EXPECT_NEAR((atStart.top + atStart.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
  EXPECT_EQ(afterSecondPage.left, 5);
  EXPECT_EQ(afterSecondPage.top, 6);
  EXPECT_TRUE(secondPageMade);
}

// A fatal exception in a page's map or in the sheet's own ends the sheet, which DoModal rethrows.
TEST_F(PropertySheetTest, AFatalExceptionEndsTheSheetAndDoModalRethrowsIt) {
  for (const bool inPage : {true, false}) {
    SCOPED_TRACE(inPage ? "page" : "sheet");
    sm_Logged.clear();
    TestSheet sheet;
    // The page would refuse the user's Cancel; a fatal exception closes the sheet all the same.
    sheet.m_First.m_AllowCancel = FALSE;
    bool scriptRan = false;
    ModalDialogEnder ender([&](HWND dialog) {
      SendMessageW(inPage ? PropSheet_GetCurrentPageHwnd(dialog) : dialog, kThrowMessage, 0, 0);
      // Only the guard may end the sheet.
      scriptRan = true;
      return false;
    });
    EXPECT_THROW(sheet.DoModal(m_Owner), GLIB_FatalException);
    EXPECT_TRUE(scriptRan);
    ASSERT_EQ(sm_Logged.size(), 1u);
    EXPECT_EQ(sm_Logged[0].m_Severity, GLIB_SEVERITY_FATAL);
    const std::wstring expected = inPage ? L"Class TestPage caught" : L"Class TestSheet caught";
    EXPECT_EQ(sm_Logged[0].m_Text.rfind(expected, 0), 0u) << sm_Logged[0].m_Text;
    EXPECT_EQ(GLIB_TakePendingFatal(), nullptr);
    EXPECT_EQ(sheet.m_hWnd, nullptr);
    EXPECT_EQ(sheet.m_First.m_Applied, 0);
  }
}

}  // namespace
