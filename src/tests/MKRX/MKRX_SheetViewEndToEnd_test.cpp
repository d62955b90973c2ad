// The program on the sample job with zoom-to-fit on open: the front sheet window shows its sheet
// at fit, and its backing store shows the composited tiles where the view's transforms put them.
#include "support/MKRX_SheetViewFixture.h"

#include "MKRX/MKRX_Main.h"
#include "MKRX/MKRX_SheetWindow.h"

#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFPreferences.h>
#include <HIToolbox/Events.h>
#include <HIToolbox/HIView.h>
#include <HIToolbox/StandInScript.h>

namespace {

using MKRX_SheetViewEndToEndTest = MKRX_SheetViewFixture;

TEST_F(MKRX_SheetViewEndToEndTest, TheProgramShowsTheSheetAtFit) {
  CFPreferencesSetAppValue(CFSTR("MKRX_ZoomToFitWindowOnOpen"), kCFBooleanTrue,
                           kCFPreferencesCurrentApplication);
  CFPreferencesAppSynchronize(kCFPreferencesCurrentApplication);
  std::vector<std::string> const files = MKRX_WriteSampleJob(FilesFolder());
  std::vector<const char*> argv = {"HalvorenKRXMac", files[0].c_str(), files[1].c_str()};

  bool looked = false;
  MKRX_WatchedScript script([&] {
    if (looked)
      return;
    looked = true;
    WindowRef window = FrontNonFloatingWindow();
    auto* sheetWindow = dynamic_cast<MKRX_SheetWindow*>(PPXA::Window::GetWindowObject(window));
    ASSERT_NE(nullptr, sheetWindow);
    MKRX_SheetView& view = *sheetWindow->GetSheetView();
    IMPN_Sheet* sheet = view.GetSheet();
    ASSERT_NE(nullptr, sheet);
    // At fit: the whole sheet shows, and the next level up would not.
    CGSize const frame = view.ViewSize();
    IMPN_ZoomLevel const level = view.GetZoomLevel();
    EXPECT_LE(sheet->GetImageWidth(level), frame.width);
    EXPECT_LE(sheet->GetImageLength(level), frame.height);
    IMPN_ZoomLevel const closer = static_cast<IMPN_ZoomLevel>(level - 1);
    EXPECT_TRUE(sheet->GetImageWidth(closer) > frame.width ||
                sheet->GetImageLength(closer) > frame.height);

    ASSERT_EQ(noErr, StandIn_WindowRender(window));
    EXPECT_FALSE(view.IsLoading());
    long compared = 0;
    // Clear of the scroll bars along the right and bottom edges.
    for (long y = 4; y < static_cast<long>(frame.height) - 24; y += 17) {
      for (long x = 4; x < static_cast<long>(frame.width) - 24; x += 29) {
        std::uint32_t const expected = Expected(view, x, y);
        // Only where the neighbourhood agrees: the overlays and mark edges lie between.
        if (Expected(view, x - 4, y) != expected || Expected(view, x + 4, y) != expected ||
            Expected(view, x, y - 4) != expected || Expected(view, x, y + 4) != expected)
          continue;
        HIPoint p = CGPointMake(x, y);
        HIViewConvertPoint(&p, view.GetSysView(), nullptr);
        std::uint32_t const shown =
            StandIn_WindowPixel(window, static_cast<int>(p.x), static_cast<int>(p.y));
        ++compared;
        ASSERT_TRUE(MKRX_SameColor(expected, shown))
            << x << ", " << y << std::hex << ": " << expected << " vs " << shown;
      }
    }
    EXPECT_GT(compared, 100);
  });
  StandIn_Input quit;
  quit.kind = StandIn_InputKind::KeyDown;
  quit.modifiers = cmdKey;
  quit.character = 'q';
  quit.keyCode = StandIn_KeyCodeOf('q');
  StandIn_ScriptInput(quit);
  quit.kind = StandIn_InputKind::KeyUp;
  StandIn_ScriptInput(quit);

  EXPECT_EQ(0, MKRX_Main(static_cast<int>(argv.size()), argv.data(), script));
  EXPECT_TRUE(looked);
}

}  // namespace
