#include "WCTL/WCTL_EditText.h"

#include "WCTL/WCTL_NumberText.h"
#include "WCTL/WCTL_WindowText.h"

namespace {

// Sets a flag for a scope and gives it its old value back, also when an exception passes.
class FlagScope {
public:
  explicit FlagScope(bool& flag) : m_Flag(flag), m_Old(flag) { m_Flag = true; }
  ~FlagScope() { m_Flag = m_Old; }
  FlagScope(FlagScope const&) = delete;
  FlagScope& operator=(FlagScope const&) = delete;

private:
  bool& m_Flag;
  bool m_Old;
};

// Keeps the characters the filter lets through, in order.
USTR_String Filtered(UCTL_KeyFilter& filter, USTR_String text) {
  unsigned long count = static_cast<unsigned long>(text.size());
  if (count > 0) {
    filter.FilterKeys(&text[0], count);
  }
  text.resize(count);
  return text;
}

}  // namespace

WCTL_EditText::~WCTL_EditText() {
  // A validation still waiting has no control left to run for.
  if (m_hWnd != nullptr && IsWindow()) {
    KillTimer(kValidationTimer);
  }
}

BOOL WCTL_EditText::SubclassWindow(HWND window) {
  if (!CWindowImpl<WCTL_EditText, CEdit>::SubclassWindow(window)) {
    return FALSE;
  }
  AcceptCurrentText();
  return TRUE;
}

void WCTL_EditText::SetControlValue(double value) {
  ::SetWindowTextW(m_hWnd, WCTL_FormatDouble(value).c_str());
}

void WCTL_EditText::SetControlValue(long value) {
  ::SetWindowTextW(m_hWnd, std::to_wstring(value).c_str());
}

long WCTL_EditText::ControlValueAsLong() const {
  return WCTL_ParseLong(ControlText());
}

double WCTL_EditText::ControlValueAsDouble() const {
  return WCTL_ParseDouble(ControlText());
}

void WCTL_EditText::SetControlText(USTR_String const& text) {
  WCTL_SetWindowText(m_hWnd, text);
}

USTR_String WCTL_EditText::ControlText() const {
  return WCTL_GetWindowText(m_hWnd);
}

void WCTL_EditText::SelectAllText() {
  ::SetFocus(m_hWnd);
  SendMessage(EM_SETSEL, 0, -1);
  SendMessage(EM_SCROLLCARET);
}

void WCTL_EditText::RejectKey() {
  if (BeepOnReject()) {
    MessageBeep(0xFFFFFFFF);
  }
}

WCTL_EditText::Selection WCTL_EditText::CurrentSelection() const {
  Selection selection;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&selection.m_Start),
              reinterpret_cast<LPARAM>(&selection.m_End));
  return selection;
}

void WCTL_EditText::AcceptCurrentText() {
  m_AcceptedText = ControlText();
  m_SelectionBefore = CurrentSelection();
}

void WCTL_EditText::SetTextUnfiltered(USTR_String const& text) {
  FlagScope setting(m_SettingText);
  WCTL_SetWindowText(m_hWnd, text);
}

void WCTL_EditText::RestoreAccepted() {
  Selection const before = m_SelectionBefore;
  SetTextUnfiltered(m_AcceptedText);
  SendMessage(EM_SETSEL, before.m_Start, static_cast<LPARAM>(before.m_End));
  SendMessage(EM_SCROLLCARET);
  m_SelectionBefore = before;
}

bool WCTL_EditText::KeepAllowedPaste(USTR_String const& text) {
  // After a paste the caret stands at the pasted text's end: what the filter keeps before it
  // decides where the caret goes.
  Selection const caret = CurrentSelection();
  std::size_t const split = caret.m_End < text.size() ? caret.m_End : text.size();
  UCTL_KeyFilter& filter = KeyFilter();
  USTR_String const before = Filtered(filter, text.substr(0, split));
  USTR_String const kept = before + Filtered(filter, text.substr(split));
  if (!filter.IsTextAllowed(kept.data(), static_cast<unsigned long>(kept.size()))) {
    return false;
  }
  SetTextUnfiltered(kept);
  DWORD const position = static_cast<DWORD>(before.size());
  SendMessage(EM_SETSEL, position, static_cast<LPARAM>(position));
  SendMessage(EM_SCROLLCARET);
  return true;
}

LRESULT WCTL_EditText::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
  LRESULT const result = DefWindowProc(message, wParam, lParam);
  AcceptCurrentText();
  return result;
}

LRESULT WCTL_EditText::OnProgramText(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
  LRESULT result = 0;
  {
    FlagScope setting(m_SettingText);
    result = DefWindowProc(message, wParam, lParam);
  }
  // Multi-line edits say nothing of a text set this way: the resulting text is taken here.
  AcceptCurrentText();
  return result;
}

LRESULT WCTL_EditText::OnPaste(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
  m_SelectionBefore = CurrentSelection();
  FlagScope pasting(m_Pasting);
  return DefWindowProc(message, wParam, lParam);
}

LRESULT WCTL_EditText::OnEditing(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  m_SelectionBefore = CurrentSelection();
  bHandled = FALSE;
  return 0;
}

LRESULT WCTL_EditText::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  SetTimer(kValidationTimer, kValidationDelay);
  bHandled = FALSE;
  return 0;
}

LRESULT WCTL_EditText::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  // Other timers are the edit control's own (scrolling while selecting).
  if (wParam != kValidationTimer) {
    bHandled = FALSE;
    return 0;
  }
  KillTimer(kValidationTimer);
  if (!Validate(true)) {
    SelectAllText();
  }
  // A listener may destroy this control: nothing is touched after the broadcast.
  NotifyTextChanged();
  return 0;
}

LRESULT WCTL_EditText::OnUpdate(WORD, WORD, HWND control, BOOL&) {
  if (control != m_hWnd) {
    return 1;
  }
  if (m_SettingText) {
    return 0;
  }
  USTR_String const text = ControlText();
  if (KeyFilter().IsTextAllowed(text.data(), static_cast<unsigned long>(text.size()))) {
    AcceptCurrentText();
    return 0;
  }
  if (!m_Pasting || !KeepAllowedPaste(text)) {
    RestoreAccepted();
  }
  RejectKey();
  return 0;
}
