#include <gtest/gtest.h>

#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "AtlTestSupport.h"
#include "GLIB/GLIB_Exception.h"

namespace {

constexpr UINT kRangeFirst = WM_APP + 10;
constexpr UINT kRangeLast = WM_APP + 12;

// A map that others chain to, with an alternate section; it keeps the trace of every handler.
class BaseMap {
public:
  std::string m_Trace;

  BEGIN_MSG_MAP(BaseMap)
  MESSAGE_HANDLER(WM_APP + 1, OnBase)
  ALT_MSG_MAP(1)
  MESSAGE_HANDLER(WM_APP + 2, OnAlt)
  END_MSG_MAP()

  LRESULT OnBase(UINT, WPARAM, LPARAM, BOOL&) { return Note("base"); }
  LRESULT OnAlt(UINT, WPARAM, LPARAM, BOOL&) { return Note("base alt"); }

  virtual ~BaseMap() = default;

protected:
  LRESULT Note(const char* which) {
    m_Trace += m_Trace.empty() ? which : std::string(", ") + which;
    return 1;
  }
};

class Mapped : public CWindowImpl<Mapped, CWindow, CFrameWinTraits>, public BaseMap {
public:
  bool m_PassOn = false;

  BEGIN_MSG_MAP(Mapped)
  MESSAGE_HANDLER(WM_APP, OnMessage)
  MESSAGE_RANGE_HANDLER(kRangeFirst, kRangeLast, OnRange)
  COMMAND_HANDLER(5, 9, OnCommandAndCode)
  COMMAND_ID_HANDLER(5, OnCommandId)
  COMMAND_RANGE_HANDLER(20, 29, OnCommandRange)
  NOTIFY_HANDLER(5, 77, OnNotifyIdAndCode)
  NOTIFY_CODE_HANDLER(77, OnNotifyCode)
  CHAIN_MSG_MAP(BaseMap)
  CHAIN_MSG_MAP_ALT(BaseMap, 1)
  END_MSG_MAP()

  LRESULT OnMessage(UINT, WPARAM, LPARAM, BOOL& bHandled) { return Passing(bHandled, "message"); }
  LRESULT OnRange(UINT, WPARAM, LPARAM, BOOL& bHandled) { return Passing(bHandled, "range"); }
  LRESULT OnCommandAndCode(WORD, WORD, HWND, BOOL& bHandled) {
    return Passing(bHandled, "command and code");
  }
  LRESULT OnCommandId(WORD, WORD, HWND, BOOL& bHandled) { return Passing(bHandled, "command id"); }
  LRESULT OnCommandRange(WORD, WORD, HWND, BOOL& bHandled) {
    return Passing(bHandled, "command range");
  }
  LRESULT OnNotifyIdAndCode(int, LPNMHDR, BOOL& bHandled) {
    return Passing(bHandled, "notify id and code");
  }
  LRESULT OnNotifyCode(int, LPNMHDR, BOOL& bHandled) { return Passing(bHandled, "notify code"); }

private:
  // With m_PassOn a handler clears bHandled, and the message goes on to the next entry.
  LRESULT Passing(BOOL& bHandled, const char* which) {
    Note(which);
    if (m_PassOn) {
      bHandled = FALSE;
    }
    return 1;
  }
};

struct MapCase {
  UINT m_Message;
  WPARAM m_WParam;
  UINT_PTR m_NotifyId;
  UINT m_NotifyCode;
  const char* m_Handled;   // the trace when the handler keeps the message
  const char* m_PassedOn;  // the trace when each handler passes it on
};

class MessageMapTest : public testing::TestWithParam<MapCase> {};

TEST_P(MessageMapTest, RoutesToTheFirstMatchingEntry) {
  const MapCase& c = GetParam();
  for (bool passOn : {false, true}) {
    Mapped window;
    ASSERT_NE(window.Create(nullptr), nullptr);
    window.m_PassOn = passOn;
    NMHDR header = {window, c.m_NotifyId, c.m_NotifyCode};
    const LPARAM lParam = c.m_Message == WM_NOTIFY ? reinterpret_cast<LPARAM>(&header) : 0;
    window.m_Trace.clear();
    window.SendMessage(c.m_Message, c.m_WParam, lParam);
    EXPECT_EQ(window.m_Trace, passOn ? c.m_PassedOn : c.m_Handled) << "passing on: " << passOn;
    window.DestroyWindow();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, MessageMapTest,
    testing::Values(MapCase{WM_APP, 0, 0, 0, "message", "message"},
                    MapCase{kRangeFirst, 0, 0, 0, "range", "range"},
                    MapCase{kRangeLast, 0, 0, 0, "range", "range"},
                    MapCase{kRangeLast + 1, 0, 0, 0, "", ""},
                    MapCase{WM_COMMAND, MAKEWPARAM(5, 9), 0, 0, "command and code",
                            "command and code, command id"},
                    MapCase{WM_COMMAND, MAKEWPARAM(5, 1), 0, 0, "command id", "command id"},
                    MapCase{WM_COMMAND, MAKEWPARAM(20, 0), 0, 0, "command range", "command range"},
                    MapCase{WM_COMMAND, MAKEWPARAM(29, 0), 0, 0, "command range", "command range"},
                    MapCase{WM_COMMAND, MAKEWPARAM(30, 0), 0, 0, "", ""},
                    MapCase{WM_NOTIFY, 5, 5, 77, "notify id and code",
                            "notify id and code, notify code"},
                    MapCase{WM_NOTIFY, 6, 6, 77, "notify code", "notify code"},
                    MapCase{WM_NOTIFY, 5, 5, 78, "", ""},
                    // Chained: the base's main section, then its alternate one.
                    MapCase{WM_APP + 1, 0, 0, 0, "base", "base"},
                    MapCase{WM_APP + 2, 0, 0, 0, "base alt", "base alt"}));

TEST(MessageMap, AnUnhandledMessageReachesTheDefaultProcedure) {
  Mapped window;
  ASSERT_NE(window.Create(nullptr, nullptr, L"title"), nullptr);
  wchar_t text[16] = {};
  // WM_GETTEXT is nobody's: DefWindowProcW answers it.
  EXPECT_EQ(window.SendMessage(WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text)), 5);
  EXPECT_EQ(std::wstring(text), L"title");
  window.m_PassOn = true;
  // A handler that passes on leaves the result to the default procedure.
  EXPECT_EQ(window.SendMessage(WM_APP), 0);
  window.DestroyWindow();
}

// Reflection: the parent sends a child's notifications back to it.
class ReflectingParent : public CWindowImpl<ReflectingParent, CWindow, CFrameWinTraits> {
public:
  BEGIN_MSG_MAP(ReflectingParent)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
};

class ReflectedChild : public CWindowImpl<ReflectedChild> {
public:
  std::vector<UINT> m_Reflected;

  BEGIN_MSG_MAP(ReflectedChild)
  MESSAGE_HANDLER(OCM_COMMAND, OnReflected)
  REFLECTED_NOTIFY_CODE_HANDLER(77, OnNotify)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

  LRESULT OnReflected(UINT uMsg, WPARAM, LPARAM, BOOL&) {
    m_Reflected.push_back(uMsg);
    return 11;
  }
  LRESULT OnNotify(int, LPNMHDR, BOOL&) {
    m_Reflected.push_back(OCM_NOTIFY);
    return 12;
  }
};

TEST(Reflection, NotificationsGoBackToTheChild) {
  ReflectingParent parent;
  ASSERT_NE(parent.Create(nullptr), nullptr);
  ReflectedChild child;
  RECT r = {0, 0, 30, 30};
  ASSERT_NE(child.Create(parent, r, nullptr, 0, 0, 5U), nullptr);

  EXPECT_EQ(parent.SendMessage(WM_COMMAND, MAKEWPARAM(5, BN_CLICKED),
                               reinterpret_cast<LPARAM>(child.m_hWnd)),
            11);
  NMHDR header = {child, 5, 77};
  EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 12);
  EXPECT_EQ(child.m_Reflected, (std::vector<UINT>{OCM__BASE + WM_COMMAND, OCM__BASE + WM_NOTIFY}));

  // Unhandled reflected messages get DefWindowProcW with the original message: a colour
  // message answers the system's brush.
  HDC dc = child.GetDC();
  const LRESULT brush = parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(child.m_hWnd));
  EXPECT_EQ(brush, DefWindowProcW(child, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                  reinterpret_cast<LPARAM>(child.m_hWnd)));
  EXPECT_NE(brush, 0);
  child.ReleaseDC(dc);

  // Without a child to send to, the parent does not handle the message.
  EXPECT_EQ(parent.SendMessage(WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), 0), 0);
  parent.DestroyWindow();
}

// The guard: what escapes a map is logged with the class's name and header.
enum class Escape {
  GlibException,
  BadAlloc,
  Fatal,
  MapId,
  Standard,
  Atl,
  Unknown
};

class Throwing : public CWindowImpl<Throwing, CWindow, CFrameWinTraits>, public BaseMap {
public:
  Escape m_Escape = Escape::Standard;

  BEGIN_MSG_MAP(Throwing)
  MESSAGE_HANDLER(WM_APP, OnThrow)
  MESSAGE_HANDLER(WM_APP + 1, OnAssert)
  if (uMsg == WM_APP) {
    CHAIN_MSG_MAP_ALT(BaseMap, 4)
  }
  END_MSG_MAP()

  LRESULT OnAssert(UINT, WPARAM wParam, LPARAM, BOOL&) {
    ATLASSERT(wParam == 1);
    return 5;
  }

  LRESULT OnThrow(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    switch (m_Escape) {
      case Escape::GlibException:
        throw GLIB_Exception(7, static_cast<const char*>(nullptr), nullptr, 0);
      case Escape::BadAlloc:
        throw std::bad_alloc();
      case Escape::Fatal:
        throw GLIB_FatalException(L"raised elsewhere");
      case Escape::MapId:
        bHandled = FALSE;  // on to the chained map, which lacks section 4
        return 0;
      case Escape::Standard:
        throw std::runtime_error("handler failed");
      case Escape::Atl:
        AtlThrow(E_OUTOFMEMORY);
      case Escape::Unknown:
        throw 3;
    }
    return 0;
  }
};

struct GuardCase {
  Escape m_Escape;
  GLIB_SEVERITY m_Severity;
  const wchar_t* m_Text;  // empty: nothing logged
  bool m_Exits;
};

class GuardTest : public GuardCapturingTest, public testing::WithParamInterface<GuardCase> {};

std::wstring Printed(const GLIB_Exception& e) {
  std::wostringstream printed;
  e.print(printed);
  return printed.str();
}

TEST_P(GuardTest, NothingLeavesTheWindowProcedure) {
  const GuardCase& c = GetParam();
  Throwing window;
  ASSERT_NE(window.Create(nullptr), nullptr);
  window.m_Escape = c.m_Escape;
  // The message counts as handled and answers 0.
  EXPECT_EQ(window.SendMessage(WM_APP), 0);

  std::wstring expected = c.m_Text;
  if (c.m_Escape == Escape::GlibException) {
    expected += Printed(GLIB_Exception(7, static_cast<const char*>(nullptr), nullptr, 0));
  }
  if (expected.empty()) {
    EXPECT_TRUE(sm_Logged.empty());
  } else {
    ASSERT_EQ(sm_Logged.size(), 1u);
    EXPECT_EQ(sm_Logged[0].m_Severity, c.m_Severity);
    EXPECT_EQ(sm_Logged[0].m_Text, expected);
    EXPECT_EQ(sm_Logged[0].m_File, "AtlMessageMap_test.cpp");
  }
  EXPECT_EQ(sm_ExitCodes, c.m_Exits ? std::vector<int>{1} : std::vector<int>{});
  std::exception_ptr pending = GLIB_TakePendingFatal();
  EXPECT_EQ(pending != nullptr, !c.m_Exits);
  if (pending) {
    EXPECT_THROW(std::rethrow_exception(pending), GLIB_FatalException);
  }
  // The window goes on working.
  EXPECT_EQ(window.SendMessage(WM_APP + 1, 1), 5);
  window.DestroyWindow();
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, GuardTest,
    testing::Values(GuardCase{Escape::GlibException, GLIB_SEVERITY_FATAL,
                              L"Class Throwing caught unhandled GLIB_Exception: ", false},
                    GuardCase{Escape::BadAlloc, GLIB_SEVERITY_FATAL,
                              L"Class Throwing caught unhandled std::bad_alloc", false},
                    GuardCase{Escape::Fatal, GLIB_SEVERITY_FATAL, L"", false},
                    GuardCase{Escape::MapId, GLIB_SEVERITY_FATAL,
                              L"Class Throwing received unhandled message map ID 4", false},
                    GuardCase{Escape::Standard, GLIB_SEVERITY_ASSERT,
                              L"Class Throwing caught unhandled CRT exception: handler failed",
                              true},
                    GuardCase{Escape::Atl, GLIB_SEVERITY_ASSERT,
                              L"Class Throwing caught unhandled ATL::CAtlException", true},
                    GuardCase{Escape::Unknown, GLIB_SEVERITY_ASSERT,
                              L"Class Throwing caught unhandled unknown exception", true}));

class GuardPendingTest : public GuardCapturingTest {};

TEST_F(GuardPendingTest, OnlyTheFirstFatalStaysPending) {
  Throwing window;
  ASSERT_NE(window.Create(nullptr), nullptr);
  window.m_Escape = Escape::BadAlloc;
  window.SendMessage(WM_APP);
  window.m_Escape = Escape::Fatal;
  window.SendMessage(WM_APP);
  try {
    GLIB_RethrowPendingFatal();
    FAIL() << "nothing pending";
  } catch (const GLIB_FatalException& e) {
    EXPECT_EQ(e.message(), L"Class Throwing caught unhandled std::bad_alloc");
  }
  EXPECT_NO_THROW(GLIB_RethrowPendingFatal());
  window.DestroyWindow();
}

TEST_F(GuardPendingTest, AFailedAtlAssertIsLoggedAndTheHandlerGoesOn) {
  Throwing window;
  ASSERT_NE(window.Create(nullptr), nullptr);
  EXPECT_EQ(window.SendMessage(WM_APP + 1, 0), 5);
  EXPECT_EQ(window.SendMessage(WM_APP + 1, 1), 5);
  ASSERT_EQ(sm_Logged.size(), 1u);
  EXPECT_EQ(sm_Logged[0].m_Severity, GLIB_SEVERITY_ASSERT);
  EXPECT_EQ(sm_Logged[0].m_Text, L"wParam == 1");
  EXPECT_EQ(sm_Logged[0].m_File, "AtlMessageMap_test.cpp");
  EXPECT_GT(sm_Logged[0].m_Line, 0);
  EXPECT_TRUE(sm_ExitCodes.empty());
  window.DestroyWindow();
}

}  // namespace
