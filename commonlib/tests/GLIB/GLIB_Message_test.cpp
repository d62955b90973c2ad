#include "GLIB/GLIB_Message.h"

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_New.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct PingMessage : GLIB_Message {
  GLIB_String AsString() const override { return GLIB_String("PingMessage"); }
};

struct PongMessage : GLIB_Message {
  GLIB_String AsString() const override { return GLIB_String("PongMessage"); }
};

// Derives from a message class but is a class of its own.
struct LoudPingMessage : PingMessage {
  GLIB_String AsString() const override { return GLIB_String("LoudPingMessage"); }
};

struct HandlerFailure : std::runtime_error {
  HandlerFailure() : std::runtime_error("handler failed") {}
};

using Journal = std::vector<std::string>;

// A listener that writes "<name>.<handler>" to a shared journal and then runs an optional action.
class Listener : public GLIB_MessageTarget {
public:
  Listener(std::string name, Journal& journal) : m_Name(std::move(name)), m_Journal(journal) {}

  void OnPing(const PingMessage&) { Hear("ping", onPing); }
  void OnPingAgain(const PingMessage&) { Hear("ping2", onPingAgain); }
  void OnPong(const PongMessage&) { Hear("pong", onPong); }

  std::function<void()> onPing, onPingAgain, onPong;

private:
  void Hear(const char* what, const std::function<void()>& action) {
    m_Journal.push_back(m_Name + "." + what);
    // Run a copy: the action may destroy this listener and with it the original.
    if (const std::function<void()> run = action) {
      run();
    }
  }

  std::string m_Name;
  Journal& m_Journal;
};

// Counts living callbacks so tests can see who deletes them.
template <class Message>
class CountedCallback : public GLIB_Callback<Listener, Message> {
public:
  CountedCallback(const Listener* target, void (Listener::*handler)(const Message&))
      : GLIB_Callback<Listener, Message>(target, handler) {
    ++sm_Living;
  }
  ~CountedCallback() override { --sm_Living; }
  static int sm_Living;
};
template <class Message>
int CountedCallback<Message>::sm_Living = 0;

int LivingCallbacks() {
  return CountedCallback<PingMessage>::sm_Living + CountedCallback<PongMessage>::sm_Living;
}

const GLIB_CallbackBase* Ping(const Listener& l) {
  return new (__LINE__, __FILE__) CountedCallback<PingMessage>(&l, &Listener::OnPing);
}
const GLIB_CallbackBase* PingAgain(const Listener& l) {
  return new (__LINE__, __FILE__) CountedCallback<PingMessage>(&l, &Listener::OnPingAgain);
}
const GLIB_CallbackBase* Pong(const Listener& l) {
  return new (__LINE__, __FILE__) CountedCallback<PongMessage>(&l, &Listener::OnPong);
}

class MessageTest : public ::testing::Test {
protected:
  void TearDown() override { EXPECT_EQ(LivingCallbacks(), 0) << "a callback leaked"; }

  // Broadcasts one Ping and returns what was heard, clearing the journal.
  Journal PingOnce(const GLIB_MessageDispatcher& d) {
    journal.clear();
    d.BroadcastMessage(PingMessage());
    Journal heard;
    heard.swap(journal);
    return heard;
  }

  Journal journal;
};

TEST_F(MessageTest, CallbacksHearOnlyTheirExactMessageClass) {
  GLIB_MessageDispatcher d;
  Listener a("a", journal);
  d.Register(Ping(a));
  d.Register(Pong(a));

  d.BroadcastMessage(PongMessage());
  d.BroadcastMessage(LoudPingMessage());
  d.BroadcastMessage(PingMessage());
  EXPECT_EQ(journal, (Journal{"a.pong", "a.ping"}));

  EXPECT_EQ(PingMessage().AsString(), GLIB_String("PingMessage"));
  EXPECT_EQ(LoudPingMessage().AsString(), GLIB_String("LoudPingMessage"));
}

TEST_F(MessageTest, BroadcastWithoutCallbacksDoesNothingAndLaterBroadcastsWork) {
  GLIB_MessageDispatcher d;
  d.BroadcastMessage(PingMessage());
  Listener a("a", journal);
  d.Register(Ping(a));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(PingOnce(d), (Journal{"a.ping"})) << "broadcast " << i;
  }
}

TEST_F(MessageTest, CallbacksRunInRegistrationOrder) {
  GLIB_MessageDispatcher d;
  Listener a("a", journal), b("b", journal), c("c", journal);
  d.Register(Ping(b));
  d.Register(Ping(a));
  d.Register(PingAgain(b));
  d.Register(Ping(c));
  EXPECT_EQ(PingOnce(d), (Journal{"b.ping", "a.ping", "b.ping2", "c.ping"}));
}

TEST_F(MessageTest, VirtualHandlersDispatchToTheOverride) {
  struct Base : GLIB_MessageTarget {
    virtual void OnPing(const PingMessage&) { heard = "base"; }
    std::string heard;
  };
  struct Derived : Base {
    void OnPing(const PingMessage&) override { heard = "derived"; }
  };
  GLIB_MessageDispatcher d;
  Derived listener;
  d.Register(new (__LINE__, __FILE__) GLIB_Callback<Base, PingMessage>(&listener, &Base::OnPing));
  d.BroadcastMessage(PingMessage());
  EXPECT_EQ(listener.heard, "derived");
}

TEST_F(MessageTest, CallbackRegisteredDuringBroadcastHearsItOnceAfterEarlierEntries) {
  GLIB_MessageDispatcher d;
  Listener a("a", journal), b("b", journal), late("late", journal);
  d.Register(Ping(a));
  d.Register(Ping(b));
  int registrations = 0;
  a.onPing = [&] {
    if (registrations++ == 0) {
      d.Register(Ping(late));
    }
  };
  // The newcomer registers one more newcomer of its own; both hear the current broadcast.
  Listener later("later", journal);
  late.onPing = [&] {
    if (later.Dispatchers().empty()) {
      d.Register(Ping(later));
    }
  };

  EXPECT_EQ(PingOnce(d), (Journal{"a.ping", "b.ping", "late.ping", "later.ping"}));
  EXPECT_EQ(PingOnce(d), (Journal{"a.ping", "b.ping", "late.ping", "later.ping"}));
}

TEST_F(MessageTest, HandlerUnregisteringItsOwnListenerSkipsItsRemainingCallbacks) {
  GLIB_MessageDispatcher d;
  Listener a("a", journal), x("x", journal), b("b", journal);
  d.Register(Ping(a));
  d.Register(Ping(x));
  d.Register(Ping(b));
  d.Register(PingAgain(x));
  x.onPing = [&] { d.Unregister(&x); };

  EXPECT_EQ(PingOnce(d), (Journal{"a.ping", "x.ping", "b.ping"}));
  EXPECT_TRUE(x.Dispatchers().empty());
  EXPECT_EQ(LivingCallbacks(), 2);
  EXPECT_EQ(PingOnce(d), (Journal{"a.ping", "b.ping"}));
}

TEST_F(MessageTest, HandlerUnregisteringOthersNeverRepeatsOrCallsThem) {
  GLIB_MessageDispatcher d;
  Listener a("a", journal), b("b", journal), c("c", journal), e("e", journal);
  d.Register(Ping(a));
  d.Register(Ping(b));
  d.Register(Ping(c));
  d.Register(Ping(e));
  // b removes one listener already visited and one still ahead of it.
  b.onPing = [&] {
    d.Unregister(&a);
    d.Unregister(&c);
  };
  EXPECT_EQ(PingOnce(d), (Journal{"a.ping", "b.ping", "e.ping"}));
  EXPECT_EQ(PingOnce(d), (Journal{"b.ping", "e.ping"}));
}

TEST_F(MessageTest, ListenersDestroyedDuringBroadcastAreNeverCalledAgain) {
  GLIB_MessageDispatcher d;
  Listener first("first", journal);
  auto* self = new Listener("self", journal);
  auto* ahead = new Listener("ahead", journal);
  Listener last("last", journal);
  d.Register(Ping(first));
  d.Register(Ping(*self));
  d.Register(PingAgain(*self));
  d.Register(Ping(*ahead));
  d.Register(Ping(last));
  // The handler deletes a listener still ahead of it and then its own listener.
  self->onPing = [&] {
    delete ahead;
    delete self;
  };

  EXPECT_EQ(PingOnce(d), (Journal{"first.ping", "self.ping", "last.ping"}));
  EXPECT_EQ(LivingCallbacks(), 2);
  EXPECT_EQ(PingOnce(d), (Journal{"first.ping", "last.ping"}));
}

TEST_F(MessageTest, HandlerMayDestroyTheSender) {
  // With and without the handler's listener leaving first, which lets go of the last handle.
  for (const bool leaveFirst : {false, true}) {
    journal.clear();
    Listener a("a", journal), b("b", journal);
    auto* sender = new GLIB_MessageDispatcher;
    sender->Register(Ping(a));
    sender->Register(Ping(b));
    b.onPing = [&] {
      if (leaveFirst) {
        sender->Unregister(&a);
        sender->Unregister(&b);
      }
      delete sender;
    };

    sender->BroadcastMessage(PingMessage());
    EXPECT_EQ(journal, (Journal{"a.ping", "b.ping"})) << leaveFirst;
    // Otherwise the listeners hold the core until they go.
    EXPECT_EQ(a.Dispatchers().size(), leaveFirst ? 0u : 1u);
  }
}

TEST_F(MessageTest, HandlerUnregisteringEverythingEndsTheBroadcast) {
  GLIB_MessageDispatcher d;
  Listener a("a", journal), b("b", journal), c("c", journal);
  d.Register(Ping(a));
  d.Register(Ping(b));
  d.Register(Ping(c));
  b.onPing = [&] { d.UnregisterAll(); };
  EXPECT_EQ(PingOnce(d), (Journal{"a.ping", "b.ping"}));
  EXPECT_EQ(LivingCallbacks(), 0);
  EXPECT_TRUE(a.Dispatchers().empty());
  EXPECT_TRUE(c.Dispatchers().empty());
  EXPECT_EQ(PingOnce(d), Journal{});
}

TEST_F(MessageTest, ThrowingHandlerStopsTheBroadcastAndLeavesLaterOnesWhole) {
  GLIB_MessageDispatcher d;
  Listener a("a", journal), thrower("t", journal), b("b", journal);
  Listener late("late", journal), extra("extra", journal);
  d.Register(Ping(a));
  d.Register(Ping(thrower));
  d.Register(Ping(b));

  // Each round: does the thrower throw, does it register "late" first, does the first
  // listener register "extra", and what is heard.
  struct Round {
    bool fail;
    bool throwerAddsLate;
    bool firstAddsExtra;
    Journal heard;
  };
  const std::vector<Round> rounds = {
      {true, false, false, {"a.ping", "t.ping"}},
      {false, false, false, {"a.ping", "t.ping", "b.ping"}},
      {true, false, false, {"a.ping", "t.ping"}},
      {true, false, false, {"a.ping", "t.ping"}},
      {false, false, false, {"a.ping", "t.ping", "b.ping"}},
      // A change of the list before the throw stays, and the newcomer hears the next round.
      {true, true, false, {"a.ping", "t.ping"}},
      {false, false, false, {"a.ping", "t.ping", "b.ping", "late.ping"}},
      {true, false, false, {"a.ping", "t.ping"}},
      // After a throw, a change of the list early in the walk must not skip anyone behind it.
      {false, false, true, {"a.ping", "t.ping", "b.ping", "late.ping", "extra.ping"}},
      {false, false, false, {"a.ping", "t.ping", "b.ping", "late.ping", "extra.ping"}},
  };
  for (std::size_t i = 0; i < rounds.size(); ++i) {
    const Round& round = rounds[i];
    a.onPing = [&] {
      if (round.firstAddsExtra) {
        d.Register(Ping(extra));
      }
    };
    thrower.onPing = [&] {
      if (round.throwerAddsLate) {
        d.Register(Ping(late));
      }
      if (round.fail) {
        throw HandlerFailure();
      }
    };
    journal.clear();
    if (round.fail) {
      EXPECT_THROW(d.BroadcastMessage(PingMessage()), HandlerFailure) << "round " << i;
    } else {
      EXPECT_NO_THROW(d.BroadcastMessage(PingMessage())) << "round " << i;
    }
    EXPECT_EQ(journal, round.heard) << "round " << i;
  }
  a.onPing = nullptr;
  thrower.onPing = nullptr;
}

TEST_F(MessageTest, ThrowAfterUnregisteringLeavesTheRemovalInPlace) {
  GLIB_MessageDispatcher d;
  Listener a("a", journal), thrower("t", journal), b("b", journal);
  d.Register(Ping(a));
  d.Register(Ping(thrower));
  d.Register(Ping(b));
  thrower.onPing = [&] {
    d.Unregister(&a);
    throw HandlerFailure();
  };
  EXPECT_THROW(d.BroadcastMessage(PingMessage()), HandlerFailure);
  thrower.onPing = nullptr;
  EXPECT_EQ(PingOnce(d), (Journal{"t.ping", "b.ping"}));
}

TEST_F(MessageTest, HandlerMayBroadcastOnAnotherDispatcher) {
  GLIB_MessageDispatcher panels, view;
  Listener relay("relay", journal), sink("sink", journal);
  panels.Register(Ping(relay));
  view.Register(Pong(sink));
  view.Register(Ping(relay));
  relay.onPing = [&] { view.BroadcastMessage(PongMessage()); };
  panels.BroadcastMessage(PingMessage());
  EXPECT_EQ(journal, (Journal{"relay.ping", "sink.pong"}));
}

int s_fatalLogs = 0;
void CountFatalLogs(GLIB_SEVERITY severity, const wchar_t*, const char*, int) {
  s_fatalLogs += severity == GLIB_SEVERITY_FATAL ? 1 : 0;
}

TEST_F(MessageTest, NestedBroadcastOnTheSameDispatcherIsRefused) {
  GLIB_MessageDispatcher d;
  Listener a("a", journal), b("b", journal);
  d.Register(Ping(a));
  d.Register(Pong(b));
  d.Register(Ping(b));
  a.onPing = [&] { d.BroadcastMessage(PongMessage()); };
  s_fatalLogs = 0;
  const GLIB_LogHandlerPtr previous = GLIB_LogMessage::SetHandler(&CountFatalLogs);
  EXPECT_THROW(d.BroadcastMessage(PingMessage()), GLIB_FatalException);
  GLIB_LogMessage::SetHandler(previous);
  EXPECT_EQ(s_fatalLogs, 1);
  EXPECT_EQ(journal, (Journal{"a.ping"}));

  a.onPing = nullptr;
  EXPECT_EQ(PingOnce(d), (Journal{"a.ping", "b.ping"}));
}

TEST_F(MessageTest, CopiesOfADispatcherShareCallbacksAndCore) {
  Listener a("a", journal);
  {
    auto original = std::make_unique<GLIB_MessageDispatcher>();
    GLIB_MessageDispatcher copy(*original);
    GLIB_MessageDispatcher assigned;
    assigned = copy;
    EXPECT_EQ(copy.Core(), original->Core());
    EXPECT_EQ(assigned.Core(), original->Core());

    copy.Register(Ping(a));
    EXPECT_EQ(PingOnce(*original), (Journal{"a.ping"}));
    original.reset();
    EXPECT_EQ(PingOnce(assigned), (Journal{"a.ping"}));
  }
  // Every dispatcher handle is gone; the listener's own handle keeps the core and its callback.
  ASSERT_EQ(a.Dispatchers().size(), 1u);
  EXPECT_EQ(LivingCallbacks(), 1);
  EXPECT_EQ(PingOnce(a.Dispatchers().front()), (Journal{"a.ping"}));
}

TEST_F(MessageTest, DestroyedListenerLeavesEveryDispatcherAndOthersStay) {
  GLIB_MessageDispatcher d1, d2, d3;
  Listener stay("stay", journal);
  auto gone = std::make_unique<Listener>("gone", journal);
  for (const GLIB_MessageDispatcher* d : {&d1, &d2, &d3}) {
    d->Register(Ping(*gone));
    d->Register(Pong(*gone));
    d->Register(Ping(stay));
  }
  EXPECT_EQ(gone->Dispatchers().size(), 3u);
  EXPECT_EQ(LivingCallbacks(), 9);

  gone->UnregisterAll();
  EXPECT_TRUE(gone->Dispatchers().empty());
  EXPECT_EQ(LivingCallbacks(), 3);
  gone.reset();

  for (const GLIB_MessageDispatcher* d : {&d1, &d2, &d3}) {
    EXPECT_EQ(PingOnce(*d), (Journal{"stay.ping"}));
  }
  EXPECT_EQ(stay.Dispatchers().size(), 3u);
}

TEST_F(MessageTest, TargetKeepsOneOrderedHandlePerCore) {
  std::vector<std::unique_ptr<GLIB_MessageDispatcher>> dispatchers(4);
  for (auto& d : dispatchers) {
    d = std::make_unique<GLIB_MessageDispatcher>();
  }
  Listener a("a", journal);
  for (auto it = dispatchers.rbegin(); it != dispatchers.rend(); ++it) {
    (*it)->Register(Ping(a));
    (*it)->Register(PingAgain(a));
  }
  ASSERT_EQ(a.Dispatchers().size(), 4u);
  const GLIB_MessageDispatcherCore* previous = nullptr;
  for (const GLIB_MessageDispatcher& handle : a.Dispatchers()) {
    EXPECT_TRUE(previous == nullptr || std::less<const void*>()(previous, handle.Core()));
    previous = handle.Core();
  }

  EXPECT_FALSE(a.AddDispatcher(*dispatchers[1]));
  dispatchers[1]->Unregister(&a);
  EXPECT_EQ(a.Dispatchers().size(), 3u);
  EXPECT_EQ(LivingCallbacks(), 6);
  EXPECT_FALSE(a.RemoveDispatcher(*dispatchers[1]));
  EXPECT_EQ(PingOnce(*dispatchers[1]), Journal{});
}

TEST_F(MessageTest, FailedRegistrationLeavesTheCallbackWithTheCaller) {
  // A callback whose target cannot record the dispatcher.
  struct Refusing : CountedCallback<PingMessage> {
    using CountedCallback<PingMessage>::CountedCallback;
    void DidRegister(const GLIB_MessageDispatcher&) const override { throw std::bad_alloc(); }
  };
  GLIB_MessageDispatcher d;
  Listener a("a", journal);
  std::unique_ptr<Refusing> cb(new Refusing(&a, &Listener::OnPing));
  EXPECT_THROW(d.Register(cb.get()), std::bad_alloc);
  EXPECT_EQ(PingOnce(d), Journal{});
  EXPECT_TRUE(a.Dispatchers().empty());
  d.Register(nullptr);
  EXPECT_EQ(PingOnce(d), Journal{});
}

TEST_F(MessageTest, CopiedTargetStartsWithoutRegistrations) {
  GLIB_MessageDispatcher d;
  Listener a("a", journal);
  d.Register(Ping(a));
  {
    Listener copy(a);
    EXPECT_TRUE(copy.Dispatchers().empty());
    static_cast<GLIB_MessageTarget&>(copy) = a;
    EXPECT_TRUE(copy.Dispatchers().empty());
  }
  EXPECT_EQ(PingOnce(d), (Journal{"a.ping"}));
}

TEST_F(MessageTest, ObservableRegistersAndUnregistersListeners) {
  struct Announcer : GLIB_Observable {
    void Announce(const GLIB_Message& m) const { GetDispatcher().BroadcastMessage(m); }
  };
  Listener a("a", journal), b("b", journal);
  {
    Announcer announcer;
    announcer.Register(Ping(a));
    announcer.Register(Ping(b));
    announcer.Announce(PingMessage());
    EXPECT_EQ(journal, (Journal{"a.ping", "b.ping"}));

    announcer.UnregisterListener(a);
    EXPECT_TRUE(a.Dispatchers().empty());
    journal.clear();
    announcer.Announce(PingMessage());
    EXPECT_EQ(journal, (Journal{"b.ping"}));
  }
  // The observable went first; the listener lets go of the core when it goes.
  EXPECT_EQ(b.Dispatchers().size(), 1u);
}

}  // namespace
