#include "WTLU/WTLU_FileDialog.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <fstream>
#include <string>
#include <vector>

#include "GFIL/GFIL_Utils.h"
#include "support/WTLU_TestSupport.h"

namespace {

using Hooks = WTL::CFileDialogSystemHooks;

std::vector<std::wstring> Paths(const GFIL_FileSpecVector& files) {
  std::vector<std::wstring> paths;
  for (const GFIL_FileSpec& file : files) {
    paths.push_back(GFIL_PlatformPathFromSpec(file));
  }
  return paths;
}

struct ListCase {
  std::wstring m_Buffer;
  std::size_t m_Size;
  std::vector<std::wstring> m_Paths;
};

class FileListTest : public testing::TestWithParam<ListCase> {};

TEST_P(FileListTest, ReadsOnePathOrAFolderWithNames) {
  const ListCase& c = GetParam();
  GFIL_FileSpecVector files(3);
  WTLU_ParseFileList(c.m_Buffer.data(), c.m_Size, files);
  EXPECT_EQ(Paths(files), c.m_Paths);
}

const std::wstring kNul(1, L'\0');

INSTANTIATE_TEST_SUITE_P(
    Buffers, FileListTest,
    testing::Values(
        ListCase{kNul + kNul, 2, {}}, ListCase{L"", 0, {}},
        ListCase{L"C:\\jobs\\one.krx" + kNul + kNul, 17, {L"C:\\jobs\\one.krx"}},
        ListCase{L"C:\\jobs" + kNul + L"b.krx" + kNul + L"a.krx" + kNul + L"c d.krx" + kNul + kNul,
                 29,
                 {L"C:\\jobs\\b.krx", L"C:\\jobs\\a.krx", L"C:\\jobs\\c d.krx"}},
        // One trailing backslash of the folder goes: a root keeps one.
        ListCase{L"C:\\jobs\\" + kNul + L"a.krx" + kNul + kNul, 16, {L"C:\\jobs\\a.krx"}},
        ListCase{L"C:\\" + kNul + L"a.krx" + kNul + kNul, 11, {L"C:\\a.krx"}},
        // Nothing is read past the buffer's size, terminated or not.
        ListCase{L"C:\\jobs\\one.krxJUNK", 15, {L"C:\\jobs\\one.krx"}},
        ListCase{L"C:\\jobs" + kNul + L"a.krx" + kNul + L"bJUNK",
                 15,
                 {L"C:\\jobs\\a.krx", L"C:\\jobs\\b"}}));

class FileDialogTest : public ListControlsCapturingTest {
protected:
  void TearDown() override {
    Hooks::sm_GetOpenFileName = ::GetOpenFileNameW;
    Hooks::sm_CommDlgExtendedError = ::CommDlgExtendedError;
    ListControlsCapturingTest::TearDown();
  }

  // What the replaced dialog call saw, and what it answers.
  static inline OPENFILENAMEW sm_Seen = {};
  static inline bool sm_BufferWasEmpty = false;
  static inline std::wstring sm_Answer;
  static inline BOOL sm_Result = FALSE;
  static inline DWORD sm_Error = 0;

  static void Answer(BOOL result, DWORD error, std::wstring buffer) {
    sm_Result = result;
    sm_Error = error;
    sm_Answer = std::move(buffer);
    Hooks::sm_GetOpenFileName = [](LPOPENFILENAMEW ofn) -> BOOL {
      sm_Seen = *ofn;
      sm_BufferWasEmpty = true;
      for (DWORD i = 0; i < ofn->nMaxFile; ++i) {
        sm_BufferWasEmpty = sm_BufferWasEmpty && ofn->lpstrFile[i] == L'\0';
      }
      const std::size_t n = std::min<std::size_t>(sm_Answer.size(), ofn->nMaxFile);
      std::copy(sm_Answer.begin(), sm_Answer.begin() + static_cast<std::ptrdiff_t>(n),
                ofn->lpstrFile);
      return sm_Result;
    };
    Hooks::sm_CommDlgExtendedError = []() -> DWORD { return sm_Error; };
  }
};

TEST_F(FileDialogTest, ConstructionFillsTheStructure) {
  const wchar_t filter[] = L"Preview files\0*.krx\0All files\0*.*\0";
  WTLU_GetFileDialog dialog(nullptr, L"Open", L"C:\\jobs", filter, L"krx", OFN_ALLOWMULTISELECT,
                            16384);
  const OPENFILENAMEW& ofn = dialog.Ofn();
  EXPECT_EQ(ofn.lStructSize, sizeof(OPENFILENAMEW));
  EXPECT_EQ(ofn.hwndOwner, nullptr);
  EXPECT_EQ(ofn.hInstance, ATL::_AtlBaseModule.GetResourceInstance());
  EXPECT_EQ(std::wstring(ofn.lpstrFilter, sizeof(filter) / sizeof(filter[0])),
            std::wstring(filter, sizeof(filter) / sizeof(filter[0])));
  EXPECT_NE(ofn.lpstrFilter, filter);
  EXPECT_EQ(ofn.lpstrCustomFilter, nullptr);
  EXPECT_EQ(ofn.nFilterIndex, 0u);
  EXPECT_EQ(ofn.nMaxFile, 16384u);
  EXPECT_EQ(ofn.lpstrFileTitle, nullptr);
  EXPECT_EQ(std::wstring(ofn.lpstrInitialDir), L"C:\\jobs");
  EXPECT_EQ(std::wstring(ofn.lpstrTitle), L"Open");
  EXPECT_EQ(std::wstring(ofn.lpstrDefExt), L"krx");
  EXPECT_EQ(ofn.Flags, static_cast<DWORD>(OFN_ALLOWMULTISELECT | 0x880020));
  EXPECT_EQ(ofn.lpfnHook, &WTLU_GetFileDialog::HookProc);
  EXPECT_EQ(ofn.lCustData,
            reinterpret_cast<LPARAM>(static_cast<WTL::CFileDialogHookT<>*>(&dialog)));

  WTLU_GetFileDialog bare(nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0);
  EXPECT_EQ(bare.Ofn().lpstrTitle, nullptr);
  EXPECT_EQ(bare.Ofn().lpstrInitialDir, nullptr);
  EXPECT_EQ(bare.Ofn().lpstrFilter, nullptr);
  EXPECT_EQ(bare.Ofn().lpstrDefExt, nullptr);
  EXPECT_EQ(bare.Ofn().nMaxFile, 1u);
}

TEST_F(FileDialogTest, ConfirmedAndCancelledRunsAndTheOwner) {
  HWND parent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234));
  WTLU_GetFileDialog dialog(nullptr, nullptr, nullptr, nullptr, nullptr, OFN_ALLOWMULTISELECT, 64);
  Answer(TRUE, 0, L"C:\\jobs" + kNul + L"a.krx" + kNul + L"b.krx" + kNul + kNul);
  EXPECT_EQ(dialog.DoModal(parent), IDOK);
  EXPECT_EQ(sm_Seen.hwndOwner, parent);
  EXPECT_TRUE(sm_BufferWasEmpty);
  GFIL_FileSpecVector files;
  dialog.GetFileSpecs(files);
  EXPECT_EQ(Paths(files), std::vector<std::wstring>({L"C:\\jobs\\a.krx", L"C:\\jobs\\b.krx"}));

  // The next run starts with an empty buffer again, owned by its own parent.
  Answer(FALSE, 0, L"");
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_TRUE(sm_BufferWasEmpty);
  EXPECT_EQ(sm_Seen.hwndOwner, nullptr);

  HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x5678));
  WTLU_GetFileDialog owned(owner, nullptr, nullptr, nullptr, nullptr, 0, 64);
  Answer(FALSE, 0, L"");
  EXPECT_EQ(owned.DoModal(parent), IDCANCEL);
  EXPECT_EQ(sm_Seen.hwndOwner, owner);
}

struct ErrorCase {
  DWORD m_Error;
  wchar_t m_FirstUnit;
  const wchar_t* m_Message;
};

TEST_F(FileDialogTest, ErrorsThrowWithTheCommonDialogCode) {
  const ErrorCase cases[] = {
      {FNERR_BUFFERTOOSMALL, static_cast<wchar_t>(20000),
       L"GetOpenFileName() buffer too small (was 16384, needed 20000)"},
      {CDERR_INITIALIZATION, L'\0', L"GetOpenFileName() failed with error code: 2"},
      {FNERR_INVALIDFILENAME, L'\0', L"GetOpenFileName() failed with error code: 12290"}};
  WTLU_GetFileDialog dialog(nullptr, nullptr, nullptr, nullptr, nullptr, 0, 16384);
  for (const ErrorCase& c : cases) {
    Answer(FALSE, c.m_Error, std::wstring(1, c.m_FirstUnit));
    try {
      dialog.DoModal(nullptr);
      ADD_FAILURE() << "no exception for " << c.m_Error;
    } catch (const WTLU_Exception& e) {
      EXPECT_EQ(e.code(), c.m_Error);
      EXPECT_EQ(std::wstring(e.message()), c.m_Message);
    }
  }
}

// A dialog whose hook types names into the real dialog's name box and confirms.
class TypingDialog : public WTLU_GetFileDialogT<TypingDialog> {
public:
  TypingDialog(const wchar_t* folder, std::wstring typed)
      : WTLU_GetFileDialogT(nullptr, L"Open", folder, L"All files\0*.*\0", nullptr,
                            OFN_ALLOWMULTISELECT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST, 16384),
        m_Typed(std::move(typed)) {}

  BEGIN_MSG_MAP(TypingDialog)
  NOTIFY_CODE_HANDLER(CDN_INITDONE, OnInitDone)
  CHAIN_MSG_MAP(WTLU_GetFileDialogT<TypingDialog>)
  END_MSG_MAP()

  LRESULT OnInitDone(int, LPNMHDR, BOOL&) {
    const HWND dialog = GetFileDialogWindow();
    for (int box : {cmb13, edt1}) {
      ::SendMessageW(dialog, CDM_SETCONTROLTEXT, static_cast<WPARAM>(box),
                     reinterpret_cast<LPARAM>(m_Typed.c_str()));
    }
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
  }

private:
  std::wstring m_Typed;
};

class RealDialogTest : public ListControlsCapturingTest {
protected:
  void SetUp() override {
    ListControlsCapturingTest::SetUp();
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    m_Temp = temp;
    m_Folder = m_Temp + ProcessUniqueName(L"wtlu_open");
    ASSERT_TRUE(CreateDirectoryW(m_Folder.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    for (const wchar_t* name : {L"one.krx", L"two.krx", L"three.krx"}) {
      const std::wstring path = m_Folder + L"\\" + name;
      std::ofstream(std::string(path.begin(), path.end())) << "x";
    }
  }
  void TearDown() override {
    for (const wchar_t* name : {L"one.krx", L"two.krx", L"three.krx"}) {
      DeleteFileW((m_Folder + L"\\" + name).c_str());
    }
    // The dialog made the folder the current one.
    SetCurrentDirectoryW(m_Temp.c_str());
    EXPECT_TRUE(RemoveDirectoryW(m_Folder.c_str()));
    ListControlsCapturingTest::TearDown();
  }

  // The full path as the file system names it (the temp folder may be a short name).
  std::wstring Full(const wchar_t* name) const {
    wchar_t path[MAX_PATH] = {};
    GetLongPathNameW((m_Folder + L"\\" + name).c_str(), path, MAX_PATH);
    return path;
  }
  std::vector<std::wstring> LongPaths(const GFIL_FileSpecVector& files) const {
    std::vector<std::wstring> paths;
    for (const std::wstring& path : Paths(files)) {
      wchar_t full[MAX_PATH] = {};
      GetLongPathNameW(path.c_str(), full, MAX_PATH);
      paths.push_back(full);
    }
    return paths;
  }

  std::wstring m_Temp;
  std::wstring m_Folder;
};

TEST_F(RealDialogTest, OneChosenFileGivesItsFullPath) {
  TypingDialog dialog(m_Folder.c_str(), L"two.krx");
  ASSERT_EQ(dialog.DoModal(nullptr), IDOK);
  GFIL_FileSpecVector files;
  dialog.GetFileSpecs(files);
  EXPECT_EQ(LongPaths(files), std::vector<std::wstring>({Full(L"two.krx")}));
  EXPECT_TRUE(sm_Logged.empty());
}

TEST_F(RealDialogTest, ThreeChosenFilesComeInTheDialogsOrder) {
  TypingDialog dialog(m_Folder.c_str(), L"\"three.krx\" \"one.krx\" \"two.krx\"");
  ASSERT_EQ(dialog.DoModal(nullptr), IDOK);
  GFIL_FileSpecVector files;
  dialog.GetFileSpecs(files);
  EXPECT_EQ(LongPaths(files),
            std::vector<std::wstring>({Full(L"three.krx"), Full(L"one.krx"), Full(L"two.krx")}));
}

}  // namespace
