#pragma once
// A push button of a dialog: a click is broadcast as UCTL_ControlClickedMessage with the
// modifier keys held down.

#include <windows.h>
#include <atlbase.h>
#include <atlwin.h>
#include <atlctrls.h>

#include "UCTL/UCTL_Control.h"
#include "WCTL/WCTL_Control.h"

class WCTL_PushButton : public WCTL_Control,
                        public UCTL_PushButton,
                        public CWindowImpl<WCTL_PushButton, CButton> {
public:
  BEGIN_MSG_MAP(WCTL_PushButton)
  REFLECTED_COMMAND_CODE_HANDLER(BN_CLICKED, OnClicked)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

protected:
  HWND ControlWindow() const override { return m_hWnd; }

private:
  LRESULT OnClicked(WORD code, WORD id, HWND control, BOOL& bHandled);
};
