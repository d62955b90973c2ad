// CFLocale of the stand-in: a handful of locales, enough to tell the number formatting of one
// from another. Tests pick the user's current locale with StandIn_CFLocaleSetCurrent.
#pragma once
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFString.h>

#include <string>

// Known identifiers: "en_US" (1,234.5), "de_DE" (1.234,5), "fr_FR" (1 234,5 with a narrow
// no-break space) and "sv_SE" (no-break space, decimal comma, U+2212 minus). Any other identifier
// formats numbers as the root locale does (1,234.5).
class StandIn_CFLocale : public StandIn_CFObject {
public:
  explicit StandIn_CFLocale(const std::string& identifier);
  const std::string& Identifier() const { return m_Identifier; }
  const std::u16string& DecimalSeparator() const { return m_Decimal; }
  const std::u16string& GroupingSeparator() const { return m_Grouping; }
  const std::u16string& MinusSign() const { return m_Minus; }

private:
  std::string m_Identifier;
  std::u16string m_Decimal;
  std::u16string m_Grouping;
  std::u16string m_Minus;
};

typedef const StandIn_CFLocale* CFLocaleRef;

CFTypeID CFLocaleGetTypeID();
// The user's current locale; the caller releases it.
CFLocaleRef CFLocaleCopyCurrent();
CFLocaleRef CFLocaleCreate(CFAllocatorRef allocator, CFStringRef localeIdentifier);
CFStringRef CFLocaleGetIdentifier(CFLocaleRef locale);

// Test hook: the identifier CFLocaleCopyCurrent uses from now on ("en_US" at start).
void StandIn_CFLocaleSetCurrent(const char* identifier);
