// CFStringCreateWithFormat of the Mac stand-in and the one CFString <-> UTF-8 conversion.
#include <CoreFoundation/CFString.h>

#include "../Files/iStandInFiles.h"
#include "iStandInCFText.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace standin_cf {

std::string Utf8Of(CFStringRef text) {
  return text ? standin_files::Utf16ToUtf8(text->Units()) : std::string();
}

CFStringRef NewStringFromUtf8(const std::string& utf8) {
  const std::u16string units = standin_files::Utf8ToUtf16(utf8);
  return CFStringCreateWithCharacters(kCFAllocatorDefault,
                                      reinterpret_cast<const UniChar*>(units.data()),
                                      static_cast<CFIndex>(units.size()));
}

}  // namespace standin_cf

namespace {

std::u16string Ascii(const char* text) {
  std::u16string units;
  for (; *text; ++text)
    units.push_back(static_cast<unsigned char>(*text));
  return units;
}

// One numeric conversion as printf makes it (the directive is ASCII).
template <class T>
std::u16string Printed(const std::string& directive, T value) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, directive.c_str(), value);
  return Ascii(buffer);
}

}  // namespace

CFStringRef CFStringCreateWithFormat(CFAllocatorRef, CFDictionaryRef, CFStringRef format, ...) {
  va_list arguments;
  va_start(arguments, format);
  CFStringRef result = CFStringCreateWithFormatAndArguments(nullptr, nullptr, format, arguments);
  va_end(arguments);
  return result;
}

CFStringRef CFStringCreateWithFormatAndArguments(CFAllocatorRef, CFDictionaryRef,
                                                 CFStringRef format, va_list arguments) {
  if (format == nullptr)
    return nullptr;
  const std::u16string& in = format->Units();
  std::u16string out;
  va_list args;
  va_copy(args, arguments);
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i] != u'%' || i + 1 >= in.size()) {
      out.push_back(in[i]);
      continue;
    }
    // Flags, width and precision (digits only), length modifiers, then the conversion.
    const std::size_t start = i;
    std::string directive = "%";
    std::size_t j = i + 1;
    while (j < in.size() && in[j] < 0x80 &&
           std::string("-+ #0123456789.").find(char(in[j])) != std::string::npos)
      directive += static_cast<char>(in[j++]);
    std::string length;
    while (j < in.size() && (in[j] == u'l' || in[j] == u'h' || in[j] == u'q' || in[j] == u'z'))
      length += static_cast<char>(in[j++]);
    if (j >= in.size())
      break;
    const char16_t conversion = in[j];
    i = j;
    const bool isLong = length == "l";
    const bool isLongLong = length == "ll" || length == "q";
    const bool isSize = length == "z";
    switch (conversion) {
      case u'%':
        out.push_back(u'%');
        break;
      case u'@': {
        auto object = va_arg(args, CFTypeRef);
        if (object == nullptr) {
          out += u"(null)";
        } else if (CFStringRef text = CFCopyDescription(object)) {
          out += text->Units();
          CFRelease(text);
        }
        break;
      }
      case u'd':
      case u'i':
      case u'u':
      case u'x':
      case u'X':
      case u'o': {
        const std::string spec = directive +
                                 (isLongLong ? "ll"
                                  : isLong   ? "l"
                                  : isSize   ? "z"
                                             : "") +
                                 static_cast<char>(conversion);
        if (isLongLong)
          out += Printed(spec, va_arg(args, long long));
        else if (isLong)
          out += Printed(spec, va_arg(args, long));
        else if (isSize)
          out += Printed(spec, va_arg(args, std::size_t));
        else
          out += Printed(spec, va_arg(args, int));
        break;
      }
      case u'f':
      case u'g':
      case u'e':
      case u'G':
      case u'E':
        out += Printed(directive + static_cast<char>(conversion), va_arg(args, double));
        break;
      case u'c':
      case u'C':
        out.push_back(static_cast<char16_t>(va_arg(args, int)));
        break;
      case u's': {
        const char* text = va_arg(args, const char*);
        out += text ? standin_files::Utf8ToUtf16(text) : u"(null)";
        break;
      }
      case u'p':
        out += Printed("%p", va_arg(args, void*));
        break;
      default:  // unknown: kept as written
        out += in.substr(start, j + 1 - start);
        break;
    }
  }
  va_end(args);
  return CFStringCreateWithCharacters(nullptr, reinterpret_cast<const UniChar*>(out.data()),
                                      static_cast<CFIndex>(out.size()));
}
