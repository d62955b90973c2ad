// Specs from UTF-8 paths, against a temporary folder of the host (both flavours).
#include "GFIL/GFIL_Utils.h"
#include "support/GFIL_TestFolder.h"
#include "support/GFIL_Thrown.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

char const kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

TEST(GFIL_SpecFromUTF8Path, NamesTheSameFileAsTheWidePath) {
  GFIL_TestFolder folder;
  // Plain ASCII, two-byte and three-byte sequences.
  struct Case {
    char const* utf8;
    wchar_t const* wide;
  } const cases[] = {{"plain.tif", L"plain.tif"},
                     {"Kunde \xC3\xA9t\xC3\xA9.tif", L"Kunde \u00E9t\u00E9.tif"},
                     {"\xE6\x97\xA5.tif", L"\u65E5.tif"}};
  for (Case const& c : cases) {
    folder.WriteFile(c.utf8, "x");
    std::string const path = folder.Path().u8string() + kSeparator + c.utf8;
    GFIL_FileSpec const spec = GFIL_SpecFromUTF8Path(path);
    EXPECT_TRUE(spec.Exists()) << path;
    GLIB_WString wide = folder.PlatformPath();
    wide += static_cast<wchar_t>(kSeparator);
    EXPECT_TRUE(GFIL_FileSpecsEqual(spec, GFIL_SpecFromPlatformPath(wide + c.wide))) << path;
  }
}

TEST(GFIL_SpecFromUTF8Path, RefusesTextThatIsNoUTF8) {
  GFIL_TestFolder folder;
  // A lead byte without its continuation, and a code point beyond Unicode.
  for (std::string const bad : {"\xC3(.tif", "\xF4\x90\x80\x80.tif"}) {
    std::string const path = folder.Path().u8string() + kSeparator + bad;
    GFIL_Thrown const thrown = GFIL_ThrownBy([&] { GFIL_SpecFromUTF8Path(path); });
    EXPECT_EQ(thrown.code, static_cast<std::uint32_t>(GFIL_ERR_BAD_SPEC));
    // The message names the path, so that a user can tell which one was refused.
    EXPECT_NE(thrown.message.find(path), std::string::npos) << thrown.message;
  }
}

}  // namespace
