#include "USTR/USTR_String.h"

#include <string>

namespace {

unsigned short LowUnit(wchar_t c) {
  return static_cast<unsigned short>(static_cast<unsigned long>(c) & 0xFFFFu);
}

void AppendWide(USTR_String& to, wchar_t const* text) {
  if (!text)
    return;
  for (; *text; ++text)
    to.push_back(LowUnit(*text));
}

USTR_String PlaceholderKey(std::size_t index) {
  USTR_String key;
  key.push_back('{');
  for (char digit : std::to_string(index))
    key.push_back(static_cast<unsigned char>(digit));
  key.push_back('}');
  return key;
}

// Every occurrence of key that stands in text, replaced in one pass; what a replacement brings in
// is never searched again.
USTR_String ReplaceOnce(USTR_String const& text, USTR_String const& key, USTR_String const& value) {
  USTR_String result;
  std::size_t from = 0;
  for (std::size_t at = text.find(key); at != USTR_String::npos; at = text.find(key, from)) {
    result.append(text, from, at - from);
    result += value;
    from = at + key.size();
  }
  result.append(text, from, USTR_String::npos);
  return result;
}

// Replaces key until no occurrence is left, also one that a replacement forms with the text
// around it. A value holding its own key would re-form it for ever, so then only the occurrences
// that stood in the text are replaced. Texts come from files (job titles), so the replacements
// are bounded by the text's length as well: a value shorter than the key shortens the text with
// each replacement and ends well within that; should the bound be reached all the same, the step
// falls back to replacing the occurrences that stood in the text.
USTR_String ReplaceAll(USTR_String const& text, USTR_String const& key, USTR_String const& value) {
  if (value.find(key) != USTR_String::npos)
    return ReplaceOnce(text, key, value);
  std::size_t budget = text.size() + 16;
  USTR_String result = text;
  std::size_t at = result.find(key);
  while (at != USTR_String::npos) {
    if (budget-- == 0)
      return ReplaceOnce(text, key, value);
    result.replace(at, key.size(), value);
    // Nothing before the replaced occurrence matched, so a new one can start at the earliest
    // where the key would reach into the inserted text.
    std::size_t const restart = at >= key.size() - 1 ? at - (key.size() - 1) : 0;
    at = result.find(key, restart);
  }
  return result;
}

}  // namespace

USTR_String::USTR_String(wchar_t const* text) {
  AppendWide(*this, text);
}

USTR_String::USTR_String(GLIB_WString const& text) : USTR_String(USTR_WStringToUString(text)) {}

USTR_String& USTR_String::operator=(wchar_t const* text) {
  clear();
  AppendWide(*this, text);
  return *this;
}

USTR_String USTR_String::operator+=(wchar_t const* text) {
  AppendWide(*this, text);
  return *this;
}

USTR_String USTR_String::operator+=(int number) {
  for (char c : std::to_string(number))
    push_back(static_cast<unsigned char>(c));
  return *this;
}

USTR_String USTR_String::operator+=(unsigned short unit) {
  push_back(unit);
  return *this;
}

USTR_String USTR_String::operator+=(USTR_String const& text) {
  append(text);
  return *this;
}

USTR_String USTR_WStringToUString(GLIB_WString const& text) {
  USTR_String result;
  result.reserve(text.size());
  for (wchar_t c : text)
    result.push_back(LowUnit(c));
  return result;
}

GLIB_WString USTR_UStringToWString(USTR_String const& text) {
  GLIB_WString result;
  result.reserve(text.size());
  for (unsigned short unit : text)
    result.push_back(static_cast<wchar_t>(unit));
  return result;
}

USTR_String USTR_NStringToUString(std::string const& text) {
  USTR_String result;
  result.reserve(text.size());
  for (char c : text)
    result.push_back(static_cast<unsigned char>(c));
  return result;
}

USTR_String USTR_NStringToUString(GLIB_String const& text) {
  return USTR_NStringToUString(static_cast<std::string const&>(text));
}

USTR_String USTR_InstantiateParameters(USTR_String const& text,
                                       USTR_StringVector const& parameters) {
  if (text.empty() || parameters.empty())
    return text;
  USTR_String result = text;
  for (std::size_t i = 0; i < parameters.size(); ++i)
    result = ReplaceAll(result, PlaceholderKey(i), parameters[i]);
  return result;
}
