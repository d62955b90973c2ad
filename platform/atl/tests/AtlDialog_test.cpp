#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "AtlTestResources.h"
#include "AtlTestSupport.h"
#include "ModalDialogEnder.h"
#include "GLIB/GLIB_Exception.h"

namespace {

class TestDialog : public CDialogImpl<TestDialog> {
public:
  enum {
    IDD = IDD_ATL_TEST
  };

  std::vector<UINT> m_Seen;
  LPARAM m_InitParam = 0;
  bool m_BoundAtInit = false;
  int m_FinalMessages = 0;
  bool m_Throw = false;

  BEGIN_MSG_MAP(TestDialog)
  m_Seen.push_back(uMsg);
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  MESSAGE_HANDLER(WM_CTLCOLORDLG, OnColor)
  MESSAGE_HANDLER(WM_APP, OnApp)
  NOTIFY_CODE_HANDLER(77, OnNotify)
  COMMAND_ID_HANDLER(IDC_ATL_TEST_BUTTON, OnButton)
  END_MSG_MAP()

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&) {
    m_InitParam = lParam;
    m_BoundAtInit = m_hWnd != nullptr;
    return TRUE;
  }
  LRESULT OnColor(UINT, WPARAM, LPARAM, BOOL&) {
    return reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH));
  }
  LRESULT OnApp(UINT, WPARAM, LPARAM, BOOL&) {
    if (m_Throw) {
      throw GLIB_Exception(9, static_cast<const char*>(nullptr), nullptr, 0);
    }
    return 0;
  }
  LRESULT OnNotify(int, LPNMHDR, BOOL&) { return 1234; }
  LRESULT OnButton(WORD, WORD, HWND, BOOL&) {
    EndDialog(IDC_ATL_TEST_BUTTON);
    return 0;
  }
  void OnFinalMessage(HWND) override { ++m_FinalMessages; }
};

class DialogTest : public GuardCapturingTest {};

TEST_F(DialogTest, DoModalBindsBeforeInitAndReturnsTheEndResult) {
  ModalDialogEnder ender([](HWND dialog) {
    // The button ends the dialog through the map's EndDialog.
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ATL_TEST_BUTTON, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ATL_TEST_BUTTON)));
    return false;
  });
  TestDialog dialog;
  EXPECT_EQ(dialog.DoModal(nullptr, 31), IDC_ATL_TEST_BUTTON);
  EXPECT_EQ(dialog.m_InitParam, 31);
  EXPECT_TRUE(dialog.m_BoundAtInit);
  ASSERT_FALSE(dialog.m_Seen.empty());
  // DS_SETFONT: the font comes before WM_INITDIALOG, and the map already sees it.
  EXPECT_EQ(dialog.m_Seen[0], static_cast<UINT>(WM_SETFONT));
  EXPECT_EQ(dialog.m_FinalMessages, 1);
  EXPECT_EQ(dialog.m_hWnd, nullptr);
  EXPECT_TRUE(sm_Logged.empty());
}

TEST_F(DialogTest, ResultsGoWhereTheDialogManagerLooksForThem) {
  LRESULT notifyResult = 0;
  LRESULT colorResult = 0;
  ModalDialogEnder ender([&](HWND dialog) {
    NMHDR header = {dialog, 1, 77};
    notifyResult = SendMessageW(dialog, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header));
    colorResult = SendMessageW(dialog, WM_CTLCOLORDLG, 0, reinterpret_cast<LPARAM>(dialog));
    return true;
  });
  TestDialog dialog;
  EXPECT_EQ(dialog.DoModal(nullptr), ModalDialogEnder::kEndedByHook);
  // WM_NOTIFY's result goes through DWLP_MSGRESULT; a colour message returns the brush.
  EXPECT_EQ(notifyResult, 1234);
  EXPECT_EQ(colorResult, reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)));
}

TEST_F(DialogTest, AFatalExceptionEndsTheModalLoopAndDoModalRethrowsIt) {
  bool scriptRan = false;
  ModalDialogEnder ender([&](HWND dialog) {
    SendMessageW(dialog, WM_APP, 0, 0);
    // Only the guard may end the dialog: the hook leaves it running.
    scriptRan = true;
    return false;
  });
  TestDialog dialog;
  dialog.m_Throw = true;
  EXPECT_THROW(dialog.DoModal(nullptr), GLIB_FatalException);
  EXPECT_TRUE(scriptRan);
  ASSERT_EQ(sm_Logged.size(), 1u);
  EXPECT_EQ(sm_Logged[0].m_Severity, GLIB_SEVERITY_FATAL);
  EXPECT_EQ(sm_Logged[0].m_Text.rfind(L"Class TestDialog caught unhandled GLIB_Exception: ", 0),
            0u);
  EXPECT_EQ(sm_Logged[0].m_File, "AtlDialog_test.cpp");
  EXPECT_EQ(GLIB_TakePendingFatal(), nullptr);
  EXPECT_EQ(dialog.m_FinalMessages, 1);
}

TEST_F(DialogTest, ModelessDialogsAndObjectsThatGoFirst) {
  HWND hWnd = nullptr;
  {
    TestDialog dialog;
    hWnd = dialog.Create(nullptr, 8);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(dialog.m_InitParam, 8);
    NMHDR header = {hWnd, 1, 77};
    EXPECT_EQ(SendMessageW(hWnd, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header)), 1234);
  }
  // The object is gone: the dialog manager alone answers.
  NMHDR header = {hWnd, 1, 77};
  EXPECT_EQ(SendMessageW(hWnd, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header)), 0);
  EXPECT_TRUE(DestroyWindow(hWnd));

  TestDialog modeless;
  ASSERT_NE(modeless.Create(nullptr), nullptr);
  EXPECT_TRUE(modeless.DestroyWindow());
  EXPECT_EQ(modeless.m_FinalMessages, 1);
}

class DialogTemplateTest : public ResourceSearchTest {
protected:
  static std::wstring Caption(HWND dialog) {
    wchar_t text[32] = {};
    GetWindowTextW(dialog, text, 32);
    return text;
  }
};

// The template comes through the resource search: a language library's own dialog first, the
// program's when the library holds strings only.
TEST_F(DialogTemplateTest, TemplatesComeThroughTheResourceSearch) {
  const struct {
    HMODULE m_ResourceInstance;
    const wchar_t* m_Caption;
  } cases[] = {{nullptr, L"Test"}, {sm_Language, L"Versuch"}, {sm_Strings, L"Test"}};
  for (const auto& c : cases) {
    _AtlBaseModule.SetResourceInstance(c.m_ResourceInstance);
    std::wstring modalCaption;
    ModalDialogEnder ender([&](HWND dialog) {
      modalCaption = Caption(dialog);
      return true;
    });
    TestDialog modal;
    EXPECT_EQ(modal.DoModal(nullptr), ModalDialogEnder::kEndedByHook) << c.m_Caption;
    EXPECT_EQ(modalCaption, c.m_Caption);

    TestDialog modeless;
    ASSERT_NE(modeless.Create(nullptr), nullptr) << c.m_Caption;
    EXPECT_EQ(Caption(modeless), c.m_Caption);
    modeless.DestroyWindow();
  }
}

}  // namespace
