#include "PPXA/PPXA_SysHIToolbar.h"

#include <PPx/PPxExceptions.h>

namespace PPXA {

SysHIToolbar::~SysHIToolbar() {
  if (m_Toolbar)
    CFRelease(m_Toolbar);
}

void SysHIToolbar::MakeHIToolbar(CFStringRef identifier, UInt32 attributes) {
  if (m_Toolbar)
    throw PPx::LogicError("System HIToolbar already exists");
  PPx::ThrowIfOSStatus(HIToolbarCreate(identifier, attributes, &m_Toolbar),
                       "HIToolbarCreate failed");
}

void SysHIToolbar::SetDisplayMode(UInt32 mode) {
  PPx::ThrowIfOSStatus(HIToolbarSetDisplayMode(m_Toolbar, mode), "HIToolbarSetDisplayMode failed");
}

void SysHIToolbar::SetDisplaySize(UInt32 size) {
  PPx::ThrowIfOSStatus(HIToolbarSetDisplaySize(m_Toolbar, size), "HIToolbarSetDisplaySize failed");
}

void SysHIToolbarItem::MakeHIToolbarItem(CFStringRef identifier, OptionBits options) {
  PPx::ThrowIfOSStatus(HIToolbarItemCreate(identifier, options, &m_Item),
                       "HIToolbarItemCreate failed");
}

void SysHIToolbarItem::SetHelpText(CFStringRef shortText, CFStringRef longText) {
  PPx::ThrowIfOSStatus(HIToolbarItemSetHelpText(m_Item, shortText, longText),
                       "HIToolbarItemSetHelpText failed");
}

void SysHIToolbarItem::SetImage(CGImageRef image) {
  PPx::ThrowIfOSStatus(HIToolbarItemSetImage(m_Item, image), "HIToolbarItemSetImage failed");
}

void SysHIToolbarItem::SetLabel(CFStringRef label) {
  PPx::ThrowIfOSStatus(HIToolbarItemSetLabel(m_Item, label), "HIToolbarItemSetLabel failed");
}

void SysHIToolbarItem::SetCommandID(UInt32 commandID) {
  PPx::ThrowIfOSStatus(HIToolbarItemSetCommandID(m_Item, commandID),
                       "HIToolbarItemSetCommandID failed");
}

}  // namespace PPXA
