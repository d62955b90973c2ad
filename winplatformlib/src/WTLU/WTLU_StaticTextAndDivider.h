// A section title: the window's text followed by an etched line to the right edge. The owner
// attaches it to an existing control of a dialog (SubclassWindow); it paints and does nothing
// else.
#pragma once

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

class WTLU_StaticTextAndDivider : public ATL::CWindowImpl<WTLU_StaticTextAndDivider> {
public:
  // paintBackground: fill with the dialog colour first; off where the parent paints behind.
  explicit WTLU_StaticTextAndDivider(bool paintBackground) : m_PaintBackground(paintBackground) {}

  BEGIN_MSG_MAP(WTLU_StaticTextAndDivider)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  END_MSG_MAP()

  // Draws the title into dc over rect (the window in its own client coordinates); the dc's state
  // is kept.
  void Draw(HDC dc, const RECT& rect);

private:
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  bool m_PaintBackground;
};
