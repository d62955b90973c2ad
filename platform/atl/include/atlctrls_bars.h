#pragma once
// The bars of a frame: tool bar, rebar and status bar wrappers. Written from WTL's documented
// behaviour.
#include <windows.h>
#include <commctrl.h>

#include "atlwin.h"

namespace WTL {

template <class TBase>
class CToolBarCtrlT : public TBase {
public:
  CToolBarCtrlT(HWND hWnd = nullptr) : TBase(hWnd) {}
  CToolBarCtrlT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }
  static LPCWSTR GetWndClassName() { return TOOLBARCLASSNAMEW; }

  int GetButtonCount() const { return static_cast<int>(this->SendMessage(TB_BUTTONCOUNT)); }
  BOOL GetButton(int index, LPTBBUTTON button) const {
    return static_cast<BOOL>(this->SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index),
                                               reinterpret_cast<LPARAM>(button)));
  }
  BOOL EnableButton(int id, BOOL enable = TRUE) {
    return static_cast<BOOL>(
        this->SendMessage(TB_ENABLEBUTTON, static_cast<WPARAM>(id), MAKELPARAM(enable, 0)));
  }
  BOOL CheckButton(int id, BOOL check = TRUE) {
    return static_cast<BOOL>(
        this->SendMessage(TB_CHECKBUTTON, static_cast<WPARAM>(id), MAKELPARAM(check, 0)));
  }
  BOOL IsButtonEnabled(int id) const {
    return static_cast<BOOL>(this->SendMessage(TB_ISBUTTONENABLED, static_cast<WPARAM>(id)));
  }
  BOOL IsButtonChecked(int id) const {
    return static_cast<BOOL>(this->SendMessage(TB_ISBUTTONCHECKED, static_cast<WPARAM>(id)));
  }
};
using CToolBarCtrl = CToolBarCtrlT<::ATL::CWindow>;

template <class TBase>
class CReBarCtrlT : public TBase {
public:
  CReBarCtrlT(HWND hWnd = nullptr) : TBase(hWnd) {}
  CReBarCtrlT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }
  static LPCWSTR GetWndClassName() { return REBARCLASSNAMEW; }

  UINT GetBandCount() const { return static_cast<UINT>(this->SendMessage(RB_GETBANDCOUNT)); }
  BOOL InsertBand(int index, LPREBARBANDINFOW band) {
    return static_cast<BOOL>(this->SendMessage(RB_INSERTBANDW, static_cast<WPARAM>(index),
                                               reinterpret_cast<LPARAM>(band)));
  }
  BOOL GetBandInfo(int index, LPREBARBANDINFOW band) const {
    return static_cast<BOOL>(this->SendMessage(RB_GETBANDINFOW, static_cast<WPARAM>(index),
                                               reinterpret_cast<LPARAM>(band)));
  }
  // -1 when no band has that id.
  int IdToIndex(UINT bandId) const {
    return static_cast<int>(this->SendMessage(RB_IDTOINDEX, static_cast<WPARAM>(bandId)));
  }
  BOOL ShowBand(int index, BOOL show) {
    return static_cast<BOOL>(this->SendMessage(RB_SHOWBAND, static_cast<WPARAM>(index), show));
  }
};
using CReBarCtrl = CReBarCtrlT<::ATL::CWindow>;

template <class TBase>
class CStatusBarCtrlT : public TBase {
public:
  CStatusBarCtrlT(HWND hWnd = nullptr) : TBase(hWnd) {}
  CStatusBarCtrlT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }
  static LPCWSTR GetWndClassName() { return STATUSCLASSNAMEW; }

  int GetParts(int count, int* rightEdges) const {
    return static_cast<int>(this->SendMessage(SB_GETPARTS, static_cast<WPARAM>(count),
                                              reinterpret_cast<LPARAM>(rightEdges)));
  }
  BOOL SetParts(int count, const int* rightEdges) {
    return static_cast<BOOL>(this->SendMessage(SB_SETPARTS, static_cast<WPARAM>(count),
                                               reinterpret_cast<LPARAM>(rightEdges)));
  }
  BOOL SetText(int pane, LPCWSTR text, int type = 0) {
    return static_cast<BOOL>(this->SendMessage(SB_SETTEXTW, static_cast<WPARAM>(pane | type),
                                               reinterpret_cast<LPARAM>(text)));
  }
  // The pane's text (at most size - 1 characters) and its length.
  int GetText(int pane, wchar_t* text, int size) const {
    const int length = LOWORD(this->SendMessage(SB_GETTEXTLENGTHW, static_cast<WPARAM>(pane)));
    if (text == nullptr || size <= 0 || length >= size) {
      return length;
    }
    return LOWORD(
        this->SendMessage(SB_GETTEXTW, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(text)));
  }
  BOOL SetIcon(int pane, HICON icon) {
    return static_cast<BOOL>(
        this->SendMessage(SB_SETICON, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(icon)));
  }
  HICON GetIcon(int pane) const {
    return reinterpret_cast<HICON>(this->SendMessage(SB_GETICON, static_cast<WPARAM>(pane)));
  }
  // Horizontal border, vertical border and the gap between parts.
  BOOL GetBorders(int* borders) const {
    return static_cast<BOOL>(
        this->SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders)));
  }
  void SetSimple(BOOL simple = TRUE) { this->SendMessage(SB_SIMPLE, static_cast<WPARAM>(simple)); }
};
using CStatusBarCtrl = CStatusBarCtrlT<::ATL::CWindow>;

}  // namespace WTL
