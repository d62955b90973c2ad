// Nib views, views taken from nibs, alerts, text views, control data doers, view utilities and
// the nib checker.
#include "PPXA/PPXA_ControlDataDoers.h"
#include "PPXA/PPXA_MessageDialog.h"
#include "PPXA/PPXA_NibChecker.h"
#include "PPXA/PPXA_NibView.h"
#include "PPXA/PPXA_TextView.h"
#include "PPXA/PPXA_ViewFromNib.h"
#include "PPXA/PPXA_ViewUtils.h"
#include "PPXA/PPXA_Window.h"

#include "support/PPXA_Fixture.h"

#include <cstring>

namespace {

class PPXA_AdditionsTest : public PPXA_FixtureTest {};

TEST_F(PPXA_AdditionsTest, NibViewsRecordWhetherTheirWindowIsCompositing) {
  struct Case {
    const char* window;
    ControlID id;
    bool compositing;
  };
  const Case cases[] = {{"AllKinds", FixtureID(10), true}, {"Plain", {0x706c6169, 1}, false}};
  for (Case const& c : cases) {
    auto window = std::make_unique<PPXA::Window>();
    CFStringRef name = CFStringCreateWithCString(nullptr, c.window, kCFStringEncodingUTF8);
    ASSERT_EQ(noErr, window->Initialize(CFSTR("Fixture"), name));
    CFRelease(name);
    PPXA::NibView<PPx::View, PPx::UserPane> pane;
    HIViewRef view = window->FindViewByID(c.id);
    const CFIndex references = CFGetRetainCount(view);
    pane.Attach(view);
    EXPECT_EQ(c.compositing, pane.IsCompositing()) << c.window;
    EXPECT_EQ(references + 1, CFGetRetainCount(view));
    EXPECT_EQ(view, pane.GetSysView());
  }
}

TEST_F(PPXA_AdditionsTest, ViewsTakenFromNibsOutliveTheirWindow) {
  ControlRef view = nullptr;
  ASSERT_EQ(noErr,
            PPXA::CreateViewFromNib(CFSTR("Fixture"), CFSTR("AllKinds"), FixtureID(9), &view));
  ASSERT_NE(nullptr, view);
  EXPECT_EQ(1, CFGetRetainCount(view));  // the caller's
  EXPECT_EQ(nullptr, HIViewGetWindow(view));
  EXPECT_STREQ("tab", StandIn_HIViewKind(view));
  EXPECT_EQ(m_Windows, StandIn_WindowLiveCount());
  CFRelease(view);

  struct Case {
    const char* nib;
    ControlID id;
    OSStatus status;
  };
  const Case cases[] = {{"Fixture", FixtureID(99), errUnknownControl},
                        {"Missing", FixtureID(1), kIBCarbonRuntimeCantFindNibFile}};
  for (Case const& c : cases) {
    view = reinterpret_cast<ControlRef>(&view);  // not left as it was
    CFStringRef nib = CFStringCreateWithCString(nullptr, c.nib, kCFStringEncodingUTF8);
    EXPECT_EQ(c.status, PPXA::CreateViewFromNib(nib, CFSTR("AllKinds"), c.id, &view));
    CFRelease(nib);
    EXPECT_EQ(nullptr, view);
    EXPECT_EQ(m_Windows, StandIn_WindowLiveCount());
  }
}

TEST_F(PPXA_AdditionsTest, AlertsAlwaysHaveTheDefaultButtonAndAnswerTheButtonHit) {
  struct Case {
    long defaultText;
    long cancelText;
    long otherText;
    const char* buttons[3];
  };
  const Case cases[] = {{-1, -1, -1, {"OK", "Cancel", "Don't Save"}},
                        {0, 0, 0, {"OK", "", ""}},
                        {-1, 0, -1, {"OK", "", "Don't Save"}}};
  for (Case const& c : cases) {
    StandIn_ScriptAnswer(StandIn_AnswerKind::Alert, 1);
    EXPECT_EQ(1, PPXA::MessageDialog::ShowError(CFSTR("Message"), CFSTR("Explanation"),
                                                c.defaultText, c.cancelText, c.otherText));
    StandIn_AlertRecord record = StandIn_LastAlert();
    EXPECT_EQ(kAlertStopAlert, record.type);
    EXPECT_EQ(kWindowAlertPositionParentWindowScreen, record.position);
    EXPECT_TRUE(record.movable);
    EXPECT_FALSE(record.helpButton);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(c.buttons[i], record.buttons[i]) << i;
  }
  for (SInt16 answer : {1, 2, 3}) {
    StandIn_ScriptAnswer(StandIn_AnswerKind::Alert, answer);
    EXPECT_EQ(answer, PPXA::MessageDialog::ShowWarning(CFSTR("M"), nullptr, nullptr, CFSTR("Stop"),
                                                       CFSTR("Other")));
    EXPECT_EQ(kAlertCautionAlert, StandIn_LastAlert().type);
    EXPECT_EQ("Stop", StandIn_LastAlert().buttons[1]);
  }
  StandIn_FilesFailNext("CreateStandardAlert", memFullErr);
  StandIn_ScriptAnswer(StandIn_AnswerKind::Alert, 1);
  EXPECT_EQ(0, PPXA::MessageDialog::ShowError(CFSTR("M"), nullptr, -1, -1, -1));
  StandIn_ScriptClear();
}

TEST_F(PPXA_AdditionsTest, TextViewsSetTheirEngineState) {
  auto window = std::make_unique<PPXA::Window>();
  ASSERT_EQ(noErr, window->Initialize(CFSTR("Fixture"), CFSTR("AllKinds")));
  PPXA::TextView text;
  text.Attach(window->FindViewByID(FixtureID(16)));
  text.SetText(CFSTR("Hello world"));
  EXPECT_EQ(noErr, text.Focus(true));
  EXPECT_EQ(noErr, text.SetSelection(6, 11));
  EXPECT_EQ(noErr, text.ShowSelection(true));
  EXPECT_EQ(noErr, text.SetFontSize(12 << 16, 0, 5));
  EXPECT_EQ(noErr, text.SetWordWrapState(kTXNNoAutoWrap));
  EXPECT_EQ(noErr, text.SetJustification(2));
  TXNMargins margins = {1, 2, 3, 4};
  EXPECT_EQ(noErr, text.SetMargins(&margins));
  EXPECT_EQ(noErr, text.SetPrivileges(kTXNReadOnly));
  TXNObject object = text.GetTXNObject();
  EXPECT_TRUE(StandIn_TXNIsFocused(object));
  TXNOffset start = 0;
  TXNOffset end = 0;
  TXNGetSelection(object, &start, &end);
  EXPECT_EQ(6u, start);
  EXPECT_EQ(11u, end);
  EXPECT_EQ(12u << 16, StandIn_TXNFontSizeAt(object, 4));
  const TXNControlTag tags[] = {kTXNWordWrapStateTag, kTXNJustificationTag, kTXNIOPrivilegesTag};
  TXNControlData data[3];
  TXNGetTXNObjectControls(object, 3, tags, data);
  EXPECT_EQ(kTXNNoAutoWrap, data[0].uValue);  // each set alone keeps the others
  EXPECT_EQ(2u, data[1].uValue);
  EXPECT_EQ(kTXNReadOnly, data[2].uValue);
}

// Answers a fixed status and size.
class DataAnswerer : public PPXA::ControlGetDataDoer, public PPXA::ControlSetDataDoer {
public:
  OSStatus status = noErr;
  Size answerSize = 0;
  ResType seenTag = 0;
  Size seenSize = 0;
  void InstallOn(ControlRef control) {
    PPXA::ControlGetDataDoer::Install(GetControlEventTarget(control));
    PPXA::ControlSetDataDoer::Install(GetControlEventTarget(control));
  }

protected:
  OSStatus DoControlGetData(PPx::SysCarbonEvent&, ControlRef, ControlPartCode, ResType tag, Ptr,
                            Size& size) override {
    seenTag = tag;
    size = answerSize;
    return status;
  }
  OSStatus DoControlSetData(PPx::SysCarbonEvent&, ControlRef, ControlPartCode, ResType tag, Ptr,
                            Size size) override {
    seenTag = tag;
    seenSize = size;
    return status;
  }
};

TEST_F(PPXA_AdditionsTest, TheGetDataDoerWritesTheSizeBackForNoErrAndSizeMismatch) {
  HIViewRef view = StandIn_NewView("userpane", CGRectMake(0, 0, 10, 10));
  DataAnswerer answerer;
  answerer.InstallOn(view);
  struct Case {
    OSStatus status;
    Size expected;
  };
  const Case cases[] = {{noErr, 12}, {errDataSizeMismatch, 12}, {errDataNotSupported, 4}};
  for (Case const& c : cases) {
    answerer.status = c.status;
    answerer.answerSize = 12;
    SInt32 buffer = 0;
    Size size = -1;
    EXPECT_EQ(c.status, GetControlData(view, 0, 0x74616731, sizeof buffer, &buffer, &size));
    EXPECT_EQ(c.expected, size) << c.status;
    EXPECT_EQ(0x74616731u, answerer.seenTag);
  }
  answerer.status = noErr;
  const SInt16 value = 5;
  EXPECT_EQ(noErr, SetControlData(view, 0, 0x74616732, sizeof value, &value));
  EXPECT_EQ(static_cast<Size>(sizeof value), answerer.seenSize);
  CFRelease(view);
}

TEST_F(PPXA_AdditionsTest, ViewPointsGoToTheScreenAndBack) {
  auto window = std::make_unique<PPXA::Window>();
  ASSERT_EQ(noErr, window->Initialize(CFSTR("Fixture"), CFSTR("AllKinds")));
  HIViewRef view = window->FindViewByID(FixtureID(2));  // frame 40 10 in the content
  CGPoint global = {0, 0};
  ASSERT_EQ(noErr, PPXA::ViewUtils::HIViewToGlobalPoint(view, CGPointMake(3, 4), &global));
  EXPECT_EQ(50.0f + 40 + 3, global.x);   // structure left 50
  EXPECT_EQ(100.0f + 10 + 4, global.y);  // structure top 78, title bar 22
  CGPoint back = {0, 0};
  ASSERT_EQ(noErr, PPXA::ViewUtils::GlobalToHIViewPoint(view, global, &back));
  EXPECT_EQ(3.0f, back.x);
  EXPECT_EQ(4.0f, back.y);
  const Point qd = {static_cast<short>(global.y), static_cast<short>(global.x)};
  ASSERT_EQ(noErr, PPXA::ViewUtils::GlobalToHIViewPoint(view, qd, &back));
  EXPECT_EQ(3.0f, back.x);

  HIViewRef loose = StandIn_NewView("push", CGRectMake(0, 0, 5, 5));
  CGPoint untouched = {-7, -8};
  EXPECT_EQ(errInvalidWindowRef,
            PPXA::ViewUtils::HIViewToGlobalPoint(loose, CGPointMake(1, 1), &untouched));
  EXPECT_EQ(errInvalidWindowRef,
            PPXA::ViewUtils::GlobalToHIViewPoint(loose, CGPointMake(1, 1), &untouched));
  EXPECT_EQ(-7.0f, untouched.x);
  CFRelease(loose);
}

TEST_F(PPXA_AdditionsTest, TheFixtureWindowsLoadAndTheCheckerFindsEveryView) {
  for (const char* name : {"AllKinds", "Sheet", "Plain"}) {
    auto window = std::make_unique<PPXA::Window>();
    CFStringRef cfName = CFStringCreateWithCString(nullptr, name, kCFStringEncodingUTF8);
    EXPECT_EQ(noErr, window->Initialize(CFSTR("Fixture"), cfName)) << name;
    CFRelease(cfName);
  }
  PPXA::Window custom;
  EXPECT_NE(noErr, custom.Initialize(CFSTR("Fixture"), CFSTR("Custom")));

  std::vector<PPXA::NibCheckRow> table;
  for (int i = 1; i <= kFixtureKindCount; ++i)
    table.push_back({"Fixture", "AllKinds", FixtureID(i)});
  table.push_back({"Fixture", "Sheet", {0x73686574, 1}});
  EXPECT_TRUE(PPXA::CheckNibViews(table).empty());
  for (int i = 1; i <= kFixtureKindCount; ++i) {
    HIViewRef view = nullptr;
    ControlRef taken = nullptr;
    ASSERT_EQ(noErr,
              PPXA::CreateViewFromNib(CFSTR("Fixture"), CFSTR("AllKinds"), FixtureID(i), &taken));
    view = taken;
    EXPECT_STREQ(kFixtureKinds[i - 1], StandIn_HIViewKind(view));
    CFRelease(taken);
  }

  const std::vector<PPXA::NibCheckRow> wrong = {{"Fixture", "AllKinds", {0x6e6f6e65, 2}},
                                                {"Fixture", "Nowhere", FixtureID(1)},
                                                {"Absent", "AllKinds", FixtureID(1)}};
  EXPECT_EQ((std::vector<std::string>{"Fixture: AllKinds: no view 'none' 2",
                                      "Fixture: Nowhere: status -10962",
                                      "Absent: AllKinds: status -10960"}),
            PPXA::CheckNibViews(wrong));
  // The fixture's bundle holds none of the program's nibs: every row of the program's table is
  // looked at and reported (the program's own tests check them against its bundle).
  const std::vector<std::string> program = PPXA::CheckNibViews(PPXA::ProgramNibTable());
  ASSERT_EQ(PPXA::ProgramNibTable().size(), program.size());
  for (std::size_t i = 0; i < program.size(); ++i)
    EXPECT_EQ(std::string(PPXA::ProgramNibTable()[i].nib) + ": " +
                  PPXA::ProgramNibTable()[i].window + ": status -10960",
              program[i]);
}

}  // namespace
