// What the sheet view tells the navigation palette, the rulers and the surface panels, and what
// the navigation palette tells the sheet view. Each message copies its payload.
#pragma once

#include "GLIB/GLIB_Message.h"
#include "IMPN/IMPN_Geometry.h"

#include <CoreGraphics/CGGeometry.h>

// A message whose payload is one value of type T.
template <class T>
class iMKRX_ValueMessage : public GLIB_Message {
public:
  explicit iMKRX_ValueMessage(T const& value) : m_Value(value) {}
  T const& GetValue() const { return m_Value; }

private:
  T m_Value;
};

// The visible frame as fractions of the unturned image at the current zoom level.
class MKRX_SheetViewFrameChangedMessage : public iMKRX_ValueMessage<CGRect> {
public:
  using iMKRX_ValueMessage::iMKRX_ValueMessage;
  GLIB_String AsString() const override { return "MKRX_SheetViewFrameChangedMessage"; }
};

// True when the front surface is shown.
class MKRX_ShowThumbnailMessage : public iMKRX_ValueMessage<bool> {
public:
  using iMKRX_ValueMessage::iMKRX_ValueMessage;
  GLIB_String AsString() const override { return "MKRX_ShowThumbnailMessage"; }
};

class MKRX_SetShowPageEdgesMessage : public iMKRX_ValueMessage<bool> {
public:
  using iMKRX_ValueMessage::iMKRX_ValueMessage;
  GLIB_String AsString() const override { return "MKRX_SetShowPageEdgesMessage"; }
};

class MKRX_SetShowPageNumbersMessage : public iMKRX_ValueMessage<bool> {
public:
  using iMKRX_ValueMessage::iMKRX_ValueMessage;
  GLIB_String AsString() const override { return "MKRX_SetShowPageNumbersMessage"; }
};

class MKRX_SurfaceOpacityChangedMessage : public GLIB_Message {
public:
  GLIB_String AsString() const override { return "MKRX_SurfaceOpacityChangedMessage"; }
};

// The cursor in the preferred linear unit, from the unit origin.
class MKRX_UpdateCursorTickMessage : public iMKRX_ValueMessage<IMPN_PointT<double>> {
public:
  using iMKRX_ValueMessage::iMKRX_ValueMessage;
  GLIB_String AsString() const override { return "MKRX_UpdateCursorTickMessage"; }
};

// The navigation frame as fractions of the unturned thumbnail; moved keeps the frame's size.
class MKRX_NavigationViewFrameMovedMessage : public iMKRX_ValueMessage<CGRect> {
public:
  using iMKRX_ValueMessage::iMKRX_ValueMessage;
  GLIB_String AsString() const override { return "MKRX_NavigationViewFrameMovedMessage"; }
};

// The user drew a new frame: the view zooms to fit it.
class MKRX_NavigationViewFrameResizedMessage : public iMKRX_ValueMessage<CGRect> {
public:
  using iMKRX_ValueMessage::iMKRX_ValueMessage;
  GLIB_String AsString() const override { return "MKRX_NavigationViewFrameResizedMessage"; }
};
