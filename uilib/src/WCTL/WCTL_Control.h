#pragma once
// The portable control operations on a window handle, shared by every Windows control class.
// Positions are in the parent's client coordinates, the ones child windows are placed in.

#include <windows.h>

#include <cstdint>

#include "UCTL/UCTL_Control.h"

// The modifier keys down now, in the portable bits: Shift 1, Control 2, Alt as option 8.
std::uint32_t WCTL_GetModifierKeys();

class WCTL_Control : public virtual UCTL_Control {
public:
  // A client size; -1 keeps that dimension. Nothing happens when the client size is unknown.
  void SetControlSize(long width, long height) override;
  void MoveControlBy(long dx, long dy) override;
  void MoveControlTo(long x, long y) override;
  IMPN_RectT<long> ControlBounds() const override;
  void RefreshControl() override;
  void SetControlVisible(bool visible) override;
  bool IsControlVisible() const override;
  void SetControlEnabled(bool enabled) override;
  bool IsControlEnabled() const override;

protected:
  virtual HWND ControlWindow() const = 0;

  // Gives the window a client area of width by height.
  void ResizeClientArea(long width, long height);
  // The control's id in its dialog.
  std::uint32_t ControlID() const;
};
