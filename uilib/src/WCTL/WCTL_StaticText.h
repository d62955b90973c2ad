#pragma once
// A static text of a dialog.

#include <windows.h>
#include <atlbase.h>
#include <atlwin.h>
#include <atlctrls.h>

#include "UCTL/UCTL_Control.h"
#include "WCTL/WCTL_Control.h"

class WCTL_StaticText : public WCTL_Control,
                        public UCTL_StaticText,
                        public CWindowImpl<WCTL_StaticText, CStatic> {
public:
  void SetControlText(USTR_String const& text) override;
  USTR_String ControlText() const override;

  BEGIN_MSG_MAP(WCTL_StaticText)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

protected:
  HWND ControlWindow() const override { return m_hWnd; }
};
