#include "StandInToolboxTest.h"

#include <HIToolbox/Navigation.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// What a client's callbacks saw; the event callback disposes of the dialog at its end, as an
// application's does.
struct NavClient {
  std::vector<NavEventCallbackMessage> messages;
  std::vector<NavUserAction> actions;
  std::vector<std::string> replied;  // paths of the reply, taken at the user action
  std::string startAt;               // set as the start location when not empty
  bool throwInFilter = false;
  bool throwInEvents = false;
};

std::string PathOf(const FSRef& ref) {
  char path[4096];
  return FSRefMakePath(&ref, reinterpret_cast<UInt8*>(path), sizeof path) == noErr ? path : "";
}

void ClientEvents(NavEventCallbackMessage message, NavCBRecPtr record, void* data) {
  auto& client = *static_cast<NavClient*>(data);
  client.messages.push_back(message);
  NavDialogRef const dialog = record->context;
  if (message == kNavCBStart && !client.startAt.empty()) {
    FSRef folder;
    ASSERT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>(client.startAt.c_str()), &folder,
                                   nullptr));
    AEDesc location;
    ASSERT_EQ(noErr, AECreateDesc(typeFSRef, &folder, sizeof folder, &location));
    EXPECT_EQ(noErr, NavCustomControl(dialog, kNavCtlSetLocation, &location));
    AEDisposeDesc(&location);
  } else if (message == kNavCBUserAction) {
    client.actions.push_back(NavDialogGetUserAction(dialog));
    NavReplyRecord reply;
    if (NavDialogGetReply(dialog, &reply) == noErr) {
      long count = 0;
      AECountItems(&reply.selection, &count);
      for (long i = 1; i <= count; ++i) {
        FSRef item;
        AEGetNthPtr(&reply.selection, i, typeFSRef, nullptr, nullptr, &item, sizeof item, nullptr);
        client.replied.push_back(PathOf(item));
      }
      NavDisposeReply(&reply);
    }
  } else if (message == kNavCBTerminate) {
    NavDialogDispose(dialog);
  }
  if (client.throwInEvents)
    throw std::runtime_error("event callback");
}

// Shows everything but names ending in ".hidden".
Boolean ClientFilter(AEDesc* item, void*, void* data, NavFilterModes) {
  if (static_cast<NavClient*>(data)->throwInFilter)
    throw std::runtime_error("filter");
  FSRef ref;
  AEDescList list;
  AECreateList(nullptr, 0, false, &list);
  AEPutDesc(&list, 0, item);
  AEGetNthPtr(&list, 1, typeFSRef, nullptr, nullptr, &ref, sizeof ref, nullptr);
  AEDisposeDesc(&list);
  const std::string path = PathOf(ref);
  return path.size() < 7 || path.compare(path.size() - 7, 7, ".hidden") != 0;
}

std::vector<std::string> g_Faults;
void RecordFault(const char* why) {
  g_Faults.push_back(why);
}

class NavigationTest : public StandInToolboxTest {
protected:
  void SetUp() override {
    StandInToolboxTest::SetUp();
    StandIn_NavReset();
    StandIn_NavSetFaultReporter(RecordFault);
    g_Faults.clear();
    m_Dialogs = StandIn_NavLiveDialogCount();
    m_Root = std::filesystem::temp_directory_path() / ("nav_" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_Root / "Jobs");
    for (const char* name : {"a.prv", "b.tif", "c.hidden"})
      std::ofstream(m_Root / name) << "x";
  }
  void TearDown() override {
    StandIn_NavSetFaultReporter(nullptr);
    EXPECT_EQ(m_Dialogs, StandIn_NavLiveDialogCount());
    std::filesystem::remove_all(m_Root);
    StandInToolboxTest::TearDown();
  }

  std::string At(const char* name) const { return (m_Root / name).string(); }

  // Creates and runs a dialog of that kind for the client; a sheet gets its turn in the loop.
  OSStatus Run(StandIn_NavKind kind, WindowRef parent, NavClient& client,
               NavDialogOptionFlags extraFlags = 0) {
    NavDialogCreationOptions options;
    EXPECT_EQ(noErr, NavGetDefaultDialogCreationOptions(&options));
    options.optionFlags |= extraFlags;
    options.windowTitle = CFSTR("Title");
    if (parent != nullptr) {
      options.modality = kWindowModalityWindowModal;
      options.parentWindow = parent;
    }
    NavDialogRef dialog = nullptr;
    OSStatus err = noErr;
    switch (kind) {
      case StandIn_NavKind::ChooseFile:
        err = NavCreateChooseFileDialog(&options, nullptr, ClientEvents, nullptr, ClientFilter,
                                        &client, &dialog);
        break;
      case StandIn_NavKind::GetFile:
        err = NavCreateGetFileDialog(&options, nullptr, ClientEvents, nullptr, ClientFilter,
                                     &client, &dialog);
        break;
      case StandIn_NavKind::ChooseFolder:
        err = NavCreateChooseFolderDialog(&options, ClientEvents, ClientFilter, &client, &dialog);
        break;
    }
    if (err != noErr)
      return err;
    err = NavDialogRun(dialog);
    if (parent != nullptr) {
      // The sheet is open and waits for the loop.
      EXPECT_EQ(kNavUserActionNone, NavDialogGetUserAction(dialog));
      EXPECT_EQ(std::vector<NavEventCallbackMessage>{kNavCBStart}, client.messages);
      StandIn_RunUntilIdle();
    }
    return err;
  }

  std::filesystem::path m_Root;
  long m_Dialogs = 0;
};

TEST_F(NavigationTest, EachDialogAsModalOrSheetFiltersAnswersAndEnds) {
  struct Case {
    StandIn_NavKind kind;
    bool sheet;
    std::vector<std::string> chosen;
    NavDialogOptionFlags flags;
    NavUserAction action;
  };
  const std::vector<Case> cases = {
      {StandIn_NavKind::ChooseFile, false, {At("a.prv")}, 0, kNavUserActionOpen},
      {StandIn_NavKind::GetFile,
       false,
       {At("a.prv"), At("b.tif")},
       kNavAllowMultipleFiles,
       kNavUserActionOpen},
      {StandIn_NavKind::GetFile, true, {At("b.tif")}, 0, kNavUserActionOpen},
      {StandIn_NavKind::ChooseFolder, false, {At("Jobs")}, 0, kNavUserActionChoose},
      {StandIn_NavKind::ChooseFolder, true, {At("Jobs")}, 0, kNavUserActionChoose},
  };
  WindowRef parent = NewWindow();
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind) * 10 + c.sheet);
    StandIn_NavAnswer answer;
    answer.browsed = {At("c.hidden"), At("a.prv")};
    answer.chosen = c.chosen;
    StandIn_NavScriptAnswer(answer);
    NavClient client;
    client.startAt = m_Root.string();
    ASSERT_EQ(noErr, Run(c.kind, c.sheet ? parent : nullptr, client, c.flags));

    EXPECT_EQ(
        (std::vector<NavEventCallbackMessage>{kNavCBStart, kNavCBUserAction, kNavCBTerminate}),
        client.messages);
    EXPECT_EQ(std::vector<NavUserAction>{c.action}, client.actions);
    EXPECT_EQ(c.chosen, client.replied);
    const std::vector<bool> filtered = StandIn_NavFilterAnswers();
    ASSERT_GE(filtered.size(), 2u);
    EXPECT_FALSE(filtered[0]);
    EXPECT_TRUE(filtered[1]);
    const StandIn_NavDialogTexts texts = StandIn_NavLastDialogTexts();
    EXPECT_EQ(c.kind, texts.kind);
    EXPECT_EQ("Title", texts.windowTitle);
    EXPECT_EQ(c.sheet ? parent : nullptr, texts.parentWindow);
    EXPECT_EQ(std::filesystem::canonical(m_Root).string(), texts.location);
  }
  EXPECT_TRUE(g_Faults.empty());
  DisposeWindow(parent);
}

TEST_F(NavigationTest, CancelledOrUnscriptedDialogsGiveNoReply) {
  WindowRef parent = NewWindow();
  StandIn_NavScriptCancel();
  for (WindowRef sheetParent : {static_cast<WindowRef>(nullptr), parent}) {
    NavClient client;
    ASSERT_EQ(noErr, Run(StandIn_NavKind::GetFile, sheetParent, client));
    EXPECT_EQ(std::vector<NavUserAction>{kNavUserActionCancel}, client.actions);
    EXPECT_TRUE(client.replied.empty());
  }
  EXPECT_EQ(0, StandIn_NavScriptedAnswerCount());
  DisposeWindow(parent);
}

TEST_F(NavigationTest, AnswersTheDialogCannotGiveAreFaultsOfTheTest) {
  struct Case {
    StandIn_NavKind kind;
    std::vector<std::string> chosen;
    const char* why;
  };
  const std::vector<Case> cases = {
      {StandIn_NavKind::ChooseFolder, {At("a.prv")}, "cannot choose the file"},
      {StandIn_NavKind::GetFile, {At("Jobs")}, "cannot choose the folder"},
      {StandIn_NavKind::GetFile, {At("a.prv"), At("b.tif")}, "chooses one item, not 2"},
      {StandIn_NavKind::ChooseFile, {At("gone.prv")}, "does not exist"},
      {StandIn_NavKind::GetFile, {At("c.hidden")}, "filter hides"},
      {StandIn_NavKind::ChooseFile, {}, "no item"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    g_Faults.clear();
    StandIn_NavAnswer answer;
    answer.chosen = c.chosen;
    StandIn_NavScriptAnswer(answer);
    NavClient client;
    ASSERT_EQ(noErr, Run(c.kind, nullptr, client));
    ASSERT_EQ(1u, g_Faults.size());
    EXPECT_NE(std::string::npos, g_Faults[0].find(c.why)) << g_Faults[0];
    EXPECT_EQ(std::vector<NavUserAction>{kNavUserActionCancel}, client.actions);
  }
}

TEST_F(NavigationTest, ExceptionsStopAtTheCallbacksGuard) {
  StandIn_NavAnswer answer;
  answer.chosen = {At("a.prv")};
  StandIn_NavScriptAnswer(answer);
  NavClient client;
  client.throwInFilter = true;
  client.throwInEvents = true;
  ASSERT_EQ(noErr, Run(StandIn_NavKind::GetFile, nullptr, client));
  // The filter's item stays shown, and the callback still saw each step.
  EXPECT_EQ(std::vector<bool>{true}, StandIn_NavFilterAnswers());
  EXPECT_EQ(std::vector<std::string>{At("a.prv")}, client.replied);
  EXPECT_EQ(3u, client.messages.size());
  EXPECT_EQ(4, StandIn_NavCallbackExceptionCount());
}

TEST_F(NavigationTest, SheetsNeedAParentAndMayGoBeforeTheirTurn) {
  NavDialogCreationOptions options;
  ASSERT_EQ(noErr, NavGetDefaultDialogCreationOptions(&options));
  options.modality = kWindowModalityWindowModal;
  NavDialogRef dialog = nullptr;
  EXPECT_EQ(paramErr, NavCreateChooseFolderDialog(&options, nullptr, nullptr, nullptr, &dialog));
  EXPECT_EQ(nullptr, dialog);

  WindowRef parent = NewWindow();
  options.parentWindow = parent;
  ASSERT_EQ(noErr, NavCreateChooseFolderDialog(&options, nullptr, nullptr, nullptr, &dialog));
  EXPECT_EQ(parent, NavDialogGetWindow(dialog));
  ASSERT_EQ(noErr, NavDialogRun(dialog));
  EXPECT_EQ(paramErr, NavDialogRun(dialog));
  NavDialogDispose(dialog);  // its turn in the loop finds nothing
  EXPECT_EQ(1, StandIn_RunUntilIdle());
  DisposeWindow(parent);
}

}  // namespace
