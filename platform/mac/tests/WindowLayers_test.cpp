// Windows of the stand-in: layers, activation, the user focus, sheets, window parts and the
// window events, seen through PowerPlant X's window doers.
#include "StandInRoutingTest.h"

#include <PPx/PPxWindowDoers.h>

#include <functional>
#include <map>
#include <string>

namespace {

// Records the window events of one window as text ("A", "D", "B8", "Z", ...).
class WindowLog : public PPx::WindowActivatedDoer,
                  public PPx::WindowDeactivatedDoer,
                  public PPx::WindowBoundsChangedDoer,
                  public PPx::WindowGetMinimumSizeDoer,
                  public PPx::WindowResizeCompletedDoer {
public:
  WindowLog(WindowRef window, char name, std::string* log) : m_Name(name), m_Log(log) {
    EventTargetRef target = GetWindowEventTarget(window);
    WindowActivatedDoer::Install(target);
    WindowDeactivatedDoer::Install(target);
    WindowBoundsChangedDoer::Install(target);
    WindowGetMinimumSizeDoer::Install(target);
    WindowResizeCompletedDoer::Install(target);
  }
  UInt32 lastAttributes = 0;
  Rect lastBounds{0, 0, 0, 0};
  short minimumWidth = 0;  // answered when not 0

protected:
  OSStatus DoWindowActivated(PPx::SysCarbonEvent&, WindowRef) override {
    *m_Log += std::string("A") + m_Name + " ";
    return noErr;
  }
  OSStatus DoWindowDeactivated(PPx::SysCarbonEvent&, WindowRef) override {
    *m_Log += std::string("D") + m_Name + " ";
    return noErr;
  }
  OSStatus DoWindowBoundsChanged(PPx::SysCarbonEvent&, WindowRef, UInt32 attributes, const Rect&,
                                 const Rect&, const Rect& current) override {
    lastAttributes = attributes;
    lastBounds = current;
    return eventNotHandledErr;
  }
  OSStatus DoWindowGetMinimumSize(PPx::SysCarbonEvent&, WindowRef, Point& size) override {
    if (minimumWidth == 0)
      return eventNotHandledErr;
    size.h = minimumWidth;
    return noErr;
  }
  OSStatus DoWindowResizeCompleted(PPx::SysCarbonEvent&, WindowRef) override {
    *m_Log += std::string("R") + m_Name + " ";
    return noErr;
  }

private:
  char m_Name;
  std::string* m_Log;
};

class WindowLayersTest : public StandInRoutingTest {
protected:
  WindowRef Logged(char name, WindowClass windowClass, Rect content, bool show = false) {
    WindowRef window = Make(windowClass, content, false);
    m_Logs.emplace(name, std::make_unique<WindowLog>(window, name, &m_Log));
    if (show)
      ShowWindow(window);
    return window;
  }
  std::string TakeLog() {
    std::string log;
    log.swap(m_Log);
    return log;
  }
  void TearDown() override {
    m_Logs.clear();
    StandInRoutingTest::TearDown();
  }

  std::string m_Log;
  std::map<char, std::unique_ptr<WindowLog>> m_Logs;
};

TEST_F(WindowLayersTest, ActivationFollowsTheFrontWindowThatDoesNotFloat) {
  WindowRef doc1 = Logged('1', kDocumentWindowClass, Rect{100, 100, 300, 400});
  WindowRef doc2 = Logged('2', kDocumentWindowClass, Rect{120, 120, 320, 420});
  WindowRef palette = Logged('P', kFloatingWindowClass, Rect{100, 600, 200, 700});
  WindowRef sheet = Logged('S', kSheetWindowClass, Rect{0, 0, 100, 200});
  WindowRef alert = Logged('X', kMovableAlertWindowClass, Rect{200, 200, 300, 500});
  struct Step {
    const char* what;
    std::function<void()> action;
    const char* log;
    WindowRef front;
    WindowRef frontNonFloating;
    WindowRef focus;
  };
  const Step steps[] = {
      {"nothing shown", [] {}, "", nullptr, nullptr, nullptr},
      {"first document", [&] { ShowWindow(doc1); }, "A1 ", doc1, doc1, doc1},
      {"palette floats above", [&] { ShowWindow(palette); }, "", palette, doc1, doc1},
      {"second document", [&] { ShowWindow(doc2); }, "D1 A2 ", palette, doc2, doc2},
      {"selecting the first", [&] { SelectWindow(doc1); }, "D2 A1 ", palette, doc1, doc1},
      {"a sheet keeps its parent active", [&] { ShowSheetWindow(sheet, doc1); }, "", palette, sheet,
       sheet},
      {"selecting the sheet selects its parent", [&] { SelectWindow(sheet); }, "", palette, sheet,
       sheet},
      {"an alert above all", [&] { ShowWindow(alert); }, "D1 AX ", alert, alert, alert},
      {"the alert goes", [&] { HideWindow(alert); }, "DX A1 ", palette, sheet, sheet},
      {"the sheet goes", [&] { HideSheetWindow(sheet); }, "", palette, doc1, doc1},
      {"hiding the front activates the next", [&] { HideWindow(doc1); }, "D1 A2 ", palette, doc2,
       doc2},
      {"a hidden palette is no front", [&] { HideWindow(palette); }, "", doc2, doc2, doc2},
      {"the last goes", [&] { HideWindow(doc2); }, "D2 ", nullptr, nullptr, nullptr},
  };
  for (const Step& step : steps) {
    step.action();
    EXPECT_EQ(step.log, TakeLog()) << step.what;
    EXPECT_EQ(step.front, FrontWindow()) << step.what;
    EXPECT_EQ(step.frontNonFloating, FrontNonFloatingWindow()) << step.what;
    EXPECT_EQ(step.focus, GetUserFocusWindow()) << step.what;
  }
}

TEST_F(WindowLayersTest, DisposingTheParentOfAShownSheetLeavesNothingDangling) {
  WindowRef parent = Logged('1', kDocumentWindowClass, Rect{100, 100, 300, 400}, true);
  WindowRef other = Logged('2', kDocumentWindowClass, Rect{120, 120, 320, 420}, true);
  SelectWindow(parent);
  WindowRef sheet = Make(kSheetWindowClass, Rect{0, 0, 100, 200}, false);
  ASSERT_EQ(noErr, ShowSheetWindow(sheet, parent));
  TakeLog();
  m_Logs.erase('1');
  m_Windows.erase(std::find(m_Windows.begin(), m_Windows.end(), parent));
  DisposeWindow(parent);
  WindowRef left = parent;
  EXPECT_EQ(noErr, GetSheetWindowParent(sheet, &left));
  EXPECT_EQ(nullptr, left);
  EXPECT_FALSE(IsWindowVisible(sheet));
  EXPECT_EQ("A2 ", TakeLog());
  EXPECT_EQ(other, GetUserFocusWindow());
  SelectWindow(sheet);  // no parent to reach any more
  EXPECT_EQ(other, ActiveNonFloatingWindow());
}

TEST_F(WindowLayersTest, FindWindowNamesThePartsAndSkipsWindowsThatIgnoreClicks) {
  // Content 100..300 x 100..400: the structure begins 22 higher with the title bar.
  WindowRef doc = Make(kDocumentWindowClass, Rect{100, 100, 300, 400});
  WindowRef hidden = Make(kDocumentWindowClass, Rect{100, 500, 300, 700}, false);
  WindowRef overlay = Make(kOverlayWindowClass, Rect{150, 150, 200, 200}, true,
                           kWindowIgnoreClicksAttribute | kWindowHideOnSuspendAttribute);
  (void)hidden;
  (void)overlay;
  struct Case {
    short h, v;
    WindowPartCode part;
    WindowRef window;
  };
  const Case cases[] = {
      {10, 5, inMenuBar, nullptr}, {50, 50, inDesk, nullptr},     {200, 85, inDrag, doc},
      {110, 85, inGoAway, doc},    {130, 85, inCollapseBox, doc}, {150, 85, inZoomOut, doc},
      {200, 200, inContent, doc},  {170, 170, inContent, doc},   // the overlay lets it through
      {395, 295, inGrow, doc},     {600, 200, inDesk, nullptr},  // a hidden window is no hit
  };
  for (const Case& c : cases) {
    WindowRef found = reinterpret_cast<WindowRef>(1);
    EXPECT_EQ(c.part, FindWindow(Point{c.v, c.h}, &found)) << c.h << "," << c.v;
    EXPECT_EQ(c.window, found) << c.h << "," << c.v;
  }
}

TEST_F(WindowLayersTest, MovesCollapsesZoomsAndResizesSendTheirEvents) {
  WindowRef doc = Logged('1', kDocumentWindowClass, Rect{100, 100, 300, 400}, true);
  WindowLog& log = *m_Logs.at('1');
  TakeLog();

  EXPECT_EQ(noErr, MoveWindowStructure(doc, 50, 60));
  EXPECT_EQ(kWindowBoundsChangeOriginChanged, log.lastAttributes);
  EXPECT_EQ(60, log.lastBounds.top);

  UInt32 collapsed = 0;
  auto count = [](EventHandlerCallRef, EventRef event, void* data) -> OSStatus {
    *static_cast<UInt32*>(data) = GetEventKind(event);
    return eventNotHandledErr;
  };
  const EventTypeSpec types[] = {{kEventClassWindow, kEventWindowCollapsed},
                                 {kEventClassWindow, kEventWindowExpanded},
                                 {kEventClassWindow, kEventWindowZoomed}};
  EventHandlerRef handler = nullptr;
  InstallEventHandler(GetWindowEventTarget(doc), count, 3, types, &collapsed, &handler);
  CollapseWindow(doc, true);
  EXPECT_EQ(kEventWindowCollapsed, collapsed);
  CollapseWindow(doc, false);
  EXPECT_EQ(kEventWindowExpanded, collapsed);

  // A click in the zoom box zooms out to the available screen, a second one back in.
  Rect structure;
  GetWindowBounds(doc, kWindowStructureRgn, &structure);
  EXPECT_EQ(noErr, Click(structure.left + 50, structure.top + 5));
  EXPECT_EQ(kEventWindowZoomed, collapsed);
  EXPECT_EQ(kWindowBoundsChangeZoom | kWindowBoundsChangeSizeChanged |
                kWindowBoundsChangeOriginChanged,
            log.lastAttributes);
  EXPECT_EQ((std::vector<short>{22, 0, 768, 1024}),
            (std::vector<short>{log.lastBounds.top, log.lastBounds.left, log.lastBounds.bottom,
                                log.lastBounds.right}));
  StandIn_AdvanceClock(1);  // no double click
  EXPECT_EQ(noErr, Click(50, 27));
  EXPECT_EQ(structure.top, log.lastBounds.top);
  RemoveEventHandler(handler);

  // The grow box follows the mouse, held at the minimum size the window answers.
  log.minimumWidth = 250;
  GetWindowBounds(doc, kWindowStructureRgn, &structure);
  StandIn_ScriptInput(
      Mouse(StandIn_InputKind::MouseMoved, structure.right - 100, structure.bottom));
  StandIn_ScriptInput(
      Mouse(StandIn_InputKind::MouseUp, structure.right - 100, structure.bottom + 40));
  StandIn_AdvanceClock(1);
  EXPECT_EQ(noErr, Click(structure.right - 5, structure.bottom - 5));
  Rect content;
  GetWindowBounds(doc, kWindowContentRgn, &content);
  EXPECT_EQ(250, content.right - content.left);
  EXPECT_EQ(245, content.bottom - content.top);
  EXPECT_EQ("R1 ", TakeLog());
}

TEST_F(WindowLayersTest, ConstrainingKeepsTheWindowOnTheScreen) {
  struct Case {
    Rect content;
    UInt32 options;
    Rect expected;  // structure
  };
  const Case cases[] = {
      {Rect{100, 100, 300, 400}, kWindowConstrainStandardOptions, Rect{78, 100, 300, 400}},
      {Rect{700, 900, 900, 1200}, kWindowConstrainStandardOptions, Rect{546, 724, 768, 1024}},
      {Rect{10, -50, 110, 50}, kWindowConstrainStandardOptions, Rect{22, 0, 144, 100}},
      {Rect{100, 100, 1000, 400}, kWindowConstrainMayResize, Rect{22, 100, 768, 400}},
      {Rect{100, 100, 1000, 400}, 0, Rect{78, 100, 1000, 400}},  // does not fit: left alone
  };
  for (const Case& c : cases) {
    WindowRef window = Make(kDocumentWindowClass, c.content, false);
    Rect result{0, 0, 0, 0};
    EXPECT_EQ(noErr,
              ConstrainWindowToScreen(window, kWindowStructureRgn, c.options, nullptr, &result));
    Rect structure;
    GetWindowBounds(window, kWindowStructureRgn, &structure);
    EXPECT_EQ(
        (std::vector<short>{c.expected.top, c.expected.left, c.expected.bottom, c.expected.right}),
        (std::vector<short>{structure.top, structure.left, structure.bottom, structure.right}))
        << c.content.top << "," << c.content.left;
  }
}

}  // namespace
