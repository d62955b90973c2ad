// CFArray, CFDictionary, CFNumber types, CFBoolean, CFData and descriptions of the stand-in.
#include "StandInCFTest.h"
#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The description, released after reading.
std::u16string Describe(CFTypeRef object) {
  CFStringRef text = CFCopyDescription(object);
  EXPECT_NE(nullptr, text);
  std::u16string units = text ? text->Units() : std::u16string();
  if (text)
    CFRelease(text);
  return units;
}

class CFContainers : public StandInCFTest {};

TEST_F(CFContainers, NumbersKeepTheirCanonicalType) {
  const SInt8 s8 = -8;
  const short sh = 300;
  const int i = -5;
  const long l = 4294967296L;
  const long long ll = 7;
  const CFIndex index = 9;
  const float f = 3.5f;
  const double d = 0.1;
  struct Case {
    CFNumberType made;
    const void* value;
    CFNumberType stored;
    std::u16string description;
  };
  const Case cases[] = {
      {kCFNumberSInt8Type, &s8, kCFNumberSInt8Type, u"-8"},
      {kCFNumberCharType, &s8, kCFNumberSInt8Type, u"-8"},
      {kCFNumberShortType, &sh, kCFNumberSInt16Type, u"300"},
      {kCFNumberIntType, &i, kCFNumberSInt32Type, u"-5"},
      {kCFNumberLongType, &l, kCFNumberSInt64Type, u"4294967296"},
      {kCFNumberLongLongType, &ll, kCFNumberSInt64Type, u"7"},
      {kCFNumberCFIndexType, &index, kCFNumberSInt64Type, u"9"},
      {kCFNumberFloatType, &f, kCFNumberFloat32Type, u"3.5"},
      {kCFNumberDoubleType, &d, kCFNumberFloat64Type, u"0.1"},
  };
  for (const Case& c : cases) {
    CFNumberRef number = CFNumberCreate(kCFAllocatorDefault, c.made, c.value);
    EXPECT_EQ(c.stored, CFNumberGetType(number)) << c.made;
    EXPECT_EQ(c.description, Describe(number));
    CFRelease(number);
  }
}

TEST_F(CFContainers, EqualityAndHashFollowTheValue) {
  const int one = 1;
  const double oneReal = 1.0;
  const double half = 0.5;
  CFNumberRef a = CFNumberCreate(kCFAllocatorDefault, kCFNumberIntType, &one);
  CFNumberRef b = CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, &oneReal);
  CFNumberRef c = CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, &half);
  EXPECT_TRUE(CFEqual(a, b));
  EXPECT_EQ(CFHash(a), CFHash(b));
  EXPECT_FALSE(CFEqual(a, c));
  EXPECT_FALSE(CFEqual(a, CFSTR("1")));
  CFStringRef copy =
      CFStringCreateWithCString(kCFAllocatorDefault, "Bounds", kCFStringEncodingASCII);
  EXPECT_TRUE(CFEqual(copy, CFSTR("Bounds")));
  EXPECT_EQ(CFHash(copy), CFHash(CFSTR("Bounds")));
  for (CFTypeRef object : {CFTypeRef(a), CFTypeRef(b), CFTypeRef(c), CFTypeRef(copy)})
    CFRelease(object);
}

TEST_F(CFContainers, BooleansAreConstant) {
  EXPECT_TRUE(CFBooleanGetValue(kCFBooleanTrue));
  EXPECT_FALSE(CFBooleanGetValue(kCFBooleanFalse));
  EXPECT_EQ(kCFBooleanTrue, kCFBooleanTrue);
  EXPECT_EQ(CFBooleanGetTypeID(), CFGetTypeID(kCFBooleanFalse));
  CFRelease(CFRetain(kCFBooleanTrue));
  EXPECT_EQ(u"true", Describe(kCFBooleanTrue));
  EXPECT_EQ(u"false", Describe(kCFBooleanFalse));
}

TEST_F(CFContainers, DataKeepsItsBytes) {
  const UInt8 bytes[] = {0x00, 0x1b, 0xff};
  CFDataRef data = CFDataCreate(kCFAllocatorDefault, bytes, 3);
  ASSERT_EQ(3, CFDataGetLength(data));
  EXPECT_EQ(0xff, CFDataGetBytePtr(data)[2]);
  UInt8 middle = 0;
  CFDataGetBytes(data, CFRangeMake(1, 1), &middle);
  EXPECT_EQ(0x1b, middle);
  EXPECT_EQ(u"<001bff>", Describe(data));
  CFDataRef empty = CFDataCreate(kCFAllocatorDefault, nullptr, 0);
  EXPECT_EQ(0, CFDataGetLength(empty));
  EXPECT_FALSE(CFEqual(data, empty));
  CFRelease(data);
  CFRelease(empty);
}

TEST_F(CFContainers, ArraysRetainTheirValuesAndCopy) {
  CFStringRef a = CFStringCreateWithCString(kCFAllocatorDefault, "a", kCFStringEncodingASCII);
  CFStringRef b = CFStringCreateWithCString(kCFAllocatorDefault, "b", kCFStringEncodingASCII);
  const void* values[] = {a, b};
  CFArrayRef fixed = CFArrayCreate(kCFAllocatorDefault, values, 2, &kCFTypeArrayCallBacks);
  EXPECT_EQ(2, CFGetRetainCount(a));
  EXPECT_EQ(2, CFArrayGetCount(fixed));
  EXPECT_EQ(b, CFArrayGetValueAtIndex(fixed, 1));
  EXPECT_EQ(u"(a, b)", Describe(fixed));

  CFMutableArrayRef copy = CFArrayCreateMutableCopy(kCFAllocatorDefault, 0, fixed);
  EXPECT_EQ(3, CFGetRetainCount(a));
  EXPECT_TRUE(CFEqual(fixed, copy));
  // Set-at-index retains the new value and releases the old one.
  CFArraySetValueAtIndex(copy, 0, b);
  EXPECT_EQ(2, CFGetRetainCount(a));
  EXPECT_EQ(4, CFGetRetainCount(b));
  EXPECT_FALSE(CFEqual(fixed, copy));
  // Setting the value already there keeps it alive.
  CFArraySetValueAtIndex(copy, 1, b);
  EXPECT_EQ(4, CFGetRetainCount(b));
  // At the count, set appends.
  CFArraySetValueAtIndex(copy, 2, a);
  CFArrayInsertValueAtIndex(copy, 0, a);
  EXPECT_EQ(u"(a, b, b, a)", Describe(copy));
  EXPECT_EQ(1, CFArrayGetFirstIndexOfValue(copy, CFRangeMake(0, 4), CFSTR("b")));
  EXPECT_TRUE(CFArrayContainsValue(copy, CFRangeMake(0, 1), CFSTR("a")));
  CFArrayRemoveValueAtIndex(copy, 0);
  EXPECT_EQ(3, CFArrayGetCount(copy));
  CFArrayRemoveAllValues(copy);
  EXPECT_EQ(0, CFArrayGetCount(copy));
  EXPECT_EQ(2, CFGetRetainCount(a));

  CFArrayRef frozen = CFArrayCreateCopy(kCFAllocatorDefault, fixed);
  EXPECT_TRUE(CFEqual(frozen, fixed));
  for (CFTypeRef object :
       {CFTypeRef(fixed), CFTypeRef(copy), CFTypeRef(frozen), CFTypeRef(a), CFTypeRef(b)})
    CFRelease(object);
}

TEST_F(CFContainers, ArraysWithoutCallBacksKeepPlainPointers) {
  static int first = 1;
  static int second = 2;
  CFMutableArrayRef array = CFArrayCreateMutable(kCFAllocatorDefault, 2, nullptr);
  CFArrayAppendValue(array, &first);
  CFArrayAppendValue(array, &second);
  EXPECT_EQ(&second, CFArrayGetValueAtIndex(array, 1));
  const void* both[2] = {};
  CFArrayGetValues(array, CFRangeMake(0, 2), both);
  EXPECT_EQ(&first, both[0]);
  CFRelease(array);
}

TEST_F(CFContainers, DictionariesFindKeysByValueAndCopy) {
  CFStringRef key =
      CFStringCreateWithCString(kCFAllocatorDefault, "Window", kCFStringEncodingASCII);
  const int seven = 7;
  CFNumberRef number = CFNumberCreate(kCFAllocatorDefault, kCFNumberIntType, &seven);
  CFMutableDictionaryRef dict =
      CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFCopyStringDictionaryKeyCallBacks,
                                &kCFTypeDictionaryValueCallBacks);
  CFDictionarySetValue(dict, key, number);
  CFDictionaryAddValue(dict, CFSTR("Window"), kCFBooleanTrue);  // present: unchanged
  CFDictionarySetValue(dict, CFSTR("Open"), kCFBooleanFalse);
  EXPECT_EQ(2, CFDictionaryGetCount(dict));
  EXPECT_EQ(2, CFGetRetainCount(number));
  // Found by an equal key, not only by the same object.
  EXPECT_EQ(number, CFDictionaryGetValue(dict, CFSTR("Window")));
  const void* value = nullptr;
  EXPECT_FALSE(CFDictionaryGetValueIfPresent(dict, CFSTR("Missing"), &value));
  EXPECT_EQ(nullptr, CFDictionaryGetValue(dict, CFSTR("Missing")));
  EXPECT_TRUE(CFDictionaryContainsKey(dict, CFSTR("Open")));
  EXPECT_EQ(u"{Window = 7; Open = false; }", Describe(dict));

  const void* keys[2] = {};
  const void* values[2] = {};
  CFDictionaryGetKeysAndValues(dict, keys, values);
  EXPECT_TRUE(CFEqual(static_cast<CFTypeRef>(keys[0]), CFSTR("Window")));
  EXPECT_EQ(kCFBooleanFalse, values[1]);

  CFDictionaryRef frozen = CFDictionaryCreateCopy(kCFAllocatorDefault, dict);
  CFMutableDictionaryRef copy = CFDictionaryCreateMutableCopy(kCFAllocatorDefault, 0, frozen);
  EXPECT_TRUE(CFEqual(frozen, copy));
  CFDictionarySetValue(copy, CFSTR("Window"), kCFBooleanTrue);
  EXPECT_EQ(3, CFGetRetainCount(number));  // dict and frozen
  EXPECT_FALSE(CFEqual(frozen, copy));
  CFDictionaryRemoveValue(copy, CFSTR("Open"));
  CFDictionaryRemoveValue(copy, CFSTR("Missing"));
  EXPECT_EQ(1, CFDictionaryGetCount(copy));
  CFDictionaryRemoveAllValues(copy);
  EXPECT_EQ(0, CFDictionaryGetCount(copy));

  const void* pairKeys[] = {CFSTR("a"), CFSTR("a")};
  const void* pairValues[] = {kCFBooleanTrue, kCFBooleanFalse};
  CFDictionaryRef repeated =
      CFDictionaryCreate(kCFAllocatorDefault, pairKeys, pairValues, 2,
                         &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  EXPECT_EQ(1, CFDictionaryGetCount(repeated));
  EXPECT_EQ(kCFBooleanFalse, CFDictionaryGetValue(repeated, CFSTR("a")));
  for (CFTypeRef object : {CFTypeRef(dict), CFTypeRef(frozen), CFTypeRef(copy), CFTypeRef(repeated),
                           CFTypeRef(key), CFTypeRef(number)})
    CFRelease(object);
}

TEST_F(CFContainers, CreationsFailWhenTold) {
  const char* const calls[] = {"CFArrayCreate", "CFArrayCreateMutable", "CFDictionaryCreateMutable",
                               "CFDataCreate",  "CFNumberCreate",       "CFCopyDescription"};
  for (const char* call : calls)
    StandIn_CFFailNext(call);
  EXPECT_EQ(nullptr, CFArrayCreate(kCFAllocatorDefault, nullptr, 0, &kCFTypeArrayCallBacks));
  EXPECT_EQ(nullptr, CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
  EXPECT_EQ(nullptr, CFDictionaryCreateMutable(kCFAllocatorDefault, 0, nullptr, nullptr));
  EXPECT_EQ(nullptr, CFDataCreate(kCFAllocatorDefault, nullptr, 0));
  const int one = 1;
  EXPECT_EQ(nullptr, CFNumberCreate(kCFAllocatorDefault, kCFNumberIntType, &one));
  EXPECT_EQ(nullptr, CFCopyDescription(kCFBooleanTrue));
  for (const char* call : calls)
    EXPECT_EQ(1, StandIn_CFCallCount(call)) << call;
  // Only the next call fails.
  CFArrayRef array = CFArrayCreate(kCFAllocatorDefault, nullptr, 0, &kCFTypeArrayCallBacks);
  ASSERT_NE(nullptr, array);
  CFRelease(array);
}

using CFContainersDeathTest = CFContainers;

TEST_F(CFContainersDeathTest, MisuseAbortsWithAMessage) {
  const void* values[] = {kCFBooleanTrue};
  CFArrayRef array = CFArrayCreate(kCFAllocatorDefault, values, 1, &kCFTypeArrayCallBacks);
  CFDictionaryRef dict =
      CFDictionaryCreate(kCFAllocatorDefault, nullptr, nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                         &kCFTypeDictionaryValueCallBacks);
  CFMutableArrayRef small = CFArrayCreateMutable(kCFAllocatorDefault, 1, &kCFTypeArrayCallBacks);
  CFArrayAppendValue(small, kCFBooleanTrue);
  EXPECT_DEATH(CFArraySetValueAtIndex(const_cast<CFMutableArrayRef>(array), 0, kCFBooleanFalse),
               "immutable CFArray");
  EXPECT_DEATH(
      CFDictionarySetValue(const_cast<CFMutableDictionaryRef>(dict), CFSTR("k"), kCFBooleanFalse),
      "immutable CFDictionary");
  EXPECT_DEATH(CFArrayGetValueAtIndex(array, 1), "out of bounds");
  EXPECT_DEATH(CFArrayAppendValue(small, kCFBooleanTrue), "capacity");
  EXPECT_DEATH(CFRelease(nullptr), "CFRelease\\(NULL\\)");
  EXPECT_DEATH(StandIn_CFFailNext("CFArrayGetCount"), "cannot fail");
  CFRelease(array);
  CFRelease(dict);
  CFRelease(small);
}

}  // namespace
