#include "support/MKRX_Fixture.h"

#include "IMPN/IMPN_ColorDBFile.h"
#include "IMPN/IMPN_ColorDatabase.h"
#include "MKRX/MKRX_ColorProfileCheck.h"
#include "MKRX/MKRX_SheetWindow.h"
#include "MKRX/MKRX_SheetWindowManager.h"
#include "MKRX/iMKRX_PlaceholderLog.h"
#include "SampleJob.h"

#include <CoreFoundation/CFPreferences.h>
#include <CoreServices/Folders.h>
#include <CoreServices/Gestalt.h>
#include <HIToolbox/Dialogs.h>
#include <HIToolbox/StandInInput.h>
#include <HIToolbox/StandInScript.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

CMError AllConversionsSucceed(CMColor&, OSType, OSType) {
  return 0;
}

constexpr OSType kSystemVersionSelector = 0x73797376;  // 'sysv'

}  // namespace

std::string MKRX_ReadResource(std::string const& relativePath) {
  std::ifstream in(std::string(MKRX_RESOURCES_DIR) + "/" + relativePath, std::ios::binary);
  EXPECT_TRUE(in.good()) << relativePath;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> MKRX_WriteSampleJob(std::filesystem::path const& folder) {
  return SampleJob::WriteAll(folder.string());
}

std::string MKRX_WriteTextFile(std::filesystem::path const& path) {
  std::ofstream(path) << "not a preview file\n";
  return path.string();
}

std::string MKRX_Text(CFStringRef text) {
  if (text == nullptr)
    return std::string();
  char buffer[1024] = {0};
  CFStringGetCString(text, buffer, sizeof buffer, kCFStringEncodingUTF8);
  return buffer;
}

void MKRX_Fixture::SetUp() {
  MakeBundle(true);
  StandIn_SetFolder(kPreferencesFolderType, m_Home.Path().c_str());
  StandIn_CFPreferencesSetCurrentApplication("com.nolt.krx.tests");
  StandIn_CFPreferencesForget();
  StandIn_EventsReset();
  StandIn_ScriptClear();
  StandIn_AlertsReset();
  StandIn_SetGestaltValue(kSystemVersionSelector, 0x1049);
  MKRX_ColorProfileCheck::SetMatchFunction(&AllConversionsSucceed);
  IMPN_ColorDatabase::sm_PantoneColorMap.clear();
  IMPN_ColorDatabase::sm_CustomColorMap.clear();
  IMPN_ColorDatabase::sm_CustomColorFilePath.clear();
  iMKRX_PlaceholderLog::Clear();
}

void MKRX_Fixture::TearDown() {
  MKRX_SheetWindowManager::CloseAll();
  StandIn_RunUntilIdle();
  StandIn_ScriptClear();
  MKRX_ColorProfileCheck::SetMatchFunction(nullptr);
  StandIn_ResetGestalt();
  StandIn_SetFolder(kPreferencesFolderType, nullptr);
  StandIn_CFPreferencesForget();
  StandIn_CFPreferencesSetCurrentApplication(nullptr);
  m_Bundle.reset();
}

void MKRX_Fixture::MakeBundle(bool withPantone) {
  m_Bundle.reset();
  m_Bundle = std::make_unique<TestBundle>(MKRX_ReadResource("en.lproj/Localizable.strings"));
  m_Bundle->AddResource("MKRX_Resources.nib", MKRX_ReadResource("MKRX_Resources.nib"));
  m_Bundle->AddResource("MKRX_Localized.nib", MKRX_ReadResource("en.lproj/MKRX_Localized.nib"));
  if (!withPantone)
    return;
  TempFolder scratch("pantone");
  std::string const path = scratch.Path() + "/db";
  IMPN_ColorDBFile(path).CreateEmptyFile();
  std::ifstream in(path, std::ios::binary);
  m_Bundle->AddResource("PantoneLE.colordb", std::string(std::istreambuf_iterator<char>(in), {}));
}

std::vector<std::string> MKRX_Fixture::SheetWindowTitles() {
  std::vector<std::string> titles;
  for (WindowRef window = GetFrontWindowOfClass(kDocumentWindowClass, false); window != nullptr;
       window = GetNextWindow(window)) {
    if (MKRX_SheetWindow::GetObject(window) == nullptr)
      continue;
    CFStringRef title = nullptr;
    CopyWindowTitleAsCFString(window, &title);
    titles.push_back(MKRX_Text(title));
    if (title)
      CFRelease(title);
  }
  return titles;
}
