// The Mac adapters of the portable controls (see MCTL_Control.h): each combines MCTL_Control, its
// portable interface, the framework control that owns the ControlRef, and the doers of the Carbon
// events it turns into messages.
//
// Check boxes and sliders report every set by program once, as a click does: setting the value
// they already have broadcasts that value, a new value is broadcast through the control's event.
// A pop-up reports only real changes, and nothing while its items are rebuilt.
#pragma once

#include "MCTL/MCTL_Control.h"
#include "UCTL/UCTL_Control.h"

#include <PPx/PPxEventTarget.h>
#include <PPx/PPxView.h>

class MCTL_CheckBox : public MCTL_Control,
                      public UCTL_CheckBox,
                      public PPx::CheckBox,
                      public PPx::ControlValueFieldChangedDoer {
public:
  void Attach(ControlRef control);
  void SetControlValue(UCTL_ButtonValue value) override;
  UCTL_ButtonValue ControlValue() const override;
  void SetControlText(USTR_String const& text) override;
  USTR_String ControlText() const override;
  HIViewRef GetView() const override { return GetSysView(); }

protected:
  virtual void InstallEventHandlers();
  OSStatus DoControlValueFieldChanged(PPx::SysCarbonEvent& event, ControlRef control) override;
};

class MCTL_PushButton : public MCTL_Control,
                        public UCTL_PushButton,
                        public PPx::PushButton,
                        public PPx::ControlHitDoer {
public:
  void Attach(ControlRef control);
  HIViewRef GetView() const override { return GetSysView(); }

protected:
  virtual void InstallEventHandlers();
  OSStatus DoControlHit(PPx::SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                        UInt32 modifiers) override;
};

class MCTL_IconButton : public MCTL_Control,
                        public UCTL_PushButton,
                        public PPx::IconControl,
                        public PPx::ControlHitDoer {
public:
  void Attach(ControlRef control);
  HIViewRef GetView() const override { return GetSysView(); }

protected:
  virtual void InstallEventHandlers();
  OSStatus DoControlHit(PPx::SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                        UInt32 modifiers) override;
};

// A label that is clickable like a button: hit tests inside its frame answer the button part.
class MCTL_StaticText : public MCTL_Control,
                        public UCTL_StaticText,
                        public PPx::StaticText,
                        public PPx::ControlHitTestDoer,
                        public PPx::ControlHitDoer {
public:
  void Attach(ControlRef control);
  void SetControlText(USTR_String const& text) override;
  USTR_String ControlText() const override;
  HIViewRef GetView() const override { return GetSysView(); }

protected:
  virtual void InstallEventHandlers();
  OSStatus DoControlHitTest(PPx::SysCarbonEvent& event, ControlRef control, HIPoint where,
                            ControlPartCode& part) override;
  OSStatus DoControlHit(PPx::SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                        UInt32 modifiers) override;
};

// Values are 0-based item indexes; the control's own value is one more (0: nothing selected).
class MCTL_PopupButton : public MCTL_Control,
                         public UCTL_PopupButton,
                         public PPx::PopupButton,
                         public PPx::ControlValueFieldChangedDoer {
public:
  void Attach(ControlRef control);
  void SetControlValue(long index) override;
  long ControlValue() const override;
  USTR_String ControlValueAsText() const override;
  void SetControlTitle(USTR_String const& title) override;
  USTR_String ControlTitle() const override;
  // Replaces the items; afterwards nothing is selected (minimum 0, maximum the count, value 0).
  void SetMenuItems(USTR_StringVector const& items) override;
  void SetMenuItemEnabled(long index, bool enabled) override;
  USTR_StringVector MenuItems() override;
  HIViewRef GetView() const override { return GetSysView(); }

protected:
  virtual void InstallEventHandlers();
  OSStatus DoControlValueFieldChanged(PPx::SysCarbonEvent& event, ControlRef control) override;

private:
  bool m_Rebuilding = false;
};

class MCTL_Slider : public MCTL_Control,
                    public UCTL_Slider,
                    public PPx::Slider,
                    public PPx::ControlValueFieldChangedDoer {
public:
  void Attach(ControlRef control);
  void SetControlValue(long value) override;
  long ControlValue() const override;
  void SetControlRange(long minimum, long maximum) override;
  void SetControlMinValue(long minimum) override;
  long ControlMinValue() const override;
  void SetControlMaxValue(long maximum) override;
  long ControlMaxValue() const override;
  HIViewRef GetView() const override { return GetSysView(); }

  // Writes the control's value back into it while the thumb is dragged, so its value-changed
  // events (and the messages) come during the drag.
  static void LiveTrackingActionProcedure(ControlRef control, ControlPartCode part);

protected:
  virtual void InstallEventHandlers();
  OSStatus DoControlValueFieldChanged(PPx::SysCarbonEvent& event, ControlRef control) override;
};

// Only driven by the program: no messages.
class MCTL_ProgressBar : public MCTL_Control, public UCTL_ProgressBar, public PPx::ProgressBar {
public:
  void Attach(ControlRef control);
  void SetControlValue(long value) override;
  long ControlValue() const override;
  void SetControlRange(long minimum, long maximum) override;
  void SetControlMinValue(long minimum) override;
  long ControlMinValue() const override;
  void SetControlMaxValue(long maximum) override;
  long ControlMaxValue() const override;
  void SetControlIndeterminate(bool indeterminate) override;
  HIViewRef GetView() const override { return GetSysView(); }
};
