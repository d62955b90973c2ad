// CF holders, key-path tokens and deep access through nested dictionaries and arrays.
#include "support/UMAC_LiveCounts.h"
#include "UMAC/UMAC_CFArray.h"
#include "UMAC/UMAC_CFDictionary.h"
#include "UMAC/UMAC_CFToken.h"
#include "UMAC/UMAC_Exception.h"

#include <CoreFoundation/CFNumber.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// Runs the call and gives the UMAC exception it throws (code 0 when it throws none).
UMAC_Exception Thrown(const std::function<void()>& call) {
  try {
    call();
  } catch (const UMAC_Exception& e) {
    return e;
  }
  return UMAC_Exception(0, "", "", 0);
}

CFNumberRef NewInt(int value) {
  return CFNumberCreate(kCFAllocatorDefault, kCFNumberIntType, &value);
}

CFStringRef NewString(const char* text) {
  return CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8);
}

// Builds immutable containers, releasing what it made when the test ends.
class Built {
public:
  ~Built() {
    for (CFTypeRef object : m_Objects)
      CFRelease(object);
  }

  CFTypeRef Keep(CFTypeRef object) {
    m_Objects.push_back(object);
    return object;
  }

  CFArrayRef Array(std::initializer_list<CFTypeRef> values) {
    std::vector<const void*> items(values.begin(), values.end());
    return static_cast<CFArrayRef>(
        Keep(CFArrayCreate(kCFAllocatorDefault, items.data(), static_cast<CFIndex>(items.size()),
                           &kCFTypeArrayCallBacks)));
  }

  CFDictionaryRef Dict(std::initializer_list<std::pair<const char*, CFTypeRef>> pairs) {
    std::vector<const void*> keys;
    std::vector<const void*> values;
    for (const auto& pair : pairs) {
      keys.push_back(Keep(NewString(pair.first)));
      values.push_back(pair.second);
    }
    return static_cast<CFDictionaryRef>(Keep(CFDictionaryCreate(
        kCFAllocatorDefault, keys.data(), values.data(), static_cast<CFIndex>(keys.size()),
        &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks)));
  }

  CFNumberRef Int(int value) { return static_cast<CFNumberRef>(Keep(NewInt(value))); }
  CFStringRef String(const char* text) { return static_cast<CFStringRef>(Keep(NewString(text))); }

private:
  std::vector<CFTypeRef> m_Objects;
};

class UMAC_CFWrappers : public UMAC_LiveCountsTest {};

// --- tokens -----------------------------------------------------------------------------------

TEST_F(UMAC_CFWrappers, TokensOfKeyPaths) {
  struct Case {
    const wchar_t* path;
    std::vector<std::pair<UMAC_CFTokenKind, GLIB_WString>> tokens;
  };
  const Case cases[] = {
      {L"{Window}{Bounds}",
       {{kUMAC_CFTokenOpenBrace, L""},
        {kUMAC_CFTokenKey, L"Window"},
        {kUMAC_CFTokenCloseBrace, L""},
        {kUMAC_CFTokenOpenBrace, L""},
        {kUMAC_CFTokenKey, L"Bounds"},
        {kUMAC_CFTokenCloseBrace, L""}}},
      {L"{Item}[12]",
       {{kUMAC_CFTokenOpenBrace, L""},
        {kUMAC_CFTokenKey, L"Item"},
        {kUMAC_CFTokenCloseBrace, L""},
        {kUMAC_CFTokenOpenBracket, L""},
        {kUMAC_CFTokenIndex, L"12"},
        {kUMAC_CFTokenCloseBracket, L""}}},
      {L"{Recent Files 2}",
       {{kUMAC_CFTokenOpenBrace, L""},
        {kUMAC_CFTokenKey, L"Recent"},
        {kUMAC_CFTokenBlank, L""},
        {kUMAC_CFTokenKey, L"Files"},
        {kUMAC_CFTokenBlank, L""},
        {kUMAC_CFTokenIndex, L"2"},
        {kUMAC_CFTokenCloseBrace, L""}}},
      {L"{File 007}",
       {{kUMAC_CFTokenOpenBrace, L""},
        {kUMAC_CFTokenKey, L"File"},
        {kUMAC_CFTokenBlank, L""},
        {kUMAC_CFTokenIndex, L"007"},
        {kUMAC_CFTokenCloseBrace, L""}}},
  };
  for (const Case& c : cases) {
    GLIB_WString path = c.path;
    for (const auto& expected : c.tokens) {
      const UMAC_CFToken token = UMAC_NextCFToken(path);
      EXPECT_EQ(expected.first, token.m_Kind) << c.path;
      if (expected.first == kUMAC_CFTokenKey || expected.first == kUMAC_CFTokenIndex) {
        EXPECT_EQ(expected.second, token.m_Text);
      }
    }
    EXPECT_TRUE(path.empty()) << c.path;
  }
  GLIB_WString twelve = L"12]";
  EXPECT_EQ(12, UMAC_NextCFToken(twelve).m_Value);
  EXPECT_EQ(L"]", twelve);
  GLIB_WString huge = L"99999999999]";
  const UMAC_CFToken big = UMAC_NextCFToken(huge);
  EXPECT_EQ(kUMAC_CFTokenIndex, big.m_Kind);
  EXPECT_FALSE(big.IsUsableIndex());
}

TEST_F(UMAC_CFWrappers, PathsWithoutAFinalDelimiterCannotBeTokenized) {
  for (const wchar_t* text : {L"", L"b", L"Bounds"}) {
    GLIB_WString path = text;
    const UMAC_Exception e = Thrown([&] { UMAC_NextCFToken(path); });
    EXPECT_EQ(1436023u, e.code());
    EXPECT_EQ(L"Could not tokenize path", GLIB_WString(e.message()));
    EXPECT_EQ(GLIB_WString(text), e.getDetailParameter(0));
  }
}

TEST_F(UMAC_CFWrappers, KeysOfPathsReachTheirValues) {
  Built b;
  CFDictionaryRef window = b.Dict({{"Bounds", b.Int(1)}});
  CFArrayRef recent = b.Array({b.Int(10), b.Int(11), b.Int(12), b.Int(13)});
  std::vector<CFTypeRef> items;
  for (int i = 0; i < 13; ++i)
    items.push_back(b.Int(100 + i));
  CFArrayRef item = static_cast<CFArrayRef>(
      b.Keep(CFArrayCreate(kCFAllocatorDefault, reinterpret_cast<const void**>(items.data()), 13,
                           &kCFTypeArrayCallBacks)));
  CFDictionaryRef top = b.Dict({{"Window", window},
                                {"Recent", recent},
                                {"Item", item},
                                {"Recent Files 2", b.Int(2)},
                                {"File 007", b.Int(7)},
                                {"42", b.Int(42)},
                                {"a", window}});
  const UMAC_CFDictionary dict(top, kUMAC_CFNotOwned);
  struct Case {
    const wchar_t* path;
    int expected;
  };
  const Case cases[] = {{L"{Window}{Bounds}", 1}, {L"{Recent}[3]", 13},  {L"{Item}[12]", 112},
                        {L"{Recent Files 2}", 2}, {L"  {File 007} ", 7}, {L"{42}", 42}};
  for (const Case& c : cases) {
    const UMAC_CFType value(dict.GetDeepValue(c.path), kUMAC_CFNotOwned);
    EXPECT_EQ(c.expected, value.AsInteger()) << c.path;
  }
  GLIB_WString path = L"{Recent}[3]";
  GLIB_WString key;
  EXPECT_EQ(recent, dict.GetParsedValue(path, &key));
  EXPECT_EQ(L"Recent", key);
  EXPECT_EQ(L"[3]", path);

  const UMAC_Exception tail = Thrown([&] { dict.GetDeepValue(L"{a}b"); });
  EXPECT_EQ(1436023u, tail.code());
  EXPECT_EQ(L"Could not tokenize path", GLIB_WString(tail.message()));
  EXPECT_EQ(L"b", tail.getDetailParameter(0));

  for (const wchar_t* bad : {L"[0]", L"{}", L"{ Window}", L"{Window[0]}"}) {
    const UMAC_Exception e = Thrown([&] { dict.GetDeepValue(bad); });
    EXPECT_EQ(1436023u, e.code()) << bad;
    EXPECT_EQ(L"ioPath for UMAC_CFDictionary::GetDeepValue() must begin with {foo}",
              GLIB_WString(e.message()));
  }
  const UMAC_Exception huge = Thrown([&] { dict.GetDeepValue(L"{Recent}[99999999999]"); });
  EXPECT_EQ(1436023u, huge.code());
  EXPECT_EQ(L"[99999999999]", huge.getDetailParameter(0));
}

// --- deep access ------------------------------------------------------------------------------

TEST_F(UMAC_CFWrappers, DeepValuesThroughNestedImmutableContainers) {
  Built b;
  CFDictionaryRef inner = b.Dict({{"Name", b.String("Cyan")}, {"Depth", b.Int(3)}});
  CFArrayRef list = b.Array({inner, b.Int(5)});
  CFDictionaryRef top = b.Dict({{"Palettes", list}, {"Count", b.Int(1)}});
  UMAC_CFDictionary dict(top, kUMAC_CFNotOwned);
  EXPECT_EQ(1, UMAC_CFType(dict.GetDeepValue(L"{Count}"), kUMAC_CFNotOwned).AsInteger());
  EXPECT_EQ(5, UMAC_CFType(dict.GetDeepValue(L"{Palettes}[1]"), kUMAC_CFNotOwned).AsInteger());
  EXPECT_EQ("Cyan",
            UMAC_CFType(dict.GetDeepValue(L"{Palettes}[0]{Name}"), kUMAC_CFNotOwned).AsString());
  const UMAC_CFArray array(list, kUMAC_CFNotOwned);
  EXPECT_EQ(array.GetValueAtIndex(1), array.GetDeepValue(L"  [1] "));
  EXPECT_EQ(3, UMAC_CFType(array.GetDeepValue(L"[0]{Depth}"), kUMAC_CFNotOwned).AsInteger());
}

TEST_F(UMAC_CFWrappers, SettingThroughTwoImmutableLevelsCopiesOnTheWay) {
  Built b;
  CFDictionaryRef inner = b.Dict({{"Name", b.String("Cyan")}});
  CFArrayRef list = b.Array({inner, b.Int(5)});
  CFDictionaryRef top = b.Dict({{"Palettes", list}});
  const long live = StandIn_CFLiveObjectCount();
  {
    UMAC_CFDictionary dict(top, kUMAC_CFNotOwned);
    CFStringRef magenta = b.String("Magenta");
    dict.SetDeepValue(L"{Palettes}[0]{Name}", magenta);
    // The holder now owns a changed copy; the containers that were read are unchanged.
    EXPECT_NE(top, dict.Get());
    EXPECT_EQ(kUMAC_CFOwned, dict.Ownership());
    EXPECT_EQ(list, CFDictionaryGetValue(top, CFSTR("Palettes")));
    EXPECT_TRUE(
        CFEqual(CFSTR("Cyan"), static_cast<CFTypeRef>(CFDictionaryGetValue(inner, CFSTR("Name")))));
    EXPECT_EQ(magenta, dict.GetDeepValue(L"{Palettes}[0]{Name}"));
    EXPECT_NE(list, dict.GetValue(L"Palettes"));
    EXPECT_EQ(5, UMAC_CFType(dict.GetDeepValue(L"{Palettes}[1]"), kUMAC_CFNotOwned).AsInteger());
    // A second write goes into the copies already made.
    dict.SetDeepValue(L"{Palettes}[1]", b.Int(6));
    EXPECT_EQ(6, UMAC_CFType(dict.GetDeepValue(L"{Palettes}[1]"), kUMAC_CFNotOwned).AsInteger());
  }
  EXPECT_EQ(live + 2, StandIn_CFLiveObjectCount());  // the two values this test made
  {
    UMAC_CFArray array(list, kUMAC_CFNotOwned);
    array.SetDeepValue(L"[0]{Name}", CFSTR("Yellow"));
    EXPECT_TRUE(
        CFEqual(CFSTR("Cyan"), static_cast<CFTypeRef>(CFDictionaryGetValue(inner, CFSTR("Name")))));
    EXPECT_EQ(CFSTR("Yellow"), array.GetDeepValue(L"[0]{Name}"));
  }
}

TEST_F(UMAC_CFWrappers, FailedDeepCallsChangeNoContents) {
  Built b;
  CFDictionaryRef inner = b.Dict({{"Name", b.String("Cyan")}});
  CFArrayRef empty = b.Array({});
  CFDictionaryRef top = b.Dict(
      {{"Inner", inner}, {"Number", b.Int(4)}, {"Empty", empty}, {"List", b.Array({inner})}});
  UMAC_CFDictionary dict(top, kUMAC_CFNotOwned);
  struct Case {
    const wchar_t* path;
    std::uint32_t code;
    const wchar_t* message;
  };
  const Case cases[] = {
      {L"{Missing}", 1436019, L"Key \"Missing\" not in dictionary."},
      {L"{Inner}{Missing}", 1436019, L"Key \"Missing\" not in dictionary."},
      {L"{Number}{Name}", 1436023, L"Non-terminal path component is not a dictionary or array"},
      {L"{List}[0]{Name}[1]", 1436023, L"Non-terminal path component is not a dictionary or array"},
      {L"{Empty}[0]", 1436018, L"Index out of range for UMAC_CFArrayBase::Get()"},
      {L"{List}{Name}", 1436023, L"Path for UMAC_CFArray::GetDeepValue() must begin with [n]"},
  };
  CFStringRef value = b.String("new");
  for (const Case& c : cases) {
    const UMAC_Exception get = Thrown([&] { dict.GetDeepValue(c.path); });
    EXPECT_EQ(c.code, get.code()) << c.path;
    EXPECT_EQ(GLIB_WString(c.message), GLIB_WString(get.message())) << c.path;
    const UMAC_Exception set = Thrown([&] { dict.SetDeepValue(c.path, value); });
    EXPECT_EQ(c.code, set.code()) << c.path;
    // Contents unchanged (the holder may hold an equal mutable copy); set never creates keys.
    EXPECT_TRUE(CFEqual(top, dict.Get())) << c.path;
  }
  const UMAC_Exception number = Thrown([&] { dict.GetDeepValue(L"{Number}{Name}"); });
  EXPECT_EQ(L"{Number}{Name}", number.getDetailParameter(0));
  EXPECT_TRUE(
      CFEqual(CFSTR("Cyan"), static_cast<CFTypeRef>(CFDictionaryGetValue(inner, CFSTR("Name")))));
}

TEST_F(UMAC_CFWrappers, ArrayBoundsAndEveryWriteMakesTheHolderMutable) {
  Built b;
  CFArrayRef list = b.Array({b.Int(1), b.Int(2)});
  UMAC_CFArray array(list, kUMAC_CFNotOwned);
  EXPECT_EQ(2, array.Size());
  for (int bad : {-1, 2}) {
    const UMAC_Exception get = Thrown([&] { array.GetValueAtIndex(bad); });
    EXPECT_EQ(1436018u, get.code());
    const UMAC_Exception put = Thrown([&] { array.PutValueAtIndex(kCFBooleanTrue, bad); });
    EXPECT_EQ(1436018u, put.code());
    EXPECT_EQ(L"Index out of range for UMAC_CFMutableArray::Get()", GLIB_WString(put.message()));
  }
  CFNumberRef three = b.Int(3);
  array.PutValueAtIndex(three, 0);
  EXPECT_EQ(three, array.GetValueAtIndex(0));
  EXPECT_EQ(2, CFGetRetainCount(three));
  EXPECT_EQ(2, CFArrayGetCount(list));
  EXPECT_NE(three, CFArrayGetValueAtIndex(list, 0));

  CFDictionaryRef fixed = b.Dict({{"Keep", kCFBooleanTrue}, {"Drop", kCFBooleanFalse}});
  UMAC_CFDictionary dict(fixed, kUMAC_CFNotOwned);
  dict.RemoveValue(L"Drop");
  dict.SetValue(CFSTR("Add"), three);
  EXPECT_EQ(2, dict.Size());
  EXPECT_TRUE(dict.HasKey(L"Add"));
  EXPECT_FALSE(dict.HasKey(CFSTR("Drop")));
  EXPECT_EQ(2, CFDictionaryGetCount(fixed));
  CFArrayRef keys = dict.Keys();
  EXPECT_EQ(2, CFArrayGetCount(keys));
  CFRelease(keys);
  CFDictionaryRef copy = dict.CopyAsDictionary();
  EXPECT_EQ(dict.Get(), copy);
  CFRelease(copy);

  UMAC_CFDictionary fresh;
  fresh.SetValue(L"\U0001F600", kCFBooleanTrue);
  EXPECT_EQ(kCFBooleanTrue, fresh.GetValue(L"\U0001F600"));
}

// --- types ------------------------------------------------------------------------------------

TEST_F(UMAC_CFWrappers, NumbersOfEachType) {
  const SInt8 s8 = -8;
  const SInt16 s16 = 300;
  const SInt32 s32 = -5;
  const SInt64 fits = 2147483647;
  const SInt64 unsigned32 = 4294967295LL;
  const SInt64 beyond = 4294967296LL;
  const long wide = -5;
  const float f = 3.5f;
  const double d = 3.5;
  struct Case {
    CFNumberType type;
    const void* value;
    bool isInteger;
    const char* description;
  };
  const Case cases[] = {
      {kCFNumberSInt8Type, &s8, true, "-8"},
      {kCFNumberSInt16Type, &s16, true, "300"},
      {kCFNumberSInt32Type, &s32, true, "-5"},
      {kCFNumberSInt64Type, &fits, true, "2147483647"},
      {kCFNumberLongType, &wide, true, "-5"},
      {kCFNumberSInt64Type, &unsigned32, false, "4294967295"},
      {kCFNumberSInt64Type, &beyond, false, "4294967296"},
      {kCFNumberFloat32Type, &f, false, "3.5"},
      {kCFNumberFloat64Type, &d, false, "3.5"},
  };
  for (const Case& c : cases) {
    const UMAC_CFType number(CFNumberCreate(kCFAllocatorDefault, c.type, c.value), kUMAC_CFOwned);
    const bool isFloat = c.type == kCFNumberFloat32Type || c.type == kCFNumberFloat64Type;
    EXPECT_EQ(c.isInteger, number.IsInteger()) << c.description;
    EXPECT_EQ(isFloat, number.IsDouble()) << c.description;
    EXPECT_FALSE(number.IsBoolean() || number.IsString() || number.IsArray() ||
                 number.IsDictionary());
    if (c.isInteger) {
      EXPECT_EQ(std::stoll(c.description), number.AsInteger());
    } else {
      EXPECT_EQ(L"Could not convert CFTypeRef with description \"" +
                    GLIB_NToWString(c.description) + L"\" to integer",
                GLIB_WString(Thrown([&] { number.AsInteger(); }).message()));
    }
    if (isFloat) {
      EXPECT_EQ(3.5, number.AsDouble());
    } else {
      EXPECT_EQ(1436017u, Thrown([&] { number.AsDouble(); }).code());
    }
  }
}

TEST_F(UMAC_CFWrappers, OtherTypesAndTheirConversionErrors) {
  Built b;
  const UMAC_CFType null(nullptr, kUMAC_CFOwned);
  const UMAC_CFType yes(true);
  const UMAC_CFType no(false);
  const UMAC_CFType text(b.String("Front"), kUMAC_CFNotOwned);
  const UMAC_CFType list(b.Array({b.Int(1)}), kUMAC_CFNotOwned);
  const UMAC_CFType dict(b.Dict({{"k", kCFBooleanTrue}}), kUMAC_CFNotOwned);
  EXPECT_TRUE(null.IsNull());
  EXPECT_FALSE(null.IsBoolean() || null.IsInteger() || null.IsDouble() || null.IsString() ||
               null.IsArray() || null.IsDictionary());
  EXPECT_EQ(kCFBooleanTrue, yes.Get());
  EXPECT_TRUE(yes.AsBoolean());
  EXPECT_FALSE(no.AsBoolean());
  EXPECT_EQ("Front", text.AsString());
  EXPECT_EQ(list.Get(), list.AsArray());
  EXPECT_EQ(dict.Get(), dict.AsDictionary());

  struct Case {
    const UMAC_CFType& holder;
    std::function<void(const UMAC_CFType&)> convert;
    const wchar_t* message;
  };
  const Case cases[] = {
      {null, [](const UMAC_CFType& h) { h.AsBoolean(); },
       L"Could not convert CFTypeRef with description \"(null)\" to Boolean"},
      {yes, [](const UMAC_CFType& h) { h.AsString(); },
       L"Could not convert CFTypeRef with description \"true\" to string"},
      {text, [](const UMAC_CFType& h) { h.AsArray(); },
       L"Could not convert CFTypeRef with description \"Front\" to array"},
      {list, [](const UMAC_CFType& h) { h.AsDictionary(); },
       L"Could not convert CFTypeRef with description \"(1)\" to dictionary"},
      {dict, [](const UMAC_CFType& h) { h.AsDouble(); },
       L"Could not convert CFTypeRef with description \"{k = true; }\" to double"},
      {dict, [](const UMAC_CFType& h) { h.CopyAsDictionary(); }, nullptr},
  };
  for (const Case& c : cases) {
    const UMAC_Exception e = Thrown([&] { c.convert(c.holder); });
    if (c.message == nullptr) {
      EXPECT_EQ(0u, e.code());
      CFRelease(c.holder.Get());
      continue;
    }
    EXPECT_EQ(1436017u, e.code());
    EXPECT_EQ(GLIB_WString(c.message), GLIB_WString(e.message()));
  }
}

}  // namespace
