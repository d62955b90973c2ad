// A label that paints its own text on the button-face colour, so that it matches the palettes'
// and panels' background on every system. Its parent reflects the owner-draw messages to it.
#pragma once

#include "GLIB/GLIB_String.h"

#include <windows.h>

#include <atlbase.h>
#include <atlframe_ownerdraw.h>
#include <atlwin.h>

class WKRX_StaticTextCtrl : public ATL::CWindowImpl<WKRX_StaticTextCtrl>,
                            public WTL::COwnerDraw<WKRX_StaticTextCtrl> {
public:
  // Alignment values; any other is left.
  static constexpr int kAlignRight = 2;
  static constexpr int kAlignCenter = 4;

  DECLARE_WND_SUPERCLASS(L"WKRX_StaticTextCtrl", L"STATIC")

  BEGIN_MSG_MAP(WKRX_StaticTextCtrl)
  MESSAGE_HANDLER(ATL::OCM_DELETEITEM, OnDeleteItem)
  CHAIN_MSG_MAP_ALT(WTL::COwnerDraw<WKRX_StaticTextCtrl>, 1)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

  // Style 0 gives WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN; owners pass
  // SS_OWNERDRAW with WS_CHILD | WS_VISIBLE. The id lets a parent find it among its children.
  HWND Create(HWND parent, const RECT& rect, DWORD style = 0, DWORD exStyle = 0, UINT id = 0);

  // Only stored: the owner invalidates the control.
  void SetText(const GLIB_WString& text) { m_Text = text; }
  const GLIB_WString& GetText() const { return m_Text; }
  void SetAlignment(int alignment) { m_Alignment = alignment; }
  int GetAlignment() const { return m_Alignment; }

  // The reflected draw: the item's rectangle on the button face, the text in it as it stands
  // ("&" is no mnemonic). The device context is left as it came.
  void DrawItem(LPDRAWITEMSTRUCT item);

private:
  LRESULT OnDeleteItem(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

  GLIB_WString m_Text;
  int m_Alignment = 0;
};
