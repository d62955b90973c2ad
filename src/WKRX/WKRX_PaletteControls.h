// The small controls of the separations palette's panels: the ink swatch, the transparent/opaque
// toggle, the text box that cycles texts and starts panel drags, the icon button and the track
// bar. The owner-drawn ones draw on the WM_DRAWITEM their parent reflects to them; their pictures
// come from the resource instance, so that a language library can replace them.
#pragma once

#include "GLIB/GLIB_String.h"

#include <windows.h>

#include <atlbase.h>
#include <atlframe_ownerdraw.h>
#include <atlgdi.h>
#include <atlwin.h>

#include <commctrl.h>

#include <memory>
#include <type_traits>
#include <vector>

// An icon loaded at a size of its own, destroyed with its holder.
struct WKRX_IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using WKRX_OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, WKRX_IconDeleter>;
WKRX_OwnedIcon WKRX_LoadIcon(UINT id, int size);

// Base of the owner-drawn buttons: a "BUTTON" superclass that takes the reflected drawing and
// passes every other reflected notification to the default procedure.
template <class T>
class WKRX_OwnerDrawButton : public ATL::CWindowImpl<T>, public WTL::COwnerDraw<T> {
public:
  BEGIN_MSG_MAP(WKRX_OwnerDrawButton)
  CHAIN_MSG_MAP_ALT(WTL::COwnerDraw<T>, 1)
  if (ATL::CWindowImpl<T>::DefaultReflectionHandler(hWnd, uMsg, wParam, lParam, lResult))
    return TRUE;
  END_MSG_MAP()

  HWND Create(HWND parent, const RECT& rect, UINT id) {
    RECT bounds = rect;
    return ATL::CWindowImpl<T>::Create(parent, bounds, nullptr,
                                       WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, id);
  }
};

// Shows the default ink's colour and the current ink's side by side, split along the rising
// diagonal; one solid square while they are equal; the unknown-ink picture until a default
// colour is known.
class WKRX_InkSwatchControl : public WKRX_OwnerDrawButton<WKRX_InkSwatchControl> {
public:
  DECLARE_WND_SUPERCLASS(L"WKRX_InkSwatchControl", L"BUTTON")

  WKRX_InkSwatchControl();

  void SetDefaultColor(COLORREF color);
  void SetCurrentColor(COLORREF color);
  void SetFramed(bool framed);

  COLORREF FirstColor() const { return m_First; }
  COLORREF SecondColor() const { return m_Second; }
  bool IsUnknown() const { return m_Unknown; }

  void DrawItem(LPDRAWITEMSTRUCT item);

private:
  void Repaint();

  COLORREF m_First = RGB(255, 255, 255);
  COLORREF m_Second = RGB(255, 255, 255);
  WTL::CBitmap m_UnknownInk;
  bool m_Framed = false;
  bool m_Unknown = true;
};

// The lay-down toggle: state true for a transparent ink, false for an opaque one.
class WKRX_InkTypeControl : public WKRX_OwnerDrawButton<WKRX_InkTypeControl> {
public:
  DECLARE_WND_SUPERCLASS(L"WKRX_InkTypeControl", L"BUTTON")

  WKRX_InkTypeControl();

  void SetState(bool transparent);
  bool State() const { return m_State; }

  void DrawItem(LPDRAWITEMSTRUCT item);

private:
  bool m_State = false;
  WKRX_OwnedIcon m_OpaqueNormal;
  WKRX_OwnedIcon m_OpaquePressed;
  WKRX_OwnedIcon m_TransparentNormal;
  WKRX_OwnedIcon m_TransparentPressed;
};

// Shows one of its texts; a click shows the next (the parent does it on BN_CLICKED), while a
// press held still for 250 ms asks the parent to start dragging the panel instead.
class WKRX_TextBoxButton : public WKRX_OwnerDrawButton<WKRX_TextBoxButton> {
public:
  static constexpr DWORD kHoverTime = 250;

  DECLARE_WND_SUPERCLASS(L"WKRX_TextBoxButton", L"BUTTON")

  BEGIN_MSG_MAP(WKRX_TextBoxButton)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
  MESSAGE_HANDLER(WM_MOUSEHOVER, OnMouseHover)
  MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
  CHAIN_MSG_MAP(WKRX_OwnerDrawButton<WKRX_TextBoxButton>)
  END_MSG_MAP()

  void AddText(const GLIB_WString& text) { m_Texts.push_back(text); }
  const std::vector<GLIB_WString>& Texts() const { return m_Texts; }
  void SetTextIndex(size_t index);
  void ShowNextText();
  size_t TextIndex() const { return m_Index; }
  bool IsTracking() const { return m_Tracking; }

  void DrawItem(LPDRAWITEMSTRUCT item);

private:
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnMouseHover(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
  void CancelTracking();

  std::vector<GLIB_WString> m_Texts;
  size_t m_Index = 0;
  bool m_Tracking = false;
};

// A button that is only an icon, centred; another icon while pressed.
class WKRX_IconButton : public WKRX_OwnerDrawButton<WKRX_IconButton> {
public:
  DECLARE_WND_SUPERCLASS(L"WKRX_IconButton", L"BUTTON")

  WKRX_IconButton(UINT normalIcon, UINT pressedIcon, int size);

  void DrawItem(LPDRAWITEMSTRUCT item);

private:
  WKRX_OwnedIcon m_Normal;
  WKRX_OwnedIcon m_Pressed;
  int m_Size;
};

// The opacity slider. It asks for item custom-draw notices, so that themes draw its parts; it
// draws nothing itself.
class WKRX_TrackBarCtrl : public ATL::CWindowImpl<WKRX_TrackBarCtrl> {
public:
  DECLARE_WND_SUPERCLASS(L"WKRX_TrackBarCtrl", TRACKBAR_CLASSW)

  BEGIN_MSG_MAP(WKRX_TrackBarCtrl)
  REFLECTED_NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

  // WS_CHILD | WS_VISIBLE | TBS_BOTH | TBS_NOTICKS, range 0 ... 100.
  HWND Create(HWND parent, const RECT& rect, UINT id);

  int GetPos() const { return static_cast<int>(::SendMessageW(m_hWnd, TBM_GETPOS, 0, 0)); }
  void SetPos(int pos) { ::SendMessageW(m_hWnd, TBM_SETPOS, TRUE, pos); }

  LRESULT OnCustomDraw(int, LPNMHDR header, BOOL&);
};
