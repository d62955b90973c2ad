// Nib windows and sheets: binding, lookup, closing and deletion.
#include "PPXA/PPXA_Sheet.h"
#include "PPXA/PPXA_Window.h"
#include "PPXA/PPXA_WindowRegistry.h"

#include "support/PPXA_Fixture.h"

namespace {

class PPXA_WindowTest : public PPXA_FixtureTest {};

// A window that counts its deletions.
class CountedWindow : public PPXA::Window {
public:
  explicit CountedWindow(int* deletions) : m_Deletions(deletions) {}
  ~CountedWindow() override { ++*m_Deletions; }

private:
  int* m_Deletions;
};

TEST_F(PPXA_WindowTest, MissingNibsAndWindowsAnswerTheirStatusAndLeaveNothing) {
  struct Case {
    const char* nib;
    const char* window;
    OSStatus status;
  };
  const Case cases[] = {{"Missing", "AllKinds", kIBCarbonRuntimeCantFindNibFile},
                        {"Fixture", "Missing", kIBCarbonRuntimeCantFindObject}};
  for (Case const& c : cases) {
    auto window = std::make_unique<PPXA::Window>();
    CFStringRef nib = CFStringCreateWithCString(nullptr, c.nib, kCFStringEncodingUTF8);
    CFStringRef name = CFStringCreateWithCString(nullptr, c.window, kCFStringEncodingUTF8);
    EXPECT_EQ(c.status, window->Initialize(nib, name)) << c.nib << " " << c.window;
    EXPECT_EQ(nullptr, window->GetSysWindow());
    CFRelease(nib);
    CFRelease(name);
  }
  for (const char* call :
       {"CreateNibReference", "CreateWindowFromNib", "SetWindowProperty", "InstallEventHandler"}) {
    StandIn_FilesFailNext(call, memFullErr);
    PPXA::Window failing;
    EXPECT_EQ(memFullErr, failing.Initialize(CFSTR("Fixture"), CFSTR("AllKinds"))) << call;
    EXPECT_EQ(nullptr, failing.GetSysWindow());
    EXPECT_EQ(m_Windows, StandIn_WindowLiveCount()) << call;
    EXPECT_EQ(0, StandIn_NibLiveCount()) << call;
  }
}

TEST_F(PPXA_WindowTest, WindowObjectsAreFoundFromTheirWindowsOnly) {
  int deletions = 0;
  auto window = new CountedWindow(&deletions);
  ASSERT_EQ(noErr, window->Initialize(CFSTR("Fixture"), CFSTR("AllKinds")));
  EXPECT_EQ(window, PPXA::Window::GetWindowObject(window->GetSysWindow()));
  EXPECT_EQ(nullptr, PPXA::Window::GetWindowObject(nullptr));
  Rect bounds = {0, 0, 10, 10};
  WindowRef foreign = nullptr;
  CreateNewWindow(kDocumentWindowClass, 0, &bounds, &foreign);
  EXPECT_EQ(nullptr, PPXA::Window::GetWindowObject(foreign));
  DisposeWindow(foreign);
  auto sheet = new PPXA::Sheet;
  ASSERT_EQ(noErr, sheet->Initialize(CFSTR("Fixture"), CFSTR("Sheet")));
  EXPECT_EQ(nullptr, PPXA::Window::GetWindowObject(sheet->GetSysWindow()));
  EXPECT_EQ(sheet, PPXA::Sheet::GetSheetObject(sheet->GetSysWindow()));
  EXPECT_EQ(nullptr, PPXA::Sheet::GetSheetObject(window->GetSysWindow()));

  EXPECT_NE(nullptr, window->FindViewByID(FixtureID(3)));
  try {
    window->FindViewByID(FixtureID(99));
    ADD_FAILURE() << "no exception";
  } catch (PPx::OSError const& e) {
    EXPECT_STREQ("Failed to find HIView using it's HIViewID", e.what());
    EXPECT_EQ(errUnknownControl, e.GetStatus());
  }
  delete sheet;
  window->Close();
  StandIn_RunUntilIdle();
  EXPECT_EQ(1, deletions);
}

TEST_F(PPXA_WindowTest, CloseDeletesAndDisposesOnceWhenTheQueueRuns) {
  int deletions = 0;
  auto window = new CountedWindow(&deletions);
  ASSERT_EQ(noErr, window->Initialize(CFSTR("Fixture"), CFSTR("AllKinds")));
  window->Close();
  window->Close();
  EXPECT_EQ(0, deletions);
  EXPECT_EQ(1, StandIn_QueuedEventCount());
  StandIn_RunUntilIdle();
  EXPECT_EQ(1, deletions);
  EXPECT_EQ(1, StandIn_WindowDisposeCount());
}

TEST_F(PPXA_WindowTest, CloseAllThenTheCloseBoxDeletesOnce) {
  int deletions = 0;
  auto window = new CountedWindow(&deletions);
  ASSERT_EQ(noErr, window->Initialize(CFSTR("Fixture"), CFSTR("AllKinds")));
  WindowRef ref = window->GetSysWindow();
  PPXA::WindowRegistry registry;
  registry.InsertWindow(ref);
  registry.CloseAll();
  EXPECT_EQ(0, registry.GetWindowCount(false));
  // The close box: the close event sent at once, before the queue runs.
  PPx::SysCarbonEvent close;
  close.MakeEvent(kEventClassWindow, kEventWindowClose);
  close.SetParameter(kEventParamDirectObject, typeWindowRef, ref);
  EXPECT_EQ(noErr, close.Send(GetWindowEventTarget(ref)));
  EXPECT_EQ(1, deletions);
  EXPECT_EQ(0, StandIn_QueuedEventCount());  // the posted close went with the window
  StandIn_RunUntilIdle();
  EXPECT_EQ(1, deletions);
  EXPECT_EQ(1, StandIn_WindowDisposeCount());
}

// Counts the hidden events that reach the application.
OSStatus CountHidden(EventHandlerCallRef, EventRef, void* data) {
  ++*static_cast<int*>(data);
  return eventNotHandledErr;
}

class CountedSheet : public PPXA::Sheet {
public:
  explicit CountedSheet(int* deletions) : m_Deletions(deletions) {}
  ~CountedSheet() override { ++*m_Deletions; }

private:
  int* m_Deletions;
};

TEST_F(PPXA_WindowTest, AHiddenSheetIsDeletedOnceAndTakesItsWindow) {
  int deletions = 0;
  int hiddenAtApplication = 0;
  const EventTypeSpec hidden = {kEventClassWindow, kEventWindowHidden};
  EventHandlerRef handler = nullptr;
  InstallApplicationEventHandler(CountHidden, 1, &hidden, &hiddenAtApplication, &handler);
  auto parent = std::make_unique<PPXA::Window>();
  ASSERT_EQ(noErr, parent->Initialize(CFSTR("Fixture"), CFSTR("Plain")));
  const long windows = StandIn_WindowLiveCount();
  auto sheet = new CountedSheet(&deletions);
  ASSERT_EQ(noErr, sheet->Initialize(CFSTR("Fixture"), CFSTR("Sheet")));
  EXPECT_NE(nullptr, sheet->FindViewByID(ControlID{0x73686574, 1}));
  ASSERT_EQ(noErr, sheet->Show(parent->GetSysWindow()));
  EXPECT_EQ(noErr, sheet->Hide());
  EXPECT_EQ(1, deletions);
  EXPECT_EQ(1, hiddenAtApplication);  // the standard handling went on
  EXPECT_EQ(windows, StandIn_WindowLiveCount());
  EXPECT_EQ(1, StandIn_WindowDisposeCount());
  RemoveEventHandler(handler);
}

}  // namespace
