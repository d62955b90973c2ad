#include "MKRX/MKRX_SheetWindow.h"

#include "MKRX/MKRX_SheetWindowManager.h"
#include "MKRX/iMKRX_PlaceholderLog.h"
#include "PPXA/iPPXA_CFHolder.h"

#include <Carbon/TextCommon.h>
#include <PPx/PPxExceptions.h>

MKRX_SheetWindow::MKRX_SheetWindow() {
  PPx::ThrowIfOSStatus(PPXA::Window::Initialize(CFSTR("MKRX_Resources"), CFSTR("SheetWindow")),
                       "the sheet window's nib window did not load");
}

void MKRX_SheetWindow::Initialize(IMPN_Sheet* sheet) {
  iMKRX_PlaceholderLog::Record("MKRX_SheetWindow::Initialize");
  m_Sheet = IMPN_SheetReference(sheet);
  if (sheet != nullptr) {
    PPXA::iPPXA_CFHolder<CFStringRef> const title(CFStringCreateWithCString(
        nullptr, sheet->GetTitle().c_str(), GetApplicationTextEncoding()));
    if (title.Get())
      SetTitle(title.Get());
  }
  Show();
}

void MKRX_SheetWindow::RefreshDefaultInks() {
  iMKRX_PlaceholderLog::Record("MKRX_SheetWindow::RefreshDefaultInks");
}

MKRX_SheetWindow* MKRX_SheetWindow::GetObject(WindowRef window) {
  return dynamic_cast<MKRX_SheetWindow*>(PPXA::Window::GetWindowObject(window));
}

OSStatus MKRX_SheetWindow::DoWindowClose(PPx::SysCarbonEvent& event, WindowRef window) {
  MKRX_SheetWindowManager::RemoveWindow(this);
  return PPXA::Window::DoWindowClose(event, window);
}
