#include "USTR/USTR_String.h"

#include <vector>

CFStringRef USTR_UStringToCFString(USTR_String const& text) {
  return CFStringCreateWithCharacters(kCFAllocatorDefault, text.data(),
                                      static_cast<CFIndex>(text.size()));
}

USTR_String USTR_CFStringToUString(CFStringRef text) {
  CFIndex const length = CFStringGetLength(text);
  USTR_String result(static_cast<USTR_String::size_type>(length), 0);
  if (length > 0)
    CFStringGetCharacters(text, CFRangeMake(0, length), &result[0]);
  return result;
}
