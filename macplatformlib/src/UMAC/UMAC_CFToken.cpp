#include "UMAC/UMAC_CFToken.h"

#include "UMAC/UMAC_Exception.h"

#include <limits>

namespace {

constexpr std::uint32_t kPathError = 1436023;

UMAC_CFTokenKind DelimiterKind(wchar_t c) {
  switch (c) {
    case L'{':
      return kUMAC_CFTokenOpenBrace;
    case L'}':
      return kUMAC_CFTokenCloseBrace;
    case L'[':
      return kUMAC_CFTokenOpenBracket;
    case L']':
      return kUMAC_CFTokenCloseBracket;
    case L' ':
      return kUMAC_CFTokenBlank;
    default:
      return kUMAC_CFTokenKey;
  }
}

bool IsDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

}  // namespace

UMAC_CFToken::UMAC_CFToken(UMAC_CFTokenKind kind) : m_Kind(kind), m_Value(0), m_FitsInt(false) {}

UMAC_CFToken::UMAC_CFToken(UMAC_CFTokenKind kind, int value)
    : m_Kind(kind),
      m_Text(GLIB_NToWString(std::to_string(value))),
      m_Value(value),
      m_FitsInt(true) {}

UMAC_CFToken::UMAC_CFToken(UMAC_CFTokenKind kind, const GLIB_WString& text)
    : m_Kind(kind),
      m_Text(text),
      m_Value(0),
      m_FitsInt(false) {}

void UMAC_ThrowPathError(const char* message, const GLIB_WString& path, const char* file,
                         int line) {
  throw UMAC_Exception(kPathError, GLIB_StringVector{GLIB_WToNString(path)}, message, file, line);
}

UMAC_CFToken UMAC_NextCFToken(GLIB_WString& path) {
  std::size_t end = 0;
  while (end < path.size() && DelimiterKind(path[end]) == kUMAC_CFTokenKey)
    ++end;
  if (end == path.size())
    UMAC_ThrowPathError("Could not tokenize path", path, __FILE__, __LINE__);
  if (end == 0) {
    UMAC_CFToken delimiter(DelimiterKind(path[0]));
    path.erase(0, 1);
    return delimiter;
  }
  const GLIB_WString run = path.substr(0, end);
  path.erase(0, end);
  std::uint64_t value = 0;
  for (wchar_t c : run) {
    if (!IsDigit(c))
      return UMAC_CFToken(kUMAC_CFTokenKey, run);
    // Saturates past 32 bits; such an index is kept but not usable.
    if (value <= std::numeric_limits<std::int32_t>::max())
      value = value * 10 + static_cast<std::uint64_t>(c - L'0');
  }
  UMAC_CFToken index(kUMAC_CFTokenIndex, run);
  index.m_FitsInt = value <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  index.m_Value = index.m_FitsInt ? static_cast<std::int32_t>(value) : 0;
  return index;
}
