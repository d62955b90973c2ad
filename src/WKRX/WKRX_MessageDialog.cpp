#include "WKRX/WKRX_MessageDialog.h"

#include "USTR/USTR_LocalizedString.h"

#include <utility>

namespace {

constexpr UINT kProgramNameId = 10002;
constexpr UINT kCaptionPrefixId = 10003;

WKRX_MessageBoxHandler& Handler() {
  static WKRX_MessageBoxHandler handler;
  return handler;
}

GLIB_WString Localized(UINT id) {
  return id != 0 ? iUSTR_GetLocalizedWString(id) : GLIB_WString();
}

}  // namespace

WKRX_MessageDialog::WKRX_MessageDialog(const GLIB_WString& title, const GLIB_WString& message,
                                       HWND owner, UINT flags)
    : m_Title(title),
      m_Message(message),
      m_Owner(owner),
      m_Flags(flags) {}

int WKRX_MessageDialog::DoModal() const {
  return Present({m_Owner, m_Message, Localized(kProgramNameId) + m_Title, m_Flags});
}

int WKRX_MessageDialog::Show(const GLIB_WString& title, const GLIB_WString& message,
                             const GLIB_WString& detail, HWND owner, UINT flags) {
  return Present({owner, message + L"\r\n" + detail, Localized(kCaptionPrefixId) + title, flags});
}

int WKRX_MessageDialog::ShowById(UINT titleId, UINT messageId, UINT detailId, HWND owner,
                                 UINT flags) {
  return Show(Localized(titleId), Localized(messageId), Localized(detailId), owner, flags);
}

int WKRX_MessageDialog::ShowInformation(const GLIB_WString& title, const GLIB_WString& message,
                                        const GLIB_WString& detail, HWND owner, UINT flags) {
  return Show(title, message, detail, owner, flags | MB_ICONINFORMATION);
}

int WKRX_MessageDialog::ShowInformationById(UINT titleId, UINT messageId, UINT detailId, HWND owner,
                                            UINT flags) {
  return ShowById(titleId, messageId, detailId, owner, flags | MB_ICONINFORMATION);
}

int WKRX_MessageDialog::ShowWarning(const GLIB_WString& title, const GLIB_WString& message,
                                    const GLIB_WString& detail, HWND owner, UINT flags) {
  return Show(title, message, detail, owner, flags | MB_ICONWARNING);
}

int WKRX_MessageDialog::ShowWarningById(UINT titleId, UINT messageId, UINT detailId, HWND owner,
                                        UINT flags) {
  return ShowById(titleId, messageId, detailId, owner, flags | MB_ICONWARNING);
}

int WKRX_MessageDialog::ShowError(const GLIB_WString& title, const GLIB_WString& message,
                                  const GLIB_WString& detail, HWND owner, UINT flags) {
  return Show(title, message, detail, owner, flags | MB_ICONERROR);
}

int WKRX_MessageDialog::ShowErrorById(UINT titleId, UINT messageId, UINT detailId, HWND owner,
                                      UINT flags) {
  return ShowById(titleId, messageId, detailId, owner, flags | MB_ICONERROR);
}

WKRX_MessageBoxHandler WKRX_MessageDialog::ReplaceMessageBox(WKRX_MessageBoxHandler handler) {
  return std::exchange(Handler(), std::move(handler));
}

int WKRX_MessageDialog::Present(const WKRX_MessageBoxCall& call) {
  if (Handler())
    return Handler()(call);
  return MessageBoxExW(call.owner, call.text.c_str(), call.caption.c_str(), call.flags, 0);
}
