#pragma once
// Buttons, statics, edits and combo boxes, and the custom-draw dispatcher. Written from WTL's
// documented behaviour.
#include <windows.h>
#include <commctrl.h>

#include "atlwin.h"

namespace WTL {

template <class TBase>
class CButtonT : public TBase {
public:
  CButtonT(HWND hWnd = nullptr) : TBase(hWnd) {}
  CButtonT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }
  static LPCWSTR GetWndClassName() { return L"BUTTON"; }

  int GetCheck() const { return static_cast<int>(this->SendMessage(BM_GETCHECK)); }
  void SetCheck(int check) { this->SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
  void Click() { this->SendMessage(BM_CLICK); }
};
using CButton = CButtonT<::ATL::CWindow>;

template <class TBase>
class CStaticT : public TBase {
public:
  CStaticT(HWND hWnd = nullptr) : TBase(hWnd) {}
  CStaticT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }
  static LPCWSTR GetWndClassName() { return L"STATIC"; }
};
using CStatic = CStaticT<::ATL::CWindow>;

template <class TBase>
class CEditT : public TBase {
public:
  CEditT(HWND hWnd = nullptr) : TBase(hWnd) {}
  CEditT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }
  static LPCWSTR GetWndClassName() { return L"EDIT"; }

  void GetSel(int& startChar, int& endChar) const {
    DWORD start = 0;
    DWORD end = 0;
    this->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    startChar = static_cast<int>(start);
    endChar = static_cast<int>(end);
  }
  void SetSel(int startChar, int endChar, BOOL noScroll = FALSE) {
    this->SendMessage(EM_SETSEL, static_cast<WPARAM>(startChar), static_cast<LPARAM>(endChar));
    if (!noScroll) {
      ScrollCaret();
    }
  }
  void SetSelAll(BOOL noScroll = FALSE) { SetSel(0, -1, noScroll); }
  void ScrollCaret() { this->SendMessage(EM_SCROLLCARET); }
  void ReplaceSel(LPCWSTR newText, BOOL canUndo = FALSE) {
    this->SendMessage(EM_REPLACESEL, static_cast<WPARAM>(canUndo),
                      reinterpret_cast<LPARAM>(newText));
  }
  void SetLimitText(UINT maxChars) { this->SendMessage(EM_LIMITTEXT, maxChars); }
  UINT GetLimitText() const { return static_cast<UINT>(this->SendMessage(EM_GETLIMITTEXT)); }
  BOOL GetModify() const { return static_cast<BOOL>(this->SendMessage(EM_GETMODIFY)); }
  void SetModify(BOOL modified = TRUE) { this->SendMessage(EM_SETMODIFY, modified); }
};
using CEdit = CEditT<::ATL::CWindow>;

template <class TBase>
class CComboBoxT : public TBase {
public:
  CComboBoxT(HWND hWnd = nullptr) : TBase(hWnd) {}
  CComboBoxT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }
  static LPCWSTR GetWndClassName() { return L"COMBOBOX"; }

  int GetCount() const { return static_cast<int>(this->SendMessage(CB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(this->SendMessage(CB_GETCURSEL)); }
  int SetCurSel(int index) {
    return static_cast<int>(this->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
  }
  int GetLBTextLen(int index) const {
    return static_cast<int>(this->SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
  }
  int GetLBText(int index, LPWSTR text) const {
    return static_cast<int>(this->SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index),
                                              reinterpret_cast<LPARAM>(text)));
  }
  int AddString(LPCWSTR text) {
    return static_cast<int>(this->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  }
  int DeleteString(UINT index) {
    return static_cast<int>(this->SendMessage(CB_DELETESTRING, index));
  }
  void ResetContent() { this->SendMessage(CB_RESETCONTENT); }
  int FindStringExact(int startAfter, LPCWSTR text) const {
    return static_cast<int>(this->SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter),
                                              reinterpret_cast<LPARAM>(text)));
  }
  BOOL SetMinVisible(int count) {
    return static_cast<BOOL>(this->SendMessage(CB_SETMINVISIBLE, static_cast<WPARAM>(count)));
  }
  int GetMinVisible() const { return static_cast<int>(this->SendMessage(CB_GETMINVISIBLE)); }
};
using CComboBox = CComboBoxT<::ATL::CWindow>;

// Turns NM_CUSTOMDRAW into one call per drawing stage. A stage T does not draw itself answers
// CDRF_DODEFAULT and leaves the message unhandled (m_bHandledCD cleared), so a map that follows
// still sees it; stages without a call are left unhandled too. Section 0 takes the notification
// sent to the parent, section 1 the reflected one.
template <class T>
class CCustomDraw {
public:
  virtual ~CCustomDraw() = default;

  BEGIN_MSG_MAP(CCustomDraw)
  NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
  ALT_MSG_MAP(1)
  REFLECTED_NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
  END_MSG_MAP()

  LRESULT OnCustomDraw(int idCtrl, LPNMHDR header, BOOL& bHandled) {
    T* self = static_cast<T*>(this);
    auto* draw = reinterpret_cast<LPNMCUSTOMDRAW>(header);
    m_bHandledCD = TRUE;
    DWORD result = CDRF_DODEFAULT;
    switch (draw->dwDrawStage) {
      case CDDS_PREPAINT:
        result = self->OnPrePaint(idCtrl, draw);
        break;
      case CDDS_POSTPAINT:
        result = self->OnPostPaint(idCtrl, draw);
        break;
      case CDDS_PREERASE:
        result = self->OnPreErase(idCtrl, draw);
        break;
      case CDDS_POSTERASE:
        result = self->OnPostErase(idCtrl, draw);
        break;
      case CDDS_ITEMPREPAINT:
        result = self->OnItemPrePaint(idCtrl, draw);
        break;
      case CDDS_ITEMPOSTPAINT:
        result = self->OnItemPostPaint(idCtrl, draw);
        break;
      case CDDS_ITEMPREERASE:
        result = self->OnItemPreErase(idCtrl, draw);
        break;
      case CDDS_ITEMPOSTERASE:
        result = self->OnItemPostErase(idCtrl, draw);
        break;
      case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        result = self->OnSubItemPrePaint(idCtrl, draw);
        break;
      default:
        m_bHandledCD = FALSE;
        break;
    }
    bHandled = m_bHandledCD;
    return static_cast<LRESULT>(result);
  }

  DWORD OnPrePaint(int, LPNMCUSTOMDRAW) { return Unhandled(); }
  DWORD OnPostPaint(int, LPNMCUSTOMDRAW) { return Unhandled(); }
  DWORD OnPreErase(int, LPNMCUSTOMDRAW) { return Unhandled(); }
  DWORD OnPostErase(int, LPNMCUSTOMDRAW) { return Unhandled(); }
  DWORD OnItemPrePaint(int, LPNMCUSTOMDRAW) { return Unhandled(); }
  DWORD OnItemPostPaint(int, LPNMCUSTOMDRAW) { return Unhandled(); }
  DWORD OnItemPreErase(int, LPNMCUSTOMDRAW) { return Unhandled(); }
  DWORD OnItemPostErase(int, LPNMCUSTOMDRAW) { return Unhandled(); }
  DWORD OnSubItemPrePaint(int, LPNMCUSTOMDRAW) { return Unhandled(); }

protected:
  BOOL m_bHandledCD = FALSE;

private:
  DWORD Unhandled() {
    m_bHandledCD = FALSE;
    return CDRF_DODEFAULT;
  }
};

}  // namespace WTL

using namespace WTL;
