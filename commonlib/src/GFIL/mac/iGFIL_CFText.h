// Small Core Foundation helpers of the Mac file layer: wide text to and from CFString, and an
// owner that releases a CF object on every path.
#pragma once

#include "GLIB/GLIB_String.h"

#include <CoreFoundation/CFString.h>

// One UTF-16 unit per wide character.
GLIB_WString iGFIL_WStringFromCFString(CFStringRef text);
// The caller releases the result; null when it cannot be made.
CFStringRef iGFIL_CreateCFString(const GLIB_WString& text);

template <class Ref>
class iGFIL_CFOwner {
public:
  explicit iGFIL_CFOwner(Ref ref = nullptr) : m_Ref(ref) {}
  ~iGFIL_CFOwner() {
    if (m_Ref)
      CFRelease(m_Ref);
  }
  iGFIL_CFOwner(const iGFIL_CFOwner&) = delete;
  iGFIL_CFOwner& operator=(const iGFIL_CFOwner&) = delete;

  Ref Get() const { return m_Ref; }
  // Gives up ownership.
  Ref Take() {
    Ref ref = m_Ref;
    m_Ref = nullptr;
    return ref;
  }

private:
  Ref m_Ref;
};
