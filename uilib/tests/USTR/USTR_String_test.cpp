#include "USTR/USTR_String.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Readable expectations: ASCII and Latin-1 test texts as 16-bit strings.
USTR_String U(char const* text) {
  return USTR_NStringToUString(std::string(text));
}

USTR_String Instantiate(char const* text, std::initializer_list<char const*> parameters) {
  USTR_StringVector list;
  for (char const* p : parameters)
    list.push_back(U(p));
  return USTR_InstantiateParameters(U(text), list);
}

std::string Narrow(USTR_String const& text) {
  std::string result;
  for (unsigned short unit : text)
    result.push_back(static_cast<char>(unit));
  return result;
}

TEST(USTR_String, ConstructionAndConversions) {
  unsigned short const units[] = {0x41, 0x42, 0x43};
  EXPECT_EQ(U("AB"), USTR_String(units, 2));
  EXPECT_TRUE(USTR_String().empty());
  EXPECT_TRUE(USTR_String(static_cast<wchar_t const*>(nullptr)).empty());

  // Wide characters keep their low 16 bits; with a 32-bit wchar_t one above U+FFFF is cut.
  GLIB_WString wide(L"x\u00e9\u20ac");
  if (sizeof(wchar_t) > 2)
    wide.push_back(static_cast<wchar_t>(0x1F600));
  USTR_String const fromWide(wide);
  ASSERT_EQ(wide.size(), fromWide.size());
  EXPECT_EQ(0x00E9, fromWide[1]);
  EXPECT_EQ(0x20AC, fromWide[2]);
  if (sizeof(wchar_t) > 2) {
    EXPECT_EQ(0xF600, fromWide[3]);
  }
  EXPECT_EQ(fromWide, USTR_WStringToUString(wide));
  EXPECT_EQ(fromWide, USTR_String(wide.c_str()));

  // Units widen without sign.
  USTR_String high;
  high.push_back(0xFFFE);
  EXPECT_EQ(GLIB_WString(1, static_cast<wchar_t>(0xFFFE)), USTR_UStringToWString(high));

  // Narrow text byte by byte.
  EXPECT_EQ(0x00E9, USTR_NStringToUString(std::string("\xE9"))[0]);
  EXPECT_EQ(0x00FF, USTR_NStringToUString(GLIB_String("\xFF"))[0]);
}

TEST(USTR_String, AssignmentAndAppending) {
  USTR_String s;
  s = L"Sheet ";
  USTR_String const copy = (s += 12);
  EXPECT_EQ(U("Sheet 12"), s);
  EXPECT_EQ(s, copy);  // the appending operators give the result
  s += static_cast<unsigned short>('/');
  s += -3;
  s += L" of ";
  s += U("x");
  EXPECT_EQ(U("Sheet 12/-3 of x"), s);
  s += static_cast<wchar_t const*>(nullptr);
  EXPECT_EQ(U("Sheet 12/-3 of x"), s);
  s += 2147483647;
  EXPECT_EQ("Sheet 12/-3 of x2147483647", Narrow(s));
  USTR_StringVector const three(3, U("a"));
  EXPECT_EQ(3u, three.size());
  EXPECT_EQ(U("a"), three[2]);
}

TEST(USTR_InstantiateParameters, ReplacesByNumber) {
  struct Case {
    char const* text;
    std::initializer_list<char const*> parameters;
    char const* expected;
  };
  Case const cases[] = {
      {"{1} of {0}", {"a", "b"}, "b of a"},
      {"no placeholders", {"a"}, "no placeholders"},
      {"{0}{2}{1}", {"a", "b"}, "a{2}b"},  // beyond the parameters: stays
      {"{0} and {0}", {"x"}, "x and x"},   // every occurrence
      {"{0}", {}, "{0}"},                  // no parameters
      {"", {"a"}, ""},
      {"{0}", {""}, ""},
      {"{10}{1}{0}", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "K"}, "Kba"},
      {"{0}", {"{1}"}, "{1}"},       // one parameter: {1} stays
      {"{0}!", {"{1}", "b"}, "b!"},  // brought-in text takes part later
      {"{1}", {"a", "{0}"}, "{0}"},  // but not in earlier steps
      {"{{0}}", {"0"}, "0"},         // forms "{0}" with its neighbours
      {"{{0}0}}", {""}, "}"},
      {"{0}}", {"{0"}, "{0"},
  };
  for (Case const& c : cases)
    EXPECT_EQ(c.expected, Narrow(Instantiate(c.text, c.parameters))) << c.text;
}

TEST(USTR_InstantiateParameters, TitleTemplate) {
  USTR_String const title =
      USTR_InstantiateParameters(USTR_String(L"{0} \u2022 Signature {1} \u2022 Web {2} \u2022 {3}"),
                                 USTR_StringVector{U("Job"), U("3"), U("1"), U("Front")});
  EXPECT_EQ(USTR_String(L"Job \u2022 Signature 3 \u2022 Web 1 \u2022 Front"), title);
}

TEST(USTR_InstantiateParameters, ParameterHoldingItsOwnKeyEnds) {
  // A job title can be anything a preview file holds; the substitution must end, and every
  // placeholder of the template must be replaced.
  struct Case {
    char const* text;
    std::initializer_list<char const*> parameters;
    char const* expected;
  };
  Case const cases[] = {
      {"{0}", {"{0}"}, "{0}"},
      {"a{0}b{0}c", {"<{0}>"}, "a<{0}>b<{0}>c"},
      {"{0}0}", {"{0}{"}, "{0}{0}"},
      {"{0} {1}", {"{1}", "{1}{0}"}, "{1}{0} {1}{0}"},
  };
  for (Case const& c : cases)
    EXPECT_EQ(c.expected, Narrow(Instantiate(c.text, c.parameters))) << c.text;
}

TEST(USTR_InstantiateParameters, LongSelfReproducingInputStaysBounded) {
  // Many placeholders and a parameter that re-forms its key: the work stays proportional.
  std::string text;
  for (int i = 0; i < 2000; ++i)
    text += "{0}}";
  USTR_String const result = Instantiate(text.c_str(), {"{0}{0"});
  EXPECT_FALSE(result.empty());
  EXPECT_LT(result.size(), 40000u);
}

}  // namespace
