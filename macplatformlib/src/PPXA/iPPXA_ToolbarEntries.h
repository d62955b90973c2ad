// What the multi-bevel-button and segmented toolbar items share: their copied entries (each
// with content, command, text and help text), the menu that stands for their entries, and the
// entry under the mouse.
#pragma once

#include <HIToolbox/ControlDefinitions.h>
#include <PPx/PPxToolbarDoers.h>

#include <vector>

namespace PPXA {

// A copy of entries that holds references to their texts and content images while it lives.
template <class Entry>
class iPPXA_EntryList {
public:
  iPPXA_EntryList() = default;
  ~iPPXA_EntryList() {
    for (Entry const& entry : m_Entries)
      Hold(entry, false);
  }

  // Copies the entries and takes their references before letting the old ones go.
  void Assign(std::vector<Entry> const& entries) {
    std::vector<Entry> copied(entries);
    for (Entry const& entry : copied)
      Hold(entry, true);
    copied.swap(m_Entries);
    for (Entry const& entry : copied)
      Hold(entry, false);
  }
  iPPXA_EntryList(iPPXA_EntryList const&) = delete;
  iPPXA_EntryList& operator=(iPPXA_EntryList const&) = delete;

  std::vector<Entry> const& Get() const { return m_Entries; }
  UInt32 Count() const { return static_cast<UInt32>(m_Entries.size()); }

private:
  static void Hold(Entry const& entry, bool retain) {
    CFTypeRef refs[] = {entry.text, entry.helpText,
                        entry.content.contentType == kControlContentCGImageRef
                            ? entry.content.u.imageRef
                            : nullptr};
    for (CFTypeRef ref : refs) {
      if (ref && retain)
        CFRetain(ref);
      else if (ref)
        CFRelease(ref);
    }
  }

  std::vector<Entry> m_Entries;
};

// One entry's state as its menu item shows it.
struct iPPXA_EntryState {
  bool on;
  bool enabled;
};

// The menu of an item's entries: one menu item an entry, with its text, command and image.
class iPPXA_EntryMenu {
public:
  // Throws PPx::OSError "CreateNewMenu failed".
  iPPXA_EntryMenu();
  ~iPPXA_EntryMenu();
  iPPXA_EntryMenu(iPPXA_EntryMenu const&) = delete;
  iPPXA_EntryMenu& operator=(iPPXA_EntryMenu const&) = delete;

  // Appends the entry's menu item; its image (and, when iconRefs, its icon reference) becomes the
  // item's icon.
  void Append(CFStringRef text, UInt32 commandID, ControlButtonContentInfo const& content,
              bool iconRefs);
  // Makes the menu the toolbar item's and installs the doer on it.
  void Attach(HIToolbarItemRef item, PPx::MenuOpeningDoer& doer);

private:
  MenuRef m_Menu = nullptr;
};

// Sets the menu items' marks and enabling from the entries; eventNotHandledErr (changing nothing)
// when the menu has another number of items.
OSStatus iPPXA_FollowEntries(MenuRef menu, std::vector<iPPXA_EntryState> const& states,
                             CharParameter mark);

// The entry (from 0) under the window mouse location of a mouse-moved event, for a view split
// into count parts of equal whole-pixel width; -1 outside the view, without entries, or when the
// view is narrower than its entries.
long iPPXA_EntryUnderMouse(PPx::SysCarbonEvent const& event, HIViewRef view, UInt32 count);

}  // namespace PPXA
