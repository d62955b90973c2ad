// A scrolling window whose offset changes, bar updates and painting are virtual, so that a view
// can follow its own scrolling: other windows that scroll along with it (labels beside a
// matrix) hear of every offset the view takes, whether a bar, the wheel, a resize that clamps or
// the program asked for it. Each change comes through SetScrollOffset once; that call updates each
// bar through SetScrollInfo; DoPaint then draws at minus the offset.
#pragma once

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>
#include <atlgdi.h>
#include <atlscrl.h>

template <class T, class TBase = ATL::CWindow, class TWinTraits = ATL::CControlWinTraits>
class WTLU_ScrollView : public WTL::CScrollWindowImpl<T, TBase, TWinTraits> {
  using Base = WTL::CScrollWindowImpl<T, TBase, TWinTraits>;

public:
  BEGIN_MSG_MAP(WTLU_ScrollView)
  CHAIN_MSG_MAP(Base)
  END_MSG_MAP()

  virtual void DoPaint(WTL::CDCHandle dc) { Base::DoPaint(WTL::CDCHandle(dc.m_hDC)); }

  virtual void SetScrollOffset(int x, int y, BOOL bRedraw = TRUE) {
    Base::SetScrollOffset(x, y, bRedraw);
  }

  virtual int SetScrollInfo(int bar, LPSCROLLINFO info, BOOL bRedraw = TRUE) {
    return Base::SetScrollInfo(bar, info, bRedraw);
  }
};
