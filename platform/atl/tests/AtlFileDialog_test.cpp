#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <atlbase.h>
#include <atldlgs.h>
#include <dlgs.h>

#include "AtlTestSupport.h"
#include "GLIB/GLIB_Exception.h"

namespace {

// An explorer hook that records what it sees and then leaves the dialog, by Cancel or by OK with
// a typed file name.
class RecordingHook : public WTL::CFileDialogHookT<> {
public:
  enum class Leave {
    Cancel,
    OkWithName,
    Throw
  };
  Leave m_Leave = Leave::Cancel;
  std::wstring m_Name;
  bool m_BoundAtInit = false;
  HWND m_FileDialog = nullptr;
  LPARAM m_CustData = 0;
  int m_InitDone = 0;
  int m_FinalMessages = 0;

  BEGIN_MSG_MAP(RecordingHook)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  NOTIFY_CODE_HANDLER(CDN_INITDONE, OnInitDone)
  END_MSG_MAP()

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&) {
    m_BoundAtInit = m_hWnd != nullptr;
    m_FileDialog = GetFileDialogWindow();
    m_CustData = reinterpret_cast<const OPENFILENAMEW*>(lParam)->lCustData;
    return TRUE;
  }
  LRESULT OnInitDone(int, LPNMHDR, BOOL&) {
    ++m_InitDone;
    switch (m_Leave) {
      case Leave::Throw:
        throw GLIB_Exception(7, static_cast<const char*>(nullptr), nullptr, 0);
      case Leave::OkWithName:
        // cmb13 is the name box of the explorer dialog (edt1 on older systems).
        ::SendMessageW(m_FileDialog, CDM_SETCONTROLTEXT, cmb13,
                       reinterpret_cast<LPARAM>(m_Name.c_str()));
        ::SendMessageW(m_FileDialog, CDM_SETCONTROLTEXT, edt1,
                       reinterpret_cast<LPARAM>(m_Name.c_str()));
        ::PostMessageW(m_FileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        break;
      case Leave::Cancel:
        ::PostMessageW(m_FileDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        break;
    }
    return 0;
  }
  void OnFinalMessage(HWND) override { ++m_FinalMessages; }
};

class FileDialogHookTest : public GuardCapturingTest {
protected:
  void SetUp() override {
    GuardCapturingTest::SetUp();
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    m_Folder = folder;
    m_Ofn.lStructSize = sizeof(m_Ofn);
    m_Ofn.lpstrFile = m_Buffer;
    m_Ofn.nMaxFile = MAX_PATH;
    m_Ofn.lpstrInitialDir = m_Folder.c_str();
    m_Ofn.Flags = OFN_ENABLESIZING;
  }

  std::wstring m_Folder;
  wchar_t m_Buffer[MAX_PATH] = {};
  OPENFILENAMEW m_Ofn = {};
};

TEST_F(FileDialogHookTest, HookBindsThroughCustDataAndCancels) {
  RecordingHook hook;
  EXPECT_FALSE(hook.RunOpenFileDialog(m_Ofn));
  EXPECT_EQ(WTL::CFileDialogSystemHooks::sm_CommDlgExtendedError(), 0u);
  EXPECT_EQ(m_Ofn.Flags & (OFN_EXPLORER | OFN_ENABLEHOOK),
            static_cast<DWORD>(OFN_EXPLORER | OFN_ENABLEHOOK));
  EXPECT_TRUE(hook.m_BoundAtInit);
  EXPECT_EQ(hook.m_CustData, reinterpret_cast<LPARAM>(&hook));
  EXPECT_NE(hook.m_FileDialog, nullptr);
  EXPECT_EQ(hook.m_InitDone, 1);
  EXPECT_EQ(hook.m_FinalMessages, 1);
  EXPECT_EQ(hook.m_hWnd, nullptr);
  EXPECT_TRUE(sm_Logged.empty());
}

TEST_F(FileDialogHookTest, ConfirmedNameComesBackInTheBuffer) {
  RecordingHook hook;
  hook.m_Leave = RecordingHook::Leave::OkWithName;
  hook.m_Name = ProcessUniqueName(L"chosen") + L".txt";
  ASSERT_TRUE(hook.RunOpenFileDialog(m_Ofn));
  const std::wstring chosen(m_Buffer);
  EXPECT_EQ(chosen.substr(chosen.size() - hook.m_Name.size()), hook.m_Name);
}

TEST_F(FileDialogHookTest, FatalExceptionCancelsTheDialogAndIsRethrown) {
  RecordingHook hook;
  hook.m_Leave = RecordingHook::Leave::Throw;
  EXPECT_THROW(hook.RunOpenFileDialog(m_Ofn), GLIB_FatalException);
  EXPECT_EQ(hook.m_InitDone, 1);
  ASSERT_EQ(sm_Logged.size(), 1u);
  EXPECT_EQ(sm_Logged[0].m_Severity, GLIB_SEVERITY_FATAL);
  EXPECT_EQ(sm_Logged[0].m_Text.rfind(L"Class RecordingHook caught unhandled GLIB_Exception: ", 0),
            0u);
  EXPECT_EQ(GLIB_TakePendingFatal(), nullptr);
  EXPECT_EQ(hook.m_FinalMessages, 1);
}

TEST_F(FileDialogHookTest, ReplacedDialogCallSeesTheHookInPlace) {
  using Hooks = WTL::CFileDialogSystemHooks;
  static LPARAM sm_SeenCustData = 0;
  static LPOFNHOOKPROC sm_SeenHook = nullptr;
  Hooks::sm_GetOpenFileName = [](LPOPENFILENAMEW ofn) -> BOOL {
    sm_SeenCustData = ofn->lCustData;
    sm_SeenHook = ofn->lpfnHook;
    return TRUE;
  };
  RecordingHook hook;
  const BOOL result = hook.RunOpenFileDialog(m_Ofn);
  Hooks::sm_GetOpenFileName = ::GetOpenFileNameW;
  EXPECT_TRUE(result);
  EXPECT_EQ(sm_SeenCustData, reinterpret_cast<LPARAM>(&hook));
  EXPECT_EQ(sm_SeenHook, &RecordingHook::HookProc);
  // The hook never ran: nothing bound.
  EXPECT_EQ(hook.m_hWnd, nullptr);
  EXPECT_EQ(hook.m_FinalMessages, 0);
}

}  // namespace
