// The Mac face of the portable controls: adapters that bind a control of a nib window (found by
// its ControlID) to the portable interfaces and broadcast the portable messages, telling controls
// apart by the signature of their ControlID.
//
// An adapter is made unattached and bound once with Attach. Until then (a view missing from its
// nib leaves it so) every operation does nothing and every query answers as the null controls
// do: empty bounds, hidden, disabled, 0 and empty texts.
#pragma once

#include "GLIB/GLIB_Message.h"
#include "UCTL/UCTL_Control.h"

#include <HIToolbox/Controls.h>
#include <PPx/PPxView.h>

// Carbon modifier bits to the portable ones: Shift 1, Control 2, Command 4, Option 8; caps lock
// and the right-hand keys are dropped.
std::uint32_t MCTL_ConvertKeyModifiers(UInt32 carbonModifiers);

// The common operations of every adapter, on the view GetView gives.
class MCTL_Control : public virtual UCTL_Control {
public:
  // Negative sizes become 0; the origin stays.
  void SetControlSize(long width, long height) override;
  void MoveControlBy(long dx, long dy) override;
  void MoveControlTo(long x, long y) override;
  // The frame in the superview, each value truncated toward zero.
  IMPN_RectT<long> ControlBounds() const override;
  void RefreshControl() override;
  void SetControlVisible(bool visible) override;
  bool IsControlVisible() const override;
  void SetControlEnabled(bool enabled) override;
  bool IsControlEnabled() const override;

  virtual HIViewRef GetView() const = 0;

protected:
  // Binds the framework view to the control: its frame, a reference of its own.
  static void AttachView(PPx::View& view, ControlRef control);
  // The signature of the control's ControlID.
  static std::uint32_t SignatureOf(ControlRef control);
  // A click on ownView becomes the portable click message of dispatcher; the event goes on to
  // the standard handling either way.
  static OSStatus BroadcastClick(GLIB_MessageDispatcher const& dispatcher, HIViewRef ownView,
                                 ControlRef control, UInt32 modifiers);
};
