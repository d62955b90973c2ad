// PowerPlant X of the Mac stand-in: a nib file held open (see PPx/SysNib.h).
#include <PPx/SysNib.h>

namespace PPx {

SysNib::~SysNib() {
  if (m_Nib)
    DisposeNibReference(m_Nib);
}

void SysNib::Initialize(CFStringRef nibName, CFBundleRef bundle) {
  IBNibRef nib = nullptr;
  ThrowIfOSStatus(bundle ? CreateNibReferenceWithCFBundle(bundle, nibName, &nib)
                         : CreateNibReference(nibName, &nib),
                  "CreateNibReference failed");
  if (m_Nib)
    DisposeNibReference(m_Nib);
  m_Nib = nib;
}

WindowRef SysNib::CreateWindow(CFStringRef name) const {
  WindowRef window = nullptr;
  ThrowIfOSStatus(m_Nib ? CreateWindowFromNib(m_Nib, name, &window) : paramErr,
                  "CreateWindowFromNib failed");
  return window;
}

MenuRef SysNib::CreateMenu(CFStringRef name) const {
  MenuRef menu = nullptr;
  ThrowIfOSStatus(m_Nib ? CreateMenuFromNib(m_Nib, name, &menu) : paramErr,
                  "CreateMenuFromNib failed");
  return menu;
}

void SysNib::SetMenuBar(CFStringRef name) const {
  ThrowIfOSStatus(m_Nib ? SetMenuBarFromNib(m_Nib, name) : paramErr, "SetMenuBarFromNib failed");
}

}  // namespace PPx
