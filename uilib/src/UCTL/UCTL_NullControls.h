// Stand-ins for controls a platform does not have, so shared dialog logic can drive them all the
// same: they ignore every change and report an empty, hidden, disabled control.
#pragma once

#include "UCTL/UCTL_Control.h"
#include "UCTL/UCTL_EditText.h"

// The UCTL_Control part of both null controls.
class UCTL_NullControlBase : public virtual UCTL_Control {
public:
  void SetControlSize(long, long) override {}
  void MoveControlBy(long, long) override {}
  void MoveControlTo(long, long) override {}
  IMPN_RectT<long> ControlBounds() const override { return IMPN_RectT<long>(0, 0, 0, 0); }
  void RefreshControl() override {}
  void SetControlVisible(bool) override {}
  bool IsControlVisible() const override { return false; }
  void SetControlEnabled(bool) override {}
  bool IsControlEnabled() const override { return false; }
};

class UCTL_NullCheckBox : public UCTL_CheckBox, public UCTL_NullControlBase {
public:
  void SetControlValue(UCTL_ButtonValue) override {}
  UCTL_ButtonValue ControlValue() const override { return kUCTL_ButtonOff; }
  void SetControlText(USTR_String const&) override {}
  USTR_String ControlText() const override { return USTR_String(); }
};

class UCTL_NullPopupButton : public UCTL_PopupButton, public UCTL_NullControlBase {
public:
  void SetControlValue(long) override {}
  long ControlValue() const override { return 0; }
  USTR_String ControlValueAsText() const override { return USTR_String(); }
  void SetControlTitle(USTR_String const&) override {}
  USTR_String ControlTitle() const override { return USTR_String(); }
  void SetMenuItems(USTR_StringVector const&) override {}
  void SetMenuItemEnabled(long, bool) override {}
  USTR_StringVector MenuItems() override { return USTR_StringVector(); }
};

class UCTL_NullEditText : public UCTL_EditText, public UCTL_NullControlBase {
public:
  void SetControlValue(double) override {}
  void SetControlValue(long) override {}
  long ControlValueAsLong() const override { return 0; }
  double ControlValueAsDouble() const override { return 0.0; }
  void SetControlText(USTR_String const&) override {}
  USTR_String ControlText() const override { return USTR_String(); }
  void SelectAllText() override {}
  void RejectKey() override {}
  void NotifyTextChanged() override {}
};
