// Every message box of the Windows program: the product's caption before the title, a detail line
// after the message. The static operations are what the program uses; the object form shows one
// message without detail under the program's name.
#pragma once

#include "GLIB/GLIB_String.h"

#include <windows.h>

#include <functional>

// What a box is asked to show.
struct WKRX_MessageBoxCall {
  HWND owner;
  GLIB_WString text;
  GLIB_WString caption;
  UINT flags;
};

// Shows a box and answers the button pressed; tests put a recorder in the system's place.
using WKRX_MessageBoxHandler = std::function<int(const WKRX_MessageBoxCall&)>;

class WKRX_MessageDialog {
public:
  WKRX_MessageDialog(const GLIB_WString& title, const GLIB_WString& message, HWND owner = nullptr,
                     UINT flags = MB_ICONINFORMATION);
  virtual ~WKRX_MessageDialog() = default;

  // Caption: the program's name followed by the title; the message alone.
  int DoModal() const;

  // Caption: "Halvoren KRX - " (string 10003) followed by the title; the text: the message, a line
  // break, the detail (the break also when the detail is empty). The flags as given.
  static int Show(const GLIB_WString& title, const GLIB_WString& message,
                  const GLIB_WString& detail, HWND owner, UINT flags);
  // The same with texts from the string table; a detail id 0 is no detail.
  static int ShowById(UINT titleId, UINT messageId, UINT detailId, HWND owner, UINT flags);

  // The same with the information, warning or error icon added to the flags.
  static int ShowInformation(const GLIB_WString& title, const GLIB_WString& message,
                             const GLIB_WString& detail, HWND owner = nullptr, UINT flags = 0);
  static int ShowInformationById(UINT titleId, UINT messageId, UINT detailId, HWND owner = nullptr,
                                 UINT flags = 0);
  static int ShowWarning(const GLIB_WString& title, const GLIB_WString& message,
                         const GLIB_WString& detail, HWND owner = nullptr, UINT flags = 0);
  static int ShowWarningById(UINT titleId, UINT messageId, UINT detailId, HWND owner = nullptr,
                             UINT flags = 0);
  static int ShowError(const GLIB_WString& title, const GLIB_WString& message,
                       const GLIB_WString& detail, HWND owner = nullptr, UINT flags = 0);
  static int ShowErrorById(UINT titleId, UINT messageId, UINT detailId, HWND owner = nullptr,
                           UINT flags = 0);

  // Puts handler in the system box's place (an empty one restores the system's) and gives back
  // the one it replaced.
  static WKRX_MessageBoxHandler ReplaceMessageBox(WKRX_MessageBoxHandler handler);

private:
  static int Present(const WKRX_MessageBoxCall& call);

  GLIB_WString m_Title;
  GLIB_WString m_Message;
  HWND m_Owner;
  UINT m_Flags;
};
