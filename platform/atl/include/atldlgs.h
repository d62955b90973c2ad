#pragma once
// WTL's file dialog support: the explorer-style hook that gives a common file dialog a message
// map of the program's own.
//
// The system makes the hook dialog itself, as a child of its own dialog, so the being-created
// pointer cannot name the object: the hook finds it through the OPENFILENAMEW's lCustData at
// WM_INITDIALOG. From then on the hook dialog's messages run through the object's map under the
// guard, with results through DWLP_MSGRESULT like any dialog's.
#include "atlwin.h"

#include <commdlg.h>

namespace WTL {

// Replaceable common-dialog calls, so tests can answer in the user's place.
struct CFileDialogSystemHooks {
  using GetFileNameFn = BOOL(WINAPI*)(LPOPENFILENAMEW);
  using ExtendedErrorFn = DWORD(WINAPI*)();

  static inline GetFileNameFn sm_GetOpenFileName = ::GetOpenFileNameW;
  static inline ExtendedErrorFn sm_CommDlgExtendedError = ::CommDlgExtendedError;
};

template <class TBase = ::ATL::CWindow>
class CFileDialogHookT : public ::ATL::CDialogImplBaseT<TBase> {
public:
  // Makes ofn an explorer-style dialog whose hook is this object.
  void AttachHook(OPENFILENAMEW& ofn) {
    ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
    ofn.lpfnHook = HookProc;
    ofn.lCustData = reinterpret_cast<LPARAM>(this);
  }

  // Runs the system's open dialog with this object as its hook. A fatal exception kept pending
  // while it ran ended the dialog and is rethrown here, once the system has returned.
  BOOL RunOpenFileDialog(OPENFILENAMEW& ofn) {
    AttachHook(ofn);
    ::ATL::CSystemLoopScope loop(::ATL::CSystemLoopScope::kDialog);
    return loop.Returned(CFileDialogSystemHooks::sm_GetOpenFileName(&ofn));
  }

  // The system's dialog around the hook dialog.
  HWND GetFileDialogWindow() const { return ::GetParent(this->m_hWnd); }

  static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (CFileDialogHookT::BoundObject(hWnd) == nullptr) {
      // Messages before WM_INITDIALOG (WM_SETFONT) find no object yet.
      if (uMsg != WM_INITDIALOG) {
        return 0;
      }
      const auto* ofn = reinterpret_cast<const OPENFILENAMEW*>(lParam);
      auto* self = ofn ? reinterpret_cast<CFileDialogHookT*>(ofn->lCustData) : nullptr;
      if (self == nullptr || self->m_hWnd != nullptr || !CFileDialogHookT::BindObject(self, hWnd)) {
        return 0;
      }
    }
    return static_cast<UINT_PTR>(CFileDialogHookT::DialogProc(hWnd, uMsg, wParam, lParam));
  }
};

using CFileDialogHook = CFileDialogHookT<>;

}  // namespace WTL

#include "atldlgs_propsheet.h"
