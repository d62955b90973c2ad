#include "GLIB/GLIB_LogMessage.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <vector>

namespace {

// Collects what is written to std::cerr while it lives.
class CerrCapture {
public:
  CerrCapture() : m_Previous(std::cerr.rdbuf(m_Text.rdbuf())) {}
  ~CerrCapture() { std::cerr.rdbuf(m_Previous); }
  std::string Text() const { return m_Text.str(); }

private:
  std::ostringstream m_Text;
  std::streambuf* m_Previous;
};

struct Logged {
  GLIB_SEVERITY severity;
  GLIB_WString message;
  std::string file;
  int line;
};

std::vector<Logged>& Records() {
  static std::vector<Logged> records;
  return records;
}

void RecordingHandler(GLIB_SEVERITY severity, const wchar_t* message, const char* file, int line) {
  Records().push_back({severity, message, file, line});
}

void ThrowingHandler(GLIB_SEVERITY, const wchar_t*, const char*, int) {
  throw 17;
}

class ScopedLogHandler {
public:
  explicit ScopedLogHandler(GLIB_LogHandlerPtr handler)
      : m_Previous(GLIB_LogMessage::SetHandler(handler)) {
    Records().clear();
  }
  ~ScopedLogHandler() { GLIB_LogMessage::SetHandler(m_Previous); }

private:
  GLIB_LogHandlerPtr m_Previous;
};

TEST(DefaultLogHandler, WritesLabelledLineExceptTraceAndDebug) {
  struct Case {
    int severity;
    const char* expected;
  };
  const Case cases[] = {
      {1, "ASSERT: a.cpp(7): text\n"},
      {2, "ERROR: a.cpp(7): text\n"},
      {3, "WARNING: a.cpp(7): text\n"},
      {4, ""},
      {5, ""},
      {6, "INFO: a.cpp(7): text\n"},
      {7, "INFO: a.cpp(7): text\n"},
      {250, "INFO: a.cpp(7): text\n"},
  };
  for (const Case& c : cases) {
    CerrCapture capture;
    GLIB_DefaultLogMessageHandler(static_cast<GLIB_SEVERITY>(c.severity), L"text", "a.cpp", 7);
    EXPECT_EQ(c.expected, capture.Text()) << "severity " << c.severity;
  }
}

TEST(LogMessage, FatalIsWrittenThenThrownWithTheSameText) {
  CerrCapture capture;
  try {
    GLIB_LogMessage::Log(GLIB_SEVERITY_FATAL, "Reached end of switch statement in error.", "s.cpp",
                         3);
    FAIL() << "FATAL did not throw";
  } catch (const GLIB_FatalException& e) {
    EXPECT_EQ(GLIB_WString(L"Reached end of switch statement in error."), e.message());
  }
  EXPECT_EQ("FATAL: s.cpp(3): Reached end of switch statement in error.\n", capture.Text());
}

TEST(LogMessage, HandlerGetsWidenedNarrowTextAndPlace) {
  ScopedLogHandler handler(RecordingHandler);
  GLIB_LogMessage::Log(GLIB_SEVERITY_WARNING, "narrow", "n.cpp", 11);
  GLIB_LogMessage::Log(GLIB_SEVERITY_TRACE, L"wide", "w.cpp", 12);
  GLIB_LogMessage::Log(GLIB_SEVERITY_ERROR, static_cast<const char*>(nullptr), "z.cpp", 13);
  ASSERT_EQ(3u, Records().size());
  EXPECT_EQ(GLIB_SEVERITY_WARNING, Records()[0].severity);
  EXPECT_EQ(GLIB_WString(L"narrow"), Records()[0].message);
  EXPECT_EQ("n.cpp", Records()[0].file);
  EXPECT_EQ(11, Records()[0].line);
  EXPECT_EQ(GLIB_WString(L"wide"), Records()[1].message);
  EXPECT_TRUE(Records()[2].message.empty());
}

TEST(LogMessage, ReplacementHandlerRunsBeforeFatalThrow) {
  ScopedLogHandler handler(RecordingHandler);
  EXPECT_THROW(GLIB_LogMessage::Log(GLIB_SEVERITY_FATAL, L"stop", "f.cpp", 1), GLIB_FatalException);
  ASSERT_EQ(1u, Records().size());
  EXPECT_EQ(GLIB_SEVERITY_FATAL, Records()[0].severity);
}

TEST(LogMessage, ExceptionFromHandlerPassesThroughInsteadOfFatal) {
  ScopedLogHandler handler(ThrowingHandler);
  EXPECT_THROW(GLIB_LogMessage::Log(GLIB_SEVERITY_FATAL, L"stop", "f.cpp", 1), int);
}

TEST(LogMessage, SetHandlerReturnsPreviousAndNullInstallsDefault) {
  const GLIB_LogHandlerPtr original = GLIB_LogMessage::GetHandler();
  EXPECT_EQ(GLIB_LogHandlerPtr(GLIB_DefaultLogMessageHandler), original);
  EXPECT_EQ(original, GLIB_LogMessage::SetHandler(RecordingHandler));
  EXPECT_EQ(GLIB_LogHandlerPtr(RecordingHandler), GLIB_LogMessage::GetHandler());
  EXPECT_EQ(GLIB_LogHandlerPtr(RecordingHandler), GLIB_LogMessage::SetHandler(nullptr));
  EXPECT_EQ(GLIB_LogHandlerPtr(GLIB_DefaultLogMessageHandler), GLIB_LogMessage::GetHandler());
}

}  // namespace
