// XML property lists and CFPreferences of the stand-in, against a temporary Preferences folder.
#include "StandInCFTest.h"
#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/Folders.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Releaser {
  void operator()(CFTypeRef object) const { CFRelease(object); }
};
using Owned = std::unique_ptr<const StandIn_CFObject, Releaser>;

CFDataRef NewData(const std::string& text) {
  return CFDataCreate(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(text.data()),
                      static_cast<CFIndex>(text.size()));
}

std::string TextOf(CFDataRef data) {
  return std::string(reinterpret_cast<const char*>(CFDataGetBytePtr(data)),
                     static_cast<std::size_t>(CFDataGetLength(data)));
}

// Takes what containers hand out.
std::u16string Describe(const void* object) {
  CFStringRef text = CFCopyDescription(static_cast<CFTypeRef>(object));
  std::u16string units = text->Units();
  CFRelease(text);
  return units;
}

std::string Plist(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\">" +
         body + "</plist>\n";
}

Owned Parse(const std::string& xml, CFOptionFlags mutability = kCFPropertyListImmutable) {
  Owned data(NewData(xml));
  return Owned(CFPropertyListCreateFromXMLData(
      kCFAllocatorDefault, static_cast<CFDataRef>(data.get()), mutability, nullptr));
}

std::string Repeated(const std::string& text, int times) {
  std::string result;
  for (int i = 0; i < times; ++i)
    result += text;
  return result;
}

class CFPropertyLists : public StandInCFTest {};

TEST_F(CFPropertyLists, ReadsEverySupportedKind) {
  const std::string body =
      "<dict>\n"
      "  <key>Name</key><string>A &amp; B &lt;&#x263A;&gt;</string>\n"
      "  <!-- a comment -->\n"
      "  <key>Count</key><integer> -12 </integer>\n"
      "  <key>Scale</key><real>2.5</real>\n"
      "  <key>On</key><true/>\n"
      "  <key>Off</key><false></false>\n"
      "  <key>Bytes</key><data>AAH/\n  </data>\n"
      "  <key>List</key><array><string/><integer>4294967296</integer></array>\n"
      "  <key>Empty</key><dict/>\n"
      "</dict>";
  Owned list = Parse(Plist(body));
  ASSERT_NE(nullptr, list);
  auto dict = static_cast<CFDictionaryRef>(list.get());
  EXPECT_EQ(8, CFDictionaryGetCount(dict));
  EXPECT_EQ(u"A & B <\u263A>", Describe(CFDictionaryGetValue(dict, CFSTR("Name"))));
  auto count = static_cast<CFNumberRef>(CFDictionaryGetValue(dict, CFSTR("Count")));
  EXPECT_EQ(kCFNumberSInt64Type, CFNumberGetType(count));
  EXPECT_EQ(u"-12", Describe(count));
  auto scale = static_cast<CFNumberRef>(CFDictionaryGetValue(dict, CFSTR("Scale")));
  EXPECT_EQ(kCFNumberFloat64Type, CFNumberGetType(scale));
  EXPECT_EQ(kCFBooleanTrue, CFDictionaryGetValue(dict, CFSTR("On")));
  EXPECT_EQ(kCFBooleanFalse, CFDictionaryGetValue(dict, CFSTR("Off")));
  EXPECT_EQ(u"<0001ff>", Describe(CFDictionaryGetValue(dict, CFSTR("Bytes"))));
  EXPECT_EQ(u"(, 4294967296)", Describe(CFDictionaryGetValue(dict, CFSTR("List"))));
  EXPECT_EQ(u"{}", Describe(CFDictionaryGetValue(dict, CFSTR("Empty"))));
}

TEST_F(CFPropertyLists, MalformedXmlIsRefused) {
  const std::string cases[] = {
      "",
      "<plist>",
      Plist(""),
      Plist("<string>open"),
      Plist("<string>a</strong>"),
      Plist("<integer>12x</integer>"),
      Plist("<integer></integer>"),
      Plist("<integer>9223372036854775808</integer>"),
      Plist("<real>1.5.2</real>"),
      Plist("<true>yes</true>"),
      Plist("<data>A*==</data>"),
      Plist("<date>2006-01-01T00:00:00Z</date>"),
      Plist("<dict><key>a</key></dict>"),
      Plist("<dict><string>a</string><true/></dict>"),
      Plist("<array><true/></dict>"),
      Plist("<string>&bogus;</string>"),
      Plist("<string>&#xD800;</string>"),
      Plist("<string>\xff</string>"),
      Plist("<true/><false/>"),
      Plist("<true/>") + "<extra/>",
      std::string(1000, '<'),
      Plist(std::string(5000, '<') + "array>"),
      // Nesting deeper than any real list is refused, not recursed into.
      Plist(Repeated("<array>", 300) + Repeated("</array>", 300)),
  };
  for (const std::string& xml : cases) {
    Owned data(NewData(xml));
    CFStringRef error = nullptr;
    EXPECT_EQ(nullptr, CFPropertyListCreateFromXMLData(kCFAllocatorDefault,
                                                       static_cast<CFDataRef>(data.get()),
                                                       kCFPropertyListImmutable, &error))
        << xml.substr(0, 200);
    ASSERT_NE(nullptr, error);
    CFRelease(error);
  }
}

TEST_F(CFPropertyLists, WritesWhatItReadsBack) {
  const double values[] = {0.1, -2.0, 1e300, HUGE_VAL, -HUGE_VAL};
  Owned dict(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                       &kCFTypeDictionaryValueCallBacks));
  auto target = const_cast<CFMutableDictionaryRef>(static_cast<CFDictionaryRef>(dict.get()));
  Owned reals(CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
  for (double value : values) {
    Owned number(CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, &value));
    CFArrayAppendValue(const_cast<CFMutableArrayRef>(static_cast<CFArrayRef>(reals.get())),
                       number.get());
  }
  const SInt64 big = -4294967296LL;
  Owned integer(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &big));
  const UInt8 bytes[] = {1, 2, 3, 4, 5};
  Owned data(CFDataCreate(kCFAllocatorDefault, bytes, 5));
  Owned text(CFStringCreateWithCString(kCFAllocatorDefault, "<Grüße & \xF0\x9F\x98\x80>",
                                       kCFStringEncodingUTF8));
  CFDictionarySetValue(target, CFSTR("z reals"), reals.get());
  CFDictionarySetValue(target, CFSTR("integer"), integer.get());
  CFDictionarySetValue(target, CFSTR("data"), data.get());
  CFDictionarySetValue(target, CFSTR("text"), text.get());
  CFDictionarySetValue(target, CFSTR("flag"), kCFBooleanTrue);

  Owned xml(CFPropertyListCreateXMLData(kCFAllocatorDefault, dict.get()));
  ASSERT_NE(nullptr, xml);
  const std::string written = TextOf(static_cast<CFDataRef>(xml.get()));
  // Keys sorted, text escaped, data in base 64.
  EXPECT_LT(written.find("<key>data</key>"), written.find("<key>flag</key>"));
  EXPECT_NE(std::string::npos, written.find("&lt;Grüße &amp; \xF0\x9F\x98\x80&gt;"));
  EXPECT_NE(std::string::npos, written.find("<data>AQIDBAU=</data>"));
  EXPECT_NE(std::string::npos, written.find("<real>+infinity</real>"));

  Owned back = Parse(written, kCFPropertyListMutableContainers);
  ASSERT_NE(nullptr, back);
  EXPECT_TRUE(CFEqual(dict.get(), back.get()));
  // Mutable containers can be written into.
  CFDictionarySetValue(const_cast<CFMutableDictionaryRef>(static_cast<CFDictionaryRef>(back.get())),
                       CFSTR("added"), kCFBooleanFalse);

  Owned deep(
      CFPropertyListCreateDeepCopy(kCFAllocatorDefault, dict.get(), kCFPropertyListImmutable));
  EXPECT_TRUE(CFEqual(dict.get(), deep.get()));
  EXPECT_NE(CFDictionaryGetValue(static_cast<CFDictionaryRef>(deep.get()), CFSTR("z reals")),
            reals.get());
}

TEST_F(CFPropertyLists, WhatIsNoPropertyListIsNotWritten) {
  Owned dict(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                       &kCFTypeDictionaryValueCallBacks));
  const int key = 3;
  Owned numberKey(CFNumberCreate(kCFAllocatorDefault, kCFNumberIntType, &key));
  CFDictionarySetValue(const_cast<CFMutableDictionaryRef>(static_cast<CFDictionaryRef>(dict.get())),
                       numberKey.get(), kCFBooleanTrue);
  EXPECT_EQ(nullptr, CFPropertyListCreateXMLData(kCFAllocatorDefault, dict.get()));
  Owned locale(CFLocaleCreate(kCFAllocatorDefault, CFSTR("en_US")));
  EXPECT_EQ(nullptr, CFPropertyListCreateXMLData(kCFAllocatorDefault, locale.get()));
}

class CFPreferencesStandIn : public CFPropertyLists {
protected:
  void SetUp() override {
    CFPropertyLists::SetUp();
    char pattern[] = "/tmp/cfprefs-XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(pattern));
    m_Root = pattern;
    m_Folder = m_Root / "Preferences";
    StandIn_SetFolder(kPreferencesFolderType, m_Folder.c_str());
    StandIn_CFPreferencesSetCurrentApplication("com.example.viewer");
    StandIn_CFPreferencesForget();
  }
  void TearDown() override {
    StandIn_CFPreferencesForget();
    StandIn_CFPreferencesSetCurrentApplication(nullptr);
    StandIn_SetFolder(kPreferencesFolderType, nullptr);
    fs::remove_all(m_Root);
    CFPropertyLists::TearDown();
  }

  void WriteFile(const std::string& name, const std::string& text) {
    fs::create_directories(m_Folder);
    std::ofstream(m_Folder / name) << text;
  }

  std::string ReadFile(const std::string& name) {
    std::ifstream file(m_Folder / name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  fs::path m_Root;
  fs::path m_Folder;
};

TEST_F(CFPreferencesStandIn, ValuesWaitUntilSynchronised) {
  const int size = 12;
  Owned number(CFNumberCreate(kCFAllocatorDefault, kCFNumberIntType, &size));
  CFPreferencesSetAppValue(CFSTR("MKRX_Size"), number.get(), kCFPreferencesCurrentApplication);
  Owned read(CFPreferencesCopyAppValue(CFSTR("MKRX_Size"), kCFPreferencesCurrentApplication));
  ASSERT_NE(nullptr, read);
  EXPECT_TRUE(CFEqual(number.get(), read.get()));
  EXPECT_FALSE(fs::exists(m_Folder / "com.example.viewer.plist"));

  ASSERT_TRUE(CFPreferencesAppSynchronize(kCFPreferencesCurrentApplication));
  EXPECT_NE(
      std::string::npos,
      ReadFile("com.example.viewer.plist").find("<key>MKRX_Size</key>\n\t<integer>12</integer>"));
  // A fresh process reads it from the file, by its identifier as well.
  StandIn_CFPreferencesForget();
  Owned again(CFPreferencesCopyAppValue(CFSTR("MKRX_Size"), CFSTR("com.example.viewer")));
  ASSERT_NE(nullptr, again);
  EXPECT_TRUE(CFEqual(number.get(), again.get()));

  // Null removes.
  CFPreferencesSetAppValue(CFSTR("MKRX_Size"), nullptr, kCFPreferencesCurrentApplication);
  EXPECT_EQ(nullptr,
            CFPreferencesCopyAppValue(CFSTR("MKRX_Size"), kCFPreferencesCurrentApplication));
  ASSERT_TRUE(CFPreferencesAppSynchronize(kCFPreferencesCurrentApplication));
  EXPECT_EQ(std::string::npos, ReadFile("com.example.viewer.plist").find("MKRX_Size"));
}

TEST_F(CFPreferencesStandIn, GlobalValuesStandBehindTheApplication) {
  const void* languages[] = {CFSTR("fr"), CFSTR("de")};
  Owned list(CFArrayCreate(kCFAllocatorDefault, languages, 2, &kCFTypeArrayCallBacks));
  CFPreferencesSetAppValue(CFSTR("AppleLanguages"), list.get(), kCFPreferencesAnyApplication);
  ASSERT_TRUE(CFPreferencesAppSynchronize(kCFPreferencesAnyApplication));
  EXPECT_TRUE(fs::exists(m_Folder / ".GlobalPreferences.plist"));
  StandIn_CFPreferencesForget();
  Owned read(CFPreferencesCopyAppValue(CFSTR("AppleLanguages"), kCFPreferencesCurrentApplication));
  ASSERT_NE(nullptr, read);
  EXPECT_TRUE(CFEqual(list.get(), read.get()));
  // The application's own value hides the global one.
  CFPreferencesSetAppValue(CFSTR("AppleLanguages"), CFSTR("it"), kCFPreferencesCurrentApplication);
  Owned own(CFPreferencesCopyAppValue(CFSTR("AppleLanguages"), kCFPreferencesCurrentApplication));
  EXPECT_TRUE(CFEqual(CFSTR("it"), own.get()));
}

TEST_F(CFPreferencesStandIn, SynchroniseReadsOtherWritersAndBadFilesHoldNothing) {
  WriteFile("com.example.viewer.plist", Plist("<dict><key>A</key><true/></dict>"));
  Owned a(CFPreferencesCopyAppValue(CFSTR("A"), kCFPreferencesCurrentApplication));
  EXPECT_EQ(kCFBooleanTrue, a.get());
  WriteFile("com.example.viewer.plist", Plist("<dict><key>A</key><false/></dict>"));
  ASSERT_TRUE(CFPreferencesAppSynchronize(kCFPreferencesCurrentApplication));
  Owned b(CFPreferencesCopyAppValue(CFSTR("A"), kCFPreferencesCurrentApplication));
  EXPECT_EQ(kCFBooleanFalse, b.get());
  for (const std::string& bad : {std::string("<dict>broken"), Plist("<array/>")}) {
    WriteFile("com.example.viewer.plist", bad);
    StandIn_CFPreferencesForget();
    EXPECT_EQ(nullptr, CFPreferencesCopyAppValue(CFSTR("A"), kCFPreferencesCurrentApplication));
  }
}

TEST_F(CFPreferencesStandIn, FailuresLeaveChangesWaiting) {
  CFPreferencesSetAppValue(CFSTR("K"), kCFBooleanTrue, kCFPreferencesCurrentApplication);
  StandIn_CFFailNext("CFPreferencesAppSynchronize");
  EXPECT_FALSE(CFPreferencesAppSynchronize(kCFPreferencesCurrentApplication));
  StandIn_CFFailNext("CFPreferencesCopyAppValue");
  EXPECT_EQ(nullptr, CFPreferencesCopyAppValue(CFSTR("K"), kCFPreferencesCurrentApplication));
  // A Preferences folder that cannot be made: the change keeps waiting.
  std::ofstream(m_Root / "blocker") << "x";
  StandIn_SetFolder(kPreferencesFolderType, (m_Root / "blocker" / "Preferences").c_str());
  EXPECT_FALSE(CFPreferencesAppSynchronize(kCFPreferencesCurrentApplication));
  StandIn_SetFolder(kPreferencesFolderType, m_Folder.c_str());
  ASSERT_TRUE(CFPreferencesAppSynchronize(kCFPreferencesCurrentApplication));
  StandIn_CFPreferencesForget();
  Owned read(CFPreferencesCopyAppValue(CFSTR("K"), kCFPreferencesCurrentApplication));
  EXPECT_EQ(kCFBooleanTrue, read.get());
  EXPECT_EQ(2, StandIn_CFCallCount("CFPreferencesCopyAppValue"));
}

}  // namespace

// The work of reading or building a dictionary grows with its size, not its square: every key
// is compared with at most a few stored keys (a scan of all keys would make n * n / 2).
TEST_F(CFPreferencesStandIn, LargeDictionariesReadAndBuildInLinearWork) {
  constexpr int kKeys = 3000;
  std::string body = "<dict>";
  for (int i = 0; i < kKeys; ++i)
    body += "<key>K" + std::to_string(i) + "</key><integer>" + std::to_string(i) + "</integer>";
  WriteFile("com.example.viewer.plist", Plist(body + "</dict>"));
  StandIn_CFReset();
  Owned last(CFPreferencesCopyAppValue(CFSTR("K2999"), kCFPreferencesCurrentApplication));
  ASSERT_NE(nullptr, last);
  SInt32 value = 0;
  EXPECT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(last.get()), kCFNumberSInt32Type, &value));
  EXPECT_EQ(2999, value);
  EXPECT_LE(StandIn_CFKeyProbes(), 4L * kKeys);

  StandIn_CFReset();
  CFMutableDictionaryRef const dict = CFDictionaryCreateMutable(
      kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  Owned const owner(dict);
  std::vector<Owned> keys;
  for (int i = 0; i < kKeys; ++i) {
    const std::string name = "K" + std::to_string(i);
    keys.emplace_back(
        CFStringCreateWithCString(kCFAllocatorDefault, name.c_str(), kCFStringEncodingASCII));
    CFDictionarySetValue(dict, keys.back().get(), kCFBooleanTrue);
  }
  for (const Owned& key : keys)
    EXPECT_EQ(kCFBooleanTrue, CFDictionaryGetValue(dict, key.get()));
  EXPECT_EQ(kKeys, CFDictionaryGetCount(dict));
  EXPECT_LE(StandIn_CFKeyProbes(), 4L * kKeys);
  // Removal keeps the others found.
  CFDictionaryRemoveValue(dict, keys[0].get());
  EXPECT_EQ(nullptr, CFDictionaryGetValue(dict, keys[0].get()));
  EXPECT_EQ(kCFBooleanTrue, CFDictionaryGetValue(dict, keys[kKeys - 1].get()));
}

TEST_F(CFPreferencesStandIn, AFifoInPlaceOfTheFileIsNotWaitedOn) {
  fs::create_directories(m_Folder);
  ASSERT_EQ(0, ::mkfifo((m_Folder / "com.example.viewer.plist").c_str(), 0600));
  EXPECT_EQ(nullptr, CFPreferencesCopyAppValue(CFSTR("A"), kCFPreferencesCurrentApplication));
  // The store is free again: a value set now is read back.
  CFPreferencesSetAppValue(CFSTR("A"), kCFBooleanTrue, kCFPreferencesCurrentApplication);
  Owned read(CFPreferencesCopyAppValue(CFSTR("A"), kCFPreferencesCurrentApplication));
  EXPECT_EQ(kCFBooleanTrue, read.get());
}

// Reals beyond an integer type's range are not converted (which would be undefined): the value
// saturates and the answer says it is not exact.
TEST_F(CFPropertyLists, RealsBeyondAnIntegersRangeAreRefused) {
  struct Case {
    const char* real;
    SInt64 expected64;
    bool exact64;
    bool exact32;
  };
  const Case cases[] = {
      {"1e30", INT64_MAX, false, false},
      {"-1e30", INT64_MIN, false, false},
      {"9.3e18", INT64_MAX, false, false},
      {"-9223372036854775808", INT64_MIN, true, false},
      {"3e9", 3000000000LL, true, false},
      {"42", 42, true, true},
      {"2.5", 2, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.real);
    Owned number(Parse(Plist(std::string("<real>") + c.real + "</real>")));
    ASSERT_NE(nullptr, number);
    SInt64 wide = 0;
    EXPECT_EQ(c.exact64, CFNumberGetValue(static_cast<CFNumberRef>(number.get()),
                                          kCFNumberSInt64Type, &wide) != 0);
    EXPECT_EQ(c.expected64, wide);
    SInt32 narrow = 0;
    EXPECT_EQ(c.exact32, CFNumberGetValue(static_cast<CFNumberRef>(number.get()),
                                          kCFNumberSInt32Type, &narrow) != 0);
  }
}
