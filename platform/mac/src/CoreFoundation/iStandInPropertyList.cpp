#include "iStandInPropertyList.h"

#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFData.h>
#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFString.h>

#include "StandIn_TextEncodings.h"
#include "iStandInCFCalls.h"
#include "iStandInDecimal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>

namespace standin_cf {

std::size_t PlistValue::IndexOf(const std::u16string& key) const {
  const auto range = m_KeyIndex.equal_range(std::hash<std::u16string>()(key));
  for (auto entry = range.first; entry != range.second; ++entry) {
    CountKeyProbe();
    if (keys[entry->second] == key)
      return entry->second;
  }
  return kNoKey;
}

void PlistValue::IndexKeys() {
  m_KeyIndex.clear();
  for (std::size_t i = 0; i < keys.size(); ++i)
    m_KeyIndex.emplace(std::hash<std::u16string>()(keys[i]), i);
}

const PlistValue* PlistValue::Find(const std::u16string& key) const {
  const std::size_t index = IndexOf(key);
  return index == kNoKey ? nullptr : &items[index];
}

void PlistValue::Put(const std::u16string& key, PlistValue value) {
  const std::size_t index = IndexOf(key);
  if (index != kNoKey) {
    items[index] = std::move(value);
    return;
  }
  items.push_back(std::move(value));
  keys.push_back(key);
  m_KeyIndex.emplace(std::hash<std::u16string>()(key), keys.size() - 1);
}

void PlistValue::Remove(const std::u16string& key) {
  const std::size_t index = IndexOf(key);
  if (index == kNoKey)
    return;
  items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
  keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(index));
  IndexKeys();  // the later keys moved down by one
}

namespace {

// Deeper nesting than any real property list; it bounds the reader's recursion.
constexpr int kMaxDepth = 200;

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string Trimmed(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsSpace(text[begin]))
    ++begin;
  while (end > begin && IsSpace(text[end - 1]))
    --end;
  return text.substr(begin, end - begin);
}

void AppendUtf8(char32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool ParseInteger(const std::string& text, long long& value) {
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+'))
    ++i;
  if (i == text.size())
    return false;
  // Magnitude in unsigned arithmetic, bounded by the most negative value's.
  const unsigned long long limit = negative ? 9223372036854775808ULL : 9223372036854775807ULL;
  unsigned long long magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9')
      return false;
    const unsigned digit = static_cast<unsigned>(text[i] - '0');
    if (magnitude > (limit - digit) / 10)
      return false;
    magnitude = magnitude * 10 + digit;
  }
  value = negative ? static_cast<long long>(0 - magnitude) : static_cast<long long>(magnitude);
  return true;
}

bool ParseReal(const std::string& text, double& value) {
  if (text == "nan") {
    value = std::nan("");
    return true;
  }
  if (text == "inf" || text == "+inf" || text == "infinity" || text == "+infinity") {
    value = HUGE_VAL;
    return true;
  }
  if (text == "-inf" || text == "-infinity") {
    value = -HUGE_VAL;
    return true;
  }
  if (text.empty() || IsSpace(text[0]))
    return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size();
}

bool DecodeBase64(const std::string& text, std::string& bytes) {
  unsigned bits = 0;
  int count = 0;
  int padding = 0;
  for (char c : text) {
    if (IsSpace(c))
      continue;
    if (c == '=') {
      ++padding;
      continue;
    }
    const char* found = c != '\0' ? std::strchr(kBase64, c) : nullptr;
    if (found == nullptr || padding > 0)
      return false;
    bits = (bits << 6) | static_cast<unsigned>(found - kBase64);
    count += 6;
    if (count >= 8) {
      count -= 8;
      bytes += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return padding <= 2;
}

std::string EncodeBase64(const std::string& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    unsigned chunk = 0;
    for (std::size_t k = 0; k < 3; ++k)
      chunk = (chunk << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (std::size_t k = 0; k < 4; ++k)
      text += k <= n ? kBase64[(chunk >> (18 - 6 * k)) & 0x3F] : '=';
  }
  return text;
}

std::string DecimalOf(double value) {
  if (std::isnan(value))
    return "nan";
  if (std::isinf(value))
    return value > 0 ? "+infinity" : "-infinity";
  return StandIn_ShortestDecimal(value);
}

class XmlReader {
public:
  explicit XmlReader(const std::string& xml) : m_Xml(xml) {}

  std::unique_ptr<PlistValue> Document() {
    Tag root;
    if (!SkipMisc() || !ReadTag(root) || root.closing || root.empty || root.name != "plist")
      return nullptr;
    auto value = std::make_unique<PlistValue>();
    Tag tag;
    Tag end;
    if (!SkipMisc() || !ReadTag(tag) || !ReadValue(tag, *value, 0) || !SkipMisc() ||
        !ReadTag(end) || !end.closing || end.name != "plist" || !SkipMisc() ||
        m_Pos != m_Xml.size())
      return nullptr;
    return value;
  }

private:
  struct Tag {
    std::string name;
    bool closing = false;
    bool empty = false;
  };

  bool StartsWith(const char* text) const {
    return m_Xml.compare(m_Pos, std::strlen(text), text) == 0;
  }

  bool SkipPast(const char* text) {
    const std::size_t found = m_Xml.find(text, m_Pos);
    if (found == std::string::npos)
      return false;
    m_Pos = found + std::strlen(text);
    return true;
  }

  // White space, comments, processing instructions and the document type.
  bool SkipMisc() {
    for (;;) {
      while (m_Pos < m_Xml.size() && IsSpace(m_Xml[m_Pos]))
        ++m_Pos;
      if (StartsWith("<!--")) {
        if (!SkipPast("-->"))
          return false;
      } else if (StartsWith("<?")) {
        if (!SkipPast("?>"))
          return false;
      } else if (StartsWith("<!DOCTYPE")) {
        const std::size_t close = m_Xml.find('>', m_Pos);
        const std::size_t subset = m_Xml.find('[', m_Pos);
        if (!SkipPast(subset < close ? "]>" : ">"))
          return false;
      } else {
        return true;
      }
    }
  }

  bool ReadTag(Tag& tag) {
    if (m_Pos >= m_Xml.size() || m_Xml[m_Pos] != '<')
      return false;
    ++m_Pos;
    tag = Tag();
    if (m_Pos < m_Xml.size() && m_Xml[m_Pos] == '/') {
      tag.closing = true;
      ++m_Pos;
    }
    while (m_Pos < m_Xml.size() &&
           (std::isalnum(static_cast<unsigned char>(m_Xml[m_Pos])) || m_Xml[m_Pos] == '_' ||
            m_Xml[m_Pos] == '-' || m_Xml[m_Pos] == '.' || m_Xml[m_Pos] == ':'))
      tag.name += m_Xml[m_Pos++];
    if (tag.name.empty())
      return false;
    // Attributes are read past, quoted values as a whole.
    char quote = 0;
    for (; m_Pos < m_Xml.size(); ++m_Pos) {
      const char c = m_Xml[m_Pos];
      if (quote != 0) {
        quote = c == quote ? 0 : quote;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '<') {
        return false;
      } else if (c == '>') {
        tag.empty = m_Xml[m_Pos - 1] == '/';
        ++m_Pos;
        return !(tag.closing && tag.empty);
      }
    }
    return false;
  }

  // The text up to the element's end tag, entities and CDATA sections decoded (UTF-8).
  bool ReadText(const std::string& name, std::string& text) {
    while (m_Pos < m_Xml.size()) {
      const char c = m_Xml[m_Pos];
      if (c == '&') {
        if (!ReadEntity(text))
          return false;
      } else if (c != '<') {
        text += c;
        ++m_Pos;
      } else if (StartsWith("<![CDATA[")) {
        const std::size_t begin = m_Pos + 9;
        if (!SkipPast("]]>"))
          return false;
        text.append(m_Xml, begin, m_Pos - 3 - begin);
      } else if (StartsWith("<!--")) {
        if (!SkipPast("-->"))
          return false;
      } else {
        Tag end;
        return ReadTag(end) && end.closing && end.name == name;
      }
    }
    return false;
  }

  bool ReadEntity(std::string& text) {
    const std::size_t semicolon = m_Xml.find(';', m_Pos);
    if (semicolon == std::string::npos || semicolon - m_Pos > 12)
      return false;
    const std::string name = m_Xml.substr(m_Pos + 1, semicolon - m_Pos - 1);
    m_Pos = semicolon + 1;
    if (name == "lt")
      text += '<';
    else if (name == "gt")
      text += '>';
    else if (name == "amp")
      text += '&';
    else if (name == "quot")
      text += '"';
    else if (name == "apos")
      text += '\'';
    else if (name.size() > 1 && name[0] == '#')
      return ReadCharacterReference(name.substr(1), text);
    else
      return false;
    return true;
  }

  static bool ReadCharacterReference(const std::string& digits, std::string& text) {
    const bool hex = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
    const std::string number = hex ? digits.substr(1) : digits;
    if (number.empty() || number.size() > 8)
      return false;
    char32_t code = 0;
    for (char c : number) {
      const char* set = hex ? "0123456789abcdef" : "0123456789";
      const char* found =
          c != '\0' ? std::strchr(set, std::tolower(static_cast<unsigned char>(c))) : nullptr;
      if (found == nullptr)
        return false;
      code = code * (hex ? 16 : 10) + static_cast<char32_t>(found - set);
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
      return false;
    AppendUtf8(code, text);
    return true;
  }

  // The content of a simple element: empty for <x/>.
  bool ReadContent(const Tag& tag, std::string& text) {
    return tag.empty || ReadText(tag.name, text);
  }

  bool ReadValue(const Tag& tag, PlistValue& value, int depth) {
    if (tag.closing || depth > kMaxDepth)
      return false;
    std::string text;
    if (tag.name == "string") {
      value.kind = PlistValue::Kind::String;
      return ReadContent(tag, text) &&
             standin::DecodeBytes(reinterpret_cast<const UInt8*>(text.data()), text.size(),
                                  kCFStringEncodingUTF8, false, value.text);
    }
    if (tag.name == "integer") {
      value.kind = PlistValue::Kind::Integer;
      return ReadContent(tag, text) && ParseInteger(Trimmed(text), value.integer);
    }
    if (tag.name == "real") {
      value.kind = PlistValue::Kind::Real;
      return ReadContent(tag, text) && ParseReal(Trimmed(text), value.real);
    }
    if (tag.name == "true" || tag.name == "false") {
      value.kind = PlistValue::Kind::Boolean;
      value.boolean = tag.name == "true";
      return ReadContent(tag, text) && Trimmed(text).empty();
    }
    if (tag.name == "data") {
      value.kind = PlistValue::Kind::Data;
      return ReadContent(tag, text) && DecodeBase64(text, value.bytes);
    }
    if (tag.name == "array") {
      value.kind = PlistValue::Kind::Array;
      return tag.empty || ReadArray(value, depth);
    }
    if (tag.name == "dict") {
      value.kind = PlistValue::Kind::Dictionary;
      return tag.empty || ReadDictionary(value, depth);
    }
    return false;
  }

  bool ReadArray(PlistValue& array, int depth) {
    for (;;) {
      Tag tag;
      if (!SkipMisc() || !ReadTag(tag))
        return false;
      if (tag.closing)
        return tag.name == "array";
      PlistValue element;
      if (!ReadValue(tag, element, depth + 1))
        return false;
      array.items.push_back(std::move(element));
    }
  }

  bool ReadDictionary(PlistValue& dict, int depth) {
    for (;;) {
      Tag tag;
      if (!SkipMisc() || !ReadTag(tag))
        return false;
      if (tag.closing)
        return tag.name == "dict";
      std::string keyText;
      std::u16string key;
      Tag valueTag;
      PlistValue value;
      if (tag.name != "key" || !ReadContent(tag, keyText) ||
          !standin::DecodeBytes(reinterpret_cast<const UInt8*>(keyText.data()), keyText.size(),
                                kCFStringEncodingUTF8, false, key) ||
          !SkipMisc() || !ReadTag(valueTag) || !ReadValue(valueTag, value, depth + 1))
        return false;
      dict.Put(key, std::move(value));
    }
  }

  const std::string& m_Xml;
  std::size_t m_Pos = 0;
};

class XmlWriter {
public:
  std::string Document(const PlistValue& value) {
    m_Out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
            "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
            "<plist version=\"1.0\">\n";
    Write(value, 0);
    m_Out += "</plist>\n";
    return m_Out;
  }

private:
  void Line(int depth, const std::string& text) {
    m_Out.append(static_cast<std::size_t>(depth), '\t');
    m_Out += text;
    m_Out += '\n';
  }

  static std::string Escaped(const std::u16string& units) {
    std::string text;
    for (std::size_t i = 0; i < units.size();) {
      std::string bytes;
      std::size_t consumed = 1;
      if (!standin::EncodeCharacter(units, i, kCFStringEncodingUTF8, bytes, consumed))
        bytes = "\xEF\xBF\xBD";  // an unpaired surrogate has no UTF-8 form
      i += consumed;
      if (bytes == "<")
        text += "&lt;";
      else if (bytes == ">")
        text += "&gt;";
      else if (bytes == "&")
        text += "&amp;";
      else
        text += bytes;
    }
    return text;
  }

  void Write(const PlistValue& value, int depth) {
    switch (value.kind) {
      case PlistValue::Kind::String:
        Line(depth, "<string>" + Escaped(value.text) + "</string>");
        break;
      case PlistValue::Kind::Integer:
        Line(depth, "<integer>" + std::to_string(value.integer) + "</integer>");
        break;
      case PlistValue::Kind::Real:
        Line(depth, "<real>" + DecimalOf(value.real) + "</real>");
        break;
      case PlistValue::Kind::Boolean:
        Line(depth, value.boolean ? "<true/>" : "<false/>");
        break;
      case PlistValue::Kind::Data:
        Line(depth, "<data>" + EncodeBase64(value.bytes) + "</data>");
        break;
      case PlistValue::Kind::Array:
        if (value.items.empty()) {
          Line(depth, "<array/>");
          break;
        }
        Line(depth, "<array>");
        for (const PlistValue& element : value.items)
          Write(element, depth + 1);
        Line(depth, "</array>");
        break;
      case PlistValue::Kind::Dictionary:
        WriteDictionary(value, depth);
        break;
    }
  }

  void WriteDictionary(const PlistValue& dict, int depth) {
    if (dict.keys.empty()) {
      Line(depth, "<dict/>");
      return;
    }
    std::vector<std::size_t> order(dict.keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&dict](std::size_t a, std::size_t b) { return dict.keys[a] < dict.keys[b]; });
    Line(depth, "<dict>");
    for (std::size_t i : order) {
      Line(depth + 1, "<key>" + Escaped(dict.keys[i]) + "</key>");
      Write(dict.items[i], depth + 1);
    }
    Line(depth, "</dict>");
  }

  std::string m_Out;
};

struct CFReleaser {
  void operator()(CFTypeRef object) const { CFRelease(object); }
};
using CFOwner = std::unique_ptr<const StandIn_CFObject, CFReleaser>;

CFOwner MakeCF(const PlistValue& value, bool mutableContainers);

CFOwner MakeArray(const PlistValue& array, bool mutableContainers) {
  std::vector<CFOwner> owned;
  std::vector<const void*> values;
  for (const PlistValue& element : array.items) {
    owned.push_back(MakeCF(element, mutableContainers));
    if (!owned.back())
      return nullptr;
    values.push_back(owned.back().get());
  }
  if (!mutableContainers)
    return CFOwner(CFArrayCreate(kCFAllocatorDefault, values.data(),
                                 static_cast<CFIndex>(values.size()), &kCFTypeArrayCallBacks));
  CFMutableArrayRef result = CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks);
  for (std::size_t i = 0; result != nullptr && i < values.size(); ++i)
    CFArrayAppendValue(result, values[i]);
  return CFOwner(result);
}

CFOwner MakeDictionary(const PlistValue& dict, bool mutableContainers) {
  std::vector<CFOwner> owned;
  std::vector<const void*> keys;
  std::vector<const void*> values;
  for (std::size_t i = 0; i < dict.keys.size(); ++i) {
    owned.emplace_back(CFStringCreateWithCharacters(
        kCFAllocatorDefault, reinterpret_cast<const UniChar*>(dict.keys[i].data()),
        static_cast<CFIndex>(dict.keys[i].size())));
    if (!owned.back())
      return nullptr;
    keys.push_back(owned.back().get());
    owned.push_back(MakeCF(dict.items[i], mutableContainers));
    if (!owned.back())
      return nullptr;
    values.push_back(owned.back().get());
  }
  if (!mutableContainers)
    return CFOwner(CFDictionaryCreate(
        kCFAllocatorDefault, keys.data(), values.data(), static_cast<CFIndex>(keys.size()),
        &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
  CFMutableDictionaryRef result = CFDictionaryCreateMutable(
      kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  for (std::size_t i = 0; result != nullptr && i < keys.size(); ++i)
    CFDictionarySetValue(result, keys[i], values[i]);
  return CFOwner(result);
}

CFOwner MakeCF(const PlistValue& value, bool mutableContainers) {
  switch (value.kind) {
    case PlistValue::Kind::String:
      return CFOwner(CFStringCreateWithCharacters(
          kCFAllocatorDefault, reinterpret_cast<const UniChar*>(value.text.data()),
          static_cast<CFIndex>(value.text.size())));
    case PlistValue::Kind::Integer:
      return CFOwner(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &value.integer));
    case PlistValue::Kind::Real:
      return CFOwner(CFNumberCreate(kCFAllocatorDefault, kCFNumberFloat64Type, &value.real));
    case PlistValue::Kind::Boolean:
      return CFOwner(CFRetain(value.boolean ? kCFBooleanTrue : kCFBooleanFalse));
    case PlistValue::Kind::Data:
      return CFOwner(CFDataCreate(kCFAllocatorDefault,
                                  reinterpret_cast<const UInt8*>(value.bytes.data()),
                                  static_cast<CFIndex>(value.bytes.size())));
    case PlistValue::Kind::Array:
      return MakeArray(value, mutableContainers);
    case PlistValue::Kind::Dictionary:
      return MakeDictionary(value, mutableContainers);
  }
  return nullptr;
}

bool ReadCF(CFTypeRef object, PlistValue& value, int depth) {
  if (object == nullptr || depth > kMaxDepth)
    return false;
  const CFTypeID type = CFGetTypeID(object);
  if (type == CFStringGetTypeID()) {
    value.kind = PlistValue::Kind::String;
    value.text = static_cast<CFStringRef>(object)->Units();
  } else if (type == CFNumberGetTypeID()) {
    auto number = static_cast<CFNumberRef>(object);
    value.kind = number->IsFloat() ? PlistValue::Kind::Real : PlistValue::Kind::Integer;
    value.integer = number->Integer();
    value.real = number->Real();
  } else if (type == CFBooleanGetTypeID()) {
    value.kind = PlistValue::Kind::Boolean;
    value.boolean = CFBooleanGetValue(static_cast<CFBooleanRef>(object));
  } else if (type == CFDataGetTypeID()) {
    auto data = static_cast<CFDataRef>(object);
    value.kind = PlistValue::Kind::Data;
    value.bytes.assign(reinterpret_cast<const char*>(CFDataGetBytePtr(data)),
                       static_cast<std::size_t>(CFDataGetLength(data)));
  } else if (type == CFArrayGetTypeID()) {
    auto array = static_cast<CFArrayRef>(object);
    value.kind = PlistValue::Kind::Array;
    value.items.resize(static_cast<std::size_t>(CFArrayGetCount(array)));
    for (std::size_t i = 0; i < value.items.size(); ++i) {
      auto element = static_cast<CFTypeRef>(CFArrayGetValueAtIndex(array, static_cast<CFIndex>(i)));
      if (!ReadCF(element, value.items[i], depth + 1))
        return false;
    }
  } else if (type == CFDictionaryGetTypeID()) {
    auto dict = static_cast<CFDictionaryRef>(object);
    value.kind = PlistValue::Kind::Dictionary;
    const std::size_t count = static_cast<std::size_t>(CFDictionaryGetCount(dict));
    std::vector<const void*> keys(count);
    std::vector<const void*> values(count);
    CFDictionaryGetKeysAndValues(dict, keys.data(), values.data());
    for (std::size_t i = 0; i < count; ++i) {
      auto key = static_cast<CFTypeRef>(keys[i]);
      PlistValue element;
      if (key == nullptr || CFGetTypeID(key) != CFStringGetTypeID() ||
          !ReadCF(static_cast<CFTypeRef>(values[i]), element, depth + 1))
        return false;
      value.Put(static_cast<CFStringRef>(key)->Units(), std::move(element));
    }
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<PlistValue> ParseXmlPlist(const std::string& xml) {
  return XmlReader(xml).Document();
}

std::string WriteXmlPlist(const PlistValue& value) {
  return XmlWriter().Document(value);
}

std::unique_ptr<PlistValue> PlistFromCF(CFTypeRef object) {
  auto value = std::make_unique<PlistValue>();
  return ReadCF(object, *value, 0) ? std::move(value) : nullptr;
}

CFTypeRef PlistToCF(const PlistValue& value, bool mutableContainers) {
  return MakeCF(value, mutableContainers).release();
}

}  // namespace standin_cf
