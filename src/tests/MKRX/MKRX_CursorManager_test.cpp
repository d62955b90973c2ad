// Each tool's cursor: the system's theme cursors and the program's own from the bundle, loaded
// once.
#include "MKRX/MKRX_CursorManager.h"

#include "TestBundle.h"
#include "TestPng.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using C = MKRX_CursorManager;

constexpr OSType kColour = 0x63727372;  // 'crsr'
constexpr OSType kPlain = 0x43555253;   // 'CURS'

struct CursorCase {
  const char* what;
  void (*set)();
  bool theme;
  ThemeCursor themeCursor;
  OSType type;
  SInt16 id;
};

const CursorCase kCases[] = {
    {"arrow", C::SetArrowCursor, true, kThemeArrowCursor, 0, 0},
    {"open hand", C::SetOpenHandCursor, true, kThemeOpenHandCursor, 0, 0},
    {"closed hand", C::SetClosedHandCursor, true, kThemeClosedHandCursor, 0, 0},
    {"cross", C::SetCrossCursor, true, kThemeCrossCursor, 0, 0},
    {"zoom in", C::SetZoomInCursor, false, 0, kColour, 2001},
    {"zoom out", C::SetZoomOutCursor, false, 0, kColour, 2002},
    {"zoom limit", C::SetZoomLimitCursor, false, 0, kColour, 2003},
    {"eyedropper", C::SetEyedropperCursor, false, 0, kColour, 2004},
    {"resize left-right", C::SetResizeLeftRightCursor, false, 0, kPlain, 2021},
    {"resize up-down", C::SetResizeUpDownCursor, false, 0, kPlain, 2022},
    {"move", C::SetMoveCursor, false, 0, kPlain, 2014},
    {"place horizontal guide", C::SetPlaceGuideHorzCursor, false, 0, kPlain, 2012},
    {"place vertical guide", C::SetPlaceGuideVertCursor, false, 0, kPlain, 2011},
    {"shift horizontal guide", C::SetShiftGuideHorzCursor, false, 0, kPlain, 2022},
    {"shift vertical guide", C::SetShiftGuideVertCursor, false, 0, kPlain, 2021},
    {"set origin", C::SetSetOriginCursor, false, 0, kPlain, 2013},
};

TEST(MKRX_CursorManagerTest, EachToolGetsItsCursorLoadedOnce) {
  TestBundle bundle("");
  // Without its file the cursor shown stays.
  C::SetCrossCursor();
  C::SetZoomInCursor();
  C::SetMoveCursor();
  EXPECT_TRUE(StandIn_CurrentCursor().theme);
  EXPECT_EQ(kThemeCrossCursor, StandIn_CurrentCursor().themeCursor);

  for (const char* name : {"crsr_2001", "crsr_2002", "crsr_2003", "crsr_2004", "CURS_2011",
                           "CURS_2012", "CURS_2013", "CURS_2014", "CURS_2021", "CURS_2022"})
    bundle.AddResource(std::string(name) + ".png", testpng::Solid(16, 16, 0xFF000000u));

  const long before = StandIn_ResourceCursorCount();
  for (int round = 0; round < 2; ++round) {
    for (CursorCase const& c : kCases) {
      SCOPED_TRACE(c.what);
      C::SetArrowCursor();
      c.set();
      const StandIn_CursorRecord shown = StandIn_CurrentCursor();
      EXPECT_EQ(c.theme, shown.theme);
      if (c.theme) {
        EXPECT_EQ(c.themeCursor, shown.themeCursor);
      } else {
        EXPECT_EQ(c.type, shown.resourceType);
        EXPECT_EQ(c.id, shown.resourceID);
      }
    }
  }
  // Ten cursors of the program's own, each read once and kept.
  EXPECT_EQ(before + 10, StandIn_ResourceCursorCount());
}

}  // namespace
