#include "WCTL/WCTL_StaticText.h"

#include "WCTL/WCTL_WindowText.h"

void WCTL_StaticText::SetControlText(USTR_String const& text) {
  WCTL_SetWindowText(m_hWnd, text);
  RefreshControl();
}

USTR_String WCTL_StaticText::ControlText() const {
  return WCTL_GetWindowText(m_hWnd);
}
