#include "WKRX/WKRX_PreferencesDialog.h"

WKRX_PreferencesDialog::WKRX_PreferencesDialog(UINT titleId, UINT startPage, HWND owner)
    : WTL::CPropertySheetImpl<WKRX_PreferencesDialog>(titleId, startPage, owner) {
  m_psh.dwFlags |= PSH_USECALLBACK | PSH_NOAPPLYNOW;
}
