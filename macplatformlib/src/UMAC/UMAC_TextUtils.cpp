#include "UMAC/UMAC_TextUtils.h"

#include <vector>

void UMAC_CFStringToWString(GLIB_WString& result, CFStringRef const& text) {
  CFIndex const length = CFStringGetLength(text);
  std::vector<UniChar> units(static_cast<std::size_t>(length));
  if (length > 0)
    CFStringGetCharacters(text, CFRangeMake(0, length), units.data());
  GLIB_WString wide(static_cast<GLIB_WString::size_type>(length), L'\0');
  if (length > 0)
    GLIB_CopyShortToWchar(&wide[0], units.data(), static_cast<int>(length));
  result.swap(wide);
}
