#pragma once
// WTL's owner drawing: the four owner-draw messages turned into calls on T, in section 0 as the
// parent receives them and in section 1 as a control receives them reflected. Written from WTL's
// documented behaviour.
#include <windows.h>

#include "atlgdi.h"
#include "atlwin.h"

namespace WTL {

template <class T>
class COwnerDraw {
public:
  virtual ~COwnerDraw() = default;

  BEGIN_MSG_MAP(COwnerDraw)
  MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
  MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
  MESSAGE_HANDLER(WM_COMPAREITEM, OnCompareItem)
  MESSAGE_HANDLER(WM_DELETEITEM, OnDeleteItem)
  ALT_MSG_MAP(1)
  MESSAGE_HANDLER(::ATL::OCM_DRAWITEM, OnDrawItem)
  MESSAGE_HANDLER(::ATL::OCM_MEASUREITEM, OnMeasureItem)
  MESSAGE_HANDLER(::ATL::OCM_COMPAREITEM, OnCompareItem)
  MESSAGE_HANDLER(::ATL::OCM_DELETEITEM, OnDeleteItem)
  END_MSG_MAP()

  LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    return Run(bHandled, [&](T* self) {
      self->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      return LRESULT{TRUE};
    });
  }
  LRESULT OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    return Run(bHandled, [&](T* self) {
      self->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
      return LRESULT{TRUE};
    });
  }
  LRESULT OnCompareItem(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    return Run(bHandled, [&](T* self) {
      return LRESULT{self->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam))};
    });
  }
  LRESULT OnDeleteItem(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    return Run(bHandled, [&](T* self) {
      self->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
      return LRESULT{TRUE};
    });
  }

  // The defaults. Drawing and deleting are left to default handling unless T does them.
  void DrawItem(LPDRAWITEMSTRUCT) { m_bHandledOD = FALSE; }
  // A menu item is a menu line high; another item as high as its control's font's text.
  void MeasureItem(LPMEASUREITEMSTRUCT measure) {
    if (measure->CtlType == ODT_MENU) {
      measure->itemHeight = static_cast<UINT>(::GetSystemMetrics(SM_CYMENU));
      return;
    }
    const HWND self = static_cast<T*>(this)->m_hWnd;
    // Reflected, the control is this window itself; otherwise one of its children.
    HWND control = ::GetDlgItem(self, static_cast<int>(measure->CtlID));
    if (control == nullptr) {
      control = self;
    }
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    CClientDC dc(control);
    if (font != nullptr) {
      dc.SelectFont(font);
    }
    TEXTMETRICW metrics = {};
    dc.GetTextMetrics(&metrics);
    measure->itemHeight = static_cast<UINT>(metrics.tmHeight);
  }
  int CompareItem(LPCOMPAREITEMSTRUCT) { return 1; }
  void DeleteItem(LPDELETEITEMSTRUCT) { m_bHandledOD = FALSE; }

protected:
  // Cleared by a call that leaves its message to default handling.
  BOOL m_bHandledOD = TRUE;

private:
  template <class Call>
  LRESULT Run(BOOL& bHandled, Call&& call) {
    m_bHandledOD = TRUE;
    const LRESULT result = call(static_cast<T*>(this));
    bHandled = m_bHandledOD;
    return result;
  }
};

}  // namespace WTL

using namespace WTL;
