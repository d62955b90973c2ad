// The preferences dialog: a property sheet without an Apply button, centred over its owner when
// it first shows. The Preferences command adds the sheet-view, navigation and measurement pages
// in this order; each is a WKRX_PreferencePageImpl.
#pragma once

#include "WKRX/WKRX_Preferences.h"

#include <windows.h>

#include <atlbase.h>
#include <atldlgs.h>
#include <atlwin.h>

class WKRX_PreferencesDialog : public WTL::CPropertySheetImpl<WKRX_PreferencesDialog> {
public:
  // titleId: a string of the resource instance; startPage: the index of the page shown first.
  WKRX_PreferencesDialog(UINT titleId, UINT startPage, HWND owner);

  BEGIN_MSG_MAP(WKRX_PreferencesDialog)
  CHAIN_MSG_MAP(WTL::CPropertySheetImpl<WKRX_PreferencesDialog>)
  END_MSG_MAP()
};

// A page of the preferences dialog. On OK it puts its controls' values into the preferences
// (T::ApplyValues) and saves the whole store, so that what a page set is kept even when a later
// page's apply fails.
template <class T>
class WKRX_PreferencePageImpl : public WTL::CPropertyPageImpl<T> {
public:
  explicit WKRX_PreferencePageImpl(ATL::_U_STRINGorID title = static_cast<LPCWSTR>(nullptr))
      : WTL::CPropertyPageImpl<T>(title) {}

  BOOL OnApply() {
    static_cast<T*>(this)->ApplyValues();
    WKRX_Preferences::SavePreferences();
    WKRX_Preferences::ApplyDefaultSpotColor();
    return TRUE;
  }
};
