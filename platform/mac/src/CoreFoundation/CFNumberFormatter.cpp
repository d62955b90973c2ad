#include <CoreFoundation/CFLocale.h>
#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFNumberFormatter.h>
#include <CoreServices/StandInCalls.h>

#include "../System/iStandInCalls.h"

#include "iStandInCFCalls.h"
#include "iStandInDecimal.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace {

CFTypeID NumberTypeID() {
  static const CFTypeID typeID = StandIn_CFRegisterType();
  return typeID;
}

CFTypeID LocaleTypeID() {
  static const CFTypeID typeID = StandIn_CFRegisterType();
  return typeID;
}

CFTypeID FormatterTypeID() {
  static const CFTypeID typeID = StandIn_CFRegisterType();
  return typeID;
}

[[noreturn]] void Crash(const char* what) {
  std::fprintf(stderr, "CoreFoundation stand-in: %s\n", what);
  std::abort();
}

std::mutex g_currentLocaleMutex;
std::string g_currentLocale = "en_US";

// One name in the shared failure injection stands for every creation of the kind.
bool FormatterCreationFails() {
  return standin_calls::Enter("CFNumberFormatter creations") != noErr;
}

std::u16string Ascii16(const std::string& text) {
  return std::u16string(text.begin(), text.end());
}

std::string Utf8OfASCIIOnly(CFStringRef text) {
  std::string result;
  for (char16_t unit : text->Units()) {
    result += static_cast<char>(unit < 0x80 ? unit : '?');
  }
  return result;
}

// More fraction digits than a double can hold change nothing; the cap bounds the text.
constexpr long kMaxFractionDigits = 340;

}  // namespace

// --- CFNumber ---------------------------------------------------------------------------------

StandIn_CFNumber::StandIn_CFNumber(CFNumberType canonicalType, long long integer, double real)
    : StandIn_CFObject(NumberTypeID()),
      m_Type(canonicalType),
      m_Integer(integer),
      m_Real(real) {}

CFTypeID CFNumberGetTypeID() {
  return NumberTypeID();
}

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType theType, const void* valuePtr) {
  if (valuePtr == nullptr) {
    Crash("CFNumberCreate with NULL value");
  }
  if (standin_cf::CallFails("CFNumberCreate"))
    return nullptr;
  long long integer = 0;
  CFNumberType canonical = kCFNumberSInt64Type;
  switch (theType) {
    case kCFNumberSInt8Type:
      integer = *static_cast<const SInt8*>(valuePtr);
      canonical = kCFNumberSInt8Type;
      break;
    case kCFNumberSInt16Type:
      integer = *static_cast<const SInt16*>(valuePtr);
      canonical = kCFNumberSInt16Type;
      break;
    case kCFNumberSInt32Type:
      integer = *static_cast<const SInt32*>(valuePtr);
      canonical = kCFNumberSInt32Type;
      break;
    case kCFNumberSInt64Type:
      integer = *static_cast<const SInt64*>(valuePtr);
      break;
    case kCFNumberCharType:
      integer = *static_cast<const char*>(valuePtr);
      canonical = kCFNumberSInt8Type;
      break;
    case kCFNumberShortType:
      integer = *static_cast<const short*>(valuePtr);
      canonical = kCFNumberSInt16Type;
      break;
    case kCFNumberIntType:
      integer = *static_cast<const int*>(valuePtr);
      canonical = kCFNumberSInt32Type;
      break;
    case kCFNumberLongType:
      integer = *static_cast<const long*>(valuePtr);
      break;
    case kCFNumberLongLongType:
      integer = *static_cast<const long long*>(valuePtr);
      break;
    case kCFNumberCFIndexType:
      integer = *static_cast<const CFIndex*>(valuePtr);
      break;
    case kCFNumberFloat32Type:
    case kCFNumberFloatType: {
      const double real = *static_cast<const float*>(valuePtr);
      return new StandIn_CFNumber(kCFNumberFloat32Type, 0, real);
    }
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType: {
      const double real = *static_cast<const double*>(valuePtr);
      return new StandIn_CFNumber(kCFNumberFloat64Type, 0, real);
    }
    default:
      Crash("CFNumberCreate with an unknown number type");
  }
  return new StandIn_CFNumber(canonical, integer, static_cast<double>(integer));
}

std::u16string StandIn_CFNumber::Description() const {
  const std::string text = IsFloat() ? StandIn_ShortestDecimal(m_Real) : std::to_string(m_Integer);
  return std::u16string(text.begin(), text.end());
}

bool StandIn_CFNumber::Equals(const StandIn_CFObject& other) const {
  if (other.TypeID() != TypeID())
    return false;
  const auto& number = static_cast<const StandIn_CFNumber&>(other);
  if (!IsFloat() && !number.IsFloat())
    return m_Integer == number.m_Integer;
  return m_Real == number.m_Real;
}

CFHashCode StandIn_CFNumber::Hash() const {
  // Equal numbers hash alike: a float with an integral value hashes as that integer.
  if (!IsFloat() || (std::trunc(m_Real) == m_Real && std::fabs(m_Real) < 9.0e18))
    return static_cast<CFHashCode>(IsFloat() ? static_cast<long long>(m_Real) : m_Integer);
  return std::hash<double>()(m_Real);
}

CFNumberType CFNumberGetType(CFNumberRef number) {
  if (number == nullptr) {
    Crash("CFNumberGetType with NULL");
  }
  return number->Type();
}

namespace {

template <class T>
Boolean StoreInteger(const StandIn_CFNumber& number, void* valuePtr) {
  long long value = number.Integer();
  bool exact = true;
  if (number.IsFloat()) {
    // A real outside long long's range must not reach the conversion (undefined behaviour): it
    // saturates and the answer says it is not exact.
    const double real = number.Real();
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    if (std::isnan(real))
      value = 0;
    else if (real >= kLimit)
      value = std::numeric_limits<long long>::max();
    else if (real < -kLimit)
      value = std::numeric_limits<long long>::min();
    else
      value = static_cast<long long>(real);
    exact = std::isfinite(real) && std::trunc(real) == real && real < kLimit && real >= -kLimit;
  }
  const T stored = static_cast<T>(value);
  *static_cast<T*>(valuePtr) = stored;
  return exact && static_cast<long long>(stored) == value;
}

}  // namespace

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr) {
  if (number == nullptr || valuePtr == nullptr) {
    Crash("CFNumberGetValue with NULL");
  }
  switch (theType) {
    case kCFNumberSInt8Type:
      return StoreInteger<SInt8>(*number, valuePtr);
    case kCFNumberSInt16Type:
      return StoreInteger<SInt16>(*number, valuePtr);
    case kCFNumberSInt32Type:
      return StoreInteger<SInt32>(*number, valuePtr);
    case kCFNumberSInt64Type:
      return StoreInteger<SInt64>(*number, valuePtr);
    case kCFNumberCharType:
      return StoreInteger<char>(*number, valuePtr);
    case kCFNumberShortType:
      return StoreInteger<short>(*number, valuePtr);
    case kCFNumberIntType:
      return StoreInteger<int>(*number, valuePtr);
    case kCFNumberLongType:
      return StoreInteger<long>(*number, valuePtr);
    case kCFNumberLongLongType:
      return StoreInteger<long long>(*number, valuePtr);
    case kCFNumberCFIndexType:
      return StoreInteger<CFIndex>(*number, valuePtr);
    case kCFNumberFloat32Type:
    case kCFNumberFloatType:
      *static_cast<float*>(valuePtr) = static_cast<float>(number->Real());
      return static_cast<double>(static_cast<float>(number->Real())) == number->Real();
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
      *static_cast<double*>(valuePtr) = number->Real();
      return true;
    default:
      Crash("CFNumberGetValue with an unknown number type");
  }
}

Boolean CFNumberIsFloatType(CFNumberRef number) {
  if (number == nullptr) {
    Crash("CFNumberIsFloatType with NULL");
  }
  return number->IsFloat();
}

// --- CFLocale ---------------------------------------------------------------------------------

StandIn_CFLocale::StandIn_CFLocale(const std::string& identifier)
    : StandIn_CFObject(LocaleTypeID()),
      m_Identifier(identifier),
      m_Decimal(u"."),
      m_Grouping(u","),
      m_Minus(u"-") {
  if (identifier == "de_DE") {
    m_Decimal = u",";
    m_Grouping = u".";
  } else if (identifier == "fr_FR") {
    m_Decimal = u",";
    m_Grouping = u"\u202F";
  } else if (identifier == "sv_SE") {
    m_Decimal = u",";
    m_Grouping = u"\u00A0";
    m_Minus = u"\u2212";
  }
}

CFTypeID CFLocaleGetTypeID() {
  return LocaleTypeID();
}

CFLocaleRef CFLocaleCopyCurrent() {
  std::lock_guard<std::mutex> lock(g_currentLocaleMutex);
  return new StandIn_CFLocale(g_currentLocale);
}

CFLocaleRef CFLocaleCreate(CFAllocatorRef, CFStringRef localeIdentifier) {
  if (localeIdentifier == nullptr) {
    return nullptr;
  }
  return new StandIn_CFLocale(Utf8OfASCIIOnly(localeIdentifier));
}

CFStringRef CFLocaleGetIdentifier(CFLocaleRef locale) {
  if (locale == nullptr) {
    Crash("CFLocaleGetIdentifier with NULL");
  }
  // A "get" result lives as long as the locale; the stand-in keeps one per identifier.
  static std::mutex mutex;
  static std::vector<CFStringRef>* identifiers = new std::vector<CFStringRef>;
  std::lock_guard<std::mutex> lock(mutex);
  const std::u16string wanted = Ascii16(locale->Identifier());
  for (CFStringRef known : *identifiers) {
    if (known->Units() == wanted) {
      return known;
    }
  }
  StandIn_CFString* made = new StandIn_CFString(wanted);
  made->MakeImmortal();
  identifiers->push_back(made);
  return made;
}

void StandIn_CFLocaleSetCurrent(const char* identifier) {
  std::lock_guard<std::mutex> lock(g_currentLocaleMutex);
  g_currentLocale = identifier != nullptr ? identifier : "";
}

// --- CFNumberFormatter ------------------------------------------------------------------------

StandIn_CFNumberFormatter::StandIn_CFNumberFormatter(CFLocaleRef locale)
    : StandIn_CFObject(FormatterTypeID()),
      m_Locale(locale) {
  CFRetain(m_Locale);
}

StandIn_CFNumberFormatter::~StandIn_CFNumberFormatter() {
  CFRelease(m_Locale);
}

void StandIn_CFNumberFormatter::SetMinFractionDigits(long digits) {
  m_MinFraction = std::clamp(digits, 0L, kMaxFractionDigits);
  m_MaxFraction = std::max(m_MaxFraction, m_MinFraction);
}

void StandIn_CFNumberFormatter::SetMaxFractionDigits(long digits) {
  m_MaxFraction = std::clamp(digits, 0L, kMaxFractionDigits);
  m_MinFraction = std::min(m_MinFraction, m_MaxFraction);
}

std::u16string StandIn_CFNumberFormatter::Format(double value) const {
  if (std::isnan(value)) {
    return u"NaN";
  }
  std::u16string result = std::signbit(value) ? m_Locale->MinusSign() : std::u16string();
  if (std::isinf(value)) {
    return result + u"\u221E";
  }
  // printf rounds the exact binary value, ties to even.
  std::vector<char> buffer(static_cast<std::size_t>(320 + m_MaxFraction), '\0');
  std::snprintf(buffer.data(), buffer.size(), "%.*f", static_cast<int>(m_MaxFraction),
                std::fabs(value));
  const std::string plain(buffer.data());
  const std::size_t point = plain.find('.');
  const std::string integer = plain.substr(0, point);
  std::string fraction = point == std::string::npos ? std::string() : plain.substr(point + 1);
  while (static_cast<long>(fraction.size()) > m_MinFraction && fraction.back() == '0') {
    fraction.pop_back();
  }
  for (std::size_t i = 0; i < integer.size(); ++i) {
    if (i > 0 && (integer.size() - i) % 3 == 0) {
      result += m_Locale->GroupingSeparator();
    }
    result += static_cast<char16_t>(integer[i]);
  }
  if (!fraction.empty()) {
    result += m_Locale->DecimalSeparator() + Ascii16(fraction);
  }
  return result;
}

const CFStringRef kCFNumberFormatterMinFractionDigits =
    CFSTR("kCFNumberFormatterMinFractionDigits");
const CFStringRef kCFNumberFormatterMaxFractionDigits =
    CFSTR("kCFNumberFormatterMaxFractionDigits");

CFTypeID CFNumberFormatterGetTypeID() {
  return FormatterTypeID();
}

CFNumberFormatterRef CFNumberFormatterCreate(CFAllocatorRef, CFLocaleRef locale,
                                             CFNumberFormatterStyle style) {
  if (FormatterCreationFails() || locale == nullptr || style != kCFNumberFormatterDecimalStyle) {
    return nullptr;
  }
  return new StandIn_CFNumberFormatter(locale);
}

void CFNumberFormatterSetProperty(CFNumberFormatterRef formatter, CFStringRef key,
                                  CFTypeRef value) {
  if (formatter == nullptr || key == nullptr || value == nullptr) {
    Crash("CFNumberFormatterSetProperty with NULL");
  }
  if (CFGetTypeID(value) != CFNumberGetTypeID()) {
    return;
  }
  long digits = 0;
  CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberLongType, &digits);
  if (key->Units() == kCFNumberFormatterMinFractionDigits->Units()) {
    formatter->SetMinFractionDigits(digits);
  } else if (key->Units() == kCFNumberFormatterMaxFractionDigits->Units()) {
    formatter->SetMaxFractionDigits(digits);
  }
}

CFStringRef CFNumberFormatterCreateStringWithNumber(CFAllocatorRef allocator,
                                                    CFNumberFormatterRef formatter,
                                                    CFNumberRef number) {
  if (number == nullptr) {
    Crash("CFNumberFormatterCreateStringWithNumber with NULL number");
  }
  const double value = number->Real();
  return CFNumberFormatterCreateStringWithValue(allocator, formatter, kCFNumberDoubleType, &value);
}

CFStringRef CFNumberFormatterCreateStringWithValue(CFAllocatorRef allocator,
                                                   CFNumberFormatterRef formatter,
                                                   CFNumberType numberType, const void* valuePtr) {
  if (formatter == nullptr) {
    Crash("CFNumberFormatterCreateStringWithValue with NULL formatter");
  }
  CFNumberRef number = CFNumberCreate(allocator, numberType, valuePtr);
  if (number == nullptr)
    return nullptr;
  const double value = number->Real();
  CFRelease(number);
  return new StandIn_CFString(formatter->Format(value));
}

void StandIn_CFNumberFormatterFailNextCreations(int count) {
  StandIn_SetFailures("CFNumberFormatter creations", -1, count);
}
