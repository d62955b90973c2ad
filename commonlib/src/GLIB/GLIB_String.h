// The foundation's string classes, containers and string streams, and the conversions between
// narrow text (the platform's own encoding: the application text encoding on the Mac, the ANSI
// code page on Windows), wide text, UTF-8, 16-bit units and length-prefixed strings.
//
// Every conversion treats one wide character as one UTF-16 code unit. Routines that fill a
// caller's buffer take its size in characters and leave it terminated whenever the size is
// above 0.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <list>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

class GLIB_WString;

class GLIB_String : public std::string {
public:
  GLIB_String() = default;
  GLIB_String(const char* text) : std::string(text) {}
  GLIB_String(const char* text, size_type length) : std::string(text, length) {}
  GLIB_String(const std::string& text) : std::string(text) {}
  GLIB_String(std::string&& text) : std::string(std::move(text)) {}
  GLIB_String(const GLIB_String&) = default;
  GLIB_String(GLIB_String&&) = default;
  template <class InputIterator>
  GLIB_String(InputIterator first, InputIterator last) : std::string(first, last) {}

  GLIB_String& operator=(const GLIB_String&) = default;
  GLIB_String& operator=(GLIB_String&&) = default;
  using std::string::operator=;

  GLIB_WString AsWString() const;
  operator GLIB_WString() const;
};

class GLIB_WString : public std::wstring {
public:
  GLIB_WString() = default;
  GLIB_WString(const wchar_t* text) : std::wstring(text) {}
  GLIB_WString(const wchar_t* text, size_type length) : std::wstring(text, length) {}
  GLIB_WString(size_type count, wchar_t c) : std::wstring(count, c) {}
  GLIB_WString(const std::wstring& text) : std::wstring(text) {}
  GLIB_WString(std::wstring&& text) : std::wstring(std::move(text)) {}
  GLIB_WString(const GLIB_WString&) = default;
  GLIB_WString(GLIB_WString&&) = default;
  template <class InputIterator>
  GLIB_WString(InputIterator first, InputIterator last) : std::wstring(first, last) {}

  GLIB_WString& operator=(const GLIB_WString&) = default;
  GLIB_WString& operator=(GLIB_WString&&) = default;
  using std::wstring::operator=;

  GLIB_String AsString() const;
  operator GLIB_String() const;
};

// Equality of wide strings; the extra overloads keep comparisons with literals and standard
// strings unambiguous next to the standard library's own templates.
bool operator==(const GLIB_WString& a, const GLIB_WString& b);
bool operator==(const GLIB_WString& a, const std::wstring& b);
bool operator==(const std::wstring& a, const GLIB_WString& b);
bool operator==(const GLIB_WString& a, const wchar_t* b);
bool operator==(const wchar_t* a, const GLIB_WString& b);
bool operator!=(const GLIB_WString& a, const GLIB_WString& b);
bool operator!=(const GLIB_WString& a, const std::wstring& b);
bool operator!=(const std::wstring& a, const GLIB_WString& b);
bool operator!=(const GLIB_WString& a, const wchar_t* b);
bool operator!=(const wchar_t* a, const GLIB_WString& b);

// Concatenation giving a GLIB_String (same reason for the overload with a literal on the right).
// Mixing with a std::string needs an explicit GLIB_String(...) around it.
GLIB_String operator+(const char* a, const GLIB_String& b);
GLIB_String operator+(const GLIB_String& a, const GLIB_String& b);
GLIB_String operator+(const GLIB_String& a, const char* b);

class GLIB_StringVector : public std::vector<GLIB_String> {
public:
  using std::vector<GLIB_String>::vector;
  GLIB_StringVector() = default;
};

class GLIB_StringList : public std::list<GLIB_String> {
public:
  using std::list<GLIB_String>::list;
  GLIB_StringList() = default;
};

class GLIB_WStringVector : public std::vector<GLIB_WString> {
public:
  using std::vector<GLIB_WString>::vector;
  GLIB_WStringVector() = default;
};

class GLIB_WStringList : public std::list<GLIB_WString> {
public:
  using std::list<GLIB_WString>::list;
  GLIB_WStringList() = default;
};

// Output-only string streams in which the system composes its exception and log texts.
class GLIB_OStringStream : public std::ostringstream {
public:
  GLIB_OStringStream() : std::ostringstream(std::ios_base::out) {}
};

class GLIB_WOStringStream : public std::wostringstream {
public:
  GLIB_WOStringStream() : std::wostringstream(std::ios_base::out) {}
};

std::ostream& operator<<(std::ostream& out, const GLIB_String& text);
// Writes the narrow form of the text.
std::ostream& operator<<(std::ostream& out, const GLIB_WString& text);
std::wostream& operator<<(std::wostream& out, const GLIB_WString& text);
// Writes the narrowed text; a null pointer writes nothing.
GLIB_OStringStream& operator<<(GLIB_OStringStream& out, const wchar_t* text);
// Writes the widened text; a null pointer writes nothing.
GLIB_WOStringStream& operator<<(GLIB_WOStringStream& out, const char* text);

// Narrow <-> wide. A null pointer gives an empty string.
GLIB_WString GLIB_NToWString(const GLIB_String& text);
GLIB_WString GLIB_NToWString(const char* text);
GLIB_String GLIB_WToNString(const GLIB_WString& text);
GLIB_String GLIB_WToNString(const wchar_t* text);

// Bounded copies between narrow and wide text: at most size - 1 characters (narrow: bytes), then
// a terminator. Characters the narrow encoding lacks become '?'. Size 0 touches nothing and
// returns a shared empty string in place of dst.
wchar_t* GLIB_StrMaxCpy(wchar_t* dst, const char* src, std::size_t size);
char* GLIB_StrMaxCpy(char* dst, const wchar_t* src, std::size_t size);

// UTF-8 to wide (UTF-16 units; a code point above U+FFFF takes a surrogate pair). Returns the
// number of wide characters written, the terminator not counted; malformed input gives an empty
// output and 0.
std::size_t GLIB_StrUTF8ToWide(const char* utf8, wchar_t* out, std::size_t size);
// The same for a whole string; malformed input gives an empty string.
GLIB_WString GLIB_WStringFromUTF8(const GLIB_String& utf8);

// Copies n 16-bit units (widened, or cut to their low 16 bits); no terminator; n <= 0 copies
// nothing.
void GLIB_CopyShortToWchar(wchar_t* dst, const std::uint16_t* src, int n);
void GLIB_CopyWcharToShort(std::uint16_t* dst, const wchar_t* src, int n);
// The n units widened; the string ends at the first unit 0 among them.
GLIB_WString GLIB_WStringFromShort(const std::uint16_t* src, int n);

// Length-prefixed copy: dst[0] = count (at most size - 1 and at most 255), then the characters.
void GLIB_CStringToPascal(const char* src, unsigned char* dst, std::ptrdiff_t size);

// Bounded formatted printing. Returns the number of characters written, or -1 for a null buffer
// or a text that does not fit. The buffer is always terminated when size > 0.
int GLIB_vsnprintf(char* buf, std::size_t size, const char* format, va_list args);
int GLIB_vsnprintf(wchar_t* buf, std::size_t size, const wchar_t* format, va_list args);
int GLIB_snprintf(char* buf, std::size_t size, const char* format, ...);
int GLIB_snprintf(wchar_t* buf, std::size_t size, const wchar_t* format, ...);
