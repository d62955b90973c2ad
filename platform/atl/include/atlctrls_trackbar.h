#pragma once
// The track bar: a thin wrapper that sends the control's own messages, as WTL's does. A class that
// derives a window from it (CWindowImpl<T, CTrackBarCtrl>) superclasses "msctls_trackbar32".
#include <windows.h>
#include <commctrl.h>

#include "atlwin.h"

namespace WTL {

template <class TBase = ::ATL::CWindow>
class CTrackBarCtrlT : public TBase {
public:
  CTrackBarCtrlT(HWND hWnd = nullptr) : TBase(hWnd) {}
  CTrackBarCtrlT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  static LPCWSTR GetWndClassName() { return TRACKBAR_CLASSW; }

  int GetPos() const { return static_cast<int>(this->SendMessage(TBM_GETPOS)); }
  void SetPos(int pos, BOOL redraw = TRUE) {
    this->SendMessage(TBM_SETPOS, static_cast<WPARAM>(redraw), static_cast<LPARAM>(pos));
  }
  int GetRangeMin() const { return static_cast<int>(this->SendMessage(TBM_GETRANGEMIN)); }
  int GetRangeMax() const { return static_cast<int>(this->SendMessage(TBM_GETRANGEMAX)); }
  void SetRange(int minimum, int maximum, BOOL redraw = TRUE) {
    this->SendMessage(TBM_SETRANGEMIN, FALSE, static_cast<LPARAM>(minimum));
    this->SendMessage(TBM_SETRANGEMAX, static_cast<WPARAM>(redraw), static_cast<LPARAM>(maximum));
  }
  void SetTicFreq(int frequency) {
    this->SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(frequency));
  }
  int SetLineSize(int size) {
    return static_cast<int>(this->SendMessage(TBM_SETLINESIZE, 0, static_cast<LPARAM>(size)));
  }
  int SetPageSize(int size) {
    return static_cast<int>(this->SendMessage(TBM_SETPAGESIZE, 0, static_cast<LPARAM>(size)));
  }
};
using CTrackBarCtrl = CTrackBarCtrlT<>;

}  // namespace WTL

using namespace WTL;
