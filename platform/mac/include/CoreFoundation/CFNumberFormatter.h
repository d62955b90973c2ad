// CFNumberFormatter of the stand-in: the decimal style only, with the fraction-digit properties,
// rounding half to even and grouping by threes in the locale's separators.
#pragma once
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFLocale.h>
#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFString.h>

typedef enum {
  kCFNumberFormatterNoStyle = 0,
  kCFNumberFormatterDecimalStyle = 1,
  kCFNumberFormatterCurrencyStyle = 2,
  kCFNumberFormatterPercentStyle = 3,
  kCFNumberFormatterScientificStyle = 4,
  kCFNumberFormatterSpellOutStyle = 5
} CFNumberFormatterStyle;

#include <string>

class StandIn_CFNumberFormatter : public StandIn_CFObject {
public:
  explicit StandIn_CFNumberFormatter(CFLocaleRef locale);
  ~StandIn_CFNumberFormatter() override;

  void SetMinFractionDigits(long digits);
  void SetMaxFractionDigits(long digits);
  std::u16string Format(double value) const;

private:
  CFLocaleRef m_Locale;
  long m_MinFraction = 0;
  long m_MaxFraction = 3;
};

typedef StandIn_CFNumberFormatter* CFNumberFormatterRef;

extern const CFStringRef kCFNumberFormatterMinFractionDigits;
extern const CFStringRef kCFNumberFormatterMaxFractionDigits;

CFTypeID CFNumberFormatterGetTypeID();
// Null for a null locale or a style other than decimal (the only one the stand-in knows).
CFNumberFormatterRef CFNumberFormatterCreate(CFAllocatorRef allocator, CFLocaleRef locale,
                                             CFNumberFormatterStyle style);
// Takes the fraction-digit properties (a CFNumber); other keys are ignored.
void CFNumberFormatterSetProperty(CFNumberFormatterRef formatter, CFStringRef key, CFTypeRef value);
CFStringRef CFNumberFormatterCreateStringWithNumber(CFAllocatorRef allocator,
                                                    CFNumberFormatterRef formatter,
                                                    CFNumberRef number);
CFStringRef CFNumberFormatterCreateStringWithValue(CFAllocatorRef allocator,
                                                   CFNumberFormatterRef formatter,
                                                   CFNumberType numberType, const void* valuePtr);

// Test hook: the next count formatter creations return null.
void StandIn_CFNumberFormatterFailNextCreations(int count);
