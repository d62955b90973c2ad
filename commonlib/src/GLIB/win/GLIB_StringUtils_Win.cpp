// Buffer routines and code-page conversions that only the Windows program carries.
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_StringUtils.h"
#include "GLIB/iGLIB_Trim.h"
#include "GLIB/win/GLIB_WinUtil.h"

namespace {

// What a copy into a buffer of size 0 returns in place of the untouchable buffer.
template <typename CharT>
CharT* SharedEmptyText() {
  static CharT empty[1];
  empty[0] = 0;
  return empty;
}

// Copies src after dst's text as far as a buffer of size characters holds, terminated.
template <typename DstT, typename SrcT>
DstT* AppendBounded(DstT* dst, const SrcT* src, std::size_t size) {
  const std::size_t length = std::char_traits<DstT>::length(dst);
  if (length < size)
    GLIB_StrMaxCpy(dst + length, src, size - length);
  return dst;
}

const wchar_t kReplacementCharacter = 0xFFFD;

bool IsHighSurrogate(std::uint32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(std::uint32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Writes the UTF-8 form of code into out; returns the number of bytes (1 to 4).
std::size_t EncodeUTF8(std::uint32_t code, char* out) {
  if (code < 0x80) {
    out[0] = static_cast<char>(code);
    return 1;
  }
  if (code < 0x800) {
    out[0] = static_cast<char>(0xC0 | (code >> 6));
    out[1] = static_cast<char>(0x80 | (code & 0x3F));
    return 2;
  }
  if (code <= 0xFFFF) {
    out[0] = static_cast<char>(0xE0 | (code >> 12));
    out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (code & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (code >> 18));
  out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (code & 0x3F));
  return 4;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

// Writes one letter if there is room for it and the terminator; returns the new end.
char* PutLetter(char* at, char* limit, char letter) {
  if (at < limit)
    *at++ = letter;
  return at;
}

bool ToWinCodePage(int codePage, GLIB_WinCodePage& selector) {
  switch (codePage) {
    case GLIB_CodePageWindowsLatin:
      selector = WinWinLatin;
      return true;
    case GLIB_CodePageMacRoman:
      selector = WinMacRoman;
      return true;
    default:
      break;
  }
  GLIB_OStringStream text;
  text << "Encountered unknown codePage value = " << codePage;
  GLIB_LogMessage::Log(GLIB_SEVERITY_ERROR, text.str().c_str(), __FILE__, __LINE__);
  return false;
}

}  // namespace

char* GLIB_StrMaxCpy(char* dst, const char* src, std::size_t size) {
  if (size == 0)
    return SharedEmptyText<char>();
  std::strncpy(dst, src, size);
  dst[size - 1] = 0;
  return dst;
}

wchar_t* GLIB_StrMaxCpy(wchar_t* dst, const wchar_t* src, std::size_t size) {
  if (size == 0)
    return SharedEmptyText<wchar_t>();
  std::size_t i = 0;
  for (; i + 1 < size && src[i] != 0; ++i)
    dst[i] = src[i];
  dst[i] = 0;
  return dst;
}

char* GLIB_StrMaxCat(char* dst, const char* src, std::size_t size) {
  return AppendBounded(dst, src, size);
}

wchar_t* GLIB_StrMaxCat(wchar_t* dst, const char* src, std::size_t size) {
  return AppendBounded(dst, src, size);
}

char* GLIB_StrMaxCat(char* dst, const wchar_t* src, std::size_t size) {
  return AppendBounded(dst, src, size);
}

wchar_t* GLIB_StrMaxCat(wchar_t* dst, const wchar_t* src, std::size_t size) {
  return AppendBounded(dst, src, size);
}

char* GLIB_StrUpr(char* text) {
  for (char* p = text; *p; ++p) {
    const int c = static_cast<unsigned char>(*p);
    if (std::islower(c))
      *p = static_cast<char>(std::toupper(c));
  }
  return text;
}

char* GLIB_StrLwr(char* text) {
  for (char* p = text; *p; ++p) {
    const int c = static_cast<unsigned char>(*p);
    if (std::isupper(c))
      *p = static_cast<char>(std::tolower(c));
  }
  return text;
}

wchar_t* GLIB_StrUpr(wchar_t* text) {
  for (wchar_t* p = text; *p; ++p) {
    if (std::iswlower(*p))
      *p = static_cast<wchar_t>(std::towupper(*p));
  }
  return text;
}

wchar_t* GLIB_StrLwr(wchar_t* text) {
  for (wchar_t* p = text; *p; ++p) {
    if (std::iswupper(*p))
      *p = static_cast<wchar_t>(std::towlower(*p));
  }
  return text;
}

char* GLIB_StrRev(char* text) {
  char* first = text;
  char* last = text + std::strlen(text);
  while (first < last && first < --last)
    std::swap(*first++, *last);
  return text;
}

char* GLIB_strdup(const char* text) {
  if (text == nullptr)
    return nullptr;
  const std::size_t size = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(size));
  if (copy != nullptr)
    std::memcpy(copy, text, size);
  return copy;
}

bool GLIB_IsStrEmpty(const char* text) {
  return text == nullptr || *text == 0;
}

bool GLIB_IsStrEmpty(const wchar_t* text) {
  return text == nullptr || *text == 0;
}

GLIB_String GLIB_TrimWhitespace(const GLIB_String& text) {
  const auto isBlank = [](char c) {
    const int u = static_cast<unsigned char>(c);
    return std::isspace(u) || std::iscntrl(u);
  };
  return iGLIB_TrimEnds(text, isBlank);
}

std::size_t GLIB_StrWideToUTF8(const wchar_t* in, char* out, std::size_t size) {
  if (out == nullptr || size == 0)
    return 0;
  *out = 0;
  if (in == nullptr || size == 1)
    return 0;
  const std::size_t room = size - 1;
  std::size_t written = 0;
  for (const wchar_t* p = in; *p != 0; ++p) {
    std::uint32_t code = static_cast<std::uint16_t>(*p);
    if (IsHighSurrogate(code) && IsLowSurrogate(static_cast<std::uint16_t>(p[1]))) {
      code = (code - 0xD800) * 0x400 + (static_cast<std::uint16_t>(p[1]) - 0xDC00) + 0x10000;
      ++p;
    } else if (IsHighSurrogate(code) || IsLowSurrogate(code)) {
      // An unpaired half stands for no character; the unit after it is converted on its own.
      code = kReplacementCharacter;
    }
    char bytes[4];
    const std::size_t n = EncodeUTF8(code, bytes);
    if (n > room - written)
      break;
    std::memcpy(out + written, bytes, n);
    written += n;
  }
  out[written] = 0;
  return written;
}

char* GLIB_FormatAlphabeticNumeral(unsigned int n, char* buf, std::size_t size) {
  if (size == 0)
    return buf;
  std::size_t count = 0;
  if (n > 0) {
    const char letter = static_cast<char>('A' + (n - 1) % 26);
    const std::size_t repeat = (n - 1) / 26 + 1;
    for (; count < repeat && count + 1 < size; ++count)
      buf[count] = letter;
  }
  buf[count] = 0;
  return buf;
}

char* GLIB_FormatRomanNumeral(unsigned int n, char* buf, std::size_t size) {
  struct Symbol {
    char letter;
    unsigned int value;
    char partner;
    unsigned int partnerValue;
  };
  static const Symbol kSymbols[] = {
      {'M', 1000, 'C', 100}, {'D', 500, 'C', 100}, {'C', 100, 'X', 10}, {'L', 50, 'X', 10},
      {'X', 10, 'I', 1},     {'V', 5, 'I', 1},     {'I', 1, 0, 0}};
  if (size == 0)
    return buf;
  char* at = buf;
  char* const limit = buf + size - 1;
  if (n > 0 && n <= 4999) {
    for (const Symbol& s : kSymbols) {
      for (unsigned int i = n / s.value; i > 0; --i)
        at = PutLetter(at, limit, s.letter);
      n %= s.value;
      if (n > 0 && s.partner != 0 && s.partnerValue >= s.value - n) {
        at = PutLetter(at, limit, s.partner);
        at = PutLetter(at, limit, s.letter);
        n -= s.value - s.partnerValue;
      }
    }
  }
  *at = 0;
  return at;
}

char* GLIB_FormatColumnLetters(unsigned int n, char* buf, std::size_t size) {
  if (size == 0)
    return buf;
  char* at = buf;
  char* const limit = buf + size - 1;
  // threshold(k) = 26^0 + ... + 26^k: the first number written with k + 1 letters.
  unsigned long long power = 1;
  unsigned long long threshold = 1;
  unsigned long long powers[7];
  unsigned long long thresholds[7];
  for (int k = 0; k < 7; ++k) {
    powers[k] = power;
    thresholds[k] = threshold;
    power *= 26;
    threshold += power;
  }
  for (int k = 6; k >= 0; --k) {
    if (n >= thresholds[k]) {
      const char letter = static_cast<char>('A' + ((n - thresholds[k]) / powers[k]) % 26);
      at = PutLetter(at, limit, letter);
    }
  }
  *at = 0;
  return at;
}

char* GLIB_FormatDecimal(double x, int decimals, char* buf, int size) {
  if (buf == nullptr || size <= 0)
    return buf;
  int decimalPosition = 0;
  int negative = 0;
  const char* digits = _fcvt(x, decimals, &decimalPosition, &negative);
  GLIB_String text;
  if (negative)
    text += '-';
  const int digitCount = static_cast<int>(std::strlen(digits));
  const int integerDigits = decimalPosition > 0 ? std::min(decimalPosition, digitCount) : 0;
  text.append(digits, static_cast<std::size_t>(integerDigits));
  if (decimals > 0) {
    text += '.';
    if (decimalPosition < 0)
      text.append(static_cast<std::size_t>(std::min(-decimalPosition, decimals)), '0');
    text.append(digits + integerDigits);
  }
  if (decimals > 0) {
    while (!text.empty() && text.back() == '0')
      text.pop_back();
    if (!text.empty() && text.back() == '.')
      text.pop_back();
  }
  // A value that rounds to nothing (also a negative one) reads 0.
  if (text.empty() || text == "-")
    text = "0";
  GLIB_StrMaxCpy(buf, text.c_str(), static_cast<std::size_t>(size));
  return buf;
}

std::size_t GLIB_AsciiToHex(const GLIB_String& hex, char* out, std::size_t size) {
  const std::size_t count = (hex.size() + 1) / 2;
  if (out == nullptr || size < count)
    return 0;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigitValue(hex[i]);
    const int low = i + 1 < hex.size() ? HexDigitValue(hex[i + 1]) : 0;
    if (high < 0 || low < 0)
      return 0;
    out[i / 2] = static_cast<char>(high * 16 + low);
  }
  return count;
}

bool GLIB_HasNonAsciiChars(const GLIB_WString& text) {
  for (const wchar_t c : text) {
    if (static_cast<std::uint16_t>(c) >= 128)
      return true;
  }
  return false;
}

std::size_t GLIB_StrWideToUnicodeEscapedAscii(const wchar_t* in, char* out, std::size_t size) {
  std::size_t count = 0;
  if (in == nullptr)
    return 0;
  for (const wchar_t* p = in; *p != 0; ++p) {
    const auto unit = static_cast<std::uint16_t>(*p);
    char item[6];
    std::size_t length = 1;
    if (unit < 128) {
      item[0] = static_cast<char>(unit);
    } else {
      item[0] = '\\';
      item[1] = 'u';
      for (int i = 0; i < 4; ++i)
        item[2 + i] = iGLIB_NibbleToHex(static_cast<char>((unit >> (12 - 4 * i)) & 0xF));
      length = 6;
    }
    if (out != nullptr) {
      if (count + length > size)
        break;
      std::memcpy(out + count, item, length);
    }
    count += length;
  }
  return count;
}

std::size_t GLIB_StrNarrowToUTF16(const char* in, wchar_t* out, std::size_t size, int codePage) {
  GLIB_WinCodePage selector;
  if (!ToWinCodePage(codePage, selector)) {
    if (out != nullptr && size > 0)
      *out = 0;
    return 0;
  }
  return GLIB_StrNarrowToUTF16(in, out, size, selector);
}

std::size_t GLIB_StrUTF16ToNarrow(const wchar_t* in, char* out, std::size_t size, int codePage) {
  GLIB_WinCodePage selector;
  if (!ToWinCodePage(codePage, selector)) {
    if (out != nullptr && size > 0)
      *out = 0;
    return 0;
  }
  return GLIB_StrUTF16ToNarrow(in, out, size, selector);
}

int GLIB_WToNBuffer(const wchar_t* in, char* out, int size) {
  return WideCharToMultiByte(CP_ACP, 0, in, -1, out, size, nullptr, nullptr);
}

int GLIB_NToWBuffer(wchar_t* out, const char* in, int size) {
  return MultiByteToWideChar(CP_ACP, 0, in, -1, out, size);
}
