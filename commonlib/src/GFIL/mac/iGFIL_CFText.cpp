#include "GFIL/mac/iGFIL_CFText.h"

#include <vector>

GLIB_WString iGFIL_WStringFromCFString(CFStringRef text) {
  if (text == nullptr)
    return GLIB_WString();
  CFIndex length = CFStringGetLength(text);
  std::vector<UniChar> units(static_cast<std::size_t>(length));
  if (length > 0)
    CFStringGetCharacters(text, CFRangeMake(0, length), units.data());
  return GLIB_WString(units.begin(), units.end());
}

CFStringRef iGFIL_CreateCFString(const GLIB_WString& text) {
  std::vector<UniChar> units(text.begin(), text.end());
  return CFStringCreateWithCharacters(kCFAllocatorDefault, units.data(),
                                      static_cast<CFIndex>(units.size()));
}
