// The portable face of the platform controls: shared dialog and palette logic drives its controls
// through these interfaces and hears about user actions through the controls' dispatchers. The
// interfaces hold no data; UCTL_Control is a virtual base so that one platform control class can
// combine several kinds over a single control base.
#pragma once

#include "GLIB/GLIB_Message.h"
#include "IMPN/IMPN_Geometry.h"
#include "USTR/USTR_String.h"

enum UCTL_ButtonValue {
  kUCTL_ButtonOff = 0,
  kUCTL_ButtonOn = 1,
  kUCTL_ButtonMixed = 2
};

class UCTL_Control {
public:
  virtual ~UCTL_Control() = default;

  virtual void SetControlSize(long width, long height) = 0;
  virtual void MoveControlBy(long dx, long dy) = 0;
  virtual void MoveControlTo(long x, long y) = 0;
  virtual IMPN_RectT<long> ControlBounds() const = 0;
  virtual void RefreshControl() = 0;
  virtual void SetControlVisible(bool visible) = 0;
  virtual bool IsControlVisible() const = 0;
  virtual void SetControlEnabled(bool enabled) = 0;
  virtual bool IsControlEnabled() const = 0;
};

// Broadcasts UCTL_ControlClickedMessage.
class UCTL_PushButton : public virtual UCTL_Control, public GLIB_MessageDispatcher {};

class UCTL_StaticText : public virtual UCTL_Control, public GLIB_MessageDispatcher {
public:
  virtual void SetControlText(USTR_String const& text) = 0;
  virtual USTR_String ControlText() const = 0;
};

class UCTL_CheckBox : public virtual UCTL_Control, public GLIB_MessageDispatcher {
public:
  virtual void SetControlValue(UCTL_ButtonValue value) = 0;
  virtual UCTL_ButtonValue ControlValue() const = 0;
  virtual void SetControlText(USTR_String const& text) = 0;
  virtual USTR_String ControlText() const = 0;
};

// Values are 0-based menu item indexes; −1 selects nothing.
class UCTL_PopupButton : public virtual UCTL_Control, public GLIB_MessageDispatcher {
public:
  virtual void SetControlValue(long index) = 0;
  virtual long ControlValue() const = 0;
  virtual USTR_String ControlValueAsText() const = 0;
  virtual void SetControlTitle(USTR_String const& title) = 0;
  virtual USTR_String ControlTitle() const = 0;
  virtual void SetMenuItems(USTR_StringVector const& items) = 0;
  virtual void SetMenuItemEnabled(long index, bool enabled) = 0;
  virtual USTR_StringVector MenuItems() = 0;

  // The index of the first item equal to text; −1 when there is none.
  long IndexOfMenuItem(USTR_String const& text);
  // Selects the first item equal to text (nothing when there is none).
  void SelectMenuItem(USTR_String const& text);
};

class UCTL_Slider : public virtual UCTL_Control, public GLIB_MessageDispatcher {
public:
  virtual void SetControlValue(long value) = 0;
  virtual long ControlValue() const = 0;
  virtual void SetControlRange(long minimum, long maximum) = 0;
  virtual void SetControlMinValue(long minimum) = 0;
  virtual long ControlMinValue() const = 0;
  virtual void SetControlMaxValue(long maximum) = 0;
  virtual long ControlMaxValue() const = 0;
};

// Only ever driven by the program, so it has nothing to broadcast.
class UCTL_ProgressBar : public virtual UCTL_Control {
public:
  virtual void SetControlValue(long value) = 0;
  virtual long ControlValue() const = 0;
  virtual void SetControlRange(long minimum, long maximum) = 0;
  virtual void SetControlMinValue(long minimum) = 0;
  virtual long ControlMinValue() const = 0;
  virtual void SetControlMaxValue(long maximum) = 0;
  virtual long ControlMaxValue() const = 0;
  virtual void SetControlIndeterminate(bool indeterminate) = 0;
};
