#include <gtest/gtest.h>

#include <atlapp.h>

#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "AtlTestSupport.h"
#include "GLIB/GLIB_Exception.h"

namespace {

// Notes each WM_APP + 1 in the shared journal; WM_APP throws a fatal exception.
class Recorder : public CWindowImpl<Recorder, CWindow, CFrameWinTraits> {
public:
  std::vector<int>* m_Journal = nullptr;

  BEGIN_MSG_MAP(Recorder)
  MESSAGE_HANDLER(WM_APP, OnFail)
  MESSAGE_HANDLER(WM_APP + 1, OnNote)
  END_MSG_MAP()

  LRESULT OnFail(UINT, WPARAM, LPARAM, BOOL&) {
    throw GLIB_Exception(9, static_cast<const char*>(nullptr), nullptr, 0);
  }
  LRESULT OnNote(UINT, WPARAM wParam, LPARAM, BOOL&) {
    m_Journal->push_back(static_cast<int>(wParam));
    return 0;
  }
};

constexpr int kIdle = -1;

// An idle handler that runs a step on each call and notes the call.
class IdleStep : public CIdleHandler {
public:
  IdleStep(std::vector<int>& journal, std::function<void(int)> step)
      : m_Journal(journal),
        m_Step(std::move(step)) {}
  BOOL OnIdle() override {
    m_Journal.push_back(kIdle);
    m_Step(++m_Calls);
    return FALSE;
  }
  int m_Calls = 0;

private:
  std::vector<int>& m_Journal;
  std::function<void(int)> m_Step;
};

class ConsumingFilter : public CMessageFilter {
public:
  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message != WM_APP + 1) {
      return FALSE;
    }
    ++m_Seen;
    return msg->wParam == 2;
  }
  int m_Seen = 0;
};

class MessageLoopTest : public GuardCapturingTest {
protected:
  void SetUp() override {
    GuardCapturingTest::SetUp();
    m_Window.m_Journal = &m_Journal;
    ASSERT_NE(m_Window.Create(nullptr), nullptr);
  }
  void TearDown() override {
    m_Window.DestroyWindow();
    AtlPumpWaitingMessages();
    GuardCapturingTest::TearDown();
  }
  void Note(int value) { m_Window.PostMessage(WM_APP + 1, static_cast<WPARAM>(value)); }

  Recorder m_Window;
  std::vector<int> m_Journal;
  CMessageLoop m_Loop;
};

TEST_F(MessageLoopTest, AConsumingFilterEndsAMessagesRoad) {
  ConsumingFilter filter;
  ConsumingFilter second;
  m_Loop.AddMessageFilter(&filter);
  m_Loop.AddMessageFilter(&second);
  IdleStep quit(m_Journal, [](int) { PostQuitMessage(5); });
  m_Loop.AddIdleHandler(&quit);
  Note(1);
  Note(2);
  Note(3);
  EXPECT_EQ(m_Loop.Run(), 5);
  EXPECT_EQ(m_Journal, (std::vector<int>{1, 3, kIdle}));
  EXPECT_EQ(filter.m_Seen, 3);
  EXPECT_EQ(second.m_Seen, 2) << "the consumed message goes to no later filter";
}

TEST_F(MessageLoopTest, IdleHandlersRunOnceEachTimeTheQueueEmpties) {
  IdleStep step(m_Journal, [this](int call) {
    if (call == 1) {
      Note(3);
      Note(4);
    } else {
      PostQuitMessage(0);
    }
  });
  m_Loop.AddIdleHandler(&step);
  Note(1);
  Note(2);
  EXPECT_EQ(m_Loop.Run(), 0);
  EXPECT_EQ(m_Journal, (std::vector<int>{1, 2, kIdle, 3, 4, kIdle}));
}

TEST_F(MessageLoopTest, HandlersMayLeaveAndJoinDuringAWalk) {
  IdleStep* self = nullptr;
  std::vector<int> laterJournal;
  IdleStep later(laterJournal, [](int) {});
  IdleStep leaving(m_Journal, [&](int) {
    m_Loop.RemoveIdleHandler(self);
    m_Loop.AddIdleHandler(&later);
  });
  self = &leaving;
  IdleStep counting(m_Journal, [this](int call) {
    if (call == 1) {
      Note(1);
    } else {
      PostQuitMessage(0);
    }
  });
  m_Loop.AddIdleHandler(&leaving);
  m_Loop.AddIdleHandler(&counting);
  m_Loop.Run();
  EXPECT_EQ(leaving.m_Calls, 1);
  EXPECT_EQ(counting.m_Calls, 2) << "the walk goes on past the handler that left";
  EXPECT_EQ(later.m_Calls, 1) << "a handler added during a walk runs from the next one";
  EXPECT_FALSE(m_Loop.RemoveIdleHandler(&leaving));

  // A filter that leaves while it runs.
  class LeavingFilter : public CMessageFilter {
  public:
    CMessageLoop* m_Loop = nullptr;
    int m_Seen = 0;
    BOOL PreTranslateMessage(MSG*) override {
      ++m_Seen;
      m_Loop->RemoveMessageFilter(this);
      return FALSE;
    }
  } leavingFilter;
  leavingFilter.m_Loop = &m_Loop;
  EXPECT_TRUE(m_Loop.AddMessageFilter(&leavingFilter));
  EXPECT_FALSE(m_Loop.AddMessageFilter(&leavingFilter)) << "a filter is listed once";
  m_Loop.RemoveIdleHandler(&counting);
  m_Loop.RemoveIdleHandler(&later);
  IdleStep quit(m_Journal, [](int) { PostQuitMessage(0); });
  m_Loop.AddIdleHandler(&quit);
  Note(7);
  Note(8);
  m_Loop.Run();
  EXPECT_EQ(leavingFilter.m_Seen, 1);
  EXPECT_EQ(m_Journal.back(), kIdle);
  EXPECT_EQ(m_Journal[m_Journal.size() - 2], 8);
}

TEST_F(MessageLoopTest, AFatalInAHandlerEndsRunAndIsRethrown) {
  IdleStep quit(m_Journal, [](int) { PostQuitMessage(0); });
  m_Loop.AddIdleHandler(&quit);
  Note(1);
  m_Window.PostMessage(WM_APP);
  Note(2);
  EXPECT_THROW(m_Loop.Run(), GLIB_FatalException);
  EXPECT_EQ(m_Journal, (std::vector<int>{1}));
  EXPECT_FALSE(GLIB_IsFatalPending());

  // The same from a message a filter sends on.
  class SendingFilter : public CMessageFilter {
  public:
    HWND m_Target = nullptr;
    BOOL PreTranslateMessage(MSG* msg) override {
      if (msg->message == WM_APP + 1 && msg->wParam == 3) {
        ::SendMessageW(m_Target, WM_APP, 0, 0);
        return TRUE;
      }
      return FALSE;
    }
  } sending;
  sending.m_Target = m_Window;
  CMessageLoop loop;
  loop.AddMessageFilter(&sending);
  loop.AddIdleHandler(&quit);
  AtlPumpWaitingMessages();
  m_Journal.clear();
  Note(3);
  Note(4);
  EXPECT_THROW(loop.Run(), GLIB_FatalException);
  EXPECT_TRUE(m_Journal.empty());
}

TEST(AppModule, OneLoopPerThread) {
  CAppModule module;
  CMessageLoop first;
  CMessageLoop second;
  EXPECT_EQ(module.GetMessageLoop(), nullptr);
  EXPECT_TRUE(module.AddMessageLoop(&first));
  EXPECT_FALSE(module.AddMessageLoop(&second));
  EXPECT_EQ(module.GetMessageLoop(), &first);
  CMessageLoop* seenElsewhere = &first;
  std::thread([&] {
    seenElsewhere = module.GetMessageLoop();
    CMessageLoop own;
    EXPECT_TRUE(module.AddMessageLoop(&own));
    EXPECT_TRUE(module.RemoveMessageLoop());
  }).join();
  EXPECT_EQ(seenElsewhere, nullptr);
  EXPECT_EQ(module.GetMessageLoop(GetCurrentThreadId()), &first);
  EXPECT_TRUE(module.RemoveMessageLoop());
  EXPECT_FALSE(module.RemoveMessageLoop());
  EXPECT_EQ(module.GetMessageLoop(), nullptr);
}

}  // namespace
