// Thin holders of a toolbar and of a toolbar item: every failing call throws PPx::OSError with
// its status and a text naming the call.
#pragma once

#include <HIToolbox/HIToolbar.h>

namespace PPXA {

// Holds the reference that made the toolbar and releases it when it goes; a window the toolbar is
// set on keeps a reference of its own.
class SysHIToolbar {
public:
  SysHIToolbar() = default;
  ~SysHIToolbar();
  SysHIToolbar(SysHIToolbar const&) = delete;
  SysHIToolbar& operator=(SysHIToolbar const&) = delete;

  // Throws PPx::LogicError "System HIToolbar already exists" when a toolbar is held (and keeps
  // it), else PPx::OSError "HIToolbarCreate failed" when the toolbar cannot be made.
  void MakeHIToolbar(CFStringRef identifier, UInt32 attributes);
  void SetDisplayMode(UInt32 mode);
  void SetDisplaySize(UInt32 size);
  HIToolbarRef GetHIToolbarRef() const { return m_Toolbar; }

private:
  HIToolbarRef m_Toolbar = nullptr;
};

// Borrows its item: an item it makes is handed to the toolbar, which takes that reference over.
class SysHIToolbarItem {
public:
  explicit SysHIToolbarItem(HIToolbarItemRef item = nullptr) : m_Item(item) {}
  // Makes the item (as MakeHIToolbarItem).
  SysHIToolbarItem(CFStringRef identifier, OptionBits options) : m_Item(nullptr) {
    MakeHIToolbarItem(identifier, options);
  }

  // Throws PPx::OSError "HIToolbarItemCreate failed".
  void MakeHIToolbarItem(CFStringRef identifier, OptionBits options);
  void SetHelpText(CFStringRef shortText, CFStringRef longText);
  void SetImage(CGImageRef image);
  void SetLabel(CFStringRef label);
  void SetCommandID(UInt32 commandID);
  HIToolbarItemRef GetHIToolbarItemRef() const { return m_Item; }

private:
  HIToolbarItemRef m_Item;
};

}  // namespace PPXA
