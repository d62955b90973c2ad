// What the dialog and property-sheet tests share: a script run inside a modal dialog's loop.
#pragma once

#include <windows.h>

#include <functional>

// Ends every modal dialog of this thread: a CBT hook notes each new top-level dialog window (a
// property sheet, not its pages), and a thread timer then runs the test's script inside the
// dialog's loop and ends the dialog with kEndedByHook unless the script declines.
class ModalDialogEnder {
public:
  static constexpr INT_PTR kEndedByHook = 55;
  using Script = std::function<bool(HWND dialog)>;

  explicit ModalDialogEnder(Script script = [](HWND) { return true; }) {
    sm_Script = std::move(script);
    sm_Dialog = nullptr;
    m_Hook = SetWindowsHookExW(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
  }
  ~ModalDialogEnder() {
    UnhookWindowsHookEx(m_Hook);
    sm_Script = nullptr;
  }
  ModalDialogEnder(const ModalDialogEnder&) = delete;
  ModalDialogEnder& operator=(const ModalDialogEnder&) = delete;

private:
  HHOOK m_Hook;
  static inline Script sm_Script;
  static inline HWND sm_Dialog = nullptr;

  static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
      const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
      // The dialog class is the atom 32770.
      if (create->lpcs->lpszClass == MAKEINTATOM(32770) && (create->lpcs->style & WS_CHILD) == 0) {
        sm_Dialog = reinterpret_cast<HWND>(wParam);
        SetTimer(nullptr, 0, 10, OnTimer);
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND dialog = sm_Dialog;
    if (dialog && IsWindow(dialog) && (!sm_Script || sm_Script(dialog))) {
      EndDialog(dialog, kEndedByHook);
    }
  }
};
