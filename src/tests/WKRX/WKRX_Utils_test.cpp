#include "WKRX/WKRX_Utils.h"

#include "GFIL/GFIL_Utils.h"
#include "GLIB/GLIB_String.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/DibCanvas.h"

namespace {

TEST(WKRXUtilsColor, ColorValuesAreBlueGreenRedFromTheTop) {
  EXPECT_EQ(WKRX_Utils::RGB8ToColorRef(IMPN_RGBColor8(255, 0, 0)), 0x000000FFu) << "pure red";
  EXPECT_EQ(WKRX_Utils::RGB8ToColorRef(IMPN_RGBColor8(0x12, 0x34, 0x56)), RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(WKRX_Utils::RGBA8ToColorRef(IMPN_RGBAColor8(0x12, 0x34, 0x56, 0x78)),
            RGB(0x12, 0x34, 0x56))
      << "alpha dropped";
  EXPECT_EQ(WKRX_Utils::ColorRefToRGB8(RGB(0x12, 0x34, 0x56)), IMPN_RGBColor8(0x12, 0x34, 0x56));
  EXPECT_EQ(WKRX_Utils::ColorRefToRGB8(0xFF563412u), IMPN_RGBColor8(0x12, 0x34, 0x56))
      << "the top byte is no channel";
  EXPECT_EQ(WKRX_Utils::ColorRefToRGBA8(RGB(0x12, 0x34, 0x56)),
            IMPN_RGBAColor8(0x12, 0x34, 0x56, 255));
}

TEST(WKRXUtilsColor, DarkeningHalvesEachChannelAndClearsTheTopByte) {
  EXPECT_EQ(WKRX_Utils::DarkenColorRef(0x00FFFFFFu), 0x007F7F7Fu);
  EXPECT_EQ(WKRX_Utils::DarkenColorRef(0xFF010203u), 0x00000101u)
      << "no bit crosses into the next channel";
  EXPECT_EQ(WKRX_Utils::DarkenColorRef(RGB(200, 100, 51)), RGB(100, 50, 25));
}

TEST(WKRXUtilsGeometry, RectanglesConvertBothWays) {
  const RECT win = WKRX_Utils::RectToWinRect(IMPN_RectT<long>(20, 10, 100, 50));
  EXPECT_EQ(win.left, 10);
  EXPECT_EQ(win.top, 20);
  EXPECT_EQ(win.right, 110);
  EXPECT_EQ(win.bottom, 70);
  EXPECT_EQ(WKRX_Utils::WinRectToRect(RECT{-5, 7, 15, 9}), IMPN_RectT<long>(7, -5, 20, 2));
}

TEST(WKRXUtilsGeometry, DatesCarryNoWeekdayNorMilliseconds) {
  IMPN_DateTime date;
  date.year = 2024;
  date.month = 2;
  date.day = 29;
  date.hour = 23;
  date.minute = 59;
  date.second = 58;
  const SYSTEMTIME time = WKRX_Utils::DateTimeToSystemTime(date);
  EXPECT_EQ(time.wYear, 2024);
  EXPECT_EQ(time.wMonth, 2);
  EXPECT_EQ(time.wDay, 29);
  EXPECT_EQ(time.wHour, 23);
  EXPECT_EQ(time.wMinute, 59);
  EXPECT_EQ(time.wSecond, 58);
  EXPECT_EQ(time.wDayOfWeek, 0);
  EXPECT_EQ(time.wMilliseconds, 0);
}

TEST(WKRXUtilsGeometry, CheckStatesMapToStateImages) {
  EXPECT_EQ(WKRX_Utils::CheckStateToStateImage(1), 2);
  EXPECT_EQ(WKRX_Utils::CheckStateToStateImage(2), 3);
  for (int other : {0, 3, -1, 1000})
    EXPECT_EQ(WKRX_Utils::CheckStateToStateImage(other), 1) << other;
}

TEST(WKRXUtilsFont, PointFontsAreSizedForTheDeviceAndReplaceTheOldFont) {
  DibCanvas canvas(4, 4);
  const int dpi = GetDeviceCaps(canvas.dc(), LOGPIXELSY);
  HFONT font = nullptr;
  WKRX_Utils::CreatePointFont(canvas.dc(), font, 12);
  ASSERT_NE(font, nullptr);
  LOGFONTW stock{};
  ASSERT_NE(GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(stock), &stock), 0);
  LOGFONTW made{};
  ASSERT_NE(GetObjectW(font, sizeof(made), &made), 0);
  EXPECT_EQ(made.lfHeight, -MulDiv(12, dpi, 72));
  EXPECT_STREQ(made.lfFaceName, stock.lfFaceName) << "the GUI font's face";

  const HFONT first = font;
  WKRX_Utils::CreatePointFont(canvas.dc(), font, 8);
  ASSERT_NE(font, first);
  EXPECT_EQ(GetObjectW(first, sizeof(made), &made), 0) << "the first font was deleted";
  ASSERT_NE(GetObjectW(font, sizeof(made), &made), 0);
  EXPECT_EQ(made.lfHeight, -MulDiv(8, dpi, 72));
  DeleteObject(font);

  HFONT held = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  WKRX_Utils::CreatePointFont(canvas.dc(), held, 10);
  EXPECT_NE(GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(made), &made), 0)
      << "the stock font stays";
  DeleteObject(held);
}

// A folder of its own under the temporary folder, removed with what the test made in it.
class WKRXUtilsFolders : public ::testing::Test {
protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    m_Root = GLIB_WString(temp) + L"wkrx_utils_" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(m_Root.c_str(), nullptr));
  }
  void TearDown() override {
    for (auto it = m_Made.rbegin(); it != m_Made.rend(); ++it)
      RemoveDirectoryW(it->c_str());
    RemoveDirectoryW(m_Root.c_str());
  }

  GLIB_WString m_Root;
  std::vector<GLIB_WString> m_Made;
};

// A folder can only be made inside one that exists: all three appearing shows the order.
TEST_F(WKRXUtilsFolders, MissingFoldersAreMadeFromTheOutermostInwards) {
  const GLIB_WString a = m_Root + L"\\a", b = a + L"\\b", c = b + L"\\c";
  m_Made = {a, b, c};
  WKRX_Utils::CreateDirectories(GFIL_SpecFromPlatformPath(c));
  for (const GLIB_WString& folder : m_Made) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  WKRX_Utils::CreateDirectories(GFIL_SpecFromPlatformPath(c));  // all there: nothing to do
}

TEST_F(WKRXUtilsFolders, AFileInTheWayThrows) {
  const GLIB_WString file = m_Root + L"\\plain";
  HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  CloseHandle(handle);
  EXPECT_ANY_THROW(WKRX_Utils::CreateDirectories(GFIL_SpecFromPlatformPath(file + L"\\inner")));
  DeleteFileW(file.c_str());
}

TEST(WKRXUtilsNames, PreviewFileNamesEndInKnownExtensionsInAnyCase) {
  const struct {
    const wchar_t* name;
    bool preview;
  } cases[] = {
      {L"job.krx", true},    {L"Sheet.Tif", true},    {L"a.b.PRV", true},    {L"x.tif.KRX", true},
      {L"scan.tiff", false}, {L"noextension", false}, {L"trailing.", false}, {L"krx", false},
      {L"a.krx.txt", false}, {L".prv", true},
  };
  for (const auto& c : cases) {
    const GFIL_FileSpec spec = GFIL_SpecFromPlatformPath(GLIB_WString(L"C:\\jobs\\") + c.name);
    EXPECT_EQ(WKRX_Utils::IsPreviewFileName(spec), c.preview) << GLIB_WString(c.name).AsString();
  }
}

}  // namespace
