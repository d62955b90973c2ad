// The framework's text view with text-engine settings, for text views of nib windows. Each
// operation answers the status of its text-engine call; each object control is set alone,
// keeping the others.
#pragma once

#include <PPx/PPxView.h>

namespace PPXA {

class TextView : public PPx::TextView {
public:
  // Binds the object to a nib's text view (a reference of its own, its frame).
  void Attach(ControlRef view);

  OSStatus Focus(bool focused);
  OSStatus SetSelection(TXNOffset start, TXNOffset end);
  OSStatus ShowSelection(bool showEnd);
  // One 'size' attribute of 4 bytes whose value is size unchanged (a 16.16 fixed size).
  OSStatus SetFontSize(long size, UInt32 start, UInt32 end);
  OSStatus SetWordWrapState(UInt32 state);
  OSStatus SetJustification(UInt32 justification);
  OSStatus SetMargins(TXNMargins* margins);
  OSStatus SetPrivileges(UInt32 privileges);

private:
  OSStatus SetObjectControl(TXNControlTag tag, TXNControlData data);
};

}  // namespace PPXA
