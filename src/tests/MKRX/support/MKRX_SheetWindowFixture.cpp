#include "support/MKRX_SheetWindowFixture.h"

#include "GFIL/mac/GFIL_FileSpecMacOS.h"
#include "IMPN/IMPN_Registry.h"
#include "MKRX/MKRX_SheetWindow.h"
#include "MKRX/MKRX_SheetWindowManager.h"
#include "MKRX/iMKRX_PlaceholderLog.h"
#include "PreviewFileWriter.h"

#include <Carbon/Carbon.h>
#include <HIToolbox/StandInScript.h>

void MKRX_SheetWindowFixture::SetUp() {
  MKRX_Fixture::SetUp();
  m_Application = std::make_unique<MKRX_Application>();
  m_Application->Initialize();
  iMKRX_PlaceholderLog::Clear();
}

void MKRX_SheetWindowFixture::TearDown() {
  MKRX_Fixture::TearDown();
  m_Application.reset();
}

IMPN_Sheet* MKRX_SheetWindowFixture::MakeSheet(MKRX_SheetSpec const& spec) {
  PreviewFixture::PreviewFile file = PreviewFixture::PreviewFile::Make(1024, 1024, 8);
  file.job.title = spec.title;
  file.job.surface = spec.surface;
  PreviewFixture::Page page;
  page.position = {100, 100, 899, 899};
  page.bleed = {90, 90, 909, 909};
  page.maxBleed = page.bleed;
  if (spec.typeSafety)
    page.typeSafety = PreviewFixture::Edges{120, 120, 879, 879};
  if (spec.clipPaths)
    page.clipPaths = {{{100, 100}, {899, 100}, {899, 899}}};
  file.job.pages = {page};
  if (spec.versions)
    file.job.versions = std::vector<std::string>{"English"};
  static int written = 0;
  std::string const path =
      (FilesFolder() / ("sheet" + std::to_string(++written) + ".krx")).string();
  PreviewFixture::Write(path, file);
  FSRef ref;
  EXPECT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr));
  GFIL_FileSpecVector files{GFIL_FileSpecMacOS(ref)};
  IMPN_Registry registry;
  EXPECT_EQ(1, registry.RegisterFiles(files, false));
  std::vector<IMPN_Sheet*> sheets;
  registry.GetAllSheets(sheets);
  EXPECT_EQ(1u, sheets.size());
  return sheets.empty() ? nullptr : sheets.front();
}

MKRX_SheetWindow* MKRX_SheetWindowFixture::OpenWindow(MKRX_SheetSpec const& spec) {
  return MKRX_SheetWindowManager::CreateSheetWindow(MakeSheet(spec));
}

namespace {

OSStatus SendCommandEvent(WindowRef window, UInt32 command, UInt32 kind) {
  EventRef event = nullptr;
  if (OSStatus status = CreateEvent(nullptr, kEventClassCommand, kind, 0, 0, &event))
    return status;
  HICommand hiCommand = {};
  hiCommand.commandID = command;
  SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof hiCommand, &hiCommand);
  OSStatus const status =
      SendEventToEventTarget(event, GetWindowEventTarget(window ? window : GetUserFocusWindow()));
  ReleaseEvent(event);
  return status;
}

}  // namespace

OSStatus MKRX_SheetWindowFixture::SendCommand(WindowRef window, UInt32 command) {
  return SendCommandEvent(window, command, kEventCommandProcess);
}

OSStatus MKRX_SheetWindowFixture::SendUpdateStatus(WindowRef window, UInt32 command) {
  return SendCommandEvent(window, command, kEventCommandUpdateStatus);
}

MKRX_MenuItemState MKRX_SheetWindowFixture::MenuItem(UInt32 command) {
  MKRX_MenuItemState state;
  MenuRef menu = nullptr;
  MenuItemIndex item = 0;
  if (GetIndMenuItemWithCommandID(nullptr, command, 1, &menu, &item) != noErr) {
    ADD_FAILURE() << "no menu item for " << command;
    return state;
  }
  StandIn_OpenMenu(menu);
  state.enabled = IsMenuItemEnabled(menu, item);
  GetItemMark(menu, item, &state.mark);
  CFStringRef text = nullptr;
  CopyMenuItemTextAsCFString(menu, item, &text);
  state.text = MKRX_Text(text);
  if (text)
    CFRelease(text);
  return state;
}

std::string MKRX_SheetWindowFixture::Title(WindowRef window) {
  CFStringRef title = nullptr;
  CopyWindowTitleAsCFString(window, &title);
  std::string const text = MKRX_Text(title);
  if (title)
    CFRelease(title);
  return text;
}

void MKRX_SheetWindowFixture::Tick(int ticks) {
  for (int i = 0; i < ticks; ++i)
    StandIn_AdvanceClock(0.0051);
}
