// The document window of one sheet. (Placeholder until it is built: the nib window, holding its
// sheet, titled with the job and shown; it records the calls made on it.)
#pragma once

#include "IMPN/IMPN_SheetReference.h"
#include "PPXA/PPXA_Window.h"

class MKRX_SheetWindow : public PPXA::Window {
public:
  // Loads the window without showing it; throws PPx::OSError when the nib window cannot be made.
  MKRX_SheetWindow();

  // Takes a reference to the sheet, titles the window and shows it.
  void Initialize(IMPN_Sheet* sheet);
  void RefreshDefaultInks();
  IMPN_Sheet* GetSheet() const { return m_Sheet.Get(); }

  // The sheet window of a WindowRef; null for null and for other windows.
  static MKRX_SheetWindow* GetObject(WindowRef window);

  const char* ClassName() const override { return "MKRX_SheetWindow"; }

protected:
  // Leaves the manager's set, then goes as every nib window does.
  OSStatus DoWindowClose(PPx::SysCarbonEvent& event, WindowRef window) override;

private:
  IMPN_SheetReference m_Sheet;
};
