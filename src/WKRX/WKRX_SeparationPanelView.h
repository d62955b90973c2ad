// The scrolling list of one surface's separation panels in the separations palette. It relays the
// panels' group operations and lets the user reorder the separations by dragging a panel; the new
// order goes to the sheet window.
#pragma once

#include "IMPN/IMPN_Geometry.h"
#include "WKRX/WKRX_PaletteMessages.h"

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include <vector>

class IMPN_Separation;
class WKRX_SeparationPanel;

class WKRX_SeparationPanelView : public ATL::CWindowImpl<WKRX_SeparationPanelView> {
public:
  static constexpr long kLine = 24;
  static constexpr long kPanelWidth = 270;

  DECLARE_WND_CLASS_EX(L"WKRX_SeparationPanelView", 0, COLOR_BTNFACE)

  BEGIN_MSG_MAP(WKRX_SeparationPanelView)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  MESSAGE_HANDLER(WM_VSCROLL, OnVScroll)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
  MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
  MESSAGE_HANDLER(WKRX_WM_SEPARATIONVISIBILITYCHANGED, OnVisibilityChanged)
  MESSAGE_HANDLER(WKRX_WM_SETOTHERSOPPOSITE, OnSetOthers)
  MESSAGE_HANDLER(WKRX_WM_SETOTHERSSAME, OnSetOthers)
  MESSAGE_HANDLER(WKRX_WM_SETTEXTINDEX, OnSetTextIndex)
  MESSAGE_HANDLER(WKRX_WM_BEGINPANELDRAG, OnBeginPanelDrag)
  END_MSG_MAP()

  // A hidden child of parent; AddPanels fills it.
  HWND Create(HWND parent, const RECT& rect);

  // One panel per separation, in the given order; the panels tell frame of their changes.
  void AddPanels(const std::vector<IMPN_Separation*>& separations, bool front, HWND frame);
  void SetViewSize(long width, long height);
  SIZE GetNaturalSize() const;
  void SetWidth(long width);

  void SetTextIndex(size_t index);
  void SetInfoModeEnabled(bool enabled);
  void RefreshDefaultInks();
  void RefreshInkDensities(const IMPN_RectT<long>& rect);
  float GetDensitySum() const;
  // Shows exactly the separations whose version set meets versions.
  void ApplyVersionSet(const WKRX_VersionSet& versions);
  // Keeps in versions only what every panel's visibility still agrees with.
  void IntersectVersionSets(WKRX_VersionSet& versions) const;
  // Scrolls by a wheel delta (120 a notch, one line per notch).
  void ScrollByWheel(int delta);

  const std::vector<WKRX_SeparationPanel*>& Panels() const { return m_Panels; }
  bool IsFront() const { return m_Front; }
  long ScrollPosition() const { return m_Position; }
  long ContentHeight() const { return m_ContentHeight; }
  bool IsDragging() const { return m_Dragging; }
  // The height of one panel, the row pitch of the palette.
  long PanelHeight() const;

private:
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnVScroll(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnMouseMove(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnVisibilityChanged(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSetOthers(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnSetTextIndex(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnBeginPanelDrag(UINT, WPARAM, LPARAM lParam, BOOL&);

  void LayoutPanels();
  void ScrollTo(long position);
  long MaxPosition() const;
  void DrawMark(bool on);
  void EndDrag();
  void UpdateVersionChoice();
  WKRX_SeparationPanel* PanelOf(HWND window) const;

  std::vector<WKRX_SeparationPanel*> m_Panels;
  bool m_Front = true;
  long m_ContentHeight = 0;
  long m_Position = 0;
  long m_Page = 0;
  long m_Line = kLine;
  bool m_Dragging = false;
  WKRX_SeparationPanel* m_Dragged = nullptr;
  WKRX_SeparationPanel* m_Upper = nullptr;
  WKRX_SeparationPanel* m_Lower = nullptr;
  HWND m_Frame = nullptr;
};
