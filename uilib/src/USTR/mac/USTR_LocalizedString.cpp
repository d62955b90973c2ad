#include "USTR/USTR_LocalizedString.h"

#include "UMAC/UMAC_TextUtils.h"

#include <CoreFoundation/CFBundle.h>

namespace {

// Releases the CFString it holds when it goes, also when a conversion throws.
class ScopedCFString {
public:
  explicit ScopedCFString(CFStringRef text) : m_Text(text) {}
  ~ScopedCFString() {
    if (m_Text)
      CFRelease(m_Text);
  }
  ScopedCFString(ScopedCFString const&) = delete;
  ScopedCFString& operator=(ScopedCFString const&) = delete;

  CFStringRef const& Get() const { return m_Text; }

private:
  CFStringRef m_Text;
};

}  // namespace

CFStringRef iUSTR_GetLocalizedCFString(CFStringRef key) {
  return CFBundleCopyLocalizedString(CFBundleGetMainBundle(), key, key, nullptr);
}

USTR_String iUSTR_GetLocalizedString(CFStringRef key) {
  ScopedCFString const text(iUSTR_GetLocalizedCFString(key));
  return USTR_CFStringToUString(text.Get());
}

GLIB_WString iUSTR_GetLocalizedWString(CFStringRef key) {
  ScopedCFString const text(iUSTR_GetLocalizedCFString(key));
  GLIB_WString result;
  UMAC_CFStringToWString(result, text.Get());
  return result;
}
