#include "USTR/USTR_FormatNumber.h"

#include "GLIB/GLIB_String.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// More decimals than a double carries say nothing; the cap keeps the plain text bounded.
constexpr unsigned long kMaxDecimals = 64;
// The integer part of the largest double has 309 digits; add sign, point, decimals, terminator.
constexpr std::size_t kPlainTextSize = 320 + kMaxDecimals;
constexpr int kLocaleValueSize = 64;
// Longer numbers (beyond any length on a sheet) stay plain: some implementations of the system
// formatter overrun their own buffers on a few hundred digits.
constexpr std::size_t kMaxLocaleInput = 100;

bool ReadLocaleText(LCID locale, LCTYPE type, std::wstring& value) {
  wchar_t buffer[kLocaleValueSize] = {};
  if (::GetLocaleInfoW(locale, type, buffer, kLocaleValueSize) <= 0)
    return false;
  value = buffer;
  return true;
}

bool ReadLocaleNumber(LCID locale, LCTYPE type, UINT& value) {
  std::wstring text;
  if (!ReadLocaleText(locale, type, text))
    return false;
  // A grouping such as "3;0" reads as its leading number.
  value = static_cast<UINT>(std::wcstoul(text.c_str(), nullptr, 10));
  return true;
}

// The value as the C library prints it ("%.*f"), the fallback whenever the locale cannot format it.
std::wstring PlainText(double value, int decimals) {
  // The runtime's own forms of these ("1.#INF" cut to the precision) mean nothing to a user.
  if (std::isnan(value))
    return L"nan";
  if (std::isinf(value))
    return value < 0 ? L"-inf" : L"inf";
  std::vector<wchar_t> buffer(kPlainTextSize, L'\0');
  if (GLIB_snprintf(buffer.data(), buffer.size(), L"%.*f", decimals, value) < 0)
    return std::wstring();
  return std::wstring(buffer.data());
}

// The plain text regrouped by the user's locale; false when the locale or the system cannot.
bool LocaleText(std::wstring const& plain, int decimals, std::wstring& formatted) {
  if (plain.empty() || plain.size() > kMaxLocaleInput)
    return false;
  LCID const locale = ::GetUserDefaultLCID();
  std::wstring decimalSeparator;
  std::wstring thousandsSeparator;
  NUMBERFMTW format = {};
  format.NumDigits = static_cast<UINT>(decimals);
  if (!ReadLocaleNumber(locale, LOCALE_ILZERO, format.LeadingZero) ||
      !ReadLocaleNumber(locale, LOCALE_SGROUPING, format.Grouping) ||
      !ReadLocaleText(locale, LOCALE_SDECIMAL, decimalSeparator) ||
      !ReadLocaleText(locale, LOCALE_STHOUSAND, thousandsSeparator) ||
      !ReadLocaleNumber(locale, LOCALE_INEGNUMBER, format.NegativeOrder))
    return false;
  format.lpDecimalSep = &decimalSeparator[0];
  format.lpThousandSep = &thousandsSeparator[0];

  // Ask for the size first: grouping can make the text longer than any fixed buffer.
  int const size = ::GetNumberFormatW(locale, 0, plain.c_str(), &format, nullptr, 0);
  if (size <= 0)
    return false;
  std::vector<wchar_t> output(static_cast<std::size_t>(size) + 1, L'\0');
  if (::GetNumberFormatW(locale, 0, plain.c_str(), &format, output.data(), size) <= 0)
    return false;
  formatted = output.data();
  return true;
}

}  // namespace

USTR_String USTR_FormatNumber(double value, unsigned long decimals, bool plusSign) {
  int const digits = static_cast<int>(std::min(decimals, kMaxDecimals));
  std::wstring const plain = PlainText(value, digits);
  std::wstring formatted;
  if (!LocaleText(plain, digits, formatted))
    formatted = plain;

  USTR_String result;
  if (plusSign && value > 0)
    result += L"+";
  result += formatted.c_str();
  return result;
}
