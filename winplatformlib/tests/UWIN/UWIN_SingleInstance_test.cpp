#include "UWIN/UWIN_SingleInstance.h"

#include "support/UWIN_ForwardHelper.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr ULONG_PTR kCommandLineData = 0xB001;

struct ReceivedCopy {
  WPARAM wParam;
  ULONG_PTR dwData;
  std::vector<unsigned char> bytes;
};

std::mutex sm_ReceivedLock;
std::vector<ReceivedCopy> sm_Received;

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    auto const* data = reinterpret_cast<COPYDATASTRUCT const*>(lParam);
    auto const* bytes = static_cast<unsigned char const*>(data->lpData);
    std::lock_guard<std::mutex> lock(sm_ReceivedLock);
    sm_Received.push_back({wParam, data->dwData, {bytes, bytes + data->cbData}});
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

std::vector<ReceivedCopy> TakeReceived() {
  std::lock_guard<std::mutex> lock(sm_ReceivedLock);
  return std::move(sm_Received);
}

// The text a hand-over must carry: the command line's UTF-16 units and the terminating 0.
std::vector<unsigned char> HandOverBytes(std::wstring const& commandLine) {
  auto const* first = reinterpret_cast<unsigned char const*>(commandLine.c_str());
  return {first, first + (commandLine.size() + 1) * sizeof(wchar_t)};
}

// Receiver windows of one class named for this process; the title is the running instance's.
class UWIN_SingleInstanceTest : public testing::Test {
protected:
  void SetUp() override {
    TakeReceived();
    m_ClassName = UWIN_TestObjectName(L"UWIN_TestReceiver");
    m_Title = UWIN_TestObjectName(L"uwin.test.instance");
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ReceiverProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = m_ClassName.c_str();
    RegisterClassW(&windowClass);  // already registered by an earlier case: fine
  }

  HWND CreateReceiver(wchar_t const* title) const {
    return CreateWindowExW(0, m_ClassName.c_str(), title, WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  }

  std::wstring m_ClassName;
  std::wstring m_Title;
};

// Runs the test program as a second instance with extra arguments, dispatching this thread's
// messages until it ends. Returns its exit code and its command line.
DWORD RunForwardHelper(std::wstring const& mutexName, std::wstring const& className,
                       std::wstring const& title, std::wstring& commandLine) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  commandLine = L"\"" + std::wstring(path) + L"\" " +
                std::wstring(UWIN_kForwardHelperSwitch,
                             UWIN_kForwardHelperSwitch + std::strlen(UWIN_kForwardHelperSwitch)) +
                L" " + mutexName + L" " + className + L" " + title +
                L" \"two  words\" caf\u00e9 \u4e2d";
  std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
  writable.push_back(0);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(path, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return 0xFFFFFFFF;
  auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    DWORD const wait = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0)
      break;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&message);
  }
  DWORD exitCode = 0xFFFFFFFE;
  if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &exitCode);
  else
    TerminateProcess(process.hProcess, 0xFFFFFFFE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exitCode;
}

TEST_F(UWIN_SingleInstanceTest, GuardFindsAnInstanceOnlyWhileOneHoldsTheMutex) {
  std::wstring const name = UWIN_TestObjectName(L"uwin.test.guard");
  {
    UWIN_SingleInstance first(name.c_str());
    EXPECT_FALSE(first.IsAlreadyRunning());
    UWIN_SingleInstance second(name.c_str());
    EXPECT_TRUE(second.IsAlreadyRunning());
    EXPECT_TRUE(second.Close());
    EXPECT_FALSE(second.Close());
    EXPECT_TRUE(second.IsAlreadyRunning());
  }
  // Both guards are gone, and with them the mutex.
  UWIN_SingleInstance again(name.c_str());
  EXPECT_FALSE(again.IsAlreadyRunning());
}

TEST_F(UWIN_SingleInstanceTest, SecondProcessHandsOverItsExactCommandLine) {
  std::wstring const mutexName = UWIN_TestObjectName(L"uwin.test.mutex");
  UWIN_SingleInstance running(mutexName.c_str());
  ASSERT_FALSE(running.IsAlreadyRunning());
  HWND const window = CreateReceiver(m_Title.c_str());
  ASSERT_NE(window, nullptr);

  std::wstring commandLine;
  EXPECT_EQ(RunForwardHelper(mutexName, m_ClassName, m_Title, commandLine), 0u);
  DestroyWindow(window);

  std::vector<ReceivedCopy> const received = TakeReceived();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].wParam, 0u);
  EXPECT_EQ(received[0].dwData, kCommandLineData);
  ASSERT_EQ(received[0].bytes.size() % 2, 0u);
  ASSERT_GE(received[0].bytes.size(), 2u);
  EXPECT_EQ(received[0].bytes[received[0].bytes.size() - 1], 0);
  EXPECT_EQ(received[0].bytes[received[0].bytes.size() - 2], 0);
  EXPECT_EQ(received[0].bytes, HandOverBytes(commandLine));
}

TEST_F(UWIN_SingleInstanceTest, SecondProcessWithoutRunningInstanceSendsNothing) {
  HWND const window = CreateReceiver(m_Title.c_str());
  ASSERT_NE(window, nullptr);
  std::wstring commandLine;
  EXPECT_EQ(
      RunForwardHelper(UWIN_TestObjectName(L"uwin.test.nobody"), m_ClassName, m_Title, commandLine),
      static_cast<DWORD>(UWIN_kForwardHelperNotSecond));
  DestroyWindow(window);
  EXPECT_TRUE(TakeReceived().empty());
}

TEST_F(UWIN_SingleInstanceTest, NoWindowSendsNothingAndFailsWithAnErrorCode) {
  // A window of the class under another title must not be taken for the running instance.
  HWND const other = CreateReceiver(L"some other title");
  ASSERT_NE(other, nullptr);

  struct Case {
    int tries;
    DWORD pause;
    long long minimumMilliseconds;
  };
  for (Case const& c : {Case{0, 200, 0}, Case{1, 20, 20}, Case{4, 20, 80}}) {
    SCOPED_TRACE(c.tries);
    SetLastError(0);
    auto const start = std::chrono::steady_clock::now();
    DWORD const result = UWIN_SingleInstance::ForwardCommandLine(
        m_ClassName.c_str(), m_Title.c_str(), kCommandLineData, c.pause, c.tries);
    auto const elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    EXPECT_NE(result, 0u);
    // Sleep may end a little early on the tick's granularity.
    EXPECT_GE(elapsed + 16 * c.tries, c.minimumMilliseconds);
  }
  DestroyWindow(other);
  EXPECT_TRUE(TakeReceived().empty());
}

// A receiver window on a thread of its own, created after a delay; the thread dispatches its
// messages until told to end, or blocks without dispatching when hung.
class ReceiverThread {
public:
  ReceiverThread(std::wstring className, std::wstring title, DWORD delay, bool hung)
      : m_Release(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    m_Thread = std::thread([=] {
      Sleep(delay);
      HWND const window =
          CreateWindowExW(0, className.c_str(), title.c_str(), WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                          nullptr, GetModuleHandleW(nullptr), nullptr);
      if (hung)
        WaitForSingleObject(m_Release, INFINITE);
      while (MsgWaitForMultipleObjects(1, &m_Release, FALSE, INFINITE, QS_ALLINPUT) !=
             WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
          DispatchMessageW(&message);
      }
      DestroyWindow(window);
    });
  }

  ~ReceiverThread() {
    SetEvent(m_Release);
    m_Thread.join();
    CloseHandle(m_Release);
  }

private:
  HANDLE m_Release;
  std::thread m_Thread;
};

TEST_F(UWIN_SingleInstanceTest, WindowAppearingAfterSomeTriesReceivesTheCommandLine) {
  {
    ReceiverThread receiver(m_ClassName, m_Title, 100, false);
    EXPECT_EQ(UWIN_SingleInstance::ForwardCommandLine(m_ClassName.c_str(), m_Title.c_str(), 0x1234,
                                                      20, 100),
              0u);
  }
  std::vector<ReceivedCopy> const received = TakeReceived();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].dwData, 0x1234u);
  EXPECT_EQ(received[0].bytes, HandOverBytes(GetCommandLineW()));
}

TEST_F(UWIN_SingleInstanceTest, HungRunningInstanceDoesNotHoldTheSecondForever) {
  ReceiverThread receiver(m_ClassName, m_Title, 0, true);
  while (!FindWindowW(m_ClassName.c_str(), m_Title.c_str()))
    Sleep(5);
  auto const start = std::chrono::steady_clock::now();
  DWORD const result = UWIN_SingleInstance::ForwardCommandLine(m_ClassName.c_str(), m_Title.c_str(),
                                                               kCommandLineData, 20, 10, 300);
  auto const elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_NE(result, 0u);
  EXPECT_LT(elapsed, std::chrono::seconds(20));
}

}  // namespace
