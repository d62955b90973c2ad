#include "UMAC/UMAC_TextUtils.h"

#include "UMAC/UMAC_Exception.h"
#include "UMAC/iUMAC_UTF16.h"

#include <Carbon/TextCommon.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace {

std::size_t const kHFSNameUnits = sizeof(HFSUniStr255::unicode) / sizeof(UniChar);

}  // namespace

GLIB_WString UMAC_HFSUniStrToWString(HFSUniStr255 const& name) {
  std::size_t const length = std::min<std::size_t>(name.length, kHFSNameUnits);
  return iUMAC_UTF16ToWide(name.unicode, length);
}

HFSUniStr255 UMAC_WStringToHFSUniStr(GLIB_WString const& text) {
  std::vector<UniChar> const units = iUMAC_WideToUTF16(text);
  if (units.size() > kHFSNameUnits)
    UMAC_THROW_TOOLBOX(bdNamErr);
  HFSUniStr255 name = {};
  name.length = static_cast<UInt16>(units.size());
  std::copy(units.begin(), units.end(), name.unicode);
  return name;
}

CFStringRef UMAC_WStringToCFString(GLIB_WString const& text) {
  std::vector<UniChar> const units = iUMAC_WideToUTF16(text);
  return CFStringCreateWithCharacters(kCFAllocatorDefault, units.data(),
                                      static_cast<CFIndex>(units.size()));
}

void UMAC_CFStringToWString(GLIB_WString& result, CFStringRef const& text) {
  CFIndex const length = CFStringGetLength(text);
  std::vector<UniChar> units(static_cast<std::size_t>(length));
  if (length > 0)
    CFStringGetCharacters(text, CFRangeMake(0, length), units.data());
  GLIB_WString wide = iUMAC_UTF16ToWide(units.data(), units.size());
  result.swap(wide);
}

GLIB_WString UMAC_CFStringToWString(CFStringRef const& text) {
  GLIB_WString result;
  UMAC_CFStringToWString(result, text);
  return result;
}

GLIB_String UMAC_CFStringToString(CFStringRef const& text) {
  // Straight from the units: a character above U+FFFF stays whole, which a detour through
  // wide characters narrowed one by one would not keep.
  CFRange const whole = CFRangeMake(0, CFStringGetLength(text));
  CFStringEncoding const encoding = GetApplicationTextEncoding();
  CFIndex size = 0;
  CFStringGetBytes(text, whole, encoding, '?', false, nullptr, 0, &size);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  CFIndex used = 0;
  if (size > 0)
    CFStringGetBytes(text, whole, encoding, '?', false, reinterpret_cast<UInt8*>(&bytes[0]), size,
                     &used);
  bytes.resize(static_cast<std::size_t>(used));
  return GLIB_String(std::move(bytes));
}
