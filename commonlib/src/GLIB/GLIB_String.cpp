#include "GLIB/GLIB_String.h"

#include <algorithm>
#include <cstring>
#include <vector>

GLIB_WString GLIB_String::AsWString() const {
  return GLIB_NToWString(*this);
}
GLIB_String::operator GLIB_WString() const {
  return GLIB_NToWString(*this);
}

GLIB_String GLIB_WString::AsString() const {
  return GLIB_WToNString(*this);
}
GLIB_WString::operator GLIB_String() const {
  return GLIB_WToNString(*this);
}

bool operator==(const GLIB_WString& a, const GLIB_WString& b) {
  return a.length() == b.length() && a.compare(b) == 0;
}
bool operator==(const GLIB_WString& a, const std::wstring& b) {
  return a.length() == b.length() && a.compare(b) == 0;
}
bool operator==(const std::wstring& a, const GLIB_WString& b) {
  return b == a;
}
bool operator==(const GLIB_WString& a, const wchar_t* b) {
  return a.compare(b) == 0;
}
bool operator==(const wchar_t* a, const GLIB_WString& b) {
  return b.compare(a) == 0;
}
bool operator!=(const GLIB_WString& a, const GLIB_WString& b) {
  return !(a == b);
}
bool operator!=(const GLIB_WString& a, const std::wstring& b) {
  return !(a == b);
}
bool operator!=(const std::wstring& a, const GLIB_WString& b) {
  return !(a == b);
}
bool operator!=(const GLIB_WString& a, const wchar_t* b) {
  return !(a == b);
}
bool operator!=(const wchar_t* a, const GLIB_WString& b) {
  return !(a == b);
}

GLIB_String operator+(const char* a, const GLIB_String& b) {
  GLIB_String result(a);
  result.append(b);
  return result;
}

GLIB_String operator+(const GLIB_String& a, const GLIB_String& b) {
  GLIB_String result(a);
  result.append(b);
  return result;
}

GLIB_String operator+(const GLIB_String& a, const char* b) {
  GLIB_String result(a);
  result.append(b);
  return result;
}

std::ostream& operator<<(std::ostream& out, const GLIB_String& text) {
  if (!text.empty()) {
    out.write(text.data(), static_cast<std::streamsize>(text.length()));
  }
  return out;
}

std::ostream& operator<<(std::ostream& out, const GLIB_WString& text) {
  if (!text.empty()) {
    out << GLIB_WToNString(text);
  }
  return out;
}

std::wostream& operator<<(std::wostream& out, const GLIB_WString& text) {
  if (!text.empty()) {
    out.write(text.data(), static_cast<std::streamsize>(text.length()));
  }
  return out;
}

GLIB_OStringStream& operator<<(GLIB_OStringStream& out, const wchar_t* text) {
  if (text != nullptr) {
    static_cast<std::ostream&>(out) << GLIB_WToNString(text);
  }
  return out;
}

GLIB_WOStringStream& operator<<(GLIB_WOStringStream& out, const char* text) {
  if (text != nullptr) {
    static_cast<std::wostream&>(out) << GLIB_NToWString(text);
  }
  return out;
}

GLIB_WString GLIB_NToWString(const char* text) {
  if (text == nullptr) {
    return GLIB_WString();
  }
  return GLIB_NToWString(GLIB_String(text));
}

GLIB_String GLIB_WToNString(const wchar_t* text) {
  if (text == nullptr) {
    return GLIB_String();
  }
  return GLIB_WToNString(GLIB_WString(text));
}

namespace {

// Number of bytes that follow a UTF-8 lead byte, and what the plain sum of all bytes (each step
// code * 64 + byte) exceeds the code point by, for each such number.
const std::uint8_t kTrailingBytes[256] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};

const std::uint32_t kUTF8Offsets[6] = {0x00000000u, 0x00003080u, 0x000E2080u,
                                       0x03C82080u, 0xFA082080u, 0x82082080u};

const std::uint32_t kLastCodePoint = 0x10FFFF;

}  // namespace

GLIB_WString GLIB_WStringFromUTF8(const GLIB_String& utf8) {
  // Never more wide units than bytes, so the text always fits.
  std::vector<wchar_t> wide(utf8.size() + 1);
  GLIB_StrUTF8ToWide(utf8.c_str(), wide.data(), wide.size());
  return GLIB_WString(wide.data());
}

std::size_t GLIB_StrUTF8ToWide(const char* utf8, wchar_t* out, std::size_t size) {
  if (out == nullptr || size == 0) {
    return 0;
  }
  out[0] = L'\0';
  if (utf8 == nullptr || size == 1) {
    return 0;
  }

  const unsigned char* in = reinterpret_cast<const unsigned char*>(utf8);
  std::size_t room = size - 1;
  std::size_t written = 0;
  while (*in != 0) {
    if (room == 0) {
      out[written] = L'\0';
      return size - 1;
    }
    std::uint32_t code = *in++;
    if (code >= 0x80) {
      const int trailing = kTrailingBytes[code];
      for (int i = 0; i < trailing; ++i) {
        const unsigned char byte = *in;
        if (byte == 0 || (byte & 0xC0) != 0x80) {
          out[0] = L'\0';
          return 0;
        }
        code = code * 64 + byte;  // wraps like the offsets, which are taken modulo 2^32
        ++in;
      }
      code -= kUTF8Offsets[trailing];
    }

    if (code > kLastCodePoint) {
      out[0] = L'\0';
      return 0;
    }
    if (code > 0xFFFF) {
      if (room < 2) {
        break;
      }
      out[written++] = static_cast<wchar_t>(((code - 0x10000) >> 10) + 0xD800);
      out[written++] = static_cast<wchar_t>(((code - 0x10000) & 0x3FF) + 0xDC00);
      room -= 2;
    } else {
      out[written++] = static_cast<wchar_t>(code);
      room -= 1;
    }
  }
  out[written] = L'\0';
  return written;
}

void GLIB_CopyShortToWchar(wchar_t* dst, const std::uint16_t* src, int n) {
  for (int i = 0; i < n; ++i) {
    dst[i] = static_cast<wchar_t>(src[i]);
  }
}

void GLIB_CopyWcharToShort(std::uint16_t* dst, const wchar_t* src, int n) {
  for (int i = 0; i < n; ++i) {
    dst[i] = static_cast<std::uint16_t>(static_cast<std::uint32_t>(src[i]) & 0xFFFFu);
  }
}

GLIB_WString GLIB_WStringFromShort(const std::uint16_t* src, int n) {
  GLIB_WString result;
  for (int i = 0; i < n && src[i] != 0; ++i) {
    result.push_back(static_cast<wchar_t>(src[i]));
  }
  return result;
}

void GLIB_CStringToPascal(const char* src, unsigned char* dst, std::ptrdiff_t size) {
  if (size <= 0) {
    return;
  }
  std::size_t count = src != nullptr ? std::strlen(src) : 0;
  count = std::min<std::size_t>(count, static_cast<std::size_t>(size - 1));
  count = std::min<std::size_t>(count, 255);
  dst[0] = static_cast<unsigned char>(count);
  if (count > 0) {
    std::memcpy(dst + 1, src, count);
  }
}

// The flavour's bounded formatter for each width (platform bodies).
int iGLIB_PlatformVsnprintf(char* buf, std::size_t size, const char* format, va_list args);
int iGLIB_PlatformVsnprintf(wchar_t* buf, std::size_t size, const wchar_t* format, va_list args);

namespace {

template <class Char>
int FormatBounded(Char* buf, std::size_t size, const Char* format, va_list args) {
  if (buf == nullptr) {
    return -1;
  }
  const int count = iGLIB_PlatformVsnprintf(buf, size, format, args);
  if (size > 0) {
    buf[size - 1] = Char(0);
  }
  if (count < 0 || static_cast<std::size_t>(count) >= size) {
    return -1;
  }
  return count;
}

}  // namespace

int GLIB_vsnprintf(char* buf, std::size_t size, const char* format, va_list args) {
  return FormatBounded(buf, size, format, args);
}

int GLIB_vsnprintf(wchar_t* buf, std::size_t size, const wchar_t* format, va_list args) {
  return FormatBounded(buf, size, format, args);
}

int GLIB_snprintf(char* buf, std::size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = GLIB_vsnprintf(buf, size, format, args);
  va_end(args);
  return result;
}

int GLIB_snprintf(wchar_t* buf, std::size_t size, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = GLIB_vsnprintf(buf, size, format, args);
  va_end(args);
  return result;
}
