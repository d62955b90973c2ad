// One row of the separations palette: the controls of one separation. It changes the separation
// itself and tells its panel view and the sheet window what changed.
#pragma once

#include "IMPN/IMPN_Geometry.h"
#include "WCTL/WCTL_StaticText.h"
#include "WKRX/WKRX_PaletteControls.h"
#include "WKRX/WKRX_PaletteMessages.h"

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

class IMPN_Ink;
class IMPN_Separation;

class WKRX_SeparationPanel : public ATL::CWindowImpl<WKRX_SeparationPanel> {
public:
  static constexpr int kHeight = 24;
  // Below these widths the text box, then the track bar, have no room.
  static constexpr long kTextBoxWidth = 153;
  static constexpr long kTrackBarWidth = 118;

  DECLARE_WND_CLASS_EX(L"WKRX_SeparationPanel", 0, COLOR_BTNFACE)

  BEGIN_MSG_MAP(WKRX_SeparationPanel)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_HSCROLL, OnHScroll)
  MESSAGE_HANDLER(WKRX_WM_BEGINPANELDRAG, OnBeginPanelDrag)
  COMMAND_HANDLER(WKRX_Ids::kControlInkSwatch, BN_CLICKED, OnSwatchClicked)
  COMMAND_HANDLER(WKRX_Ids::kControlVisible, BN_CLICKED, OnVisibleClicked)
  COMMAND_HANDLER(WKRX_Ids::kControlInkType, BN_CLICKED, OnInkTypeClicked)
  COMMAND_HANDLER(WKRX_Ids::kControlTextBox, BN_CLICKED, OnTextBoxClicked)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  // Both before the window is made.
  void SetSeparation(IMPN_Separation* separation) { m_Separation = separation; }
  void SetFrame(HWND frame) { m_Frame = frame; }
  // A child of parent at rect; the object deletes itself once its window is gone.
  HWND Create(HWND parent, const RECT& rect);

  IMPN_Separation* Separation() const { return m_Separation; }

  void SetPanelWidth(long width);
  void SetTextIndex(size_t index) { m_TextBox.SetTextIndex(index); }
  void ShowSeparation() { SetVisibility(true); }
  void HideSeparation() { SetVisibility(false); }
  void SetInfoModeEnabled(bool enabled);
  void RefreshInkDensity(const IMPN_RectT<long>& rect);
  // The density while the separation is visible, else 0.
  float GetInkDensity() const;
  // After a change of the colour databases: the default ink is derived anew; the current ink
  // follows it only where the user had not changed it.
  void RefreshDefaultInk();
  void DrawBottomMark(bool on);
  void DrawTopMark(bool on);

  // The children, for the palette's tests.
  WKRX_InkSwatchControl& Swatch() { return m_Swatch; }
  WKRX_InkTypeControl& InkType() { return m_InkType; }
  WKRX_TrackBarCtrl& Opacity() { return m_Opacity; }
  WKRX_TextBoxButton& TextBox() { return m_TextBox; }
  HWND CheckBox() const { return m_CheckBox; }
  HWND DensityReadOut() const { return m_Density.m_hWnd; }

  // The custom colours of the colour dialog: one set for the whole process, never saved.
  static COLORREF sm_CustomColors[16];

private:
  void OnFinalMessage(HWND) override { delete this; }

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnHScroll(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnBeginPanelDrag(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnSwatchClicked(WORD, WORD, HWND, BOOL&);
  LRESULT OnVisibleClicked(WORD, WORD, HWND, BOOL&);
  LRESULT OnInkTypeClicked(WORD, WORD, HWND, BOOL&);
  LRESULT OnTextBoxClicked(WORD, WORD, HWND, BOOL&);

  void AddTexts();
  void SetVisibility(bool visible);
  // The separation takes ink; the swatch and the track bar show it; the frame learns of it.
  void TakeInk(const IMPN_Ink& ink);
  // The swatch and the track bar as the separation's inks stand.
  void ShowInks();
  void ShowDensity();
  void UpdateChildVisibility();
  void SendToFrame(UINT message, WPARAM wParam, LPARAM lParam) const;
  void SendToParent(UINT message, WPARAM wParam, LPARAM lParam) const;

  IMPN_Separation* m_Separation = nullptr;
  HWND m_Frame = nullptr;
  WKRX_InkSwatchControl m_Swatch;
  HWND m_CheckBox = nullptr;
  WKRX_InkTypeControl m_InkType;
  WKRX_TrackBarCtrl m_Opacity;
  WKRX_TextBoxButton m_TextBox;
  WCTL_StaticText m_Density;
  long m_Width = 270;
  bool m_InfoMode = false;
  float m_Density01 = 0;
};

// What a colour shows on screen: the ink at its opacity over its paper.
COLORREF WKRX_DisplayColor(const IMPN_Ink& ink);
// Whether two inks would show and composite alike.
bool WKRX_SameInk(const IMPN_Ink& a, const IMPN_Ink& b);
// "%6.1f %" of a fraction 0 ... 1, as the density read-outs show it.
GLIB_WString WKRX_DensityText(float fraction);
// The text with each "%i" replaced by the next number (a text from a language library is never
// used as a format).
GLIB_WString WKRX_FillNumbers(const GLIB_WString& text, std::initializer_list<long> numbers);
