#pragma once
// An edit control driving the edit-text model: its key filter checks every change the user makes,
// its validator the text when the control loses the focus.
//
// A refused change puts back the last accepted text and the selection it had before the change;
// a paste keeps the characters the filter allows, with the caret after them. Texts the program
// sets (WM_SETTEXT, EM_REPLACESEL) are not filtered. Validation runs 100 ms after the focus leaves
// (timer 1); a refused text is restored by the model and the control takes the focus back with its
// text selected.

#include <windows.h>
#include <atlbase.h>
#include <atlwin.h>
#include <atlctrls.h>

#include "UCTL/UCTL_EditText.h"
#include "WCTL/WCTL_Control.h"

class WCTL_EditText : public WCTL_Control,
                      public UCTL_EditText,
                      public CWindowImpl<WCTL_EditText, CEdit> {
public:
  ~WCTL_EditText() override;

  // Attaches a dialog's edit control; its text counts as accepted.
  BOOL SubclassWindow(HWND window);

  // Six decimals.
  void SetControlValue(double value) override;
  void SetControlValue(long value) override;
  // The text read as a decimal number, 0 when it holds none.
  long ControlValueAsLong() const override;
  // The text read as a decimal number with '.' or ',' as separator, 0 when it holds none.
  double ControlValueAsDouble() const override;
  void SetControlText(USTR_String const& text) override;
  USTR_String ControlText() const override;
  void SelectAllText() override;
  // Beeps when the model asks for it.
  void RejectKey() override;

  BEGIN_MSG_MAP(WCTL_EditText)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_SETTEXT, OnProgramText)
  MESSAGE_HANDLER(EM_REPLACESEL, OnProgramText)
  MESSAGE_HANDLER(WM_PASTE, OnPaste)
  MESSAGE_HANDLER(WM_CHAR, OnEditing)
  MESSAGE_HANDLER(WM_IME_CHAR, OnEditing)
  MESSAGE_HANDLER(WM_KEYDOWN, OnEditing)
  MESSAGE_HANDLER(WM_CUT, OnEditing)
  MESSAGE_HANDLER(WM_CLEAR, OnEditing)
  MESSAGE_HANDLER(WM_UNDO, OnEditing)
  MESSAGE_HANDLER(EM_UNDO, OnEditing)
  MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  REFLECTED_COMMAND_CODE_HANDLER(EN_UPDATE, OnUpdate)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

protected:
  HWND ControlWindow() const override { return m_hWnd; }

private:
  struct Selection {
    DWORD m_Start = 0;
    DWORD m_End = 0;
  };

  static constexpr UINT_PTR kValidationTimer = 1;
  static constexpr UINT kValidationDelay = 100;

  Selection CurrentSelection() const;
  void AcceptCurrentText();
  // Sets a text as the program does: it is not filtered and becomes the accepted text.
  void SetTextUnfiltered(USTR_String const& text);
  void RestoreAccepted();
  // The pasted text without the characters the filter refuses, the caret after the paste.
  // False when even that text is refused.
  bool KeepAllowedPaste(USTR_String const& text);

  LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnProgramText(UINT message, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnPaste(UINT message, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnEditing(UINT message, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnKillFocus(UINT message, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnTimer(UINT message, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnUpdate(WORD code, WORD id, HWND control, BOOL& bHandled);

  // Set while the edit control pastes.
  bool m_Pasting = false;
  // Set while the program sets the text.
  bool m_SettingText = false;
  USTR_String m_AcceptedText;
  // The selection before the change under way: what a refusal puts back.
  Selection m_SelectionBefore;
};
