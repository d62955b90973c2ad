// The program itself, started as the user and the shell start it, watched from outside: its
// windows are found by their class names, and it is driven by posted input and commands.
#include "WKRX/WKRX_System.h"
#include "support/WKRX_ShellTest.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kPatience = 20000;

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

struct Search {
  DWORD m_Process;
  const wchar_t* m_Class;
  bool m_VisibleOnly;
  std::vector<HWND> m_Found;
};

BOOL CALLBACK Collect(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (process == search->m_Process && std::wstring(className) == search->m_Class &&
      (!search->m_VisibleOnly || IsWindowVisible(window)))
    search->m_Found.push_back(window);
  return TRUE;
}

// Polls until check holds or the patience runs out.
bool WaitUntil(const std::function<bool()>& check, DWORD milliseconds = kPatience) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!check()) {
    if (std::chrono::steady_clock::now() > end)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// Width and height of the program's own splash image (PNG 213), from its header.
SIZE ProgramSplashSize() {
  SIZE size = {};
  const std::wstring exe = WKRX_ProgramFolder() + L"HalvorenKRX.exe";
  HMODULE image = LoadLibraryExW(exe.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!image)
    return size;
  if (HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(213), L"PNG")) {
    const auto* png = static_cast<const unsigned char*>(LockResource(LoadResource(image, found)));
    if (png && SizeofResource(image, found) >= 24) {
      size.cx = png[16] << 24 | png[17] << 16 | png[18] << 8 | png[19];
      size.cy = png[20] << 24 | png[21] << 16 | png[22] << 8 | png[23];
    }
  }
  FreeLibrary(image);
  return size;
}

// One start of the program, with a user profile of the test's own; ended at the latest with
// the holder.
class Program {
public:
  Program(const std::wstring& arguments, const std::wstring& profile) {
    const std::wstring exe = WKRX_ProgramFolder() + L"HalvorenKRX.exe";
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    SetEnvironmentVariableW(L"USERPROFILE", profile.c_str());
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    m_Started = CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &m_Process) != FALSE;
  }
  ~Program() {
    if (m_Started && WaitForSingleObject(m_Process.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(m_Process.hProcess, 99);
    if (m_Started) {
      WaitForSingleObject(m_Process.hProcess, 5000);
      CloseHandle(m_Process.hThread);
      CloseHandle(m_Process.hProcess);
    }
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return m_Started; }

  std::vector<HWND> Windows(const wchar_t* className, bool visibleOnly = true) const {
    Search search{m_Process.dwProcessId, className, visibleOnly, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.m_Found;
  }

  HWND WaitForWindow(const wchar_t* className, bool visibleOnly = true) const {
    HWND found = nullptr;
    WaitUntil([&] {
      const std::vector<HWND> windows = Windows(className, visibleOnly);
      found = windows.empty() ? nullptr : windows[0];
      return found != nullptr;
    });
    return found;
  }

  // The exit code, or STILL_ACTIVE when it has not ended within milliseconds.
  DWORD WaitForExit(DWORD milliseconds = kPatience) const {
    WaitForSingleObject(m_Process.hProcess, milliseconds);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_Process.hProcess, &code);
    return code;
  }

  // Ends the splash as the Escape key does, and waits for the sheet window that follows.
  HWND EndSplash() const {
    const HWND application = WaitForWindow(L"WKRX_Application", false);
    PostMessageW(application, WM_KEYDOWN, VK_ESCAPE, 0);
    return WaitForWindow(L"WKRX_SheetWindow");
  }

private:
  bool m_Started = false;
  PROCESS_INFORMATION m_Process = {};
};

class HalvorenKRX : public testing::Test {
protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kPreferencesKey);
    wchar_t profile[MAX_PATH] = {};
    m_HadProfile = GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH) > 0;
    m_PreviousProfile = profile;
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"USERPROFILE", m_HadProfile ? m_PreviousProfile.c_str() : nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, kPreferencesKey);
  }

  static int StoredPreferenceCount() { return WKRX_RegistryValueCount(kPreferencesKey); }

  static constexpr const wchar_t* kPreferencesKey = L"Software\\Nolt\\Orvendal System";

  WKRX_TestFolder m_Profile;
  WKRX_TestFolder m_Samples;
  bool m_HadProfile = false;
  std::wstring m_PreviousProfile;
};

// A first start: the splash, one empty frame after it, the user's database made; Exit saves
// every preference and ends with 0.
TEST_F(HalvorenKRX, AFirstStartShowsOneEmptyFrameAndExitSavesThePreferences) {
  Program program(L"", m_Profile.Path());
  ASSERT_TRUE(program.Started());
  // The splash has the size of the program's own image and a border: the script's resources
  // are there beside the string table's.
  const HWND splash = program.WaitForWindow(L"WKRX_Application");
  ASSERT_NE(splash, nullptr);
  const SIZE image = ProgramSplashSize();
  ASSERT_GT(image.cx, 0);
  RECT rect = {};
  GetWindowRect(splash, &rect);
  EXPECT_EQ(rect.right - rect.left, image.cx + 2);
  EXPECT_EQ(rect.bottom - rect.top, image.cy + 2);
  const HWND frame = program.EndSplash();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(WindowText(frame), L"Halvoren Orvendal");
  EXPECT_EQ(program.Windows(L"WKRX_SheetWindow").size(), 1u);
  EXPECT_NE(GetFileAttributesW(
                m_Profile.File(L"Application Data\\Nolt\\Orvendal System\\Custom.colordb").c_str()),
            INVALID_FILE_ATTRIBUTES);

  PostMessageW(frame, WM_COMMAND, 10131, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
  EXPECT_EQ(StoredPreferenceCount(), 17);
}

// A later start hands its files to the running program and ends at once; the empty frame
// takes the sheet.
TEST_F(HalvorenKRX, ALaterStartHandsItsFilesOverAndTheEmptyFrameTakesTheSheet) {
  const std::wstring front = m_Samples.WritePreview(L"sample_front.krx", "Sample", 0);
  const std::wstring back = m_Samples.WritePreview(L"sample_back.krx", "Sample", 1);
  Program first(L"", m_Profile.Path());
  const HWND frame = first.EndSplash();
  ASSERT_NE(frame, nullptr);

  const auto start = std::chrono::steady_clock::now();
  Program second(L"\"" + front + L"\" \"" + back + L"\"", m_Profile.Path());
  ASSERT_TRUE(second.Started());
  EXPECT_EQ(second.WaitForExit(), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_TRUE(second.Windows(L"WKRX_Application", false).empty());

  EXPECT_TRUE(WaitUntil([&] { return WindowText(frame) != L"Halvoren Orvendal"; }));
  EXPECT_EQ(WindowText(frame),
            L"Halvoren KRX - Sample \u2022 Signature 1 \u2022 Web 1 \u2022 Front");
  EXPECT_EQ(first.Windows(L"WKRX_SheetWindow").size(), 1u);
  PostMessageW(frame, WM_COMMAND, 10131, 0);
  EXPECT_EQ(first.WaitForExit(), 0u);
}

TEST_F(HalvorenKRX, FilesThatAreNoPreviewFilesAreReportedInOneBox) {
  const std::wstring text = m_Samples.Write(L"notes.txt", "not a preview");
  const std::wstring tiff = m_Samples.Write(L"photo.tif", std::string("II*\0\x08\0\0\0", 8));
  Program program(L"\"" + text + L"\" \"" + tiff + L"\"", m_Profile.Path());
  const HWND box = program.WaitForWindow(L"#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), L"Halvoren KRX - Invalid Preview Files Encountered");
  EXPECT_EQ(program.Windows(L"#32770").size(), 1u);
  PostMessageW(box, WM_COMMAND, IDOK, 0);

  // Nothing could be opened: one empty frame.
  const HWND frame = program.WaitForWindow(L"WKRX_SheetWindow");
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(program.Windows(L"#32770").empty());
  PostMessageW(frame, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

// The mutex is held, but no window can be found: the arguments are lost without a word.
TEST_F(HalvorenKRX, AStartWhileTheMutexIsHeldAndNoWindowExistsEndsSilently) {
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, L"com.nolt.krx.instance");
  ASSERT_NE(mutex, nullptr);
  Program program(L"\"C:\\jobs\\a.krx\"", m_Profile.Path());
  EXPECT_EQ(program.WaitForExit(), 0u);
  EXPECT_TRUE(program.Windows(L"#32770", false).empty());
  CloseHandle(mutex);
}

}  // namespace
