// The text type every user-visible string passes through: 16-bit code units, so the portable
// view logic, the controls and both platform layers share one representation. No surrogate
// handling is done anywhere: each unit is one character.
#pragma once

#include "GLIB/GLIB_String.h"

#include <string>
#include <vector>

#ifndef _WIN32
#include <CoreFoundation/CFString.h>
#endif

class USTR_String : public std::basic_string<unsigned short> {
public:
  using Base = std::basic_string<unsigned short>;

  USTR_String() = default;
  USTR_String(USTR_String const&) = default;
  USTR_String(USTR_String&&) = default;
  USTR_String(Base const& units) : Base(units) {}
  USTR_String(Base&& units) : Base(std::move(units)) {}
  // The first count units.
  USTR_String(unsigned short const* units, unsigned long count) : Base(units, count) {}
  // count copies of one unit.
  USTR_String(size_type count, unsigned short unit) : Base(count, unit) {}
  // Each wide character cut to its low 16 bits; a null text gives an empty string.
  USTR_String(wchar_t const* text);
  USTR_String(GLIB_WString const& text);
  template <class InputIterator>
  USTR_String(InputIterator first, InputIterator last) : Base(first, last) {}

  USTR_String& operator=(USTR_String const&) = default;
  USTR_String& operator=(USTR_String&&) = default;
  USTR_String& operator=(wchar_t const* text);

  // The appending operators give a copy of the result.
  USTR_String operator+=(wchar_t const* text);
  // Appends the number in decimal.
  USTR_String operator+=(int number);
  USTR_String operator+=(unsigned short unit);
  USTR_String operator+=(USTR_String const& text);
};

class USTR_StringVector : public std::vector<USTR_String> {
public:
  using std::vector<USTR_String>::vector;
  USTR_StringVector() = default;
};

USTR_String USTR_WStringToUString(GLIB_WString const& text);
GLIB_WString USTR_UStringToWString(USTR_String const& text);
// Byte by byte: each byte value 0..255 becomes the code unit of the same value.
USTR_String USTR_NStringToUString(GLIB_String const& text);
USTR_String USTR_NStringToUString(std::string const& text);

// Replaces each placeholder "{i}" by parameters[i], i = 0, 1, ... in that order. An occurrence of
// "{i}" that a replacement forms together with the text around it is replaced too, and text a
// replacement brings in takes part in the later, higher-numbered replacements. Placeholders
// numbered beyond the parameters stay.
USTR_String USTR_InstantiateParameters(USTR_String const& text,
                                       USTR_StringVector const& parameters);

#ifndef _WIN32
// A new CFString holding the units as they are; the caller releases it.
CFStringRef USTR_UStringToCFString(USTR_String const& text);
USTR_String USTR_CFStringToUString(CFStringRef text);
#endif
