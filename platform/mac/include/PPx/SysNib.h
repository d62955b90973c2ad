// PowerPlant X of the Mac stand-in: a nib file of the main bundle (or of a given bundle), held
// open while the object lives. Every call throws OSError naming the failed call.
#pragma once
#include <HIToolbox/IBCarbonRuntime.h>

#include <PPx/PPxExceptions.h>

namespace PPx {

class SysNib {
public:
  SysNib() = default;
  ~SysNib();
  SysNib(const SysNib&) = delete;
  SysNib& operator=(const SysNib&) = delete;

  // Opens the nib (a null bundle: the main bundle's).
  void Initialize(CFStringRef nibName, CFBundleRef bundle = nullptr);
  IBNibRef GetNibRef() const { return m_Nib; }
  // A new window or menu of the nib; the caller owns it.
  WindowRef CreateWindow(CFStringRef name) const;
  MenuRef CreateMenu(CFStringRef name) const;
  // Makes the nib's menu bar of that name the menu bar.
  void SetMenuBar(CFStringRef name) const;

private:
  IBNibRef m_Nib = nullptr;
};

}  // namespace PPx
