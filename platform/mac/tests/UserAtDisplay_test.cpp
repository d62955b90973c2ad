// With a user at a display, what the script answers otherwise waits for the user's input: alerts
// and Navigation dialogs show as windows, drags follow the mouse. Scripted answers still come
// first, and everything shown goes again.
#include "StandInRoutingTest.h"

#include <HIToolbox/Drag.h>
#include <HIToolbox/Navigation.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class UserAtDisplayTest : public StandInRoutingTest {
protected:
  void SetUp() override {
    StandInRoutingTest::SetUp();
    StandIn_SetUserAtDisplay(true);
  }
  void TearDown() override {
    StandIn_SetUserAtDisplay(false);
    StandInRoutingTest::TearDown();
  }

  static void ScriptKey(UInt16 keyCode, UniChar character = 0) {
    StandIn_Input input;
    input.kind = StandIn_InputKind::KeyDown;
    input.keyCode = keyCode;
    input.character = character;
    StandIn_ScriptInput(input);
  }
};

DialogRef NewAlert(bool withCancel) {
  AlertStdCFStringAlertParamRec params;
  GetStandardAlertDefaultParams(&params, kStdCFStringAlertVersionOne);
  if (withCancel)
    params.cancelText = reinterpret_cast<CFStringRef>(kAlertDefaultCancelText);
  DialogRef alert = nullptr;
  CreateStandardAlert(kAlertNoteAlert, CFSTR("Message"), CFSTR("Explanation"), &params, &alert);
  return alert;
}

TEST_F(UserAtDisplayTest, AlertsWaitForTheUserUnlessTheScriptAnswers) {
  struct Case {
    const char* what;
    bool withCancel;
    UInt16 key;  // 0: the script answers 1 instead
    DialogItemIndex expected;
  };
  const Case cases[] = {
      {"Return chooses the default button", true, 36, kAlertStdAlertOKButton},
      {"Escape chooses cancel", true, 53, kAlertStdAlertCancelButton},
      {"Escape without a cancel button does nothing; Return then does", false, 53,
       kAlertStdAlertOKButton},
      {"a scripted answer comes first", true, 0, kAlertStdAlertOKButton},
  };
  for (const Case& c : cases) {
    const long windows = StandIn_WindowLiveCount();
    if (c.key == 0) {
      StandIn_ScriptAnswer(StandIn_AnswerKind::Alert, 1);
    } else {
      ScriptKey(c.key);
      if (!c.withCancel)
        ScriptKey(36);
    }
    DialogItemIndex hit = 0;
    EXPECT_EQ(noErr, RunStandardAlert(NewAlert(c.withCancel), nullptr, &hit)) << c.what;
    EXPECT_EQ(c.expected, hit) << c.what;
    EXPECT_EQ(windows, StandIn_WindowLiveCount()) << c.what;
    StandIn_ScriptInputClear();
  }
}

TEST_F(UserAtDisplayTest, AnAlertWhoseInputRunsOutIsLeftUnanswered) {
  DialogItemIndex hit = 0;
  EXPECT_EQ(noErr, RunStandardAlert(NewAlert(true), nullptr, &hit));
  EXPECT_EQ(kAlertStdAlertCancelButton, hit);
}

TEST_F(UserAtDisplayTest, AWakeForTheApplicationLoopDoesNotEndAnAlert) {
  // Another thread posted meanwhile: that wake is the application loop's.
  StandIn_CurrentInputSource().Wake();
  ScriptKey(36);
  DialogItemIndex hit = 0;
  EXPECT_EQ(noErr, RunStandardAlert(NewAlert(true), nullptr, &hit));
  EXPECT_EQ(kAlertStdAlertOKButton, hit);
}

struct NavClient {
  std::vector<NavUserAction> actions;
  std::vector<std::string> replied;
};

void NavEvents(NavEventCallbackMessage message, NavCBRecPtr record, void* data) {
  NavClient& client = *static_cast<NavClient*>(data);
  if (message == kNavCBUserAction) {
    client.actions.push_back(NavDialogGetUserAction(record->context));
    NavReplyRecord reply;
    if (NavDialogGetReply(record->context, &reply) == noErr) {
      long count = 0;
      AECountItems(&reply.selection, &count);
      for (long i = 1; i <= count; ++i) {
        FSRef item;
        AEGetNthPtr(&reply.selection, i, typeFSRef, nullptr, nullptr, &item, sizeof item, nullptr);
        char path[4096] = {};
        FSRefMakePath(&item, reinterpret_cast<UInt8*>(path), sizeof path);
        client.replied.push_back(std::filesystem::canonical(path).string());
      }
      NavDisposeReply(&reply);
    }
  } else if (message == kNavCBTerminate) {
    NavDialogDispose(record->context);
  }
}

class NavWindowTest : public UserAtDisplayTest {
protected:
  void SetUp() override {
    UserAtDisplayTest::SetUp();
    m_Folder =
        std::filesystem::temp_directory_path() / ("userdisplay_" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_Folder / "inner");
    std::ofstream(m_Folder / "inner" / "deep.krx") << "1";
    std::ofstream(m_Folder / "plate.krx") << "2";
    std::ofstream(m_Folder / ".dot") << "3";
    const char* home = std::getenv("HOME");
    m_OldHome = home ? home : "";
    ::setenv("HOME", m_Folder.c_str(), 1);
  }
  void TearDown() override {
    ::setenv("HOME", m_OldHome.c_str(), 1);
    std::filesystem::remove_all(m_Folder);
    UserAtDisplayTest::TearDown();
  }

  NavClient Run(bool folderDialog) {
    NavDialogCreationOptions options;
    NavGetDefaultDialogCreationOptions(&options);
    NavClient client;
    NavDialogRef dialog = nullptr;
    if (folderDialog)
      EXPECT_EQ(noErr,
                NavCreateChooseFolderDialog(&options, &NavEvents, nullptr, &client, &dialog));
    else
      EXPECT_EQ(noErr, NavCreateGetFileDialog(&options, nullptr, &NavEvents, nullptr, nullptr,
                                              &client, &dialog));
    EXPECT_EQ(noErr, NavDialogRun(dialog));
    return client;
  }
  std::string Canonical(const std::filesystem::path& path) const {
    return std::filesystem::canonical(path).string();
  }

  std::filesystem::path m_Folder;
  std::string m_OldHome;
};

TEST_F(NavWindowTest, TheUserChoosesAFileFromTheHomeFolderOrGoesIntoAFolder) {
  // Folders first, then files; hidden items are left out.
  ScriptKey(125);  // down: "inner"
  ScriptKey(125);  // down: "plate.krx"
  ScriptKey(36);
  NavClient client = Run(false);
  EXPECT_EQ(std::vector<NavUserAction>{kNavUserActionOpen}, client.actions);
  EXPECT_EQ(std::vector<std::string>{Canonical(m_Folder / "plate.krx")}, client.replied);

  // Return on a folder goes into it; there the first item is chosen.
  ScriptKey(125);
  ScriptKey(36);
  ScriptKey(125);
  ScriptKey(36);
  client = Run(false);
  EXPECT_EQ(std::vector<std::string>{Canonical(m_Folder / "inner" / "deep.krx")}, client.replied);
}

TEST_F(NavWindowTest, AFolderDialogChoosesTheSelectedFolderEscapeCancels) {
  ScriptKey(125);
  ScriptKey(36);
  NavClient client = Run(true);
  EXPECT_EQ(std::vector<NavUserAction>{kNavUserActionChoose}, client.actions);
  EXPECT_EQ(std::vector<std::string>{Canonical(m_Folder / "inner")}, client.replied);

  ScriptKey(53);
  client = Run(true);
  EXPECT_EQ(std::vector<NavUserAction>{kNavUserActionCancel}, client.actions);
  EXPECT_TRUE(client.replied.empty());

  // A scripted answer comes first.
  StandIn_NavScriptCancel();
  ScriptKey(36);
  client = Run(true);
  EXPECT_EQ(std::vector<NavUserAction>{kNavUserActionCancel}, client.actions);
  StandIn_ScriptInputClear();
}

struct DropLog {
  long entered = 0;
  long within = 0;
  long left = 0;
  long received = 0;
};

OSStatus TakeDrops(EventHandlerCallRef, EventRef event, void* data) {
  DropLog& log = *static_cast<DropLog*>(data);
  switch (GetEventKind(event)) {
    case kEventControlDragEnter: {
      ++log.entered;
      const Boolean accept = true;
      SetEventParameter(event, kEventParamControlWouldAcceptDrop, typeBoolean, sizeof accept,
                        &accept);
      break;
    }
    case kEventControlDragWithin:
      ++log.within;
      break;
    case kEventControlDragLeave:
      ++log.left;
      break;
    default:
      ++log.received;
      break;
  }
  return noErr;
}

TEST_F(UserAtDisplayTest, ADragWithoutAPlanFollowsTheMouseToTheViewUnderTheRelease) {
  WindowRef window = Make(kDocumentWindowClass, Rect{100, 100, 400, 500});
  HIViewRef target = AddView(window, "userpane", CGRectMake(200, 100, 100, 100));
  SetControlDragTrackingEnabled(target, true);
  DropLog log;
  const EventTypeSpec types[] = {{kEventClassControl, kEventControlDragEnter},
                                 {kEventClassControl, kEventControlDragWithin},
                                 {kEventClassControl, kEventControlDragLeave},
                                 {kEventClassControl, kEventControlDragReceive}};
  EventHandlerRef handler = nullptr;
  ASSERT_EQ(noErr, InstallEventHandler(GetControlEventTarget(target), &TakeDrops, 4, types, &log,
                                       &handler));

  struct Case {
    const char* what;
    bool releaseOverTarget;
    bool escape;
    OSErr result;
    long within;  // a release over the view moves within it once more
    long received;
  };
  const Case cases[] = {
      {"released over the view", true, false, noErr, 2, 1},
      {"released beside it", false, false, userCanceledErr, 1, 0},
      {"cancelled by Escape over it", true, true, userCanceledErr, 1, 0},
  };
  for (const Case& c : cases) {
    log = DropLog();
    // Over the desk, into the view (content at 100, 100), a move within it, then out or not.
    StandIn_ScriptInput(Mouse(StandIn_InputKind::MouseMoved, 50, 50));
    StandIn_ScriptInput(Mouse(StandIn_InputKind::MouseMoved, 350, 250));
    StandIn_ScriptInput(Mouse(StandIn_InputKind::MouseMoved, 352, 252));
    if (c.escape)
      ScriptKey(53);
    const CGFloat x = c.releaseOverTarget ? 355 : 150;
    StandIn_ScriptInput(Mouse(StandIn_InputKind::MouseUp, x, 255));
    DragRef drag = nullptr;
    NewDrag(&drag);
    EventRecord event{mouseDown, 0, 0, Point{150, 150}, 0};
    EXPECT_EQ(c.result, TrackDrag(drag, &event, nullptr)) << c.what;
    DisposeDrag(drag);
    EXPECT_EQ(1, log.entered) << c.what;
    EXPECT_EQ(c.within, log.within) << c.what;
    EXPECT_EQ(1, log.left) << c.what;
    EXPECT_EQ(c.received, log.received) << c.what;
    EXPECT_EQ(nullptr, StandIn_CopyFollowedDragImage(nullptr)) << c.what;
    StandIn_ScriptInputClear();
  }
  RemoveEventHandler(handler);
}

}  // namespace
