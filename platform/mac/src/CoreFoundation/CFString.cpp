#include <CoreFoundation/CFString.h>
#include <CoreServices/StandInCalls.h>

#include "../System/iStandInCalls.h"

#include "StandIn_TextEncodings.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>

namespace {

CFTypeID StringTypeID() {
  static const CFTypeID typeID = StandIn_CFRegisterType();
  return typeID;
}

// One name in the shared failure injection stands for every creation of the kind.
bool CreationFails() {
  return standin_calls::Enter("CFString creations") != noErr;
}

[[noreturn]] void Crash(const char* what) {
  std::fprintf(stderr, "CoreFoundation stand-in: %s\n", what);
  std::abort();
}

void CheckRange(CFStringRef theString, CFRange range) {
  if (theString == nullptr) {
    Crash("CFString function called with NULL");
  }
  const CFIndex length = static_cast<CFIndex>(theString->Units().size());
  if (range.location < 0 || range.length < 0 || range.location + range.length > length) {
    Crash("CFString range out of bounds");
  }
}

CFStringRef CreateFromBytes(const UInt8* bytes, std::size_t count, CFStringEncoding encoding,
                            bool isExternalRepresentation) {
  if (CreationFails()) {
    return nullptr;
  }
  std::u16string units;
  if (!standin::DecodeBytes(bytes, count, encoding, isExternalRepresentation, units)) {
    return nullptr;
  }
  return new StandIn_CFString(std::move(units));
}

}  // namespace

StandIn_CFString::StandIn_CFString(std::u16string units)
    : StandIn_CFObject(StringTypeID()),
      m_Units(std::move(units)) {}

bool StandIn_CFString::Equals(const StandIn_CFObject& other) const {
  return other.TypeID() == TypeID() &&
         static_cast<const StandIn_CFString&>(other).m_Units == m_Units;
}

CFHashCode StandIn_CFString::Hash() const {
  return std::hash<std::u16string>()(m_Units);
}

CFTypeID CFStringGetTypeID() {
  return StringTypeID();
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char* cStr, CFStringEncoding encoding) {
  if (cStr == nullptr) {
    Crash("CFStringCreateWithCString(NULL)");
  }
  return CreateFromBytes(reinterpret_cast<const UInt8*>(cStr), std::strlen(cStr), encoding, false);
}

CFStringRef CFStringCreateWithBytes(CFAllocatorRef, const UInt8* bytes, CFIndex numBytes,
                                    CFStringEncoding encoding, Boolean isExternalRepresentation) {
  if (numBytes < 0 || (bytes == nullptr && numBytes > 0)) {
    return nullptr;
  }
  return CreateFromBytes(bytes, static_cast<std::size_t>(numBytes), encoding,
                         isExternalRepresentation != 0);
}

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, const UniChar* chars, CFIndex numChars) {
  if (numChars < 0 || (chars == nullptr && numChars > 0) || CreationFails()) {
    return nullptr;
  }
  std::u16string units;
  for (CFIndex i = 0; i < numChars; ++i) {
    units.push_back(static_cast<char16_t>(chars[i]));
  }
  return new StandIn_CFString(std::move(units));
}

CFMutableStringRef CFStringCreateMutableCopy(CFAllocatorRef, CFIndex, CFStringRef theString) {
  if (theString == nullptr || CreationFails())
    return nullptr;
  return new StandIn_CFString(theString->Units());
}

void CFStringReplaceAll(CFMutableStringRef theString, CFStringRef replacement) {
  if (theString && replacement)
    theString->ReplaceUnits(replacement->Units());
}

CFIndex CFStringGetLength(CFStringRef theString) {
  CheckRange(theString, CFRangeMake(0, 0));
  return static_cast<CFIndex>(theString->Units().size());
}

UniChar CFStringGetCharacterAtIndex(CFStringRef theString, CFIndex idx) {
  CheckRange(theString, CFRangeMake(idx, 1));
  return theString->Units()[static_cast<std::size_t>(idx)];
}

void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar* buffer) {
  CheckRange(theString, range);
  const std::u16string& units = theString->Units();
  for (CFIndex i = 0; i < range.length; ++i) {
    buffer[i] = units[static_cast<std::size_t>(range.location + i)];
  }
}

namespace {

UniChar LowerCaseUnit(UniChar unit) {
  const bool basicLatin = unit >= u'A' && unit <= u'Z';
  const bool latin1 = unit >= 0xC0 && unit <= 0xDE && unit != 0xD7;
  const bool greek = unit >= 0x391 && unit <= 0x3A9 && unit != 0x3A2;
  return basicLatin || latin1 || greek ? static_cast<UniChar>(unit + 32) : unit;
}

}  // namespace

CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2,
                                   CFOptionFlags compareOptions) {
  if (theString1 == nullptr || theString2 == nullptr) {
    Crash("CFStringCompare called with NULL");
  }
  const std::u16string& a = theString1->Units();
  const std::u16string& b = theString2->Units();
  const bool caseless = (compareOptions & kCFCompareCaseInsensitive) != 0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const UniChar x = caseless ? LowerCaseUnit(a[i]) : a[i];
    const UniChar y = caseless ? LowerCaseUnit(b[i]) : b[i];
    if (x != y) {
      return x < y ? kCFCompareLessThan : kCFCompareGreaterThan;
    }
  }
  if (a.size() == b.size()) {
    return kCFCompareEqualTo;
  }
  return a.size() < b.size() ? kCFCompareLessThan : kCFCompareGreaterThan;
}

CFIndex CFStringGetBytes(CFStringRef theString, CFRange range, CFStringEncoding encoding,
                         UInt8 lossByte, Boolean, UInt8* buffer, CFIndex maxBufLen,
                         CFIndex* usedBufLen) {
  CheckRange(theString, range);
  CFIndex converted = 0;
  CFIndex used = 0;
  if (standin::IsSupportedEncoding(encoding)) {
    const std::u16string& units = theString->Units();
    const std::size_t end = static_cast<std::size_t>(range.location + range.length);
    std::size_t index = static_cast<std::size_t>(range.location);
    std::string bytes;
    while (index < end) {
      std::size_t consumed = 1;
      if (!standin::EncodeCharacter(units, index, encoding, bytes, consumed) ||
          index + consumed > end) {
        if (lossByte == 0) {
          break;
        }
        bytes.assign(1, static_cast<char>(lossByte));
        consumed = 1;
      }
      const CFIndex size = static_cast<CFIndex>(bytes.size());
      if (buffer != nullptr) {
        if (used + size > maxBufLen) {
          break;
        }
        std::memcpy(buffer + used, bytes.data(), bytes.size());
      }
      used += size;
      converted += static_cast<CFIndex>(consumed);
      index += consumed;
    }
  }
  if (usedBufLen != nullptr) {
    *usedBufLen = used;
  }
  return converted;
}

Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize,
                           CFStringEncoding encoding) {
  if (buffer == nullptr || bufferSize <= 0) {
    return false;
  }
  const CFIndex length = CFStringGetLength(theString);
  CFIndex used = 0;
  const CFIndex converted =
      CFStringGetBytes(theString, CFRangeMake(0, length), encoding, 0, false,
                       reinterpret_cast<UInt8*>(buffer), bufferSize - 1, &used);
  buffer[used] = '\0';
  return converted == length;
}

const char* CFStringGetCStringPtr(CFStringRef, CFStringEncoding) {
  return nullptr;
}

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding) {
  if (!standin::IsSupportedEncoding(encoding)) {
    return kCFNotFound;
  }
  return length * static_cast<CFIndex>(standin::MaximumBytesPerUnit(encoding));
}

CFStringEncoding CFStringGetSystemEncoding() {
  return kCFStringEncodingMacRoman;
}

Boolean CFStringIsEncodingAvailable(CFStringEncoding encoding) {
  return standin::IsSupportedEncoding(encoding);
}

CFStringRef StandIn_CFSTR(const char* cStr) {
  static std::mutex mutex;
  static std::map<std::string, StandIn_CFString*>* constants =
      new std::map<std::string, StandIn_CFString*>;
  std::lock_guard<std::mutex> lock(mutex);
  StandIn_CFString*& entry = (*constants)[cStr];
  if (entry == nullptr) {
    std::u16string units;
    const std::size_t length = std::strlen(cStr);
    if (!standin::DecodeBytes(reinterpret_cast<const UInt8*>(cStr), length, kCFStringEncodingUTF8,
                              false, units)) {
      Crash("CFSTR with text that is not UTF-8");
    }
    entry = new StandIn_CFString(std::move(units));
    entry->MakeImmortal();
  }
  return entry;
}

void StandIn_CFStringFailNextCreations(int count) {
  StandIn_SetFailures("CFString creations", -1, count);
}
