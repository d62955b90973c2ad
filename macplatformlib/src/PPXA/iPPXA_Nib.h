// An open nib file of the main bundle, disposed of when the holder goes, on every path.
#pragma once

#include <HIToolbox/IBCarbonRuntime.h>

namespace PPXA {

class iPPXA_Nib {
public:
  explicit iPPXA_Nib(CFStringRef nibName) : m_Status(CreateNibReference(nibName, &m_Nib)) {}
  ~iPPXA_Nib() {
    if (m_Nib)
      DisposeNibReference(m_Nib);
  }
  iPPXA_Nib(iPPXA_Nib const&) = delete;
  iPPXA_Nib& operator=(iPPXA_Nib const&) = delete;

  OSStatus Status() const { return m_Status; }
  IBNibRef Get() const { return m_Nib; }

private:
  IBNibRef m_Nib = nullptr;
  OSStatus m_Status;
};

}  // namespace PPXA
