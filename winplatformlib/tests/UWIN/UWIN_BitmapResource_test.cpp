#include "UWIN/UWIN_BitmapResource.h"

#include "support/UWIN_ForwardHelper.h"
#include "support/UWIN_TestPng.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr UINT kNumberedId = 101;
constexpr UINT kNumberedType = 300;
constexpr UINT kNumberedTypeId = 102;

// Distinct colours so that a wrong row order or channel order shows.
std::vector<UWIN_TestRgb> Pattern(int width, int height) {
  std::vector<UWIN_TestRgb> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels.push_back({static_cast<std::uint8_t>(40 * x + 1),
                        static_cast<std::uint8_t>(50 * y + 2),
                        static_cast<std::uint8_t>(200 - 10 * x - 20 * y)});
  return pixels;
}

std::vector<std::uint8_t> PatternPng(int width, int height) {
  return UWIN_MakeTestPng(width, height, Pattern(width, height));
}

std::wstring TempPath(wchar_t const* name) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + UWIN_TestObjectName(name);
}

bool WriteFileBytes(std::wstring const& path, std::vector<std::uint8_t> const& bytes) {
  HANDLE const file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  DWORD written = 0;
  BOOL const ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

void ExpectPattern(Gdiplus::Bitmap* bitmap, int width, int height) {
  ASSERT_NE(bitmap, nullptr);
  std::vector<UWIN_TestRgb> const expected = Pattern(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      Gdiplus::Color colour;
      ASSERT_EQ(bitmap->GetPixel(x, y, &colour), Gdiplus::Ok);
      UWIN_TestRgb const& want = expected[static_cast<std::size_t>(y) * width + x];
      EXPECT_EQ(colour.GetR(), want.red) << x << "," << y;
      EXPECT_EQ(colour.GetG(), want.green) << x << "," << y;
      EXPECT_EQ(colour.GetB(), want.blue) << x << "," << y;
    }
}

// A copy of the test program with resources added to it, loaded as a data file: the images of
// type "PNG" by name and by number, one under a numbered type, and resources that are no image.
class UWIN_BitmapResourceTest : public testing::Test {
protected:
  static void SetUpTestSuite() {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    sm_ModulePath = TempPath(L"uwin-resources.exe");
    ASSERT_TRUE(CopyFileW(program, sm_ModulePath.c_str(), FALSE));

    std::vector<std::uint8_t> const splash = PatternPng(3, 2);
    std::vector<std::uint8_t> const numbered = PatternPng(5, 4);
    std::vector<std::uint8_t> const typed = PatternPng(1, 7);
    std::string const text = "This text is no image.";
    std::vector<std::uint8_t> truncated = splash;
    truncated.resize(truncated.size() / 2);

    HANDLE const update = BeginUpdateResourceW(sm_ModulePath.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    auto add = [&](wchar_t const* type, wchar_t const* name, void const* data, std::size_t size) {
      return UpdateResourceW(update, type, name, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                             const_cast<void*>(data), static_cast<DWORD>(size));
    };
    bool const added =
        add(L"PNG", L"SPLASH", splash.data(), splash.size()) &&
        add(L"PNG", MAKEINTRESOURCEW(kNumberedId), numbered.data(), numbered.size()) &&
        add(MAKEINTRESOURCEW(kNumberedType), MAKEINTRESOURCEW(kNumberedTypeId), typed.data(),
            typed.size()) &&
        add(L"PNG", L"TEXT", text.data(), text.size()) &&
        add(L"PNG", L"TRUNCATED", truncated.data(), truncated.size());
    ASSERT_TRUE(EndUpdateResourceW(update, !added));
    ASSERT_TRUE(added);

    sm_Module = LoadLibraryExW(sm_ModulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(sm_Module, nullptr);
  }

  static void TearDownTestSuite() {
    if (sm_Module)
      FreeLibrary(sm_Module);
    sm_Module = nullptr;
    DeleteFileW(sm_ModulePath.c_str());
  }

  static HMODULE sm_Module;
  static std::wstring sm_ModulePath;
};

HMODULE UWIN_BitmapResourceTest::sm_Module = nullptr;
std::wstring UWIN_BitmapResourceTest::sm_ModulePath;

TEST_F(UWIN_BitmapResourceTest, EmptyHoldsNothing) {
  UWIN_BitmapResource empty;
  EXPECT_TRUE(empty.IsNull());
  EXPECT_EQ(empty.GetBitmap(), nullptr);
  EXPECT_EQ(empty.GetWidth(), 0u);
  EXPECT_EQ(empty.GetHeight(), 0u);
}

TEST_F(UWIN_BitmapResourceTest, EachFormLoadsAndDecodesItsImage) {
  struct Case {
    char const* form;
    int width, height;
  };
  for (Case const& c : {Case{"named", 3, 2}, Case{"numbered", 5, 4}, Case{"numbered type", 1, 7}}) {
    SCOPED_TRACE(c.form);
    UWIN_BitmapResource image;
    std::string const form = c.form;
    bool const loaded = form == "named" ? image.LoadFromResource(L"SPLASH", L"PNG", sm_Module)
                        : form == "numbered"
                            ? image.LoadFromResource(kNumberedId, L"PNG", sm_Module)
                            : image.LoadFromResource(kNumberedTypeId, kNumberedType, sm_Module);
    ASSERT_TRUE(loaded);
    EXPECT_FALSE(image.IsNull());
    EXPECT_EQ(image.GetWidth(), static_cast<UINT>(c.width));
    EXPECT_EQ(image.GetHeight(), static_cast<UINT>(c.height));
    ExpectPattern(image.GetBitmap(), c.width, c.height);
  }
}

TEST_F(UWIN_BitmapResourceTest, RefusedResourceLeavesNothingHeld) {
  struct Case {
    wchar_t const* name;
    wchar_t const* type;
  };
  for (Case const& c : {Case{L"TEXT", L"PNG"}, Case{L"TRUNCATED", L"PNG"}, Case{L"MISSING", L"PNG"},
                        Case{L"SPLASH", L"GIF"}}) {
    SCOPED_TRACE(testing::Message() << std::string(c.name, c.name + wcslen(c.name)));
    UWIN_BitmapResource image;
    ASSERT_TRUE(image.LoadFromResource(L"SPLASH", L"PNG", sm_Module));
    EXPECT_FALSE(image.LoadFromResource(c.name, c.type, sm_Module));
    EXPECT_TRUE(image.IsNull());
    EXPECT_EQ(image.GetBitmap(), nullptr);
    EXPECT_EQ(image.GetWidth(), 0u);
  }
}

TEST_F(UWIN_BitmapResourceTest, CopiesShareTheBitmapBeyondTheOriginal) {
  UWIN_BitmapResource copy;
  {
    UWIN_BitmapResource original;
    ASSERT_TRUE(original.LoadFromResource(L"SPLASH", L"PNG", sm_Module));
    copy = original;
    EXPECT_EQ(copy.GetBitmap(), original.GetBitmap());
    // Loading anew lets go of the shared bitmap, not of the copy's.
    ASSERT_TRUE(original.LoadFromResource(kNumberedId, L"PNG", sm_Module));
    EXPECT_NE(copy.GetBitmap(), original.GetBitmap());
    EXPECT_EQ(original.GetWidth(), 5u);
  }
  EXPECT_EQ(copy.GetWidth(), 3u);
  ExpectPattern(copy.GetBitmap(), 3, 2);
}

TEST_F(UWIN_BitmapResourceTest, FileFormsHoldABitmapEvenWhenItCannotBeDecoded) {
  std::wstring const image = TempPath(L"uwin-image.png");
  std::wstring const notImage = TempPath(L"uwin-text.png");
  ASSERT_TRUE(WriteFileBytes(image, PatternPng(4, 3)));
  ASSERT_TRUE(WriteFileBytes(notImage, {'n', 'o', ' ', 'i', 'm', 'a', 'g', 'e'}));
  std::wstring const missing = TempPath(L"uwin-missing.png");

  struct Case {
    std::wstring const* path;
    bool decodes;
  };
  for (Case const& c : {Case{&image, true}, Case{&notImage, false}, Case{&missing, false}}) {
    SCOPED_TRACE(std::string(c.path->begin(), c.path->end()));
    UWIN_BitmapResource constructed(c.path->c_str());
    EXPECT_FALSE(constructed.IsNull());
    EXPECT_EQ(constructed.GetWidth(), c.decodes ? 4u : 0u);
    EXPECT_EQ(constructed.GetHeight(), c.decodes ? 3u : 0u);

    UWIN_BitmapResource loaded;
    EXPECT_EQ(loaded.LoadFromFile(c.path->c_str()), c.decodes);
    EXPECT_EQ(loaded.GetWidth(), c.decodes ? 4u : 0u);
    if (c.decodes)
      ExpectPattern(loaded.GetBitmap(), 4, 3);
  }
  DeleteFileW(image.c_str());
  DeleteFileW(notImage.c_str());
}

}  // namespace
