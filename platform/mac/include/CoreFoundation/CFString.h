// CFString of the stand-in: an immutable text of UTF-16 units, made from and converted to bytes
// in the encodings below.
#pragma once
#include <CoreFoundation/CFBase.h>

class StandIn_CFDictionary;
typedef const StandIn_CFDictionary* CFDictionaryRef;

#include <cstdarg>
#include <string>
#include <utility>

typedef UInt32 CFStringEncoding;

enum {
  kCFStringEncodingMacRoman = 0,
  kCFStringEncodingWindowsLatin1 = 0x0500,
  kCFStringEncodingISOLatin1 = 0x0201,
  kCFStringEncodingASCII = 0x0600,
  kCFStringEncodingUnicode = 0x0100,
  kCFStringEncodingUTF8 = 0x08000100,
  kCFStringEncodingUTF16 = 0x0100,
  kCFStringEncodingUTF16BE = 0x10000100,
  kCFStringEncodingUTF16LE = 0x14000100
};
enum : UInt32 {
  kCFStringEncodingInvalidId = 0xffffffffU
};

// The stand-in's string object; stand-in sources of other CF types build and read it directly.
class StandIn_CFString : public StandIn_CFObject {
public:
  explicit StandIn_CFString(std::u16string units);
  const std::u16string& Units() const { return m_Units; }
  // Mutable strings only.
  void ReplaceUnits(std::u16string units) { m_Units = std::move(units); }

  std::u16string Description() const override { return m_Units; }
  bool Equals(const StandIn_CFObject& other) const override;
  CFHashCode Hash() const override;

private:
  std::u16string m_Units;
};

typedef StandIn_CFString* CFMutableStringRef;

// A mutable copy (maxLength is not enforced); joins the creation failure injection.
CFMutableStringRef CFStringCreateMutableCopy(CFAllocatorRef alloc, CFIndex maxLength,
                                             CFStringRef theString);
void CFStringReplaceAll(CFMutableStringRef theString, CFStringRef replacement);

CFTypeID CFStringGetTypeID();

// Null when the bytes are not valid in the encoding or the encoding is not supported.
// printf-style formatting: %@ takes a CF object's description (a string's own text), and the
// C conversions d i u x X o (with l, ll, q, z), f g e, c C, s (UTF-8), p and %% with their flags,
// width and precision. Positional arguments are not supported. The options are ignored.
CFStringRef CFStringCreateWithFormat(CFAllocatorRef alloc, CFDictionaryRef formatOptions,
                                     CFStringRef format, ...);
CFStringRef CFStringCreateWithFormatAndArguments(CFAllocatorRef alloc,
                                                 CFDictionaryRef formatOptions, CFStringRef format,
                                                 va_list arguments);
CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr,
                                      CFStringEncoding encoding);
CFStringRef CFStringCreateWithBytes(CFAllocatorRef alloc, const UInt8* bytes, CFIndex numBytes,
                                    CFStringEncoding encoding, Boolean isExternalRepresentation);
CFStringRef CFStringCreateWithCharacters(CFAllocatorRef alloc, const UniChar* chars,
                                         CFIndex numChars);

CFIndex CFStringGetLength(CFStringRef theString);
UniChar CFStringGetCharacterAtIndex(CFStringRef theString, CFIndex idx);
void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar* buffer);

// Converts the units of range into buffer (or only counts with a null buffer), whole characters
// only; a character the encoding lacks becomes lossByte, or ends the conversion when lossByte
// is 0. Returns the number of units converted; *usedBufLen receives the bytes.
CFIndex CFStringGetBytes(CFStringRef theString, CFRange range, CFStringEncoding encoding,
                         UInt8 lossByte, Boolean isExternalRepresentation, UInt8* buffer,
                         CFIndex maxBufLen, CFIndex* usedBufLen);
// False when the whole text and its terminator do not fit or a character cannot be converted.
Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize,
                           CFStringEncoding encoding);
// Always null in the stand-in (callers then convert with CFStringGetCString).
const char* CFStringGetCStringPtr(CFStringRef theString, CFStringEncoding encoding);

enum : CFOptionFlags {
  kCFCompareCaseInsensitive = 1,
  kCFCompareNonliteral = 16
};

// Unit by unit; with kCFCompareCaseInsensitive letters of Basic Latin, Latin-1 and Greek are
// compared in lower case. kCFCompareNonliteral is accepted: the stand-in's texts carry no
// decomposed forms to equate.
CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2,
                                   CFOptionFlags compareOptions);

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding);
CFStringEncoding CFStringGetSystemEncoding();
Boolean CFStringIsEncodingAvailable(CFStringEncoding encoding);

// A constant string of an ASCII (or UTF-8) literal; never freed, the same object each time.
CFStringRef StandIn_CFSTR(const char* cStr);
#define CFSTR(cStr) StandIn_CFSTR(cStr)

// Test hook: the next count string creations (of any kind above) return null.
void StandIn_CFStringFailNextCreations(int count);
