#include "GLIB/GLIB_Globals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace {

// Hears GLIB_GlobalsMessage and can run extra work inside the broadcast.
class GlobalsListener : public GLIB_MessageTarget {
public:
  GlobalsListener() {
    m_Globals.Register(new (__LINE__, __FILE__) GLIB_Callback<GlobalsListener, GLIB_GlobalsMessage>(
        this, &GlobalsListener::OnGlobals));
  }

  int Count() const { return m_Count; }
  const GLIB_String& LastPrefix() const { return m_LastPrefix; }
  std::size_t LastCallbackCount() const { return m_LastCallbackCount; }
  std::function<void()> onMessage;

private:
  void OnGlobals(const GLIB_GlobalsMessage& message) {
    ++m_Count;
    m_LastPrefix = message.GetAutoFilePrefix();
    m_LastCallbackCount = message.GetUserMessageCallbacks().size();
    if (onMessage) {
      onMessage();
    }
  }

  GLIB_GlobalsInst m_Globals;
  int m_Count = 0;
  GLIB_String m_LastPrefix;
  std::size_t m_LastCallbackCount = 0;
};

class GlobalsTest : public ::testing::Test {
protected:
  void TearDown() override {
    m_Globals.SetAutoFilePrefix("TEMP");
    m_Globals.SetLogHandler(GLIB_DefaultLogMessageHandler);
  }

  GLIB_GlobalsInst m_Globals;
};

GLIB_WString OtherFormatter(std::uint32_t, const GLIB_WStringVector&) {
  return L"x";
}
void SilentLogHandler(GLIB_SEVERITY, const wchar_t*, const char*, int) {}

TEST_F(GlobalsTest, DefaultsAndAccessorsKeepGlobalsAlive) {
  EXPECT_EQ(GLIB_String("TEMP"), m_Globals.GetAutoFilePrefix());
  EXPECT_EQ(GLIB_LogHandlerPtr(GLIB_DefaultLogMessageHandler), m_Globals.GetLogHandler());
  EXPECT_EQ(GLIB_NewFailHandlerPtr(GLIB_DefaultNewFailHandler), m_Globals.GetNewFailHandler());
  EXPECT_EQ(GLIB_DetailMessageFormattingFunctionPtr(GLIB_DefaultMessageFormattingCallbackFunction),
            m_Globals.GetDetailMsgFmtPtr());
  EXPECT_TRUE(m_Globals.GetUserMessageCallbacks().empty());

  const std::uint32_t before = GLIB_GlobalsInst::GetRefCount();
  m_Globals.SetAutoFilePrefix("KEEP");
  {
    GLIB_GlobalsInst shortLived;
    EXPECT_EQ(before + 1, GLIB_GlobalsInst::GetRefCount());
  }
  EXPECT_EQ(before, GLIB_GlobalsInst::GetRefCount());
  EXPECT_EQ(GLIB_String("KEEP"), GLIB_GlobalsInst().GetAutoFilePrefix());
}

TEST_F(GlobalsTest, EverySetterBroadcastsOnceEvenWithoutChange) {
  GlobalsListener listener;
  m_Globals.SetLogHandler(m_Globals.GetLogHandler());
  EXPECT_EQ(1, listener.Count());
  m_Globals.SetAutoFilePrefix("JOB");
  EXPECT_EQ(2, listener.Count());
  EXPECT_EQ(GLIB_String("JOB"), listener.LastPrefix());
  m_Globals.SetNewFailHandler(m_Globals.GetNewFailHandler());
  m_Globals.SetDetailMsgFmtPtr(m_Globals.GetDetailMsgFmtPtr());
  m_Globals.NotifyObserver();
  EXPECT_EQ(5, listener.Count());
}

TEST_F(GlobalsTest, SetAllAtOnceBroadcastsOnce) {
  GlobalsListener listener;
  GLIB_UserMessageCallback user;
  const GLIB_GlobalsMessage settings(SilentLogHandler, "ALL", OtherFormatter,
                                     GLIB_DefaultNewFailHandler, {&user});
  EXPECT_EQ(GLIB_String("GLIB_GlobalsMessage"), settings.AsString());
  m_Globals.SetGLIBGlobals(settings);
  EXPECT_EQ(1, listener.Count());
  EXPECT_EQ(GLIB_LogHandlerPtr(SilentLogHandler), m_Globals.GetLogHandler());
  EXPECT_EQ(GLIB_DetailMessageFormattingFunctionPtr(OtherFormatter),
            m_Globals.GetDetailMsgFmtPtr());
  EXPECT_EQ(GLIB_String("ALL"), m_Globals.GetAutoFilePrefix());
  EXPECT_EQ(1u, m_Globals.GetUserMessageCallbacks().size());

  m_Globals.SetGLIBGlobals(GLIB_GlobalsMessage(GLIB_DefaultLogMessageHandler, "TEMP",
                                               GLIB_DefaultMessageFormattingCallbackFunction,
                                               GLIB_DefaultNewFailHandler, {}));
}

TEST_F(GlobalsTest, UserCallbacksKeepDuplicatesAndNotifyOnlyOnChange) {
  GlobalsListener listener;
  GLIB_UserMessageCallback first;
  GLIB_UserMessageCallback never;

  m_Globals.AddUserMessageCallback(nullptr);
  m_Globals.RemoveUserMessageCallback(nullptr);
  m_Globals.RemoveUserMessageCallback(&never);
  EXPECT_EQ(0, listener.Count());

  m_Globals.AddUserMessageCallback(&first);
  m_Globals.AddUserMessageCallback(&first);
  EXPECT_EQ(2, listener.Count());
  EXPECT_EQ(2u, listener.LastCallbackCount());

  m_Globals.RemoveUserMessageCallback(&first);
  EXPECT_EQ(3, listener.Count());
  EXPECT_EQ((GLIB_UserMessageCallbackVector{&first}), m_Globals.GetUserMessageCallbacks());
  m_Globals.RemoveUserMessageCallback(&first);
  EXPECT_TRUE(m_Globals.GetUserMessageCallbacks().empty());
}

TEST_F(GlobalsTest, ListenersGoWithTheirTargetOrWhenUnregistered) {
  GlobalsListener never;
  m_Globals.UnregisterListener(never);  // registered, now gone again
  m_Globals.SetAutoFilePrefix("A");
  EXPECT_EQ(0, never.Count());
  { GlobalsListener shortLived; }
  m_Globals.SetAutoFilePrefix("B");  // a destroyed listener must not be called

  GlobalsListener listener;
  m_Globals.UnregisterAllListeners();
  m_Globals.SetAutoFilePrefix("C");
  EXPECT_EQ(0, listener.Count());
}

TEST_F(GlobalsTest, ListenerExceptionPropagatesAndValueStays) {
  GlobalsListener listener;
  listener.onMessage = [] { throw 5; };
  EXPECT_THROW(m_Globals.SetAutoFilePrefix("THROWN"), int);
  listener.onMessage = nullptr;
  // The lock was released: another thread can take it.
  GLIB_String seen;
  std::thread other([&seen] { seen = GLIB_GlobalsInst().GetAutoFilePrefix(); });
  other.join();
  EXPECT_EQ(GLIB_String("THROWN"), seen);
}

TEST_F(GlobalsTest, ListenerMayUseTheGlobalsAgainOnItsThread) {
  m_Globals.SetLogHandler(SilentLogHandler);
  GlobalsListener listener;
  GLIB_String seenInside;
  listener.onMessage = [&seenInside] {
    // Each of these takes the lock that the broadcasting setter holds.
    GLIB_GlobalsInst inner;
    seenInside = inner.GetAutoFilePrefix();
    GLIB_LogMessage::Log(GLIB_SEVERITY_INFO, "inside a listener", __FILE__, __LINE__);
    delete new (__LINE__, __FILE__) int(1);
    inner.AddUserMessageCallback(nullptr);  // ignored, so no nested broadcast
  };
  m_Globals.SetAutoFilePrefix("OUTER");
  EXPECT_EQ(GLIB_String("OUTER"), seenInside);
  EXPECT_EQ(1, listener.Count());
}

TEST_F(GlobalsTest, LockKeepsOtherThreadsOutWhileListenersRun) {
  GlobalsListener listener;
  std::atomic<bool> inside{false};
  std::atomic<bool> otherReturnedWhileInside{false};
  listener.onMessage = [&inside] {
    inside = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    inside = false;
  };
  std::thread other([&] {
    while (!inside) {
      std::this_thread::yield();
    }
    GLIB_GlobalsInst().GetAutoFilePrefix();
    otherReturnedWhileInside = inside.load();
  });
  m_Globals.SetAutoFilePrefix("LOCKED");
  other.join();
  EXPECT_FALSE(otherReturnedWhileInside);
}

std::atomic<int> g_concurrentLogs{0};
void CountingLogHandler(GLIB_SEVERITY, const wchar_t*, const char*, int) {
  ++g_concurrentLogs;
}

TEST_F(GlobalsTest, ThreadsLogAllocateAndChangeSettingsTogether) {
  m_Globals.SetLogHandler(CountingLogHandler);
  g_concurrentLogs = 0;
  const int kThreads = 4;
  const int kRounds = 300;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kRounds; ++i) {
        GLIB_GlobalsInst globals;
        if (t % 2 == 0) {
          globals.SetAutoFilePrefix(GLIB_String(t == 0 ? "EVEN" : "ZERO"));
        } else {
          globals.GetAutoFilePrefix();
        }
        GLIB_LogMessage::Log(GLIB_SEVERITY_INFO, "busy", __FILE__, __LINE__);
        delete new (__LINE__, __FILE__) int(i);
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(kThreads * kRounds, g_concurrentLogs.load());
  const GLIB_String prefix = m_Globals.GetAutoFilePrefix();
  EXPECT_TRUE(prefix == "EVEN" || prefix == "ZERO") << prefix;
}

TEST_F(GlobalsTest, ExceptionHandlingReserveIsReleasedOnce) {
  // Another test may have released it already; releasing again must stay harmless.
  m_Globals.FreeExceptionHandlingMemory();
  EXPECT_FALSE(m_Globals.HasExceptionHandlingMemory());
  m_Globals.FreeExceptionHandlingMemory();
  EXPECT_FALSE(m_Globals.HasExceptionHandlingMemory());
}

TEST(GlobalsObject, FreshGlobalsHoldReserveAndNotifyOnlyWithDispatcher) {
  GLIB_Globals globals;
  EXPECT_TRUE(globals.HasExceptionHandlingMemory());
  EXPECT_EQ(GLIB_String("TEMP"), globals.GetAutoFilePrefix());
  globals.UnregisterAllListeners();  // no dispatcher yet: nothing to do
  globals.SetAutoFilePrefix("NO DISPATCHER");
  globals.FreeExceptionHandlingMemory();
  EXPECT_FALSE(globals.HasExceptionHandlingMemory());
  globals.FreeExceptionHandlingMemory();

  GLIB_Globals listened;
  struct Target : GLIB_MessageTarget {
    int count = 0;
    void On(const GLIB_GlobalsMessage&) { ++count; }
  } target;
  listened.UnregisterListener(target);  // before any Register: nothing happens
  listened.Register(new (__LINE__, __FILE__)
                        GLIB_Callback<Target, GLIB_GlobalsMessage>(&target, &Target::On));
  listened.SetAutoFilePrefix("X");
  EXPECT_EQ(1, target.count);
}

TEST(GlobalsLock, PlatformMutexIsRecursive) {
  std::size_t size = 0;
  iGLIB_GlobalsMutex* mutex = iGLIB_NewGlobalsPlatformMutex(size);
  EXPECT_GE(size, sizeof(iGLIB_GlobalsMutex));
  mutex->Acquire();
  mutex->Acquire();
  mutex->Release();
  mutex->Release();
  delete mutex;
}

}  // namespace
