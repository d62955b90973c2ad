#include "USTR/USTR_FormatNumber.h"

#include <CoreFoundation/CFLocale.h>
#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFNumberFormatter.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Releases a CF object it was given, null or not.
class CFOwner {
public:
  explicit CFOwner(CFTypeRef object) : m_Object(object) {}
  ~CFOwner() {
    if (m_Object != nullptr)
      CFRelease(m_Object);
  }
  CFOwner(CFOwner const&) = delete;
  CFOwner& operator=(CFOwner const&) = delete;

private:
  CFTypeRef m_Object;
};

// More decimals than a double carries say nothing; the cap keeps the texts bounded.
constexpr long kMaxDecimals = 64;

// What the C library prints, for when the system cannot give a formatter.
USTR_String PlainText(double value, long decimals) {
  std::vector<char> buffer(static_cast<std::size_t>(320 + kMaxDecimals), '\0');
  std::snprintf(buffer.data(), buffer.size(), "%.*f", static_cast<int>(decimals), value);
  return USTR_NStringToUString(std::string(buffer.data()));
}

void SetDigits(CFNumberFormatterRef formatter, CFStringRef key, long digits) {
  CFNumberRef number = CFNumberCreate(kCFAllocatorDefault, kCFNumberLongType, &digits);
  CFOwner const numberOwner(number);
  if (number != nullptr)
    CFNumberFormatterSetProperty(formatter, key, number);
}

USTR_String LocaleText(double value, long decimals) {
  CFLocaleRef locale = CFLocaleCopyCurrent();
  CFOwner const localeOwner(locale);
  if (locale == nullptr)
    return PlainText(value, decimals);
  CFNumberFormatterRef formatter =
      CFNumberFormatterCreate(kCFAllocatorDefault, locale, kCFNumberFormatterDecimalStyle);
  CFOwner const formatterOwner(formatter);
  if (formatter == nullptr)
    return PlainText(value, decimals);
  SetDigits(formatter, kCFNumberFormatterMinFractionDigits, decimals);
  SetDigits(formatter, kCFNumberFormatterMaxFractionDigits, decimals);
  CFStringRef text = CFNumberFormatterCreateStringWithValue(kCFAllocatorDefault, formatter,
                                                            kCFNumberDoubleType, &value);
  CFOwner const textOwner(text);
  if (text == nullptr)
    return PlainText(value, decimals);
  return USTR_CFStringToUString(text);
}

}  // namespace

USTR_String USTR_FormatNumber(double value, unsigned long decimals, bool plusSign) {
  long const digits = static_cast<long>(std::min<unsigned long>(decimals, kMaxDecimals));
  USTR_String result;
  if (plusSign && value > 0)
    result += L"+";
  result += LocaleText(value, digits);
  return result;
}
