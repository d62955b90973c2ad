#include "USTR/USTR_LocalizedString.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atlbase.h>

#include <string>

#include "win/ResourceLibrary.h"

namespace {

HMODULE s_language = nullptr;

class USTR_WindowsLookup : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    s_language = LoadResourceLibraryBesideTests(L"USTR_TestLanguage.dll");
  }
  static void TearDownTestSuite() {
    if (s_language)
      ::FreeLibrary(s_language);
    s_language = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(nullptr, s_language) << "USTR_TestLanguage.dll not found beside the test program";
  }
  void TearDown() override { ATL::_AtlBaseModule.SetResourceInstance(nullptr); }

  static void UseLanguageLibrary() { ATL::_AtlBaseModule.SetResourceInstance(s_language); }
};

TEST_F(USTR_WindowsLookup, WithoutLanguageLibraryTextsAreEnglish) {
  EXPECT_EQ(GLIB_WString(L"Back"), iUSTR_GetLocalizedWString(10061));
  EXPECT_EQ(GLIB_WString(L"Front"), iUSTR_GetLocalizedWString(10070));
  EXPECT_EQ(GLIB_WString(L"Halvoren Orvendal"), iUSTR_GetLocalizedWString(128));
  EXPECT_EQ(GLIB_WString(L"X:XXX"), iUSTR_GetLocalizedWString(505));
  EXPECT_EQ(GLIB_WString(L"Common"), iUSTR_GetLocalizedWString(10222));
  // Non-ASCII texts come through as UTF-16.
  EXPECT_EQ(GLIB_WString(L"{0} \u2022 Signature {1} \u2022 Web {2} \u2022 {3}"),
            iUSTR_GetLocalizedWString(10107));
  EXPECT_EQ(USTR_String(L"Back"), iUSTR_GetLocalizedString(10061));
}

// Texts that the resource compiler could cut short or mangle: quotes, line feeds, short codes.
TEST_F(USTR_WindowsLookup, EscapedTextsComeThroughWhole) {
  struct Case {
    unsigned int id;
    const wchar_t* text;
  };
  const Case cases[] = {
      {10000, L"en"},
      {10023, L"Sorry, help is unavailable since the help file named \"%s\" cannot be found."},
      {10130, L"Open one or more preview files in a new window\nOpen Preview Files"},
      {10177, L"Rotate the sheet 90 degrees to the left (counter-clockwise)\nRotate Left"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GLIB_WString(c.text), iUSTR_GetLocalizedWString(c.id)) << c.id;
  }
}

TEST_F(USTR_WindowsLookup, MissingIdGivesMissingStringText) {
  EXPECT_EQ(GLIB_WString(L"USTR: Missing String Resource: 9999"), iUSTR_GetLocalizedWString(9999));
  UseLanguageLibrary();
  EXPECT_EQ(GLIB_WString(L"USTR: Missing String Resource: 10001"),
            iUSTR_GetLocalizedWString(10001));
}

TEST_F(USTR_WindowsLookup, LanguageLibraryComesFirst) {
  UseLanguageLibrary();
  EXPECT_EQ(GLIB_WString(L"R\u00fcckseite"), iUSTR_GetLocalizedWString(10061));
  EXPECT_EQ(GLIB_WString(L"{0} \u2022 Bogen {1} \u2022 Bahn {2} \u2022 {3}"),
            iUSTR_GetLocalizedWString(10107));
}

TEST_F(USTR_WindowsLookup, TextMissingFromTranslationReadsInEnglish) {
  UseLanguageLibrary();
  EXPECT_EQ(GLIB_WString(L"Front"), iUSTR_GetLocalizedWString(10070));
  EXPECT_EQ(GLIB_WString(L"Common"), iUSTR_GetLocalizedWString(10222));
}

TEST_F(USTR_WindowsLookup, ATextReadBeforeTheLibraryLoadsFollowsIt) {
  // Nothing is kept from the first lookup: the resource instance decides at every call.
  EXPECT_EQ(GLIB_WString(L"Back"), iUSTR_GetLocalizedWString(10061));
  UseLanguageLibrary();
  EXPECT_EQ(GLIB_WString(L"R\u00fcckseite"), iUSTR_GetLocalizedWString(10061));
  EXPECT_EQ(GLIB_WString(L"Front"), iUSTR_GetLocalizedWString(10070));
  ATL::_AtlBaseModule.SetResourceInstance(nullptr);
  EXPECT_EQ(GLIB_WString(L"Back"), iUSTR_GetLocalizedWString(10061));
}

TEST_F(USTR_WindowsLookup, LongTextIsCutTo1023Characters) {
  UseLanguageLibrary();
  GLIB_WString const text = iUSTR_GetLocalizedWString(60000);
  ASSERT_EQ(1023u, text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    ASSERT_EQ(static_cast<wchar_t>(L'0' + i % 10), text[i]) << "at " << i;
}

}  // namespace
