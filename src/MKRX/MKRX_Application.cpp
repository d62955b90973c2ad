#include "MKRX/MKRX_Application.h"

#include "CKRX/CKRX_FormatNumber.h"
#include "GFIL/mac/GFIL_FileSpecMacOS.h"
#include "IMPN/IMPN_ColorDatabase.h"
#include "IMPN/IMPN_Ink.h"
#include "IMPN/IMPN_Preferences.h"
#include "IMPN/IMPN_Registry.h"
#include "MKRX/MKRX_AboutDialog.h"
#include "MKRX/MKRX_AboutWindow.h"
#include "MKRX/MKRX_AddFileDialog.h"
#include "MKRX/MKRX_ColorDatabaseFiles.h"
#include "MKRX/MKRX_ColorProfileCheck.h"
#include "MKRX/MKRX_EditColorDialog.h"
#include "MKRX/MKRX_InkCoverageDialog.h"
#include "MKRX/MKRX_InkSwatchControl.h"
#include "MKRX/MKRX_NavServices.h"
#include "MKRX/MKRX_OriginView.h"
#include "MKRX/MKRX_PaletteManager.h"
#include "MKRX/MKRX_Preferences.h"
#include "MKRX/MKRX_PreferencesDialog.h"
#include "MKRX/MKRX_RegistryWindow.h"
#include "MKRX/MKRX_RulerView.h"
#include "MKRX/MKRX_SheetWindowManager.h"
#include "MKRX/MKRX_SplashWindow.h"
#include "MKRX/MKRX_StatusView.h"
#include "MKRX/MKRX_VersionHeaderView.h"
#include "MKRX/MKRX_VersionShoulderView.h"
#include "MKRX/iMKRX_Alert.h"
#include "PPXA/PPXA_ColorSwatch.h"
#include "PPXA/PPXA_MessageDialog.h"
#include "PPXA/PPXA_ToggleButton.h"
#include "PPXA/iPPXA_CFHolder.h"
#include "UMAC/UMAC_AutoAEDescriptor.h"
#include "UMAC/UMAC_CGImage.h"
#include "UMAC/UMAC_PlatformDetector.h"
#include "USTR/USTR_LocalizedString.h"

#include <Help/AppleHelp.h>
#include <HIServices/Icons.h>
#include <HIToolbox/Menus.h>
#include <PPx/SysNib.h>

#include <vector>

namespace {

constexpr OSType kCreator = 0x4E6C7432;  // 'Nlt2'
constexpr UInt32 kOptionKeyModifier = 0x0800;

constexpr MenuCommand kAbout = 0x61626F75;        // 'abou'
constexpr MenuCommand kColorEditor = 0x436C7245;  // 'ClrE'
constexpr MenuCommand kInkCoverage = 0x49537672;  // 'ISvr'
constexpr MenuCommand kRefreshInks = 0x496E6B53;  // 'InkS'
constexpr MenuCommand kJobBrowser = 0x534A4272;   // 'SJBr'
constexpr MenuCommand kOpen = 0x6F70656E;         // 'open'
constexpr MenuCommand kPreferences = 0x70726566;  // 'pref'
constexpr MenuCommand kQuit = 0x71756974;         // 'quit'

// The application's menu commands and whether the window each opens is built yet. A command
// whose window is still a placeholder stays disabled, so that no user reaches it.
struct ApplicationCommand {
  MenuCommand command;
  bool ready;
};
constexpr ApplicationCommand kApplicationCommands[] = {
    {kAbout, false}, {kColorEditor, false}, {kInkCoverage, false}, {kJobBrowser, false},
    {kOpen, false},  {kPreferences, false}, {kQuit, true}};

struct IconResource {
  const char* name;
  OSType type;
};

// Before 10.4 the toolbar's grouped buttons draw these registered icons.
constexpr IconResource kOlderSystemIcons[] = {
    {"ShowHideRulers", 0x56526C72},           // 'VRlr'
    {"ShowHideGuides", 0x56476964},           // 'VGid'
    {"ShowHideEdgeInformation", 0x53484564},  // 'SHEd'
    {"PressSheetEdge", 0x53456467},           // 'SEdg'
    {"BleedEdges", 0x42456467},               // 'BEdg'
    {"PageEdges", 0x50456467},                // 'PEdg'
    {"PageNumbers", 0x504E756D},              // 'PNum'
    {"TypeSafetyEdges", 0x54795366},          // 'TySf'
};

// The sheet's icon is drawn from "Surface" and the surface's from "SourceFile".
constexpr IconResource kIcons[] = {
    {"Job", 0x496D706E},                    // 'Impn'
    {"Signature", 0x5369676E},              // 'Sign'
    {"Surface", 0x53686574},                // 'Shet'
    {"SourceFile", 0x53757266},             // 'Surf'
    {"Separation", 0x5365706E},             // 'Sepn'
    {"WSSingleSided", 0x536E676C},          // 'Sngl'
    {"WSSheetWise", 0x53687457},            // 'ShtW'
    {"WSPerfector", 0x50657266},            // 'Perf'
    {"WSWorkNTurn", 0x5754726E},            // 'WTrn'
    {"WSWorkNTumble", 0x57546D62},          // 'WTmb'
    {"PageOrientationUp", 0x50675570},      // 'PgUp'
    {"PageOrientationDown", 0x5067446E},    // 'PgDn'
    {"PageOrientationLeft", 0x50674C66},    // 'PgLf'
    {"PageOrientationRight", 0x50675274},   // 'PgRt'
    {"InkOpaque", 0x496F7071},              // 'Iopq'
    {"InkOpaquePressed", 0x496F7070},       // 'Iopp'
    {"InkTransparent", 0x49747071},         // 'Itpq'
    {"InkTransparentPressed", 0x49747070},  // 'Itpp'
    {"UnknownInk", 0x3F496E6B},             // '?Ink'
    {"Info", 0x496E666F},                   // 'Info'
    {"Swap", 0x53776170},                   // 'Swap'
};

using StringHolder = PPXA::iPPXA_CFHolder<CFStringRef>;
using URLHolder = PPXA::iPPXA_CFHolder<CFURLRef>;

StringHolder NewString(const char* text) {
  return StringHolder(CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8));
}

bool IsOlderThanTiger() {
  return static_cast<SInt16>(UMAC_PlatformDetector::SystemVersion()) < 0x1040;
}

// One caution alert for an open-documents event whose files were not all taken.
void ReportIgnoredFiles(long ignored) {
  if (ignored == 1) {
    iMKRX_ShowWarningByKeys(CFSTR("CKRX_PreviewFileIgnored"), CFSTR("CKRX_PreviewFileIgnoredExp"));
  } else if (ignored > 1) {
    iMKRX_LocalizedText const format(CFSTR("CKRX_PreviewFilesIgnored"));
    StringHolder const title(
        CFStringCreateWithFormat(nullptr, nullptr, format.Get(), static_cast<int>(ignored)));
    iMKRX_LocalizedText const explanation(CFSTR("CKRX_PreviewFilesIgnoredExp"));
    PPXA::MessageDialog::ShowWarning(title.Get(), explanation.Get(), nullptr, nullptr, nullptr);
  }
}

}  // namespace

MKRX_Application::MKRX_Application() = default;

MKRX_Application::~MKRX_Application() = default;

void MKRX_Application::Initialize() {
  MKRX_Preferences::LoadPreferences();
  InitMenu();
  RegisterIcons();
  RegisterClasses();
  InstallEventHandlers();
  if (MKRX_Preferences::sm_ShowSplashScreen)
    ShowSplashScreen();
  RegisterHelpBook();
  LoadColorDatabase();
  CheckColorProfiles();
  ApplyDefaultSpotColor();
  SetupLocale();
  MKRX_PaletteManager::CreatePalettes();
}

void MKRX_Application::ApplyDefaultSpotColor() {
  IMPN_RGBColor8 const& spot = IMPN_Preferences::sm_DefaultSpotColor;
  IMPN_Ink::sm_DefaultColor = IMPN_RGBColor8(spot.red, spot.green, spot.blue);
}

void MKRX_Application::InitMenu() {
  PPx::SysNib nib;
  nib.Initialize(CFSTR("MKRX_Localized"));
  nib.SetMenuBar(CFSTR("MenuBar"));
  SetMenuIcon(0x50616E54, CFSTR("PanTool.png"));         // 'PanT'
  SetMenuIcon(0x4D657354, CFSTR("MeasureTool.png"));     // 'MesT'
  SetMenuIcon(0x5A6F6D54, CFSTR("ZoomTool.png"));        // 'ZomT'
  SetMenuIcon(0x44656E54, CFSTR("EyedropperTool.png"));  // 'DenT'
}

void MKRX_Application::SetMenuIcon(MenuCommand command, CFStringRef imageName) {
  MenuRef menu = nullptr;
  MenuItemIndex item = 0;
  if (GetIndMenuItemWithCommandID(nullptr, command, 1, &menu, &item) != noErr)
    return;
  UMAC_CGImage image;
  image.LoadPNGFromBundle(imageName);
  if (!image.IsNull())
    SetMenuItemIconHandle(menu, item, kMenuCGImageRefType, reinterpret_cast<Handle>(image.Get()));
}

void MKRX_Application::RegisterIcons() {
  if (IsOlderThanTiger())
    for (IconResource const& icon : kOlderSystemIcons)
      RegisterIcon(NewString(icon.name).Get(), icon.type);
  for (IconResource const& icon : kIcons)
    RegisterIcon(NewString(icon.name).Get(), icon.type);
}

OSStatus MKRX_Application::RegisterIcon(CFStringRef resourceName, OSType iconType) {
  URLHolder const url(
      CFBundleCopyResourceURL(CFBundleGetMainBundle(), resourceName, CFSTR("icns"), nullptr));
  FSRef file;
  if (!url.Get() || !CFURLGetFSRef(url.Get(), &file))
    return fnfErr;
  IconRef icon = nullptr;
  OSStatus const status = RegisterIconRefFromFSRef(kCreator, iconType, &file, &icon);
  if (status == noErr)
    ReleaseIconRef(icon);  // the registry keeps its own reference
  return status;
}

void MKRX_Application::RegisterClasses() {
  PPXA::ColorSwatch::Register();
  PPXA::ToggleButton::Register();
  MKRX_InkSwatchControl::Register();
  MKRX_OriginView::Register();
  MKRX_RulerView::Register();
  MKRX_StatusView::Register();
  MKRX_VersionHeaderView::Register();
  MKRX_VersionShoulderView::Register();
}

void MKRX_Application::InstallEventHandlers() {
  PPx::CommandConverter::Install(SysEventTarget());
}

void MKRX_Application::ShowSplashScreen() {
  // The splash window runs its own course; nothing keeps a pointer to it.
  iMKRX_PlaceholderWindow::KeepSelfOwned(new MKRX_SplashWindow());
}

OSStatus MKRX_Application::RegisterHelpBook() {
  URLHolder const url(CFBundleCopyBundleURL(CFBundleGetMainBundle()));
  FSRef bundle;
  if (!url.Get() || !CFURLGetFSRef(url.Get(), &bundle))
    return fnfErr;
  return AHRegisterHelpBook(&bundle);
}

void MKRX_Application::LoadColorDatabase() {
  std::string const pantone = MKRX_ColorDatabaseFiles::PantonePath();
  // Without the file the built-in process colours are all the Pantone map holds.
  IMPN_ColorDatabase::LoadPantoneColors(pantone);
  if (pantone.empty())
    iMKRX_ShowWarningByKeys(CFSTR("MKRX_PantoneMissingMsg"), CFSTR("MKRX_PantoneMissingExp"));

  std::string const user = MKRX_ColorDatabaseFiles::UserDatabasePath();
  if (!user.empty() && MKRX_ColorDatabaseFiles::OpenUserDatabase(user) ==
                           MKRX_ColorDatabaseFiles::kUserDatabaseSetAside)
    iMKRX_ShowWarningByKeys(CFSTR("MKRX_UserDatabaseUnreadableMsg"),
                            CFSTR("MKRX_UserDatabaseUnreadableExp"));
}

void MKRX_Application::CheckColorProfiles() {
  std::vector<CFStringRef> const failed = MKRX_ColorProfileCheck::FailedConversions();
  if (failed.empty())
    return;
  USTR_String text = iUSTR_GetLocalizedString(CFSTR("MKRX_InvalidICCProfileExp"));
  for (CFStringRef key : failed)
    text += iUSTR_GetLocalizedString(key);
  text.push_back('.');
  StringHolder const explanation(USTR_UStringToCFString(text));
  iMKRX_ShowWarning(CFSTR("MKRX_InvalidICCProfileMsg"), explanation.Get());
}

void MKRX_Application::SetupLocale() {
  static const char* const kUnitKeys[] = {"CKRX_pt", "CKRX_p", "CKRX_in", "CKRX_mm", "CKRX_cm"};
  CKRX_FormatNumber formatter;
  for (int unit = 0; unit < 5; ++unit)
    formatter.SetString(static_cast<IMPN_Units>(unit),
                        iUSTR_GetLocalizedString(NewString(kUnitKeys[unit]).Get()));
}

OSStatus MKRX_Application::DoCommandProcess(PPx::SysCarbonEvent& event, HICommand& command,
                                            UInt32 keyModifiers, UInt32 menuContext) {
  switch (command.commandID) {
    case kColorEditor:
      ShowColorEditorDialog();
      break;
    case kInkCoverage:
      ShowInkCoverageWindow();
      break;
    case kRefreshInks:
      MKRX_SheetWindowManager::RefreshDefaultInks();
      break;
    case kJobBrowser:
      ShowRegistryWindow();
      break;
    case kAbout:
      ShowAboutDialog(keyModifiers);
      break;
    case kOpen:
      ShowAddFilesDialog();
      break;
    case kPreferences:
      ShowPreferencesDialog();
      break;
    default:
      return PPx::CommandConverter::DoCommandProcess(event, command, keyModifiers, menuContext);
  }
  return noErr;
}

OSStatus MKRX_Application::DoCommandUpdateStatus(PPx::SysCarbonEvent& event, HICommand& command,
                                                 UInt32 menuContext) {
  for (ApplicationCommand const& known : kApplicationCommands)
    if (known.command == command.commandID) {
      PPx::EventUtils::SetMenuCommandStatus(command, known.ready);
      return noErr;
    }
  return PPx::CommandConverter::DoCommandUpdateStatus(event, command, menuContext);
}

OSStatus MKRX_Application::DoAEOpenDocuments(const AppleEvent& event, AppleEvent&) {
  UMAC_AutoAEDescriptor list;
  OSErr const status = AEGetParamDesc(&event, keyDirectObject, typeAEList, &list.Get());
  if (status != noErr)
    return status;
  long count = 0;
  AECountItems(&list.Get(), &count);

  GFIL_FileSpecVector files;
  long notFiles = 0;
  for (long index = 1; index <= count; ++index) {
    FSRef ref;
    if (AEGetNthPtr(&list.Get(), index, typeFSRef, nullptr, nullptr, &ref, sizeof ref, nullptr) ==
        noErr)
      files.push_back(GFIL_FileSpecMacOS(ref));
    else
      ++notFiles;  // an item that names no file is ignored like an invalid file
  }

  IMPN_Registry registry;
  long const accepted = registry.RegisterFiles(files, false);
  ReportIgnoredFiles(static_cast<long>(files.size()) + notFiles - accepted);

  std::vector<IMPN_Sheet*> sheets;
  registry.GetAllSheets(sheets);
  MKRX_SheetWindowManager::CreateSheetWindows(sheets);
  return noErr;
}

OSStatus MKRX_Application::DoAEQuitApplication(const AppleEvent&, AppleEvent&) {
  MKRX_PaletteManager::SavePaletteStates();
  return errAEEventNotHandled;  // the standard handling closes the windows and ends the loop
}

void MKRX_Application::ShowColorEditorDialog() {
  auto* dialog = new MKRX_EditColorDialog();
  iMKRX_PlaceholderWindow::KeepSelfOwned(dialog);
  dialog->Show();
  dialog->Select();
}

void MKRX_Application::ShowInkCoverageWindow() {
  auto* dialog = new MKRX_InkCoverageDialog();
  iMKRX_PlaceholderWindow::KeepSelfOwned(dialog);
  dialog->Show();
  dialog->Select();
}

void MKRX_Application::ShowRegistryWindow() {
  if (m_JobBrowser) {
    m_JobBrowser->Show();
    m_JobBrowser->Select();
    return;
  }
  m_JobBrowser = std::make_unique<MKRX_RegistryWindow>();
  m_JobBrowser->Show();
  m_JobBrowser->Select();
  MKRX_NavServices::ChooseFolder(m_JobBrowser->SysEventTarget(), m_JobBrowser->GetSysWindow());
}

void MKRX_Application::ShowAboutDialog(UInt32 keyModifiers) {
  if (keyModifiers & kOptionKeyModifier) {
    if (m_AboutWindow && m_AboutWindow->IsVisible())
      m_AboutWindow->Hide();
    if (!m_AboutDialog)
      m_AboutDialog = std::make_unique<MKRX_AboutDialog>();
    m_AboutDialog->Show();
    m_AboutDialog->Select();
  } else {
    if (m_AboutDialog && m_AboutDialog->IsVisible())
      m_AboutDialog->Hide();
    if (!m_AboutWindow)
      m_AboutWindow = std::make_unique<MKRX_AboutWindow>();
    m_AboutWindow->Show();
    m_AboutWindow->Select();
  }
}

void MKRX_Application::ShowAddFilesDialog() {
  auto* dialog = new MKRX_AddFileDialog();
  iMKRX_PlaceholderWindow::KeepSelfOwned(dialog);
  dialog->SetTitle(iMKRX_LocalizedText(CFSTR("CKRX_OpenSeparationFiles")).Get());
  dialog->SetSheet(nullptr);
  dialog->Show();
  dialog->Select();
}

void MKRX_Application::ShowPreferencesDialog() {
  auto* dialog = new MKRX_PreferencesDialog();
  iMKRX_PlaceholderWindow::KeepSelfOwned(dialog);
  dialog->Show();
  dialog->Select();
}
