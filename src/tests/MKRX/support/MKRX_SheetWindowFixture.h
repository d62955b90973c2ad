// The fixture of the sheet-window tests: a started application, sheets written by the
// preview-file writer, commands sent as the menus and toolbar send them, and the menus' and
// toolbar's states as an update-status round leaves them.
#pragma once

#include "support/MKRX_Fixture.h"

#include "IMPN/IMPN_Sheet.h"
#include "MKRX/MKRX_Application.h"

#include <HIToolbox/Menus.h>

#include <string>

// What a sheet's one separation carries.
struct MKRX_SheetSpec {
  std::string title = "Job";
  std::uint16_t surface = 0;  // sheet = surface / 2 + 1, even = front
  bool typeSafety = false;
  bool clipPaths = false;
  bool versions = false;
};

// The state of a command's first menu item after the update-status round of its menu.
struct MKRX_MenuItemState {
  bool enabled = false;
  CharParameter mark = 0;
  std::string text;
};

class MKRX_SheetWindowFixture : public MKRX_Fixture {
protected:
  void SetUp() override;
  void TearDown() override;

  // A new sheet of one 1024 x 1024 separation, the caller's until a window takes it.
  IMPN_Sheet* MakeSheet(MKRX_SheetSpec const& spec);
  // A new shown window of such a sheet.
  class MKRX_SheetWindow* OpenWindow(MKRX_SheetSpec const& spec = MKRX_SheetSpec());

  // The command event sent to the window (or, with none, the user-focus window); its result.
  static OSStatus SendCommand(WindowRef window, UInt32 command);
  // The update-status event alone, sent to the window; its result.
  static OSStatus SendUpdateStatus(WindowRef window, UInt32 command);
  // Opens the command's menu (the update-status round) and reads its item.
  static MKRX_MenuItemState MenuItem(UInt32 command);
  // The window's title as UTF-8.
  static std::string Title(WindowRef window);
  // One tick of the slides' timer (and a little more, so clock rounding cannot lose one).
  static void Tick(int ticks = 1);

  std::unique_ptr<MKRX_Application> m_Application;
};
