#include <Carbon/TextCommon.h>
#include <CoreFoundation/CFString.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::u16string UnitsOf(CFStringRef text) {
  std::vector<UniChar> units(static_cast<std::size_t>(CFStringGetLength(text)));
  CFStringGetCharacters(text, CFRangeMake(0, CFStringGetLength(text)), units.data());
  return std::u16string(units.begin(), units.end());
}

std::u16string Decode(const char* bytes, CFStringEncoding encoding) {
  CFStringRef text = CFStringCreateWithCString(kCFAllocatorDefault, bytes, encoding);
  if (text == nullptr) {
    return u"<null>";
  }
  const std::u16string units = UnitsOf(text);
  CFRelease(text);
  return units;
}

std::string Encode(const std::u16string& units, CFStringEncoding encoding, UInt8 lossByte,
                   CFIndex maxBufLen, CFIndex* converted = nullptr) {
  CFStringRef text = CFStringCreateWithCharacters(kCFAllocatorDefault,
                                                  reinterpret_cast<const UniChar*>(units.data()),
                                                  static_cast<CFIndex>(units.size()));
  std::vector<UInt8> buffer(static_cast<std::size_t>(maxBufLen) + 1);
  CFIndex used = 0;
  const CFIndex count = CFStringGetBytes(text, CFRangeMake(0, CFStringGetLength(text)), encoding,
                                         lossByte, false, buffer.data(), maxBufLen, &used);
  if (converted != nullptr) {
    *converted = count;
  }
  CFRelease(text);
  return std::string(buffer.begin(), buffer.begin() + used);
}

TEST(CFStringDecoding, EncodingsTable) {
  struct Case {
    const char* bytes;
    CFStringEncoding encoding;
    std::u16string expected;
  };
  const Case cases[] = {
      {"A\x80\xBD\xDB\xFF", kCFStringEncodingMacRoman, u"A\u00c4\u03a9\u20ac\u02c7"},
      {"\xA5\xC9\xD2", kCFStringEncodingMacRoman, u"\u2022\u2026\u201c"},
      {"\x80\x9F\xE9", kCFStringEncodingWindowsLatin1, u"\u20ac\u0178\u00e9"},
      {"\x80\xE9", kCFStringEncodingISOLatin1, u"\u0080\u00e9"},
      {"ab", kCFStringEncodingASCII, u"ab"},
      {"\xC3", kCFStringEncodingASCII, u"<null>"},
      {"\xC3\xA9\xF0\x9F\x98\x80", kCFStringEncodingUTF8, u"\u00e9\U0001F600"},
      {"\xC0\x80", kCFStringEncodingUTF8, u"<null>"},      // over-long
      {"\xED\xA0\x80", kCFStringEncodingUTF8, u"<null>"},  // encoded surrogate
      {"\xC3", kCFStringEncodingUTF8, u"<null>"},          // cut short
      {"x", 0x7777, u"<null>"},                            // unsupported
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, Decode(c.bytes, c.encoding)) << c.bytes;
  }
}

TEST(CFStringDecoding, MacRomanHighHalfRoundTripsWholly) {
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const char bytes[2] = {static_cast<char>(byte), 0};
    const std::u16string units = Decode(bytes, kCFStringEncodingMacRoman);
    ASSERT_EQ(1u, units.size());
    EXPECT_EQ(std::string(1, static_cast<char>(byte)),
              Encode(units, kCFStringEncodingMacRoman, 0, 4))
        << byte;
  }
  EXPECT_EQ("\xBD", Encode(u"\u2126", kCFStringEncodingMacRoman, 0, 4));  // ohm sign
}

TEST(CFStringEncoding, LossByteAndWholeCharacters) {
  CFIndex converted = 0;
  EXPECT_EQ("a?b", Encode(u"a\u4e2db", kCFStringEncodingMacRoman, '?', 10, &converted));
  EXPECT_EQ(3, converted);
  EXPECT_EQ("a", Encode(u"a\u4e2db", kCFStringEncodingMacRoman, 0, 10, &converted));
  EXPECT_EQ(1, converted);
  EXPECT_EQ("\xC3\xA9", Encode(u"\u00e9\u00e9", kCFStringEncodingUTF8, 0, 3, &converted));
  EXPECT_EQ(1, converted);
  EXPECT_EQ("\xF0\x9F\x98\x80", Encode(u"\U0001F600", kCFStringEncodingUTF8, 0, 8, &converted));
  EXPECT_EQ(2, converted);
  EXPECT_EQ("?", Encode(std::u16string(1, u'\xD800'), kCFStringEncodingUTF8, '?', 8));
}

TEST(CFStringEncoding, CountingWithoutBufferAndMaximumSizes) {
  CFStringRef text = CFSTR("caf\xC3\xA9");
  CFIndex used = 0;
  EXPECT_EQ(4, CFStringGetBytes(text, CFRangeMake(0, 4), kCFStringEncodingUTF8, 0, false, nullptr,
                                0, &used));
  EXPECT_EQ(5, used);
  EXPECT_EQ(4, CFStringGetMaximumSizeForEncoding(4, kCFStringEncodingMacRoman));
  EXPECT_EQ(12, CFStringGetMaximumSizeForEncoding(4, kCFStringEncodingUTF8));
  EXPECT_EQ(kCFNotFound, CFStringGetMaximumSizeForEncoding(4, 0x7777));

  char cString[8];
  EXPECT_TRUE(CFStringGetCString(text, cString, sizeof cString, kCFStringEncodingMacRoman));
  EXPECT_STREQ("caf\x8E", cString);
  EXPECT_FALSE(CFStringGetCString(text, cString, 4, kCFStringEncodingMacRoman));
  EXPECT_EQ(nullptr, CFStringGetCStringPtr(text, kCFStringEncodingMacRoman));
}

TEST(CFStringObjects, RetainReleaseAndConstantStrings) {
  const long alive = StandIn_CFLiveObjectCount();
  CFStringRef text = CFStringCreateWithCString(kCFAllocatorDefault, "x", kCFStringEncodingASCII);
  EXPECT_EQ(alive + 1, StandIn_CFLiveObjectCount());
  EXPECT_EQ(CFStringGetTypeID(), CFGetTypeID(text));
  CFRetain(text);
  EXPECT_EQ(2, CFGetRetainCount(text));
  CFRelease(text);
  CFRelease(text);
  EXPECT_EQ(alive, StandIn_CFLiveObjectCount());

  EXPECT_EQ(CFSTR("same"), CFSTR("same"));
  CFRelease(CFSTR("same"));  // constant strings survive a release
  EXPECT_EQ(4, CFStringGetLength(CFSTR("same")));
}

TEST(CFStringObjects, InjectedCreationFailures) {
  StandIn_CFStringFailNextCreations(2);
  EXPECT_EQ(nullptr, CFStringCreateWithCString(nullptr, "a", kCFStringEncodingASCII));
  const UniChar unit = 'a';
  EXPECT_EQ(nullptr, CFStringCreateWithCharacters(nullptr, &unit, 1));
  CFStringRef text = CFStringCreateWithCharacters(nullptr, &unit, 1);
  ASSERT_NE(nullptr, text);
  CFRelease(text);
}

TEST(CFStringObjects, CompareLiterallyOrIgnoringCase) {
  CFStringRef upper = CFSTR("FILE:///TMP/CAF\xC3\x89");
  CFStringRef lower = CFSTR("file:///tmp/caf\xC3\xA9");
  EXPECT_EQ(kCFCompareEqualTo, CFStringCompare(lower, lower, 0));
  EXPECT_EQ(kCFCompareLessThan, CFStringCompare(upper, lower, 0));
  EXPECT_EQ(kCFCompareGreaterThan, CFStringCompare(lower, upper, 0));
  EXPECT_EQ(kCFCompareEqualTo,
            CFStringCompare(upper, lower, kCFCompareCaseInsensitive | kCFCompareNonliteral));
  EXPECT_EQ(kCFCompareLessThan,
            CFStringCompare(CFSTR("ab"), CFSTR("ABC"), kCFCompareCaseInsensitive));
  EXPECT_EQ(kCFCompareGreaterThan,
            CFStringCompare(CFSTR("b"), CFSTR("A"), kCFCompareCaseInsensitive));
}

TEST(ApplicationTextEncoding, MacRomanUnlessConfigured) {
  EXPECT_EQ(static_cast<TextEncoding>(kTextEncodingMacRoman), GetApplicationTextEncoding());
  EXPECT_EQ(static_cast<TextEncoding>(kTextEncodingMacRoman),
            StandIn_SetApplicationTextEncoding(kCFStringEncodingUTF8));
  EXPECT_EQ(static_cast<TextEncoding>(kCFStringEncodingUTF8), GetApplicationTextEncoding());
  StandIn_SetApplicationTextEncoding(kTextEncodingMacRoman);
}

}  // namespace
