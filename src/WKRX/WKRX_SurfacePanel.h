// The header row of one surface in the separations palette: the surface's name, its opacity and,
// in information mode, the summed ink density of its visible separations.
#pragma once

#include "WCTL/WCTL_StaticText.h"
#include "WKRX/WKRX_PaletteControls.h"
#include "WKRX/WKRX_PaletteMessages.h"
#include "WKRX/WKRX_StaticTextCtrl.h"

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

class IMPN_Surface;

class WKRX_SurfacePanel : public ATL::CWindowImpl<WKRX_SurfacePanel> {
public:
  static constexpr int kHeight = 28;
  // Below this width the long name leaves the track bar no room; below the second the track bar
  // itself has none.
  static constexpr long kLongNameWidth = 153;
  static constexpr long kTrackBarWidth = 118;

  DECLARE_WND_CLASS_EX(L"WKRX_SurfacePanel", 0, COLOR_BTNFACE)

  BEGIN_MSG_MAP(WKRX_SurfacePanel)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_HSCROLL, OnHScroll)
  MESSAGE_HANDLER(WKRX_WM_OPACITYCHANGED, OnOpacityChanged)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  // All before the window is made.
  void SetSurface(IMPN_Surface* surface, bool front) {
    m_Surface = surface;
    m_Front = front;
  }
  void SetFrame(HWND frame) { m_Frame = frame; }
  // A child of parent at rect; the object deletes itself once its window is gone.
  HWND Create(HWND parent, const RECT& rect);

  IMPN_Surface* Surface() const { return m_Surface; }
  void SetWidth(long width);
  void SetInfoModeEnabled(bool enabled);
  void SetDensity(float density);
  // The track bar from the surface's opacity.
  void ShowOpacity();

  WKRX_StaticTextCtrl& Label() { return m_Label; }
  WKRX_TrackBarCtrl& Opacity() { return m_Opacity; }
  HWND DensityReadOut() const { return m_Density.m_hWnd; }
  long LongLabelWidth() const { return m_LongLabelWidth; }

private:
  void OnFinalMessage(HWND) override { delete this; }

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnHScroll(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnOpacityChanged(UINT, WPARAM, LPARAM, BOOL&);

  void Layout();
  static void MoveChild(HWND child, long left, long right);

  IMPN_Surface* m_Surface = nullptr;
  bool m_Front = true;
  HWND m_Frame = nullptr;
  WKRX_StaticTextCtrl m_Label;
  WKRX_TrackBarCtrl m_Opacity;
  WCTL_StaticText m_Density;
  long m_LongLabelWidth = 75;
  long m_TrackBarLeft = 116;
  long m_Width = 270;
  bool m_InfoMode = false;
  float m_DensitySum = 0;
};
