#pragma once
// WTL's property sheets and pages. Written from WTL's documented behaviour.
//
// The system makes both windows. The sheet's header callback names no object, so DoModal keeps
// the sheet it runs in a thread-local pointer, and the callback subclasses the sheet window with
// that object once the sheet is initialised. A page finds its object in the lParam of its own
// PROPSHEETPAGE, which WM_INITDIALOG brings. From then on both run their maps under the guard;
// a page's results (PSN_APPLY's among them) go through DWLP_MSGRESULT like any dialog's.
//
// The system runs the sheet's loop: when a fatal exception becomes pending in the sheet or a
// page, the sheet is cancelled as the user's Cancel would, and DoModal rethrows it once the
// system has returned.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "atlwin.h"

namespace WTL {

// A title given as a string id is read through the module object's one resource search (a
// language library may hold the text, the program the template) into the holder's own text.
inline ::ATL::_U_STRINGorID iAtlResolveTitle(::ATL::_U_STRINGorID title, std::wstring& text) {
  if (title.m_lpstr == nullptr || !IS_INTRESOURCE(title.m_lpstr)) {
    return title;
  }
  wchar_t buffer[256];
  ::ATL::AtlLoadString(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(title.m_lpstr)), buffer, 256);
  text = buffer;
  return text.c_str();
}

// Presses the sheet's Cancel once the current message is done, when a fatal exception is pending.
inline void AtlCancelSheetOnFatal(HWND sheet, bool& cancelled) {
  if (!cancelled && GLIB_IsFatalPending() && ::IsWindow(sheet)) {
    cancelled = true;
    ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  }
}

template <class TBase = ::ATL::CWindow>
class CPropertySheetWindowT : public TBase {
public:
  CPropertySheetWindowT(HWND hWnd = nullptr) : TBase(hWnd) {}

  HWND GetActivePage() const {
    return reinterpret_cast<HWND>(this->SendMessage(PSM_GETCURRENTPAGEHWND));
  }
  int GetActiveIndex() const {
    return static_cast<int>(
        this->SendMessage(PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(GetActivePage())));
  }
  BOOL SetActivePage(int index) {
    return static_cast<BOOL>(this->SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(index)));
  }
  void PressButton(int button) { this->SendMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(button)); }
  void SetTitle(LPCWSTR title, UINT style = 0) {
    this->SendMessage(PSM_SETTITLEW, style, reinterpret_cast<LPARAM>(title));
  }
};
using CPropertySheetWindow = CPropertySheetWindowT<>;

// A page: the dialog template T::IDD from the resource instance, the title (PSP_USETITLE) when
// one is given. Its map chains this one for the sheet's notifications, which call T's OnSetActive,
// OnKillActive, OnApply, OnReset and OnQueryCancel.
template <class T, class TBase = CPropertySheetWindow>
class CPropertyPageImpl : public ::ATL::CDialogImplBaseT<::ATL::CWindow> {
public:
  PROPSHEETPAGEW m_psp;

  explicit CPropertyPageImpl(::ATL::_U_STRINGorID title = static_cast<LPCWSTR>(nullptr)) : m_psp() {
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.hInstance = TemplateModule();
    m_psp.pszTemplate = MAKEINTRESOURCEW(T::IDD);
    m_psp.pfnDlgProc = PageProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    SetTitle(title);
  }

  operator PROPSHEETPAGEW*() { return &m_psp; }

  // The tab's text, or its string id in the resource instance; null keeps the template's caption.
  // A text must outlive the sheet.
  void SetTitle(::ATL::_U_STRINGorID title) {
    title = iAtlResolveTitle(title, m_TitleText);
    m_psp.pszTitle = title.m_lpstr;
    if (title.m_lpstr != nullptr) {
      m_psp.dwFlags |= PSP_USETITLE;
    } else {
      m_psp.dwFlags &= ~static_cast<DWORD>(PSP_USETITLE);
    }
  }

  // The sheet around the page.
  TBase GetPropertySheet() const { return TBase(::GetParent(m_hWnd)); }

  BEGIN_MSG_MAP(CPropertyPageImpl)
  MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
  END_MSG_MAP()

  // Only the sheet's own notifications; a child control's go on.
  LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom != ::GetParent(m_hWnd)) {
      bHandled = FALSE;
      return 0;
    }
    T* self = static_cast<T*>(this);
    switch (header->code) {
      case PSN_SETACTIVE:
        return self->OnSetActive() ? 0 : -1;
      case PSN_KILLACTIVE:
        return !self->OnKillActive();
      case PSN_APPLY:
        return self->OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
      case PSN_RESET:
        self->OnReset();
        return 0;
      case PSN_QUERYCANCEL:
        // A sheet cancelled for a fatal exception closes whatever the page would say.
        return GLIB_IsFatalPending() ? FALSE : !self->OnQueryCancel();
      default:
        bHandled = FALSE;
        return 0;
    }
  }

  BOOL OnSetActive() { return TRUE; }
  BOOL OnKillActive() { return TRUE; }
  BOOL OnApply() { return TRUE; }
  void OnReset() {}
  BOOL OnQueryCancel() { return TRUE; }

  static INT_PTR CALLBACK PageProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (BoundObject(hWnd) == nullptr) {
      // Messages before WM_INITDIALOG (WM_SETFONT) find no object yet.
      if (uMsg != WM_INITDIALOG) {
        return FALSE;
      }
      const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
      auto* self = page ? reinterpret_cast<CPropertyPageImpl*>(page->lParam) : nullptr;
      if (self == nullptr || self->m_hWnd != nullptr || !BindObject(self, hWnd)) {
        return FALSE;
      }
      self->m_CancelledOnFatal = false;
    }
    auto* self = static_cast<CPropertyPageImpl*>(BoundObject(hWnd));
    const HWND sheet = ::GetParent(hWnd);
    const INT_PTR result = DialogProc(hWnd, uMsg, wParam, lParam);
    // The object may be gone (WM_NCDESTROY): only a bound page still has a flag.
    bool cancelled = true;
    AtlCancelSheetOnFatal(sheet, BoundObject(hWnd) == self ? self->m_CancelledOnFatal : cancelled);
    return result;
  }

private:
  bool m_CancelledOnFatal = false;
  std::wstring m_TitleText;

  // The module that holds the page's template, found as every other resource is.
  static HINSTANCE TemplateModule() {
    const HINSTANCE module = ::ATL::AtlFindResourceInstance(MAKEINTRESOURCEW(T::IDD), RT_DIALOG);
    return module != nullptr ? module : ::ATL::_AtlBaseModule.GetResourceInstance();
  }
};

// A sheet of pages. DoModal hands the system copies of the pages' PROPSHEETPAGEW, so a sheet owns
// no page handle and can run again.
template <class T, class TBase = CPropertySheetWindow>
class CPropertySheetImpl : public ::ATL::CWindowImplBaseT<TBase> {
public:
  PROPSHEETHEADERW m_psh;

  // The title is a text or its string id in the resource instance.
  explicit CPropertySheetImpl(::ATL::_U_STRINGorID title = static_cast<LPCWSTR>(nullptr),
                              UINT startPage = 0, HWND hWndParent = nullptr)
      : m_psh() {
    m_psh.dwSize = sizeof(m_psh);
    m_psh.dwFlags = PSH_USECALLBACK;
    m_psh.hInstance = ::ATL::_AtlBaseModule.GetResourceInstance();
    m_psh.pszCaption = iAtlResolveTitle(title, m_CaptionText).m_lpstr;
    m_psh.nStartPage = startPage;
    m_psh.pfnCallback = T::PropSheetCallback;
    m_psh.hwndParent = hWndParent;
  }

  template <class TPage>
  BOOL AddPage(CPropertyPageImpl<TPage>& page) {
    m_Pages.push_back(&page.m_psp);
    return TRUE;
  }
  int GetPageCount() const { return static_cast<int>(m_Pages.size()); }

  // Runs the sheet modally; a fatal exception kept pending meanwhile is rethrown once the system
  // has returned.
  INT_PTR DoModal(HWND hWndParent = ::GetActiveWindow()) {
    if (this->m_hWnd != nullptr) {
      return -1;
    }
    std::vector<PROPSHEETPAGEW> pages;
    pages.reserve(m_Pages.size());
    for (const PROPSHEETPAGEW* page : m_Pages) {
      pages.push_back(*page);
    }
    PROPSHEETHEADERW header = m_psh;
    header.dwFlags = (header.dwFlags | PSH_PROPSHEETPAGE | PSH_USECALLBACK) & ~PSH_MODELESS;
    header.pfnCallback = T::PropSheetCallback;
    header.hwndParent = hWndParent;
    header.nPages = static_cast<UINT>(pages.size());
    header.ppsp = pages.data();
    m_CancelledOnFatal = false;
    CPropertySheetImpl* const outer = sm_Running;
    sm_Running = this;
    const INT_PTR result = ::PropertySheetW(&header);
    sm_Running = outer;
    GLIB_RethrowPendingFatal();
    return result;
  }

  // The sheet's window exists: the object takes its messages over and centres the sheet over its
  // owner, once (pages made later, when first shown, leave it where the user put it); then T
  // hears of it.
  void OnSheetInitialized() {}

  static int CALLBACK PropSheetCallback(HWND hWnd, UINT uMsg, LPARAM) {
    if (uMsg != PSCB_INITIALIZED || sm_Running == nullptr) {
      return 0;
    }
    CPropertySheetImpl* self = sm_Running;
    ::ATL::AtlGuarded(*self, [&] {
      if (self->SubclassWindow(hWnd)) {
        self->CenterWindow();
        static_cast<T*>(self)->OnSheetInitialized();
      }
    });
    AtlCancelSheetOnFatal(hWnd, self->m_CancelledOnFatal);
    return 0;
  }

  WNDPROC GetWindowProc() override { return SheetWindowProc; }

  BEGIN_MSG_MAP(CPropertySheetImpl)
  END_MSG_MAP()

private:
  std::vector<PROPSHEETPAGEW*> m_Pages;
  bool m_CancelledOnFatal = false;
  std::wstring m_CaptionText;
  static inline thread_local CPropertySheetImpl* sm_Running = nullptr;

  // The sheet's subclass procedure: the object's map, then the fatal check.
  static LRESULT CALLBACK SheetWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<CPropertySheetImpl*>(CPropertySheetImpl::BoundObject(hWnd));
    const LRESULT result = CPropertySheetImpl::WindowProc(hWnd, uMsg, wParam, lParam);
    bool cancelled = true;
    const bool bound = self != nullptr && ::IsWindow(hWnd) && self->m_hWnd == hWnd;
    AtlCancelSheetOnFatal(hWnd, bound ? self->m_CancelledOnFatal : cancelled);
    return result;
  }
};

}  // namespace WTL

using namespace WTL;
