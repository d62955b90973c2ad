// The file and folder choosers: which items the preview-file filter shows, and what a choice, a
// cancel and the next dialog do.
#include "MKRX/MKRX_NavServices.h"

#include "GFIL/GFIL_FileSpec.h"
#include "GFIL/mac/GFIL_FileSpecMacOS.h"

#include "TempFolder.h"
#include "TestBundle.h"

#include <Carbon/Carbon.h>
#include <HIToolbox/StandInScript.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr OSType kTiff = 0x54494646;     // 'TIFF'
constexpr OSType kCreator = 0x4e6c7432;  // 'Nlt2'

std::string PathOf(FSRef const& ref) {
  char path[4096];
  return FSRefMakePath(&ref, reinterpret_cast<UInt8*>(path), sizeof path) == noErr ? path : "";
}

FSRef RefOf(std::string const& path) {
  FSRef ref = {};
  EXPECT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr))
      << path;
  return ref;
}

// What the commands the choosers sent brought.
struct Received {
  std::vector<UInt32> commands;
  std::vector<std::vector<std::string>> files;  // paths of each 'Fils' list
  std::vector<std::string> folders;             // path of each 'Fldr'
  bool handle = true;                           // else the commands go unhandled
};

OSStatus ReceiveCommand(EventHandlerCallRef, EventRef event, void* data) {
  auto& received = *static_cast<Received*>(data);
  HICommand command = {};
  GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr,
                    &command);
  received.commands.push_back(command.commandID);
  if (!received.handle)
    return eventNotHandledErr;
  if (command.commandID == MKRX_NavServices::kFilesChosenCommand) {
    GFIL_FileSpecVector* list = nullptr;
    EXPECT_EQ(noErr, GetEventParameter(event, kEventParamUserData, typeVoidPtr, nullptr,
                                       sizeof list, nullptr, &list));
    std::unique_ptr<GFIL_FileSpecVector> owned(list);  // the receiver deletes it
    std::vector<std::string> paths;
    for (GFIL_FileSpec const& spec : *owned)
      paths.push_back(PathOf(GFIL_FileSpecMacOS(spec).AsFSRef()));
    received.files.push_back(paths);
  } else if (command.commandID == MKRX_NavServices::kFolderChosenCommand) {
    FSRef folder = {};
    UInt32 size = 0;
    EXPECT_EQ(noErr, GetEventParameter(event, kEventParamUserData, typeVoidPtr, nullptr,
                                       sizeof folder, &size, &folder));
    EXPECT_EQ(sizeof folder, size);
    received.folders.push_back(PathOf(folder));
  }
  return noErr;
}

class MKRX_NavServicesTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_Bundle = std::make_unique<TestBundle>(
        "\"CKRX_ClientName\" = \"Viewer\";\n\"CKRX_AddPreviewFiles\" = \"Add Preview Files\";\n"
        "\"CKRX_ChooseFilesMessage\" = \"Choose preview files.\";\n\"CKRX_Add\" = \"Add\";\n"
        "\"CKRX_ChooseFolderTitle\" = \"Choose a Folder\";\n");
    StandIn_EventsReset();
    StandIn_ScriptClear();
    StandIn_NavReset();
    m_Dialogs = StandIn_NavLiveDialogCount();
    m_Root = std::filesystem::canonical(m_Folder.Path()).string();
    std::filesystem::create_directories(m_Root + "/jobs/inner");
    for (const char* name : {"jobs/a.krx", "jobs/b.Tif", "jobs/inner/c.PRV", "jobs/notes.txt"})
      std::ofstream(m_Root + "/" + name) << "x";
    static const EventTypeSpec kCommand = {kEventClassCommand, kEventCommandProcess};
    InstallEventHandler(GetApplicationEventTarget(), ReceiveCommand, 1, &kCommand, &m_Received,
                        &m_Handler);
  }

  void TearDown() override {
    StandIn_RunUntilIdle();
    RemoveEventHandler(m_Handler);
    EXPECT_EQ(m_Dialogs, StandIn_NavLiveDialogCount());
    EXPECT_EQ(0, StandIn_NavCallbackExceptionCount());
    StandIn_NavReset();
    StandIn_EventsReset();
  }

  std::string Path(const char* relative) const { return m_Root + "/" + relative; }

  std::unique_ptr<TestBundle> m_Bundle;
  TempFolder m_Folder{"nav"};
  std::string m_Root;
  Received m_Received;
  EventHandlerRef m_Handler = nullptr;
  long m_Dialogs = 0;
};

// One item offered to the filter.
struct FilterCase {
  const char* what;
  NavFilterModes mode;
  bool folder;
  OSType type, creator;
  DescType descriptor;
  const char* name;  // the file's (FSRef) or the spec's (FSSpec) name
  bool shown;
};

TEST_F(MKRX_NavServicesTest, TheFilterShowsFoldersPreviewFilesAndWhatItCannotJudge) {
  const FilterCase cases[] = {
      {"outside the browser list", kNavFilteringFavorites, false, 0, 0, typeFSRef, "notes.txt",
       true},
      {"folder", kNavFilteringBrowserList, true, 0, 0, typeFSRef, "inner", true},
      {"'TIFF' of 'Nlt2'", kNavFilteringBrowserList, false, kTiff, kCreator, typeFSRef, "notes.txt",
       true},
      {"'TIFF' of another", kNavFilteringBrowserList, false, kTiff, 0x3f3f3f3f, typeFSRef,
       "notes.txt", false},
      {"ref .krx", kNavFilteringBrowserList, false, 0, 0, typeFSRef, "a.krx", true},
      {"ref .Tif", kNavFilteringBrowserList, false, 0, 0, typeFSRef, "b.Tif", true},
      {"ref .Prv", kNavFilteringBrowserList, false, 0, 0, typeFSRef, "d.Prv", true},
      {"ref .tiff", kNavFilteringBrowserList, false, 0, 0, typeFSRef, "e.tiff", false},
      {"ref .txt", kNavFilteringBrowserList, false, 0, 0, typeFSRef, "notes.txt", false},
      {"ref no extension", kNavFilteringBrowserList, false, 0, 0, typeFSRef, "krx", false},
      {"spec .PRV", kNavFilteringBrowserList, false, 0, 0, typeFSS, "c.PRV", true},
      {"spec .prv", kNavFilteringBrowserList, false, 0, 0, typeFSS, "c.prv", true},
      {"spec .Prv", kNavFilteringBrowserList, false, 0, 0, typeFSS, "c.Prv", false},
      {"spec .KRX", kNavFilteringBrowserList, false, 0, 0, typeFSS, "a.KRX", true},
      {"spec .tif", kNavFilteringBrowserList, false, 0, 0, typeFSS, "b.tif", true},
      {"spec .Tif", kNavFilteringBrowserList, false, 0, 0, typeFSS, "b.Tif", false},
      {"spec .txt", kNavFilteringBrowserList, false, 0, 0, typeFSS, "notes.txt", false},
      {"other descriptor", kNavFilteringBrowserList, false, 0, 0, typeChar, "notes.txt", true},
  };
  for (const char* name : {"d.Prv", "e.tiff", "krx"})
    std::ofstream(Path("jobs/") + name) << "x";

  for (FilterCase const& c : cases) {
    SCOPED_TRACE(c.what);
    NavFileOrFolderInfo info = {};
    info.isFolder = c.folder;
    info.fileAndFolder.fileInfo.finderInfo.fdType = c.type;
    info.fileAndFolder.fileInfo.finderInfo.fdCreator = c.creator;
    AEDesc item = {typeNull, nullptr};
    if (c.descriptor == typeFSRef) {
      const FSRef ref = RefOf(Path("jobs/") + c.name);
      ASSERT_EQ(noErr, AECreateDesc(typeFSRef, &ref, sizeof ref, &item));
    } else if (c.descriptor == typeFSS) {
      FSSpec spec = {};
      spec.name[0] = static_cast<unsigned char>(std::strlen(c.name));
      std::memcpy(spec.name + 1, c.name, spec.name[0]);
      ASSERT_EQ(noErr, AECreateDesc(typeFSS, &spec, sizeof spec, &item));
    } else {
      ASSERT_EQ(noErr, AECreateDesc(c.descriptor, c.name, std::strlen(c.name), &item));
    }
    EXPECT_EQ(c.shown, MKRX_NavServices::PreviewFileFilter(&item, &info, nullptr, c.mode) != 0);
    AEDisposeDesc(&item);
  }
}

TEST_F(MKRX_NavServicesTest, AnItemWhoseDataCannotBeReadIsHidden) {
  NavFileOrFolderInfo info = {};
  const char bytes[] = "short";
  for (DescType type : {typeFSRef, typeFSS}) {
    AEDesc item = {typeNull, nullptr};
    ASSERT_EQ(noErr, AECreateDesc(type, bytes, sizeof bytes, &item));
    EXPECT_FALSE(
        MKRX_NavServices::PreviewFileFilter(&item, &info, nullptr, kNavFilteringBrowserList));
    AEDisposeDesc(&item);
  }
  AEDesc list = {typeNull, nullptr};
  ASSERT_EQ(noErr, AECreateList(nullptr, 0, false, &list));
  list.descriptorType = typeFSRef;  // a list posing as a file reference
  EXPECT_FALSE(
      MKRX_NavServices::PreviewFileFilter(&list, &info, nullptr, kNavFilteringBrowserList));
  list.descriptorType = typeAEList;
  AEDisposeDesc(&list);
}

TEST_F(MKRX_NavServicesTest, ChosenFilesArriveAsAListTheReceiverOwns) {
  StandIn_NavAnswer answer;
  answer.browsed = {Path("jobs/notes.txt")};
  answer.chosen = {Path("jobs/a.krx"), Path("jobs/b.Tif")};
  StandIn_NavScriptAnswer(answer);
  ASSERT_EQ(noErr, MKRX_NavServices::ChooseFiles(GetApplicationEventTarget(), nullptr));

  ASSERT_EQ(std::vector<UInt32>{MKRX_NavServices::kFilesChosenCommand}, m_Received.commands);
  EXPECT_EQ((std::vector<std::vector<std::string>>{{Path("jobs/a.krx"), Path("jobs/b.Tif")}}),
            m_Received.files);
  // The text file was offered and hidden; the mixed-case extension is shown.
  EXPECT_EQ((std::vector<bool>{false, true, true}), StandIn_NavFilterAnswers());

  StandIn_NavDialogTexts const texts = StandIn_NavLastDialogTexts();
  EXPECT_EQ(StandIn_NavKind::GetFile, texts.kind);
  EXPECT_EQ(kWindowModalityAppModal, texts.modality);
  EXPECT_EQ("Viewer", texts.clientName);
  EXPECT_EQ("Add Preview Files", texts.windowTitle);
  EXPECT_EQ("Choose preview files.", texts.message);
  EXPECT_EQ("Add", texts.actionButtonLabel);
  EXPECT_NE(0u, texts.flags & kNavAllowMultipleFiles);
}

TEST_F(MKRX_NavServicesTest, TheNextDialogOpensWhereTheLastChoiceWas) {
  StandIn_NavAnswer answer;
  answer.chosen = {Path("jobs/inner/c.PRV")};
  StandIn_NavScriptAnswer(answer);
  ASSERT_EQ(noErr, MKRX_NavServices::ChooseFiles(GetApplicationEventTarget(), nullptr));
  StandIn_NavScriptCancel();
  ASSERT_EQ(noErr, MKRX_NavServices::ChooseFiles(GetApplicationEventTarget(), nullptr));
  EXPECT_EQ(Path("jobs/inner"), StandIn_NavLastDialogTexts().location);

  // A chosen folder is itself the next place.
  answer.chosen = {Path("jobs")};
  StandIn_NavScriptAnswer(answer);
  ASSERT_EQ(noErr, MKRX_NavServices::ChooseFolder(GetApplicationEventTarget(), nullptr));
  StandIn_NavScriptCancel();
  ASSERT_EQ(noErr, MKRX_NavServices::ChooseFiles(GetApplicationEventTarget(), nullptr));
  EXPECT_EQ(Path("jobs"), StandIn_NavLastDialogTexts().location);
}

TEST_F(MKRX_NavServicesTest, ACancelSendsNothing) {
  StandIn_NavScriptCancel();
  ASSERT_EQ(noErr, MKRX_NavServices::ChooseFiles(GetApplicationEventTarget(), nullptr));
  StandIn_NavScriptCancel();
  ASSERT_EQ(noErr, MKRX_NavServices::ChooseFolder(GetApplicationEventTarget(), nullptr));
  EXPECT_TRUE(m_Received.commands.empty());
}

TEST_F(MKRX_NavServicesTest, AChosenFolderArrivesAsItsReferenceOnASheet) {
  Rect bounds = {100, 100, 400, 500};
  WindowRef window = nullptr;
  ASSERT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &bounds,
                                   &window));
  StandIn_NavAnswer answer;
  answer.chosen = {Path("jobs/inner")};
  StandIn_NavScriptAnswer(answer);
  ASSERT_EQ(noErr, MKRX_NavServices::ChooseFolder(GetApplicationEventTarget(), window));
  // A sheet takes its answer from the event loop.
  EXPECT_TRUE(m_Received.commands.empty());
  StandIn_RunUntilIdle();

  EXPECT_EQ(std::vector<UInt32>{MKRX_NavServices::kFolderChosenCommand}, m_Received.commands);
  EXPECT_EQ(std::vector<std::string>{Path("jobs/inner")}, m_Received.folders);
  StandIn_NavDialogTexts const texts = StandIn_NavLastDialogTexts();
  EXPECT_EQ(StandIn_NavKind::ChooseFolder, texts.kind);
  EXPECT_EQ(kWindowModalityWindowModal, texts.modality);
  EXPECT_EQ(window, texts.parentWindow);
  EXPECT_EQ("Choose a Folder", texts.windowTitle);
  EXPECT_EQ("CKRX_ChooseFolderMessage", texts.message);  // no text: the key
  EXPECT_EQ("", texts.actionButtonLabel);
  DisposeWindow(window);
}

// Nobody takes the list: it must not be lost (the sanitiser build sees a leak).
TEST_F(MKRX_NavServicesTest, AListNobodyTakesIsFreed) {
  m_Received.handle = false;
  StandIn_NavAnswer answer;
  answer.chosen = {Path("jobs/a.krx")};
  StandIn_NavScriptAnswer(answer);
  ASSERT_EQ(noErr, MKRX_NavServices::ChooseFiles(GetApplicationEventTarget(), nullptr));
  EXPECT_EQ(std::vector<UInt32>{MKRX_NavServices::kFilesChosenCommand}, m_Received.commands);
}

TEST_F(MKRX_NavServicesTest, ADialogThatCannotBeMadeAnswersWhy) {
  StandIn_FilesFailNext("NavCreateGetFileDialog", memFullErr);
  EXPECT_EQ(memFullErr, MKRX_NavServices::ChooseFiles(GetApplicationEventTarget(), nullptr));
  StandIn_FilesFailNext("NavDialogRun", memFullErr);
  EXPECT_EQ(memFullErr, MKRX_NavServices::ChooseFolder(GetApplicationEventTarget(), nullptr));
  EXPECT_TRUE(m_Received.commands.empty());
}

}  // namespace
