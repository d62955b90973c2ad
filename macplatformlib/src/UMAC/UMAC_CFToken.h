// Tokens of CoreFoundation key paths such as {Palettes}{Navigation}[0].
#pragma once

#include "GLIB/GLIB_String.h"

#include <cstdint>

enum UMAC_CFTokenKind {
  kUMAC_CFTokenOpenBrace = 1,
  kUMAC_CFTokenCloseBrace = 2,
  kUMAC_CFTokenOpenBracket = 3,
  kUMAC_CFTokenCloseBracket = 4,
  kUMAC_CFTokenKey = 5,
  kUMAC_CFTokenIndex = 6,
  kUMAC_CFTokenBlank = 7
};

struct UMAC_CFToken {
  explicit UMAC_CFToken(UMAC_CFTokenKind kind);
  UMAC_CFToken(UMAC_CFTokenKind kind, int value);
  UMAC_CFToken(UMAC_CFTokenKind kind, const GLIB_WString& text);

  // An index whose digits fit a 32-bit integer.
  bool IsUsableIndex() const { return m_Kind == kUMAC_CFTokenIndex && m_FitsInt; }

  UMAC_CFTokenKind m_Kind;
  // A key's text; an index's digits as written (inside {...} they are part of a key).
  GLIB_WString m_Text;
  std::int32_t m_Value;
  bool m_FitsInt;
};

// Takes the next token from the front of path: a delimiter ("{", "}", "[", "]", " "), or the run
// of other characters before the next delimiter, an index when it is all digits and a key
// otherwise. A path that is empty or has no delimiter after the run throws 1436023 "Could not
// tokenize path" with the path as detail parameter.
UMAC_CFToken UMAC_NextCFToken(GLIB_WString& path);

// Throws 1436023 with the message and the path (narrowed) as detail parameter.
[[noreturn]] void UMAC_ThrowPathError(const char* message, const GLIB_WString& path,
                                      const char* file, int line);
