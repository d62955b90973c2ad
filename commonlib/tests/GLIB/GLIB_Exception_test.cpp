#include "GLIB/GLIB_Exception.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string Printed(const GLIB_Exception& e) {
  std::ostringstream out;
  e.print(out);
  return out.str();
}

std::wstring WidePrinted(const GLIB_Exception& e) {
  std::wostringstream out;
  e.print(out);
  return out.str();
}

GLIB_WString EmptyFormatter(std::uint32_t, const GLIB_WStringVector&) {
  return GLIB_WString();
}

GLIB_WString CodeOnlyFormatter(std::uint32_t code, const GLIB_WStringVector&) {
  return code == 7 ? GLIB_WString(L"seven") : GLIB_WString(L"other");
}

// Puts a formatter in place for one test and the previous one back afterwards.
class ScopedFormatter {
public:
  explicit ScopedFormatter(GLIB_DetailMessageFormattingFunctionPtr formatter)
      : m_Previous(GLIB_DetailMessageFormatter::setMessageFormattingCallback(formatter)) {}
  ~ScopedFormatter() { GLIB_DetailMessageFormatter::setMessageFormattingCallback(m_Previous); }

private:
  GLIB_DetailMessageFormattingFunctionPtr m_Previous;
};

TEST(ExceptionPrint, RecordPiecesAppearOnlyWhenSet) {
  struct Case {
    GLIB_Exception exception;
    const char* expected;
  };
  const Case cases[] = {
      {GLIB_Exception(), "code = 0; localized Message = '( code = 0 )'"},
      {GLIB_Exception(1158002, "File not found", "src/GFIL/File.cpp", 42),
       "code = 1158002; developer-speak message = 'File not found'; source file = "
       "src/GFIL/File.cpp; line number = 42; localized Message = '( code = 1158002 )'"},
      {GLIB_Exception(5, "", "f.cpp", 0), "code = 5; source file = f.cpp; localized Message = "
                                          "'( code = 5 )'"},
      {GLIB_Exception(5, "m", nullptr, -3), "code = 5; developer-speak message = 'm'; "
                                            "localized Message = '( code = 5 )'"},
      {GLIB_Exception(6, GLIB_StringVector{"a", "", "c"}, nullptr, nullptr, 0),
       "code = 6; localized Message = '( code = 6; param[0] = 'a'; param[2] = 'c' )'"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, Printed(c.exception));
  }
}

TEST(ExceptionPrint, WideRecordMatchesNarrowOne) {
  const GLIB_Exception e(1125006, GLIB_WStringVector{L"C:\\x", L"y"},
                         L"WideCharToMultiByte() failed", "GLIB_WinUtil.cpp", 12);
  EXPECT_EQ(GLIB_NToWString(Printed(e)), GLIB_WString(WidePrinted(e)));
}

TEST(ExceptionPrint, EmptyFormatterTextEndsRecordAfterLine) {
  ScopedFormatter formatter(EmptyFormatter);
  EXPECT_EQ("code = 3; developer-speak message = 'm'; line number = 9",
            Printed(GLIB_Exception(3, "m", nullptr, 9)));
}

TEST(DetailMessageFormatter, SetReturnsPreviousAndNullInstallsDefault) {
  const GLIB_DetailMessageFormattingFunctionPtr original =
      GLIB_DetailMessageFormatter::getMessageFormattingCallback();
  EXPECT_EQ(GLIB_DetailMessageFormattingFunctionPtr(GLIB_DefaultMessageFormattingCallbackFunction),
            original);

  EXPECT_EQ(original, GLIB_DetailMessageFormatter::setMessageFormattingCallback(CodeOnlyFormatter));
  EXPECT_EQ(GLIB_WString(L"seven"),
            GLIB_DetailMessageFormatter::getFormattedMessage(7, GLIB_WStringVector()));
  EXPECT_EQ(GLIB_DetailMessageFormattingFunctionPtr(CodeOnlyFormatter),
            GLIB_DetailMessageFormatter::setMessageFormattingCallback(nullptr));
  EXPECT_EQ(original, GLIB_DetailMessageFormatter::getMessageFormattingCallback());
}

TEST(ExceptionConstruction, NarrowAndWideFormsFillTheSameFields) {
  const GLIB_Exception narrow(10, GLIB_StringList{"p0", "p1"}, "msg", "file.cpp", 3);
  const GLIB_Exception wide(10, GLIB_WStringList{L"p0", L"p1"}, L"msg", "file.cpp", 3);
  for (const GLIB_Exception* e : {&narrow, &wide}) {
    EXPECT_EQ(10u, e->code());
    EXPECT_STREQ(L"msg", e->message());
    EXPECT_EQ(GLIB_String("msg"), e->NMessage());
    EXPECT_EQ(GLIB_WString(L"file.cpp"), e->sourceFile());
    EXPECT_EQ(3, e->line());
    EXPECT_EQ(GLIB_WString(L"p1"), e->getDetailParameter(1));
  }
  const GLIB_Exception copy(narrow);
  EXPECT_EQ(Printed(narrow), Printed(copy));

  const GLIB_Exception nulls(1, static_cast<const wchar_t*>(nullptr), nullptr, 0);
  EXPECT_STREQ(L"", nulls.message());
}

TEST(ExceptionParameters, GrowOnSetAndNotOnGet) {
  GLIB_Exception e(1, GLIB_StringVector{"zero"}, "m", nullptr, 0);
  e.setDetailParameter(3, "three");
  ASSERT_EQ(4u, e.getDetailParameters().size());
  EXPECT_TRUE(e.getDetailParameter(1).empty());
  EXPECT_TRUE(e.getDetailParameter(2).empty());
  EXPECT_EQ(GLIB_WString(L"three"), e.getDetailParameter(3));

  EXPECT_TRUE(e.getDetailParameter(10).empty());
  EXPECT_EQ(4u, e.getDetailParameters().size());

  e.setDetailParameter(0, GLIB_String("z"));
  e.setDetailParameter(1, L"one");
  e.setDetailParameter(2, static_cast<const char*>(nullptr));
  const GLIB_WStringList list = e.getDetailParametersAsList();
  const GLIB_WStringList expected{L"z", L"one", L"", L"three"};
  EXPECT_EQ(expected, list);
}

TEST(ExceptionCode, SetCodeClearsOnlyOnChange) {
  GLIB_Exception e(1, GLIB_StringVector{"p"}, "m", nullptr, 0);
  e.setCode(1);
  EXPECT_STREQ(L"m", e.message());
  EXPECT_EQ(1u, e.getDetailParameters().size());

  e.setCode(2);
  EXPECT_EQ(2u, e.code());
  EXPECT_STREQ(L"", e.message());
  EXPECT_TRUE(e.getDetailParameters().empty());
}

TEST(ExceptionCode, SetKeepsNewMessageAndClearsParametersOnChange) {
  GLIB_Exception e(1, GLIB_StringVector{"p"}, "old", nullptr, 0);
  e.set(1, "same code");
  EXPECT_STREQ(L"same code", e.message());
  EXPECT_EQ(1u, e.getDetailParameters().size());

  e.set(2, L"new code");
  EXPECT_EQ(2u, e.code());
  EXPECT_STREQ(L"new code", e.message());
  EXPECT_TRUE(e.getDetailParameters().empty());

  e.setMessage(static_cast<const char*>(nullptr));
  EXPECT_STREQ(L"", e.message());
}

struct Tag_TEST_Exception {};

TEST(DerivedException, CaughtApartAndAsBase) {
  try {
    throw GLIB_DerivedException<Tag_TEST_Exception>(1158002, GLIB_StringVector{"x"}, "m", "f", 1);
  } catch (const GLIB_DerivedException<Tag_TEST_Exception>& e) {
    EXPECT_EQ(1158002u, e.code());
    EXPECT_EQ(GLIB_WString(L"x"), e.getDetailParameter(0));
  }
  EXPECT_THROW(throw GLIB_DerivedException<Tag_TEST_Exception>(1, "m", "f", 1), GLIB_Exception);
}

TEST(FatalException, StreamsWriteOnlyTheMessage) {
  const GLIB_FatalException e(L"Reached end of switch statement in error.");
  std::ostringstream narrow;
  narrow << e;
  EXPECT_EQ("Reached end of switch statement in error.", narrow.str());
  std::wostringstream wide;
  wide << e;
  EXPECT_EQ(L"Reached end of switch statement in error.", wide.str());
}

}  // namespace
