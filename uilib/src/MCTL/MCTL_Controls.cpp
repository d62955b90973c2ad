#include "MCTL/MCTL_Controls.h"

#include "UCTL/UCTL_Messages.h"
#include "USTR/USTR_String.h"

namespace {

// A CF string made for one call.
class TempString {
public:
  explicit TempString(USTR_String const& text) : m_Text(USTR_UStringToCFString(text)) {}
  ~TempString() {
    if (m_Text)
      CFRelease(m_Text);
  }
  TempString(TempString const&) = delete;
  TempString& operator=(TempString const&) = delete;
  CFStringRef Get() const { return m_Text; }

private:
  CFStringRef m_Text;
};

// Takes over a CF string a call made and turns it into a portable string.
USTR_String Adopt(CFStringRef text) {
  if (text == nullptr)
    return USTR_String();
  USTR_String result = USTR_CFStringToUString(text);
  CFRelease(text);
  return result;
}

}  // namespace

// Check box

void MCTL_CheckBox::Attach(ControlRef control) {
  AttachView(*this, control);
  InstallEventHandlers();
}

void MCTL_CheckBox::InstallEventHandlers() {
  Install(SysEventTarget());
}

void MCTL_CheckBox::SetControlValue(UCTL_ButtonValue value) {
  if (GetView() == nullptr)
    return;
  if (value == ControlValue()) {
    PPx::SysCarbonEvent empty;
    empty.MakeEvent(kEventClassControl, kEventControlValueFieldChanged);
    DoControlValueFieldChanged(empty, GetView());
  }
  SetValue(value);
}

UCTL_ButtonValue MCTL_CheckBox::ControlValue() const {
  if (GetView() == nullptr)
    return kUCTL_ButtonOff;
  switch (GetValue()) {
    case kControlCheckBoxCheckedValue:
      return kUCTL_ButtonOn;
    case kControlCheckBoxMixedValue:
      return kUCTL_ButtonMixed;
    default:
      return kUCTL_ButtonOff;
  }
}

void MCTL_CheckBox::SetControlText(USTR_String const& text) {
  if (GetView())
    SetTitle(TempString(text).Get());
}

USTR_String MCTL_CheckBox::ControlText() const {
  return GetView() ? Adopt(GetTitle()) : USTR_String();
}

OSStatus MCTL_CheckBox::DoControlValueFieldChanged(PPx::SysCarbonEvent&, ControlRef control) {
  if (control != GetView())
    return eventNotHandledErr;
  BroadcastMessage(UCTL_ControlValueChangedMessage(SignatureOf(control), ControlValue()));
  return eventNotHandledErr;
}

// Push and icon buttons

void MCTL_PushButton::Attach(ControlRef control) {
  AttachView(*this, control);
  InstallEventHandlers();
}

void MCTL_PushButton::InstallEventHandlers() {
  Install(SysEventTarget());
}

OSStatus MCTL_PushButton::DoControlHit(PPx::SysCarbonEvent&, ControlRef control, ControlPartCode,
                                       UInt32 modifiers) {
  return BroadcastClick(*this, GetView(), control, modifiers);
}

void MCTL_IconButton::Attach(ControlRef control) {
  AttachView(*this, control);
  InstallEventHandlers();
}

void MCTL_IconButton::InstallEventHandlers() {
  Install(SysEventTarget());
}

OSStatus MCTL_IconButton::DoControlHit(PPx::SysCarbonEvent&, ControlRef control, ControlPartCode,
                                       UInt32 modifiers) {
  return BroadcastClick(*this, GetView(), control, modifiers);
}

// Static text

void MCTL_StaticText::Attach(ControlRef control) {
  AttachView(*this, control);
  InstallEventHandlers();
}

void MCTL_StaticText::InstallEventHandlers() {
  PPx::ControlHitTestDoer::Install(SysEventTarget());
  PPx::ControlHitDoer::Install(SysEventTarget());
}

void MCTL_StaticText::SetControlText(USTR_String const& text) {
  if (GetView())
    SetText(TempString(text).Get());
}

USTR_String MCTL_StaticText::ControlText() const {
  return GetView() ? Adopt(GetText()) : USTR_String();
}

OSStatus MCTL_StaticText::DoControlHitTest(PPx::SysCarbonEvent&, ControlRef control, HIPoint where,
                                           ControlPartCode& part) {
  if (control != GetView())
    return eventNotHandledErr;
  HIRect bounds;
  HIViewGetBounds(control, &bounds);
  part = CGRectContainsPoint(bounds, where) ? kControlButtonPart : kControlNoPart;
  return noErr;
}

OSStatus MCTL_StaticText::DoControlHit(PPx::SysCarbonEvent&, ControlRef control, ControlPartCode,
                                       UInt32 modifiers) {
  return BroadcastClick(*this, GetView(), control, modifiers);
}

// Pop-up button

void MCTL_PopupButton::Attach(ControlRef control) {
  AttachView(*this, control);
  InstallEventHandlers();
}

void MCTL_PopupButton::InstallEventHandlers() {
  Install(SysEventTarget());
}

void MCTL_PopupButton::SetControlValue(long index) {
  if (GetView())
    SetValue(static_cast<SInt32>(index + 1));
}

long MCTL_PopupButton::ControlValue() const {
  return GetView() ? GetValue() - 1 : 0;
}

USTR_String MCTL_PopupButton::ControlValueAsText() const {
  if (GetView() == nullptr)
    return USTR_String();
  const SInt32 value = GetValue();
  MenuRef menu = GetMenuRef();
  if (value <= 0 || value > CountMenuItems(menu))
    return USTR_String();
  CFStringRef text = nullptr;
  CopyMenuItemTextAsCFString(menu, static_cast<MenuItemIndex>(value), &text);
  return Adopt(text);
}

void MCTL_PopupButton::SetControlTitle(USTR_String const& title) {
  if (GetView())
    SetTitle(TempString(title).Get());
}

USTR_String MCTL_PopupButton::ControlTitle() const {
  return GetView() ? Adopt(GetTitle()) : USTR_String();
}

void MCTL_PopupButton::SetMenuItems(USTR_StringVector const& items) {
  if (GetView() == nullptr)
    return;
  MenuRef menu = GetMenuRef();
  m_Rebuilding = true;
  DeleteMenuItems(menu, 1, CountMenuItems(menu));
  for (USTR_String const& item : items)
    AppendMenuItemTextWithCFString(menu, TempString(item).Get(), 0, 0, nullptr);
  SetMinValue(0);
  SetMaxValue(static_cast<SInt32>(items.size()));
  SetValue(0);
  m_Rebuilding = false;
}

void MCTL_PopupButton::SetMenuItemEnabled(long index, bool enabled) {
  if (GetView() == nullptr)
    return;
  const MenuItemIndex item = static_cast<MenuItemIndex>(index + 1);
  if (enabled)
    EnableMenuItem(GetMenuRef(), item);
  else
    DisableMenuItem(GetMenuRef(), item);
}

USTR_StringVector MCTL_PopupButton::MenuItems() {
  USTR_StringVector texts;
  if (GetView() == nullptr)
    return texts;
  MenuRef menu = GetMenuRef();
  const UInt16 count = CountMenuItems(menu);
  for (UInt16 item = 1; item <= count; ++item) {
    CFStringRef text = nullptr;
    CopyMenuItemTextAsCFString(menu, item, &text);
    texts.push_back(Adopt(text));
  }
  return texts;
}

OSStatus MCTL_PopupButton::DoControlValueFieldChanged(PPx::SysCarbonEvent&, ControlRef control) {
  if (control != GetView() || m_Rebuilding)
    return eventNotHandledErr;
  BroadcastMessage(UCTL_ControlValueChangedMessage(SignatureOf(control),
                                                   static_cast<std::int32_t>(ControlValue())));
  return eventNotHandledErr;
}

// Slider

void MCTL_Slider::Attach(ControlRef control) {
  AttachView(*this, control);
  InstallEventHandlers();
}

void MCTL_Slider::InstallEventHandlers() {
  SetControlAction(GetView(), LiveTrackingActionProcedure);
  Install(SysEventTarget());
}

void MCTL_Slider::LiveTrackingActionProcedure(ControlRef control, ControlPartCode) {
  SetControl32BitValue(control, GetControl32BitValue(control));
}

void MCTL_Slider::SetControlValue(long value) {
  if (GetView() == nullptr)
    return;
  if (value == ControlValue()) {
    PPx::SysCarbonEvent empty;
    empty.MakeEvent(kEventClassControl, kEventControlValueFieldChanged);
    DoControlValueFieldChanged(empty, GetView());
    return;
  }
  SetValue(static_cast<SInt32>(value));
}

long MCTL_Slider::ControlValue() const {
  return GetView() ? GetValue() : 0;
}

void MCTL_Slider::SetControlRange(long minimum, long maximum) {
  SetControlMinValue(minimum);
  SetControlMaxValue(maximum);
}

void MCTL_Slider::SetControlMinValue(long minimum) {
  if (GetView())
    SetMinValue(static_cast<SInt32>(minimum));
}

long MCTL_Slider::ControlMinValue() const {
  return GetView() ? GetMinValue() : 0;
}

void MCTL_Slider::SetControlMaxValue(long maximum) {
  if (GetView())
    SetMaxValue(static_cast<SInt32>(maximum));
}

long MCTL_Slider::ControlMaxValue() const {
  return GetView() ? GetMaxValue() : 0;
}

OSStatus MCTL_Slider::DoControlValueFieldChanged(PPx::SysCarbonEvent&, ControlRef control) {
  if (control != GetView())
    return eventNotHandledErr;
  BroadcastMessage(UCTL_ControlValueChangedMessage(SignatureOf(control),
                                                   static_cast<std::int32_t>(ControlValue())));
  return eventNotHandledErr;
}

// Progress bar

void MCTL_ProgressBar::Attach(ControlRef control) {
  AttachView(*this, control);
}

void MCTL_ProgressBar::SetControlValue(long value) {
  if (GetView())
    SetValue(static_cast<SInt32>(value));
}

long MCTL_ProgressBar::ControlValue() const {
  return GetView() ? GetValue() : 0;
}

void MCTL_ProgressBar::SetControlRange(long minimum, long maximum) {
  SetControlMinValue(minimum);
  SetControlMaxValue(maximum);
}

void MCTL_ProgressBar::SetControlMinValue(long minimum) {
  if (GetView())
    SetMinValue(static_cast<SInt32>(minimum));
}

long MCTL_ProgressBar::ControlMinValue() const {
  return GetView() ? GetMinValue() : 0;
}

void MCTL_ProgressBar::SetControlMaxValue(long maximum) {
  if (GetView())
    SetMaxValue(static_cast<SInt32>(maximum));
}

long MCTL_ProgressBar::ControlMaxValue() const {
  return GetView() ? GetMaxValue() : 0;
}

void MCTL_ProgressBar::SetControlIndeterminate(bool indeterminate) {
  if (GetView())
    SetIndeterminate(indeterminate);
}
