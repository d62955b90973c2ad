#include "WCTL/WCTL_PushButton.h"

#include "UCTL/UCTL_Messages.h"

LRESULT WCTL_PushButton::OnClicked(WORD, WORD, HWND control, BOOL&) {
  if (control != m_hWnd) {
    return 1;
  }
  // A listener may destroy this button: nothing is touched after the broadcast.
  BroadcastMessage(UCTL_ControlClickedMessage(ControlID(), WCTL_GetModifierKeys()));
  return 0;
}
