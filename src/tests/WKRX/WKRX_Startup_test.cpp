#include "WKRX/WKRX_Startup.h"

#include "CKRX/CKRX_FormatNumber.h"
#include "GLIB/GLIB_Exception.h"
#include "IMPN/IMPN_Ink.h"
#include "IMPN/IMPN_Preferences.h"
#include "UWIN/UWIN_SingleInstance.h"
#include "USTR/USTR_LocalizedString.h"
#include "WKRX/WKRX_Application.h"
#include "support/WKRX_ShellTest.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct LibraryCase {
  const wchar_t* m_Language;
  const wchar_t* m_Country;
  const wchar_t* m_File;
};

class WKRXStartupLanguage : public testing::TestWithParam<LibraryCase> {};

TEST_P(WKRXStartupLanguage, NamesTheLibraryOfTheUsersLanguage) {
  EXPECT_EQ(WKRX_Startup::LanguageLibraryName(GetParam().m_Language, GetParam().m_Country),
            GLIB_WString(GetParam().m_File));
}

INSTANTIATE_TEST_SUITE_P(Locales, WKRXStartupLanguage,
                         testing::Values(LibraryCase{L"de", L"DE", L"HalvorenKRX_de.dll"},
                                         LibraryCase{L"DE", L"AT", L"HalvorenKRX_de.dll"},
                                         LibraryCase{L"es", L"ES", L"HalvorenKRX_es.dll"},
                                         LibraryCase{L"fr", L"CA", L"HalvorenKRX_fr.dll"},
                                         LibraryCase{L"it", L"IT", L"HalvorenKRX_it.dll"},
                                         LibraryCase{L"ja", L"JP", L"HalvorenKRX_ja.dll"},
                                         LibraryCase{L"ru", L"RU", L"HalvorenKRX_ru.dll"},
                                         LibraryCase{L"zh", L"CN", L"HalvorenKRX_zh_CN.dll"},
                                         LibraryCase{L"zh", L"cn", L"HalvorenKRX_zh_CN.dll"},
                                         LibraryCase{L"zh", L"TW", L""},
                                         LibraryCase{L"en", L"US", L""},
                                         LibraryCase{L"nl", L"NL", L""}));

std::vector<std::wstring> UnitNames() {
  CKRX_FormatNumber format;
  std::vector<std::wstring> names;
  for (const USTR_String& name : CKRX_FormatNumber::sm_UnitNameAbbrev)
    names.push_back(USTR_UStringToWString(name));
  return names;
}

const std::vector<std::wstring> kEnglishUnits = {L"pt", L"p", L"in", L"mm", L"cm"};

class WKRXStartup : public WKRX_ShellTest {
protected:
  void TearDown() override {
    // Back to the program's own texts and abbreviations.
    WKRX_Startup::Module().SetResourceInstance(nullptr);
    m_Language = L"en";
    WKRX_Startup::LoadLanguageResources(m_Folder.Path());
    WKRX_ShellTest::TearDown();
  }

  void PlaceTestLanguageAs(const std::wstring& name) {
    const std::wstring built = WKRX_ProgramFolder() + L"WKRX_TestLanguage.dll";
    ASSERT_TRUE(CopyFileW(built.c_str(), m_Folder.File(name).c_str(), FALSE)) << GetLastError();
  }

  WKRX_TestFolder m_Folder;
};

TEST_F(WKRXStartup, TheLibraryOfTheUsersLanguageReplacesTheTextsAndUnitNames) {
  PlaceTestLanguageAs(L"HalvorenKRX_de.dll");
  m_Language = L"de";
  m_Country = L"DE";
  const HMODULE library = WKRX_Startup::LoadLanguageResources(m_Folder.Path());
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(WKRX_Startup::Module().GetResourceInstance(), library);
  EXPECT_EQ(iUSTR_GetLocalizedWString(10003), GLIB_WString(L"Halvoren KRX (de) - "));
  // What the library lacks still reads in English.
  EXPECT_EQ(iUSTR_GetLocalizedWString(10098), GLIB_WString(L"Incompatible OS Version"));
  EXPECT_EQ(UnitNames(),
            (std::vector<std::wstring>{L"Pkt", L"P", L"Zoll", L"Millim.", L"Zentim."}));
}

TEST_F(WKRXStartup, ABrokenLibraryLeavesTheProgramInEnglish) {
  m_Folder.Write(L"HalvorenKRX_de.dll", "MZ but nothing a loader could use");
  m_Language = L"de";
  EXPECT_EQ(WKRX_Startup::LoadLanguageResources(m_Folder.Path()), nullptr);
  EXPECT_EQ(WKRX_Startup::Module().GetResourceInstance(), GetModuleHandleW(nullptr));
  EXPECT_EQ(UnitNames(), kEnglishUnits);
}

// Only the program's folder is searched, never the current one.
TEST_F(WKRXStartup, ALibraryInTheCurrentFolderIsNotTaken) {
  PlaceTestLanguageAs(L"HalvorenKRX_de.dll");
  WKRX_TestFolder programFolder;
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  SetCurrentDirectoryW(m_Folder.Path().c_str());
  m_Language = L"de";
  const HMODULE library = WKRX_Startup::LoadLanguageResources(programFolder.Path());
  SetCurrentDirectoryW(previous);
  EXPECT_EQ(library, nullptr);
}

TEST_F(WKRXStartup, WithoutALanguageNameNothingIsSetNotEvenTheUnitNames) {
  CKRX_FormatNumber format;
  format.SetString(kIMPN_Points, USTR_WStringToUString(L"points?"));
  m_Language.clear();
  EXPECT_EQ(WKRX_Startup::LoadLanguageResources(m_Folder.Path()), nullptr);
  EXPECT_EQ(UnitNames()[0], L"points?");
}

TEST_F(WKRXStartup, AnOldSystemGetsOneErrorBoxAndNoWindow) {
  m_SystemQualifies = false;
  EXPECT_EQ(WKRX_Startup::Run(), 0);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, GLIB_WString(L"Halvoren KRX - Incompatible OS Version"));
  EXPECT_EQ(Boxes()[0].text,
            GLIB_WString(L"Sorry, Halvoren Orvendal 3.0 requires Windows 2000 SP1 or later.\r\n"
                         L"Please upgrade your operating system and restart this application."));
  EXPECT_EQ(Boxes()[0].flags, static_cast<UINT>(MB_ICONERROR));
  EXPECT_TRUE(m_HelpCommands.empty());
}

// Another instance holds the mutex but has no window yet: the arguments are lost, silently.
TEST_F(WKRXStartup, ASecondStartEndsWithoutAWordWhenTheFirstHasNoWindow) {
  UWIN_SingleInstance first(WKRX_InstanceNames::MutexName().c_str());
  ASSERT_FALSE(first.IsAlreadyRunning());
  EXPECT_EQ(WKRX_Startup::Run(), 0);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(m_HelpCommands.empty());
}

struct ThrowCase {
  const char* m_Name;
  void (*m_Throw)();
  const wchar_t* m_Text;
};

class WKRXStartupThrow : public WKRXStartup, public testing::WithParamInterface<ThrowCase> {};

TEST_P(WKRXStartupThrow, AnErrorWhileStartingIsShownAndTheProgramEndsInOrder) {
  WKRX_Startup::Steps steps = WKRX_Startup::Steps::Program();
  steps.loadColorDatabases = GetParam().m_Throw;
  EXPECT_EQ(WKRX_Startup::Run(steps), 0);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, GLIB_WString(L"Halvoren KRX - An application error has occurred."));
  EXPECT_EQ(Boxes()[0].text, GLIB_WString(GetParam().m_Text) + L"\r\n");
  EXPECT_EQ(Boxes()[0].flags, static_cast<UINT>(MB_ICONWARNING));
  EXPECT_EQ(FindWindowW(WKRX_InstanceNames::WindowClass().c_str(), nullptr), nullptr);
  EXPECT_EQ(m_HelpCommands, (std::vector<UINT>{0x1C, 0x1D}));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, WKRXStartupThrow,
    testing::Values(ThrowCase{"glib",
                              [] {
                                throw GLIB_Exception(1158006, L"No folder here", __FILE__,
                                                     __LINE__);
                              },
                              L"No folder here"},
                    ThrowCase{"std", [] { throw std::runtime_error("disk gone"); }, L"disk gone"},
                    ThrowCase{"other", [] { throw 42; }, L"..."}));

// The whole run: the splash ends, the empty window opens, Exit ends the loop with 0.
TEST_F(WKRXStartup, ARunEndsWithTheLoopsCodeAfterExit) {
  WKRX_Startup::Steps steps = WKRX_Startup::Steps::Program();
  steps.loadColorDatabases = [] {
    const HWND application = FindWindowW(WKRX_InstanceNames::WindowClass().c_str(),
                                         WKRX_InstanceNames::WindowTitle().c_str());
    PostMessageW(application, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(application, WKRX_WM_QUIT, 0, 0);
  };
  IMPN_Ink::sm_DefaultColor = IMPN_RGBColor8(1, 2, 3);
  EXPECT_EQ(WKRX_Startup::Run(steps), 0);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_GT(StoredPreferenceCount(), 0);
  // Inks without a colour take the loaded default spot colour.
  EXPECT_TRUE(IMPN_Ink::sm_DefaultColor == IMPN_Preferences::sm_DefaultSpotColor);
  EXPECT_EQ(m_HelpCommands, (std::vector<UINT>{0x1C, 0x1D}));
  EXPECT_EQ(WKRX_Startup::Module().GetMessageLoop(), nullptr);
}

}  // namespace
