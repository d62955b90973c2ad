// The measurement palette of a sheet window: the distance and angle of the measure tool's drag,
// its horizontal and vertical extent, and the pointer's position, each in a row of caption and
// value. The frame hands it the view's lengths in the preferred unit.
#pragma once

#include "CKRX/CKRX_Units.h"
#include "GLIB/GLIB_String.h"
#include "WKRX/WKRX_StaticTextCtrl.h"
#include "WKRX/WKRX_ViewMessages.h"

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include "WTLA/win/DockingWindow.h"

// One row: a caption and a value, both painted by themselves on the button face.
class WKRX_MeasurementPanel : public ATL::CWindowImpl<WKRX_MeasurementPanel> {
public:
  static constexpr UINT kCaptionId = 4401;
  static constexpr UINT kValueId = 4402;

  void SetCaption(const GLIB_WString& text);
  void SetValue(const GLIB_WString& text);
  const WKRX_StaticTextCtrl& Caption() const { return m_Caption; }
  const WKRX_StaticTextCtrl& Value() const { return m_Value; }

  BEGIN_MSG_MAP(WKRX_MeasurementPanel)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&);
  static void SetText(WKRX_StaticTextCtrl& control, const GLIB_WString& text);

  WKRX_StaticTextCtrl m_Caption;
  WKRX_StaticTextCtrl m_Value;
};

class WKRX_MeasurementWindow : public dockwins::CTitleDockingWindowImpl<WKRX_MeasurementWindow> {
public:
  using CBase = dockwins::CTitleDockingWindowImpl<WKRX_MeasurementWindow>;

  enum Row {
    kDistanceAngle = 0,
    kDelta = 1,
    kCurrent = 2,
    kRowCount = 3
  };
  static constexpr long kRowWidth = 270;
  static constexpr long kRowHeight = 24;

  // The angle in degrees of a drag by (dx, dy), y pointing down: 90 for a zero length.
  static double Angle(double dx, double dy);

  void SetDistance(double dx, double dy, IMPN_Units units);
  void SetCurrentPosition(double x, double y, IMPN_Units units);

  const GLIB_WString& Text(Row row) const { return m_Texts[row]; }
  WKRX_MeasurementPanel& Panel(Row row) { return m_Panels[row]; }
  void GetMinMaxInfo(MINMAXINFO* info);

  BEGIN_MSG_MAP(WKRX_MeasurementWindow)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
  MESSAGE_HANDLER(WM_CLOSE, OnClose)
  CHAIN_MSG_MAP(CBase)
  END_MSG_MAP()

private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL& handled);
  void ShowText(Row row, const GLIB_WString& text);

  WKRX_MeasurementPanel m_Panels[kRowCount];
  GLIB_WString m_Texts[kRowCount];
};
