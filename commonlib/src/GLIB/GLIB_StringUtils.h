#pragma once

#include "GLIB/GLIB_String.h"

// Caseless comparison of the Unicode-folded texts: negative, 0 or positive.
int GLIB_stricmp(const GLIB_WString& a, const GLIB_WString& b);
int GLIB_stricmp(const wchar_t* a, const wchar_t* b);

// ASCII-only caseless comparison: only 'A'-'Z' are folded; bytes compare as signed chars and
// the result is the difference of the first differing folded characters.
int GLIB_stricmp(const GLIB_String& a, const GLIB_String& b);
int GLIB_stricmp(const char* a, const char* b);

// Natural order for names with numbers ("a2" before "a10"): -1, 0 or 1.
int GLIB_StringCompareLogical(const GLIB_WString& a, const GLIB_WString& b, bool ignoreCase);

// One character for one, through the program's global locale.
GLIB_String GLIB_ToUpperCase(const GLIB_String& text);
GLIB_String GLIB_ToLowerCase(const GLIB_String& text);
GLIB_WString GLIB_ToUpperCase(const GLIB_WString& text);
GLIB_WString GLIB_ToLowerCase(const GLIB_WString& text);

// n > 0 keeps the first n characters, n < 0 the last -n, 0 keeps everything.
GLIB_WString GLIB_TruncateString(const GLIB_WString& text, int n);

// Removes white space and control characters at both ends.
GLIB_WString GLIB_TrimWhitespace(const GLIB_WString& text);

// Segments between separators; empty segments are kept, an empty text gives none.
GLIB_WStringVector GLIB_SplitString(const GLIB_WString& text, wchar_t separator);
GLIB_StringVector GLIB_SplitString(const GLIB_String& text, char separator);

// Two upper-case hexadecimal digits per byte.
GLIB_String GLIB_HexToAscii(const char* bytes, std::size_t n);

// '0'-'9', 'a'-'f' for 0-15; any other value is a fatal error.
char iGLIB_NibbleToHex(char nibble);

// Decodes backslash-u escapes (see iGLIB_UnicodeEscapeParser::Parse).
std::size_t GLIB_StrUnicodeEscapedAsciiToWide(const char* text, wchar_t* out, std::size_t size);

#if defined(_WIN32)

// Buffer routines of the Windows program. Those that fill a buffer take its size in
// characters, leave it terminated whenever the size is above 0 and return it.
char* GLIB_StrMaxCpy(char* dst, const char* src, std::size_t size);
wchar_t* GLIB_StrMaxCpy(wchar_t* dst, const wchar_t* src, std::size_t size);
char* GLIB_StrMaxCat(char* dst, const char* src, std::size_t size);
wchar_t* GLIB_StrMaxCat(wchar_t* dst, const char* src, std::size_t size);
char* GLIB_StrMaxCat(char* dst, const wchar_t* src, std::size_t size);
wchar_t* GLIB_StrMaxCat(wchar_t* dst, const wchar_t* src, std::size_t size);

char* GLIB_StrUpr(char* text);
char* GLIB_StrLwr(char* text);
wchar_t* GLIB_StrUpr(wchar_t* text);
wchar_t* GLIB_StrLwr(wchar_t* text);
char* GLIB_StrRev(char* text);

// Copy allocated with malloc; the caller frees it. A null text gives null.
char* GLIB_strdup(const char* text);

bool GLIB_IsStrEmpty(const char* text);
bool GLIB_IsStrEmpty(const wchar_t* text);

GLIB_String GLIB_TrimWhitespace(const GLIB_String& text);

// UTF-16 to UTF-8; returns the bytes written, terminator not counted. An unpaired surrogate
// becomes U+FFFD.
std::size_t GLIB_StrWideToUTF8(const wchar_t* in, char* out, std::size_t size);

// 1 A, 26 Z, 27 AA, 28 BB, 53 AAA; 0 gives an empty text.
char* GLIB_FormatAlphabeticNumeral(unsigned int n, char* buf, std::size_t size);
// Upper-case Roman numeral for 1 to 4999, else empty; returns the place after the last letter.
char* GLIB_FormatRomanNumeral(unsigned int n, char* buf, std::size_t size);
// Spreadsheet column letters: 1 A, 26 Z, 27 AA, 703 AAA; returns the place after the last letter.
char* GLIB_FormatColumnLetters(unsigned int n, char* buf, std::size_t size);
// Fixed-point text with at most `decimals` fraction digits, trailing zeros removed.
char* GLIB_FormatDecimal(double x, int decimals, char* buf, int size);

// Hexadecimal text to bytes; returns the number of bytes, or 0 for a bad digit or short buffer.
std::size_t GLIB_AsciiToHex(const GLIB_String& hex, char* out, std::size_t size);

bool GLIB_HasNonAsciiChars(const GLIB_WString& text);

// Every unit from 128 up becomes \uXXXX; writes whole items only, no terminator. With a null
// out only counts.
std::size_t GLIB_StrWideToUnicodeEscapedAscii(const wchar_t* in, char* out, std::size_t size);

// Code pages of the narrow conversions below.
const int GLIB_CodePageWindowsLatin = 1;
const int GLIB_CodePageMacRoman = 2;

// Return the units (bytes) written including the terminator; an unknown code page is logged
// and converts nothing.
std::size_t GLIB_StrNarrowToUTF16(const char* in, wchar_t* out, std::size_t size, int codePage);
std::size_t GLIB_StrUTF16ToNarrow(const wchar_t* in, char* out, std::size_t size, int codePage);

// Plain ANSI code-page conversions; return the system's count.
int GLIB_WToNBuffer(const wchar_t* in, char* out, int size);
int GLIB_NToWBuffer(wchar_t* out, const char* in, int size);

#endif
