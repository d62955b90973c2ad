#include "WKRX/WKRX_Startup.h"

#include "CKRX/CKRX_FormatNumber.h"
#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_StringUtils.h"
#include "UWIN/UWIN_SingleInstance.h"
#include "USTR/USTR_LocalizedString.h"
#include "WKRX/WKRX_Application.h"
#include "WKRX/WKRX_CommandIds.h"
#include "WKRX/WKRX_HtmlHelp.h"
#include "WKRX/WKRX_MessageDialog.h"
#include "WKRX/WKRX_Preferences.h"
#include "WKRX/WKRX_System.h"

#include <objidl.h>
#include <gdiplus.h>
#include <commctrl.h>

#include <exception>

namespace {

constexpr DWORD kForwardPause = 100;
constexpr int kForwardTries = 10;
// List view, tree view, bars, tabs, up-down, progress, hot-key, animate, extended combo box,
// cool bar, pager and native font classes.
constexpr DWORD kCommonControlClasses = 0x36FF;

struct LanguageLibrary {
  const wchar_t* language;
  const wchar_t* file;
};

constexpr LanguageLibrary kLanguageLibraries[] = {
    {L"de", L"HalvorenKRX_de.dll"}, {L"es", L"HalvorenKRX_es.dll"}, {L"fr", L"HalvorenKRX_fr.dll"},
    {L"it", L"HalvorenKRX_it.dll"}, {L"ja", L"HalvorenKRX_ja.dll"}, {L"ru", L"HalvorenKRX_ru.dll"}};

// The registration of the thread's message loop with the module, for as long as a run lasts.
class LoopRegistration {
public:
  explicit LoopRegistration(WTL::CMessageLoop* loop) {
    WKRX_Startup::Module().AddMessageLoop(loop);
  }
  ~LoopRegistration() { WKRX_Startup::Module().RemoveMessageLoop(); }
  LoopRegistration(const LoopRegistration&) = delete;
  LoopRegistration& operator=(const LoopRegistration&) = delete;
};

// The help viewer and GDI+, started for the run and ended in reverse order.
class ViewerServices {
public:
  ViewerServices() {
    WKRX_HtmlHelp::Call(nullptr, nullptr, WKRX_HtmlHelp::kInitialize,
                        reinterpret_cast<DWORD_PTR>(&m_HelpCookie));
    Gdiplus::GdiplusStartupInput input;
    m_GdiplusStarted = Gdiplus::GdiplusStartup(&m_GdiplusToken, &input, nullptr) == Gdiplus::Ok;
  }
  ~ViewerServices() {
    if (m_GdiplusStarted)
      Gdiplus::GdiplusShutdown(m_GdiplusToken);
    WKRX_HtmlHelp::Call(nullptr, nullptr, WKRX_HtmlHelp::kUninitialize, m_HelpCookie);
  }
  ViewerServices(const ViewerServices&) = delete;
  ViewerServices& operator=(const ViewerServices&) = delete;

private:
  DWORD_PTR m_HelpCookie = 0;
  ULONG_PTR m_GdiplusToken = 0;
  bool m_GdiplusStarted = false;
};

void ShowApplicationError(const GLIB_WString& message) {
  WKRX_MessageDialog::ShowWarning(iUSTR_GetLocalizedWString(WKRX_Ids::kTextApplicationError),
                                  message, GLIB_WString());
}

// The program's own command line, handed to its window as a later start would hand over its
// own.
void HandOverOwnCommandLine(HWND application) {
  const GLIB_WString commandLine = WKRX_System::Current().commandLine();
  COPYDATASTRUCT data = {};
  data.dwData = WKRX_Ids::kCopyDataCommandLine;
  data.cbData = static_cast<DWORD>((commandLine.length() + 1) * sizeof(wchar_t));
  data.lpData = const_cast<wchar_t*>(commandLine.c_str());
  SendMessageW(application, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

}  // namespace

WKRX_Startup::Steps WKRX_Startup::Steps::Program() {
  return {&WKRX_Application::LoadColorDatabases, WKRX_Ids::kSplashImage};
}

WTL::CAppModule& WKRX_Startup::Module() {
  static WTL::CAppModule module;
  return module;
}

int WKRX_Startup::ProgramMain(HINSTANCE instance) {
  // OLE rather than plain COM: the sheet views register as drop targets.
  const HRESULT ole = OleInitialize(nullptr);
  // One call into the window manager before the common controls register their classes.
  DefWindowProcW(nullptr, 0, 0, 0);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), kCommonControlClasses};
  InitCommonControlsEx(&controls);
  Module().Init(nullptr, instance);
  const int result = Run();
  Module().Term();
  if (SUCCEEDED(ole))
    OleUninitialize();
  return result;
}

int WKRX_Startup::Run(const Steps& steps) {
  WTL::CMessageLoop loop;
  const LoopRegistration registration(&loop);
  LoadLanguageResources(WKRX_ProgramFolder());

  UWIN_SingleInstance instance(WKRX_InstanceNames::MutexName().c_str());
  if (instance.IsAlreadyRunning()) {
    UWIN_SingleInstance::ForwardCommandLine(
        WKRX_InstanceNames::WindowClass().c_str(), WKRX_InstanceNames::WindowTitle().c_str(),
        WKRX_Ids::kCopyDataCommandLine, kForwardPause, kForwardTries);
    return 0;
  }
  if (!CheckWindowsVersion()) {
    WKRX_MessageDialog::ShowErrorById(WKRX_Ids::kTextIncompatibleSystem, WKRX_Ids::kTextOldSystem,
                                      WKRX_Ids::kTextUpgradeSystem);
    return 0;
  }

  const ViewerServices services;
  try {
    WKRX_Application application(steps.splashId);
    // Without its window the program could never be reached or ended.
    if (!application.IsWindow())
      return 0;
    steps.loadColorDatabases();
    WKRX_Preferences::LoadPreferences();
    WKRX_Preferences::ApplyDefaultSpotColor();
    HandOverOwnCommandLine(application.m_hWnd);
    return loop.Run();
  } catch (const GLIB_Exception& error) {
    ShowApplicationError(error.message());
  } catch (const std::exception& error) {
    ShowApplicationError(GLIB_NToWString(error.what()));
  } catch (...) {
    ShowApplicationError(L"...");
  }
  return 0;
}

GLIB_WString WKRX_Startup::LanguageLibraryName(const GLIB_WString& language,
                                               const GLIB_WString& country) {
  for (const LanguageLibrary& library : kLanguageLibraries) {
    if (GLIB_stricmp(language, GLIB_WString(library.language)) == 0)
      return library.file;
  }
  if (GLIB_stricmp(language, GLIB_WString(L"zh")) == 0 &&
      GLIB_stricmp(country, GLIB_WString(L"CN")) == 0)
    return L"HalvorenKRX_zh_CN.dll";
  return GLIB_WString();
}

HMODULE WKRX_Startup::LoadLanguageResources(const GLIB_WString& folder) {
  const WKRX_System& system = WKRX_System::Current();
  GLIB_WString language;
  if (!system.localeInfo(LOCALE_SISO639LANGNAME, language))
    return nullptr;
  GLIB_WString country;
  system.localeInfo(LOCALE_SISO3166CTRYNAME, country);

  HMODULE library = nullptr;
  const GLIB_WString name = LanguageLibraryName(language, country);
  if (!name.empty()) {
    // By full path: a library of that name in the current folder is never taken.
    library = LoadLibraryExW((folder + name).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (library != nullptr)
      Module().SetResourceInstance(library);
  }

  CKRX_FormatNumber format;
  const struct {
    IMPN_Units units;
    UINT text;
  } abbreviations[] = {{kIMPN_Points, WKRX_Ids::kTextUnitPoints},
                       {kIMPN_Picas, WKRX_Ids::kTextUnitPicas},
                       {kIMPN_Inches, WKRX_Ids::kTextUnitInches},
                       {kIMPN_Millimeters, WKRX_Ids::kTextUnitMillimetres},
                       {kIMPN_Centimeters, WKRX_Ids::kTextUnitCentimetres}};
  for (const auto& abbreviation : abbreviations)
    format.SetString(abbreviation.units, iUSTR_GetLocalizedString(abbreviation.text));
  return library;
}

bool WKRX_Startup::CheckWindowsVersion() {
  return WKRX_System::Current().windowsVersionQualifies();
}
