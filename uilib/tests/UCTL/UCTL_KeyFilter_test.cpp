#include "UCTL/UCTL_KeyFilter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::basic_string<unsigned short> Units(char const* text) {
  std::basic_string<unsigned short> units;
  for (char const* p = text; *p != '\0'; ++p)
    units.push_back(static_cast<unsigned char>(*p));
  return units;
}

struct TextCase {
  UCTL_CharacterClassKeyFilter::TextTest test;
  char const* name;
  char const* text;
  bool allowed;
};

TEST(UCTL_CharacterClasses, TextTests) {
  std::vector<TextCase> const cases = {
      {UCTL_IsPrintableText, "printable", "Cyan 50%", true},
      {UCTL_IsPrintableText, "printable", "", true},
      {UCTL_IsPrintableText, "printable", "a\tb", false},
      {UCTL_IsDigitText, "digits", "0123456789", true},
      {UCTL_IsDigitText, "digits", "", true},
      {UCTL_IsDigitText, "digits", "12a", false},
      {UCTL_IsDigitText, "digits", "-1", false},
      {UCTL_IsSignedIntegerText, "signed integer", "-12", true},
      {UCTL_IsSignedIntegerText, "signed integer", "+12", true},
      {UCTL_IsSignedIntegerText, "signed integer", "+", true},
      {UCTL_IsSignedIntegerText, "signed integer", "-", true},
      {UCTL_IsSignedIntegerText, "signed integer", "", true},
      {UCTL_IsSignedIntegerText, "signed integer", "1-2", false},
      {UCTL_IsSignedIntegerText, "signed integer", "12-", false},
      {UCTL_IsSignedIntegerText, "signed integer", "--1", false},
      {UCTL_IsSignedIntegerText, "signed integer", "1.5", false},
      {UCTL_IsRealText, "real", "3.5", true},
      {UCTL_IsRealText, "real", "3,5", true},
      {UCTL_IsRealText, "real", "35", true},
      {UCTL_IsRealText, "real", ".5", true},
      {UCTL_IsRealText, "real", "", true},
      {UCTL_IsRealText, "real", "3.5.1", false},
      {UCTL_IsRealText, "real", "3,5,1", false},
      {UCTL_IsRealText, "real", "3.5,1", false},
      {UCTL_IsRealText, "real", "3,5.1", false},
      {UCTL_IsRealText, "real", "-3.5", false},
      {UCTL_IsRealText, "real", "3e5", false},
      {UCTL_IsSignedRealText, "signed real", "-3.5", true},
      {UCTL_IsSignedRealText, "signed real", "+3,5", true},
      {UCTL_IsSignedRealText, "signed real", "-", true},
      {UCTL_IsSignedRealText, "signed real", "", true},
      {UCTL_IsSignedRealText, "signed real", "3-", false},
      {UCTL_IsSignedRealText, "signed real", "-3.5.1", false},
      {UCTL_IsSignedRealText, "signed real", "-3.5,1", false},
      {UCTL_IsFileNameText, "file name", "Job 12 (proof).pdf", true},
      {UCTL_IsFileNameText, "file name", "", true},
      {UCTL_IsFileNameText, "file name", "a:b", false},
      {UCTL_IsFileNameText, "file name", "a\tb", false},
      {UCTL_IsFileNameText, "file name", "a\"b", false},
      {UCTL_IsFileNameText, "file name", "a*b", false},
      {UCTL_IsFileNameText, "file name", "a/b", false},
      {UCTL_IsFileNameText, "file name", "a<b", false},
      {UCTL_IsFileNameText, "file name", "a>b", false},
      {UCTL_IsFileNameText, "file name", "a?b", false},
      {UCTL_IsFileNameText, "file name", "a\\b", false},
      {UCTL_IsFileNameText, "file name", "a|b", false},
  };
  for (TextCase const& c : cases) {
    std::basic_string<unsigned short> const text = Units(c.text);
    EXPECT_EQ(c.allowed, c.test(text.data(), static_cast<unsigned long>(text.size())))
        << c.name << " \"" << c.text << "\"";
  }
}

TEST(UCTL_CharacterClasses, EmptyTextMayBeNull) {
  for (auto test : {UCTL_IsPrintableText, UCTL_IsDigitText, UCTL_IsSignedIntegerText,
                    UCTL_IsRealText, UCTL_IsSignedRealText, UCTL_IsFileNameText})
    EXPECT_TRUE(test(nullptr, 0));
}

// Each key test against every character below 0x100 and a few beyond.
TEST(UCTL_CharacterClasses, KeyTests) {
  std::string const reserved = "\"*/:<>?\\|";
  std::vector<unsigned short> keys;
  for (unsigned short ch = 0; ch < 0x100; ++ch)
    keys.push_back(ch);
  keys.insert(keys.end(), {0x2212, 0x3001, 0xFFFF});

  for (unsigned short ch : keys) {
    bool const digit = ch >= '0' && ch <= '9';
    bool const sign = ch == '+' || ch == '-';
    bool const separator = ch == '.' || ch == ',';
    bool const control = ch < 32;
    bool const isReserved = ch < 0x80 && reserved.find(static_cast<char>(ch)) != std::string::npos;
    EXPECT_EQ(!control, UCTL_IsPrintableKey(ch)) << ch;
    EXPECT_EQ(digit, UCTL_IsDigitKey(ch)) << ch;
    EXPECT_EQ(digit || sign, UCTL_IsSignedIntegerKey(ch)) << ch;
    EXPECT_EQ(digit || separator, UCTL_IsRealKey(ch)) << ch;
    EXPECT_EQ(digit || separator || sign, UCTL_IsSignedRealKey(ch)) << ch;
    EXPECT_EQ(!control && !isReserved, UCTL_IsFileNameKey(ch)) << ch;
  }
}

TEST(UCTL_KeyFilter, DefaultFilterAllowsEverything) {
  UCTL_KeyFilter filter;
  std::basic_string<unsigned short> text = Units("a\t:1");
  unsigned long count = static_cast<unsigned long>(text.size());
  EXPECT_TRUE(filter.IsKeyAllowed(0));
  EXPECT_TRUE(filter.IsKeyAllowed(0xFFFF));
  EXPECT_TRUE(filter.IsTextAllowed(text.data(), count));
  EXPECT_FALSE(filter.FilterKeys(&text[0], count));
  EXPECT_EQ(4u, count);
  EXPECT_EQ(Units("a\t:1"), text);
}

TEST(UCTL_KeyFilter, FilterKeysKeepsAllowedCharactersInOrder) {
  struct Case {
    char const* text;
    char const* kept;
    bool removed;
  };
  for (Case const& c : {Case{"12a3", "123", true}, Case{"123", "123", false},
                        Case{"a1b2c", "12", true}, Case{"abc", "", true}, Case{"", "", false}}) {
    UCTL_DigitKeyFilter filter;
    std::basic_string<unsigned short> text = Units(c.text);
    text.push_back('#');  // beyond count: must stay untouched
    unsigned long count = static_cast<unsigned long>(text.size() - 1);
    EXPECT_EQ(c.removed, filter.FilterKeys(&text[0], count)) << c.text;
    EXPECT_EQ(Units(c.kept), text.substr(0, count)) << c.text;
    EXPECT_EQ('#', text.back()) << c.text;
  }
}

// FilterKeys asks the overridden key test, not the base's.
TEST(UCTL_KeyFilter, FilterKeysUsesTheVirtualKeyTest) {
  class NoSpaces : public UCTL_KeyFilter {
  public:
    bool IsKeyAllowed(unsigned short ch) const override { return ch != ' '; }
  };
  NoSpaces filter;
  std::basic_string<unsigned short> text = Units(" a b ");
  unsigned long count = static_cast<unsigned long>(text.size());
  EXPECT_TRUE(filter.FilterKeys(&text[0], count));
  EXPECT_EQ(Units("ab"), text.substr(0, count));
}

TEST(UCTL_KeyFilter, ClassFiltersUseTheirClassTests) {
  std::basic_string<unsigned short> const signedText = Units("-1,5");
  unsigned long const count = static_cast<unsigned long>(signedText.size());
  EXPECT_TRUE(UCTL_SignedRealKeyFilter().IsTextAllowed(signedText.data(), count));
  EXPECT_FALSE(UCTL_RealKeyFilter().IsTextAllowed(signedText.data(), count));
  EXPECT_FALSE(UCTL_SignedIntegerKeyFilter().IsTextAllowed(signedText.data(), count));
  EXPECT_TRUE(UCTL_PrintableKeyFilter().IsTextAllowed(signedText.data(), count));
  EXPECT_TRUE(UCTL_FileNameKeyFilter().IsTextAllowed(signedText.data(), count));
  EXPECT_FALSE(UCTL_FileNameKeyFilter().IsKeyAllowed(':'));
  EXPECT_TRUE(UCTL_SignedIntegerKeyFilter().IsKeyAllowed('-'));
  EXPECT_FALSE(UCTL_DigitKeyFilter().IsKeyAllowed('-'));
  EXPECT_FALSE(UCTL_PrintableKeyFilter().IsKeyAllowed('\n'));
}

}  // namespace
