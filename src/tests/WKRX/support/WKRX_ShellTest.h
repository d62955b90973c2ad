// What the tests of the application shell share: a folder of the test's own, sample preview
// files, a message pump, and a fixture that answers for the system (keys, ticks, locale, version,
// command line), records message boxes and help calls, and keeps preferences in a registry key of
// its own.
#pragma once

#include "WKRX/WKRX_HtmlHelp.h"
#include "WKRX/WKRX_Preferences.h"
#include "WKRX/WKRX_System.h"
#include "support/WKRX_MessageBoxRecorder.h"

#include "PreviewFileWriter.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <filesystem>
#include <string>
#include <vector>

// A folder under the temporary folder, removed with everything in it.
class WKRX_TestFolder {
public:
  WKRX_TestFolder() {
    static std::atomic<int> sm_Count{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    m_Path = std::filesystem::temp_directory_path() /
             (L"wkrx_shell_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
              std::to_wstring(stamp) + L"_" + std::to_wstring(++sm_Count));
    std::filesystem::create_directories(m_Path);
  }
  ~WKRX_TestFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_Path, ignored);
  }
  WKRX_TestFolder(const WKRX_TestFolder&) = delete;
  WKRX_TestFolder& operator=(const WKRX_TestFolder&) = delete;

  // With its closing backslash.
  std::wstring Path() const { return m_Path.wstring() + L"\\"; }
  std::wstring File(const std::wstring& name) const { return Path() + name; }

  // Writes bytes to a file of the folder and gives its path.
  std::wstring Write(const std::wstring& name, const std::string& bytes) const {
    const std::wstring path = File(name);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
  }

  // A valid preview file of one sheet's separation: the job's title tells sheets apart.
  std::wstring WritePreview(const std::wstring& name, const std::string& title,
                            std::uint16_t surface = 0, const std::string& ink = "Black") const {
    PreviewFixture::PreviewFile file = PreviewFixture::PreviewFile::Make(512, 512, 8);
    file.job.title = title;
    file.job.surface = surface;
    file.job.inkName = ink;
    const std::wstring path = File(name);
    PreviewFixture::Write(std::filesystem::path(path).u8string(), file);
    return path;
  }

private:
  std::filesystem::path m_Path;
};

// Handles what is queued for this thread; true when a WM_QUIT was among it.
// The number of values a key of the current user holds; -1 when there is no such key.
inline int WKRX_RegistryValueCount(wchar_t const* keyPath) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return -1;
  DWORD values = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return static_cast<int>(values);
}

inline bool WKRX_PumpMessages() {
  bool quit = false;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit = true;
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return quit;
}

class WKRX_ShellTest : public testing::Test {
protected:
  void SetUp() override {
    m_System = WKRX_System::Native();
    m_System.asyncKeyState = [this](int key) -> SHORT {
      const bool down = (key == VK_CONTROL && m_ControlDown) || (key == VK_SHIFT && m_ShiftDown);
      return down ? static_cast<SHORT>(0x8000) : 0;
    };
    m_System.tickCount = [this] { return m_Tick; };
    m_System.localeInfo = [this](LCTYPE type, GLIB_WString& value) {
      if (m_Language.empty())
        return false;
      value = type == LOCALE_SISO639LANGNAME ? m_Language : m_Country;
      return true;
    };
    m_System.windowsVersionQualifies = [this] { return m_SystemQualifies; };
    m_System.commandLine = [this] { return m_CommandLine; };
    m_Scope = std::make_unique<WKRX_SystemScope>(m_System);
    m_Boxes = std::make_unique<WKRX_MessageBoxRecorder>();

    m_PreviousHelp =
        WKRX_HtmlHelp::Replace([this](HWND, const wchar_t*, UINT command, DWORD_PTR) -> HWND {
          m_HelpCommands.push_back(command);
          return nullptr;
        });
    m_KeyPath = L"Software\\Nolt\\WKRX shell tests " + std::to_wstring(GetCurrentProcessId());
    WKRX_Preferences::SetRegistryKeyPath(m_KeyPath);
  }

  void TearDown() override {
    WKRX_PumpMessages();
    WKRX_Preferences::SetRegistryKeyPath(GLIB_WString());
    RegDeleteTreeW(HKEY_CURRENT_USER, m_KeyPath.c_str());
    WKRX_HtmlHelp::Replace(std::move(m_PreviousHelp));
    m_Boxes.reset();
    m_Scope.reset();
  }

  // The number of values the preferences key holds; -1 when there is no key.
  int StoredPreferenceCount() const { return WKRX_RegistryValueCount(m_KeyPath.c_str()); }

  WKRX_System m_System;
  std::unique_ptr<WKRX_SystemScope> m_Scope;
  // Boxes are answered in turn with answers (IDOK once they run out).
  void AnswerBoxes(std::deque<int> answers) {
    m_Boxes.reset();
    m_Boxes = std::make_unique<WKRX_MessageBoxRecorder>(std::move(answers));
  }
  const std::vector<WKRX_MessageBoxCall>& Boxes() const { return m_Boxes->Calls(); }

  std::unique_ptr<WKRX_MessageBoxRecorder> m_Boxes;
  bool m_ControlDown = false;
  bool m_ShiftDown = false;
  DWORD m_Tick = 1000;
  GLIB_WString m_Language = L"en";
  GLIB_WString m_Country = L"US";
  bool m_SystemQualifies = true;
  GLIB_WString m_CommandLine = L"HalvorenKRX.exe";
  std::vector<UINT> m_HelpCommands;
  WKRX_HtmlHelpFunction m_PreviousHelp;
  std::wstring m_KeyPath;
};
