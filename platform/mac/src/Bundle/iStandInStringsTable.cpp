#include "iStandInStringsTable.h"

#include <fstream>
#include <sstream>

namespace {

bool DecodeUTF16(const std::string& bytes, bool bigEndian, std::u16string& text) {
  if (bytes.size() % 2 != 0)
    return false;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    unsigned char const first = static_cast<unsigned char>(bytes[i]);
    unsigned char const second = static_cast<unsigned char>(bytes[i + 1]);
    text.push_back(
        static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
  }
  return true;
}

bool DecodeUTF8(const std::string& bytes, std::size_t from, std::u16string& text) {
  std::size_t i = from;
  while (i < bytes.size()) {
    unsigned char const lead = static_cast<unsigned char>(bytes[i++]);
    std::size_t following;
    char32_t code;
    if (lead < 0x80) {
      following = 0;
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      following = 1;
      code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      following = 2;
      code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      following = 3;
      code = lead & 0x07;
    } else {
      return false;
    }
    for (; following > 0; --following) {
      if (i >= bytes.size() || (static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80)
        return false;
      code = (code << 6) | (static_cast<unsigned char>(bytes[i++]) & 0x3F);
    }
    if (code > 0x10FFFF)
      return false;
    if (code > 0xFFFF) {
      code -= 0x10000;
      text.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      text.push_back(static_cast<char16_t>(code));
    }
  }
  return true;
}

bool Decode(const std::string& bytes, std::u16string& text) {
  auto starts = [&bytes](const char* mark, std::size_t n) {
    return bytes.compare(0, n, mark, n) == 0;
  };
  if (starts("\xFF\xFE", 2))
    return DecodeUTF16(bytes, false, text);
  if (starts("\xFE\xFF", 2))
    return DecodeUTF16(bytes, true, text);
  return DecodeUTF8(bytes, starts("\xEF\xBB\xBF", 3) ? 3 : 0, text);
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9')
    return c - u'0';
  if (c >= u'a' && c <= u'f')
    return c - u'a' + 10;
  if (c >= u'A' && c <= u'F')
    return c - u'A' + 10;
  return -1;
}

// The entries of an old-style property-list dictionary without its braces:
//   "key" = "value"; "key only"; unquoted_key = unquoted_value;
// with /* */ and // comments.
class Parser {
public:
  explicit Parser(const std::u16string& text) : m_Text(text) {}

  bool Parse(std::map<std::u16string, std::u16string>& entries) {
    for (;;) {
      if (!SkipSpaceAndComments())
        return false;
      if (AtEnd())
        return true;
      std::u16string key;
      if (!ReadToken(key) || !SkipSpaceAndComments())
        return false;
      std::u16string value = key;
      if (Peek() == u'=') {
        ++m_Pos;
        if (!SkipSpaceAndComments() || !ReadToken(value) || !SkipSpaceAndComments())
          return false;
      }
      if (Peek() != u';')
        return false;
      ++m_Pos;
      entries[key] = value;
    }
  }

private:
  bool AtEnd() const { return m_Pos >= m_Text.size(); }
  char16_t Peek() const { return AtEnd() ? u'\0' : m_Text[m_Pos]; }

  // False for a comment that is never closed.
  bool SkipSpaceAndComments() {
    while (!AtEnd()) {
      char16_t const c = m_Text[m_Pos];
      if (c <= u' ') {
        ++m_Pos;
      } else if (m_Text.compare(m_Pos, 2, u"/*") == 0) {
        std::size_t const close = m_Text.find(u"*/", m_Pos + 2);
        if (close == std::u16string::npos)
          return false;
        m_Pos = close + 2;
      } else if (m_Text.compare(m_Pos, 2, u"//") == 0) {
        while (!AtEnd() && m_Text[m_Pos] != u'\n' && m_Text[m_Pos] != u'\r')
          ++m_Pos;
      } else {
        return true;
      }
    }
    return true;
  }

  static bool IsUnquotedCharacter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'$' || c == u'+' || c == u'/' || c == u':' || c == u'.' || c == u'-';
  }

  bool ReadToken(std::u16string& token) {
    token.clear();
    if (Peek() == u'"')
      return ReadQuoted(token);
    while (!AtEnd() && IsUnquotedCharacter(m_Text[m_Pos]))
      token.push_back(m_Text[m_Pos++]);
    return !token.empty();
  }

  bool ReadQuoted(std::u16string& token) {
    ++m_Pos;  // opening quote
    while (!AtEnd()) {
      char16_t const c = m_Text[m_Pos++];
      if (c == u'"')
        return true;
      if (c != u'\\') {
        token.push_back(c);
        continue;
      }
      if (AtEnd())
        return false;
      token.push_back(ReadEscape());
    }
    return false;  // never closed
  }

  // The character after a backslash, already consumed.
  char16_t ReadEscape() {
    char16_t const c = m_Text[m_Pos++];
    switch (c) {
      case u'a':
        return u'\a';
      case u'b':
        return u'\b';
      case u'f':
        return u'\f';
      case u'n':
        return u'\n';
      case u'r':
        return u'\r';
      case u't':
        return u'\t';
      case u'v':
        return u'\v';
      case u'U':
      case u'u': {
        unsigned value = 0;
        for (int digits = 0; digits < 4 && !AtEnd() && HexValue(m_Text[m_Pos]) >= 0; ++digits)
          value = value * 16 + static_cast<unsigned>(HexValue(m_Text[m_Pos++]));
        return static_cast<char16_t>(value);
      }
      default:
        if (c >= u'0' && c <= u'7') {
          unsigned value = c - u'0';
          for (int digits = 1;
               digits < 3 && !AtEnd() && m_Text[m_Pos] >= u'0' && m_Text[m_Pos] <= u'7'; ++digits)
            value = value * 8 + (m_Text[m_Pos++] - u'0');
          return static_cast<char16_t>(value & 0xFF);
        }
        return c;  // \" \' \\ and any other character stand for themselves
    }
  }

  const std::u16string& m_Text;
  std::size_t m_Pos = 0;
};

}  // namespace

iStandIn_StringsTable iStandIn_StringsTable::FromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return iStandIn_StringsTable();
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return FromBytes(bytes.str());
}

iStandIn_StringsTable iStandIn_StringsTable::FromBytes(const std::string& bytes) {
  iStandIn_StringsTable table;
  std::u16string text;
  if (!Decode(bytes, text) || !Parser(text).Parse(table.m_Entries))
    table.m_Entries.clear();
  return table;
}

const std::u16string* iStandIn_StringsTable::Find(const std::u16string& key) const {
  auto const found = m_Entries.find(key);
  return found == m_Entries.end() ? nullptr : &found->second;
}
