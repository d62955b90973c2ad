#include "WKRX/WKRX_CursorManager.h"

#include "WKRX/WKRX_Startup.h"
#include "WKRX/WKRX_System.h"

#include "win/ResourceLibrary.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

POINT HotSpot(HCURSOR cursor) {
  ICONINFO info = {};
  if (!GetIconInfo(cursor, &info))
    return {-1, -1};
  DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr)
    DeleteObject(info.hbmColor);
  return {static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
}

class WKRXCursorManager : public testing::Test {
protected:
  void SetUp() override { WKRX_CursorManager::ForgetLoadedCursors(); }
  void TearDown() override {
    WKRX_Startup::Module().SetResourceInstance(nullptr);
    WKRX_CursorManager::ForgetLoadedCursors();
    SetCursor(nullptr);
  }
};

// The test program has every cursor the program uses, among them 401 (hot spot 1, 1) and 404
// (2, 2); its language library only 401 (7, 7).
TEST_F(WKRXCursorManager, ResourceCursorsComeFromTheLanguageLibraryElseFromTheProgram) {
  const HMODULE library = LoadResourceLibraryBesideTests(L"WKRX_TestLanguage.dll");
  ASSERT_NE(library, nullptr);
  WKRX_Startup::Module().SetResourceInstance(library);

  ASSERT_TRUE(WKRX_CursorManager::SetZoomInCursor());
  EXPECT_EQ(HotSpot(GetCursor()).x, 7);
  ASSERT_TRUE(WKRX_CursorManager::SetOpenHandCursor());
  EXPECT_EQ(HotSpot(GetCursor()).x, 2);
}

TEST_F(WKRXCursorManager, ACursorIsLoadedOnceAndSetOnEveryCall) {
  ASSERT_TRUE(WKRX_CursorManager::SetZoomInCursor());
  const HCURSOR first = GetCursor();
  EXPECT_EQ(HotSpot(first).x, 1);
  // A language library loaded later changes nothing already loaded.
  const HMODULE library = LoadResourceLibraryBesideTests(L"WKRX_TestLanguage.dll");
  WKRX_Startup::Module().SetResourceInstance(library);
  ASSERT_TRUE(WKRX_CursorManager::SetArrowCursor());
  ASSERT_TRUE(WKRX_CursorManager::SetZoomInCursor());
  EXPECT_EQ(GetCursor(), first);
}

// No module has a cursor of that number: nothing is set, and the next call tries again.
TEST_F(WKRXCursorManager, AMissingCursorSetsNothingAndIsTriedAgain) {
  ASSERT_TRUE(WKRX_CursorManager::SetArrowCursor());
  const HCURSOR arrow = GetCursor();
  constexpr UINT kNoSuchCursor = 408;
  HCURSOR slot = nullptr;
  EXPECT_FALSE(WKRX_CursorManager::SetResourceCursor(kNoSuchCursor, slot));
  EXPECT_FALSE(WKRX_CursorManager::SetResourceCursor(kNoSuchCursor, slot));
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(GetCursor(), arrow);
  EXPECT_TRUE(WKRX_CursorManager::SetResourceCursor(404, slot));
  EXPECT_NE(slot, nullptr);
}

TEST_F(WKRXCursorManager, SystemCursorsAreTheSystems) {
  const struct {
    bool (*m_Set)();
    LPCWSTR m_Id;
  } cases[] = {{WKRX_CursorManager::SetArrowCursor, IDC_ARROW},
               {WKRX_CursorManager::SetResizeLeftRightCursor, IDC_SIZEWE},
               {WKRX_CursorManager::SetResizeUpDownCursor, IDC_SIZENS},
               {WKRX_CursorManager::SetMoveCursor, IDC_SIZEALL},
               {WKRX_CursorManager::SetResizeDiagonalDownCursor, IDC_SIZENWSE},
               {WKRX_CursorManager::SetResizeDiagonalUpCursor, IDC_SIZENESW},
               {WKRX_CursorManager::SetMoveAllCursor, IDC_SIZEALL}};
  for (const auto& c : cases) {
    ASSERT_TRUE(c.m_Set());
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, c.m_Id));
  }
}

}  // namespace
