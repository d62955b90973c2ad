#include "GLIB/GLIB_StringUtils.h"

#include <climits>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <locale>

#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/iGLIB_CaseFolder.h"
#include "GLIB/iGLIB_Trim.h"
#include "GLIB/iGLIB_UnicodeEscapeParser.h"

namespace {

std::uint32_t CodeOf(wchar_t c) {
  // Wide characters are unsigned 16-bit on Windows and signed 32-bit here; codes compare the same.
  return static_cast<std::uint32_t>(c);
}

bool IsDigit(wchar_t c) {
  return c != 0 && std::iswdigit(static_cast<std::wint_t>(c));
}

// Reads a run of digits as a base-10 number that stops growing at INT_MAX.
long ReadNumber(const wchar_t*& p) {
  long value = 0;
  for (; IsDigit(*p); ++p) {
    const long digit = (*p >= L'0' && *p <= L'9') ? *p - L'0' : 0;
    value = value > (INT_MAX - digit) / 10 ? INT_MAX : value * 10 + digit;
  }
  return value;
}

int CompareLogical(const wchar_t* a, const wchar_t* b) {
  if (*a == 0)
    return *b == 0 ? 0 : -1;
  if (*b == 0)
    return 1;
  for (;;) {
    const bool digitA = IsDigit(*a);
    const bool digitB = IsDigit(*b);
    if (!digitA && !digitB) {
      if (*a != *b)
        return CodeOf(*a) > CodeOf(*b) ? 1 : -1;
      if (*a == 0)
        return 0;
      ++a;
      ++b;
      continue;
    }
    if (*a == 0 || (digitA && !digitB && *b != 0))
      return -1;
    if (!(digitA && digitB))
      return 1;
    const long numberA = ReadNumber(a);
    const long numberB = ReadNumber(b);
    if (numberA != numberB)
      return numberA > numberB ? 1 : -1;
    // Equal numbers: the remainders decide, by the same rule.
    if (*a == 0)
      return *b == 0 ? 0 : -1;
    if (*b == 0)
      return 1;
  }
}

template <typename StringT, typename VectorT>
VectorT SplitString(const StringT& text, typename StringT::value_type separator) {
  VectorT segments;
  if (text.empty())
    return segments;
  typename StringT::size_type start = 0;
  for (;;) {
    const typename StringT::size_type found = text.find(separator, start);
    if (found == StringT::npos) {
      segments.push_back(StringT(text.substr(start)));
      break;
    }
    segments.push_back(StringT(text.substr(start, found - start)));
    start = found + 1;
    if (start == text.size()) {
      segments.push_back(StringT());
      break;
    }
  }
  return segments;
}

template <typename StringT, typename MapFn>
StringT MapEachChar(const StringT& text, MapFn map) {
  const std::locale locale;
  StringT result(text);
  for (auto& c : result)
    c = map(c, locale);
  return result;
}

}  // namespace

int GLIB_stricmp(const GLIB_WString& a, const GLIB_WString& b) {
  return std::wcscmp(iGLIB_CaseFolderInstance.FoldCase(a).c_str(),
                     iGLIB_CaseFolderInstance.FoldCase(b).c_str());
}

int GLIB_stricmp(const wchar_t* a, const wchar_t* b) {
  return GLIB_stricmp(GLIB_WString(a ? a : L""), GLIB_WString(b ? b : L""));
}

int GLIB_stricmp(const GLIB_String& a, const GLIB_String& b) {
  return GLIB_stricmp(a.c_str(), b.c_str());
}

int GLIB_stricmp(const char* a, const char* b) {
  const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : static_cast<int>(c); };
  for (;; ++a, ++b) {
    const int fa = fold(*a);
    const int fb = fold(*b);
    if (fa != fb || *a == 0)
      return fa - fb;
  }
}

int GLIB_StringCompareLogical(const GLIB_WString& a, const GLIB_WString& b, bool ignoreCase) {
  if (ignoreCase)
    return CompareLogical(iGLIB_CaseFolderInstance.FoldCase(a).c_str(),
                          iGLIB_CaseFolderInstance.FoldCase(b).c_str());
  return CompareLogical(a.c_str(), b.c_str());
}

GLIB_String GLIB_ToUpperCase(const GLIB_String& text) {
  return MapEachChar(text, [](char c, const std::locale& l) { return std::toupper(c, l); });
}

GLIB_String GLIB_ToLowerCase(const GLIB_String& text) {
  return MapEachChar(text, [](char c, const std::locale& l) { return std::tolower(c, l); });
}

GLIB_WString GLIB_ToUpperCase(const GLIB_WString& text) {
  return MapEachChar(text, [](wchar_t c, const std::locale& l) { return std::toupper(c, l); });
}

GLIB_WString GLIB_ToLowerCase(const GLIB_WString& text) {
  return MapEachChar(text, [](wchar_t c, const std::locale& l) { return std::tolower(c, l); });
}

GLIB_WString GLIB_TruncateString(const GLIB_WString& text, int n) {
  const long length = static_cast<long>(text.size());
  if (n > 0 && n < length)
    return GLIB_WString(text.substr(0, static_cast<std::size_t>(n)));
  if (n < 0 && -static_cast<long>(n) < length)
    return GLIB_WString(text.substr(static_cast<std::size_t>(length + n)));
  return text;
}

GLIB_WString GLIB_TrimWhitespace(const GLIB_WString& text) {
  const auto isBlank = [](wchar_t c) {
    const auto w = static_cast<std::wint_t>(c);
    return std::iswspace(w) || std::iswcntrl(w);
  };
  return iGLIB_TrimEnds(text, isBlank);
}

GLIB_WStringVector GLIB_SplitString(const GLIB_WString& text, wchar_t separator) {
  return SplitString<GLIB_WString, GLIB_WStringVector>(text, separator);
}

GLIB_StringVector GLIB_SplitString(const GLIB_String& text, char separator) {
  return SplitString<GLIB_String, GLIB_StringVector>(text, separator);
}

GLIB_String GLIB_HexToAscii(const char* bytes, std::size_t n) {
  static const char kDigits[] = "0123456789ABCDEF";
  GLIB_String text;
  if (!bytes)
    return text;
  text.reserve(2 * n);
  for (std::size_t i = 0; i < n; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
  }
  return text;
}

char iGLIB_NibbleToHex(char nibble) {
  if (nibble >= 0 && nibble <= 9)
    return static_cast<char>('0' + nibble);
  if (nibble >= 10 && nibble <= 15)
    return static_cast<char>('a' + nibble - 10);
  GLIB_LogMessage::Log(GLIB_SEVERITY_FATAL, "Reached end of switch statement in error.", __FILE__,
                       __LINE__);
  return '\0';
}

std::size_t GLIB_StrUnicodeEscapedAsciiToWide(const char* text, wchar_t* out, std::size_t size) {
  iGLIB_UnicodeEscapeParser parser(text);
  return parser.Parse(out, size);
}
