// Apple events of the stand-in: handlers, sends to the program itself through the loop, the quit
// and open-documents events, and the launch arguments.
#include "StandInToolboxTest.h"

#include <PPx/PPxApplication.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class AppleEventsTest : public StandInToolboxTest {
protected:
  void SetUp() override {
    StandInToolboxTest::SetUp();
    m_Descriptors = StandIn_AELiveDescriptorCount();
    m_AEHandlers = StandIn_AEHandlerCount();
    StandIn_AEClearSent();
  }
  void TearDown() override {
    StandInToolboxTest::TearDown();
    EXPECT_EQ(m_AEHandlers, StandIn_AEHandlerCount());
    EXPECT_EQ(m_Descriptors, StandIn_AELiveDescriptorCount());
  }

private:
  long m_Descriptors = 0;
  long m_AEHandlers = 0;
};

constexpr AEEventClass kTestClass = 0x54657374;  // 'Test'
constexpr AEEventID kTestID = 0x50696e67;        // 'Ping'
constexpr AEKeyword kNumberKey = 0x6e756d62;     // 'numb'

// Disposes of a descriptor it holds.
struct Desc {
  AEDesc desc = {typeNull, nullptr};
  ~Desc() { AEDisposeDesc(&desc); }
};

struct Received {
  std::vector<SInt32> numbers;  // the direct object of each event handled
  OSErr answer = noErr;
};

OSErr ReceiveNumber(const AppleEvent* event, AppleEvent* reply, SRefCon refcon) {
  auto received = reinterpret_cast<Received*>(refcon);
  SInt32 number = 0;
  AEGetParamPtr(event, keyDirectObject, typeSInt32, nullptr, &number, sizeof number, nullptr);
  received->numbers.push_back(number);
  const SInt32 doubled = number * 2;
  Desc answer;
  AECreateDesc(typeSInt32, &doubled, sizeof doubled, &answer.desc);
  AEPutParamDesc(reply, kNumberKey, &answer.desc);
  return received->answer;
}

OSErr OtherHandler(const AppleEvent*, AppleEvent*, SRefCon) {
  return noErr;
}

OSErr ThrowingHandler(const AppleEvent*, AppleEvent*, SRefCon) {
  throw std::runtime_error("handler failed");
}

// An Apple event of the test class to the target, with a number as its direct object.
void MakeEvent(DescType targetType, const void* target, Size size, SInt32 number,
               AppleEvent* event) {
  Desc address;
  ASSERT_EQ(noErr, AECreateDesc(targetType, target, size, &address.desc));
  ASSERT_EQ(noErr, AECreateAppleEvent(kTestClass, kTestID, &address.desc, kAutoGenerateReturnID,
                                      kAnyTransactionID, event));
  Desc direct;
  AECreateDesc(typeSInt32, &number, sizeof number, &direct.desc);
  ASSERT_EQ(noErr, AEPutParamDesc(event, keyDirectObject, &direct.desc));
}

TEST_F(AppleEventsTest, EventsToTheProgramItselfGoThroughTheLoopToTheirHandler) {
  ProcessSerialNumber current = {0, kCurrentProcess};
  ProcessSerialNumber own = {0, 0};
  ASSERT_EQ(noErr, GetCurrentProcess(&own));
  ProcessInfoRec info{};
  info.processInfoLength = sizeof info;
  ASSERT_EQ(noErr, GetProcessInformation(&current, &info));
  const SInt32 pid = ::getpid();
  const OSType finder = 0x4d414353;  // 'MACS'
  struct Case {
    const char* name;
    DescType type;
    const void* target;
    Size size;
    bool self;
  };
  const Case cases[] = {
      {"kCurrentProcess", typeProcessSerialNumber, &current, sizeof current, true},
      {"its serial number", typeProcessSerialNumber, &own, sizeof own, true},
      {"its signature", typeApplSignature, &info.processSignature, sizeof(OSType), true},
      {"its process ID", typeKernelProcessID, &pid, sizeof pid, true},
      {"another program", typeApplSignature, &finder, sizeof finder, false},
  };
  Received received;
  ASSERT_EQ(noErr, AEInstallEventHandler(kTestClass, kTestID, ReceiveNumber,
                                         reinterpret_cast<SRefCon>(&received), false));
  SInt32 number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    received.numbers.clear();
    StandIn_AEClearSent();
    Desc event;
    MakeEvent(c.type, c.target, c.size, ++number, &event.desc);
    Desc reply;
    ASSERT_EQ(noErr, AESend(&event.desc, &reply.desc, kAENoReply, kAENormalPriority,
                            kAEDefaultTimeout, nullptr, nullptr));
    EXPECT_TRUE(received.numbers.empty());  // queued, not handled yet
    EXPECT_EQ(c.self ? 1 : 0, StandIn_QueuedEventCount());
    EXPECT_EQ(c.self ? 0 : 1, StandIn_AESentCount());
    StandIn_RunUntilIdle();
    EXPECT_EQ(c.self ? std::vector<SInt32>{number} : std::vector<SInt32>{}, received.numbers);
  }
  EXPECT_EQ(noErr, AERemoveEventHandler(kTestClass, kTestID, ReceiveNumber, false));
}

TEST_F(AppleEventsTest, WaitingForTheReplyHandlesAtOnce) {
  Received received;
  AEInstallEventHandler(kTestClass, kTestID, ReceiveNumber, reinterpret_cast<SRefCon>(&received),
                        false);
  const ProcessSerialNumber self = {0, kCurrentProcess};
  Desc event;
  MakeEvent(typeProcessSerialNumber, &self, sizeof self, 21, &event.desc);
  Desc reply;
  EXPECT_EQ(noErr, AESend(&event.desc, &reply.desc, kAEWaitReply, kAENormalPriority,
                          kAEDefaultTimeout, nullptr, nullptr));
  EXPECT_EQ(std::vector<SInt32>{21}, received.numbers);
  EXPECT_EQ(0, StandIn_QueuedEventCount());
  SInt32 answer = 0;
  EXPECT_EQ(noErr, AEGetParamPtr(&reply.desc, kNumberKey, typeSInt32, nullptr, &answer,
                                 sizeof answer, nullptr));
  EXPECT_EQ(42, answer);

  // A handler's exception stays at its boundary.
  AEInstallEventHandler(kTestClass, kTestID, ThrowingHandler, 0, false);
  Desc failed;
  EXPECT_EQ(errAEEventFailed, AESend(&event.desc, &failed.desc, kAEWaitReply, kAENormalPriority,
                                     kAEDefaultTimeout, nullptr, nullptr));
  // Only the installed handler is removed.
  EXPECT_EQ(errAEHandlerNotFound, AERemoveEventHandler(kTestClass, kTestID, OtherHandler, false));
  EXPECT_EQ(noErr, AERemoveEventHandler(kTestClass, kTestID, ThrowingHandler, false));
  EXPECT_EQ(errAEHandlerNotFound,
            AERemoveEventHandler(kTestClass, kTestID, ThrowingHandler, false));
}

TEST_F(AppleEventsTest, ParametersComeAsTheyAreOrAsAListOfOne) {
  const ProcessSerialNumber self = {0, kCurrentProcess};
  Desc event;
  MakeEvent(typeProcessSerialNumber, &self, sizeof self, 7, &event.desc);
  Desc list;
  ASSERT_EQ(noErr, AEGetParamDesc(&event.desc, keyDirectObject, typeAEList, &list.desc));
  long count = 0;
  EXPECT_EQ(noErr, AECountItems(&list.desc, &count));
  EXPECT_EQ(1, count);
  Desc plain;
  ASSERT_EQ(noErr, AEGetParamDesc(&event.desc, keyDirectObject, typeWildCard, &plain.desc));
  EXPECT_EQ(typeSInt32, plain.desc.descriptorType);
  Desc none;
  EXPECT_EQ(errAEDescNotFound, AEGetParamDesc(&event.desc, kNumberKey, typeWildCard, &none.desc));
  EXPECT_EQ(errAECoercionFail, AEGetParamDesc(&event.desc, keyDirectObject, typeFSRef, &none.desc));
  EXPECT_EQ(typeNull, none.desc.descriptorType);
}

// An application with the two required Apple events, recording them.
class RecordingApplication : public PPx::Application,
                             public PPx::AEOpenDocumentsDoer,
                             public PPx::AEQuitApplicationDoer {
public:
  std::vector<std::vector<std::string>> opened;  // the paths of each open-documents event
  int quits = 0;
  OSStatus quitAnswer = errAEEventNotHandled;

protected:
  OSStatus DoAEOpenDocuments(const AppleEvent& event, AppleEvent&) override {
    Desc list;
    if (OSErr err = AEGetParamDesc(&event, keyDirectObject, typeAEList, &list.desc))
      return err;
    long count = 0;
    AECountItems(&list.desc, &count);
    std::vector<std::string> paths;
    for (long i = 1; i <= count; ++i) {
      FSRef ref;
      AEGetNthPtr(&list.desc, i, typeFSRef, nullptr, nullptr, &ref, sizeof ref, nullptr);
      char path[1024] = "";
      FSRefMakePath(&ref, reinterpret_cast<UInt8*>(path), sizeof path);
      paths.push_back(path);
    }
    opened.push_back(paths);
    return noErr;
  }
  OSStatus DoAEQuitApplication(const AppleEvent&, AppleEvent&) override {
    ++quits;
    return quitAnswer;
  }
};

void PostQuitCommand() {
  EventRef event = nullptr;
  CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, 0, &event);
  HICommand command{};
  command.commandID = kHICommandQuit;
  SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command);
  PostEventToQueue(GetMainEventQueue(), event, kEventPriorityStandard);
  ReleaseEvent(event);
}

TEST_F(AppleEventsTest, TheQuitCommandArrivesAsTheQuitEvent) {
  struct Case {
    const char* name;
    bool application;
    OSStatus answer;
    bool quits;
  };
  const Case cases[] = {
      {"without a handler the loop ends", false, noErr, true},
      {"a handler that leaves it to the standard handling", true, errAEEventNotHandled, true},
      {"a handler that keeps the program running", true, noErr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StandIn_EventsReset();
    std::unique_ptr<RecordingApplication> application;
    if (c.application) {
      application = std::make_unique<RecordingApplication>();
      application->quitAnswer = c.answer;
    }
    PostQuitCommand();
    if (application)
      application->Run();
    else
      RunApplicationEventLoop();
    EXPECT_EQ(c.quits, StandIn_QuitRequested());
    EXPECT_EQ(!c.quits, StandIn_EventLoopRanDry());
    if (application) {
      EXPECT_EQ(1, application->quits);
    }
  }
}

TEST_F(AppleEventsTest, PathsOnTheCommandLineBecomeOneOpenDocumentsEvent) {
  std::string folder = (std::filesystem::temp_directory_path() / "launch_XXXXXX").string();
  ASSERT_NE(nullptr, ::mkdtemp(folder.data()));
  const std::string first = folder + "/first.krx";
  const std::string second = folder + "/second.krx";
  std::ofstream(first) << "1";
  std::ofstream(second) << "2";
  const std::string missing = folder + "/missing.krx";
  const char* const argv[] = {"viewer", "-psn_0_4711", first.c_str(), missing.c_str(),
                              second.c_str()};
  {
    RecordingApplication application;
    StandIn_SetLaunchArguments(5, argv);
    EXPECT_EQ(0, StandIn_QueuedEventCount());  // not before the loop starts
    application.Run();
    ASSERT_EQ(1u, application.opened.size());
    EXPECT_EQ((std::vector<std::string>{first, second}), application.opened[0]);
    application.Run();  // once only
    EXPECT_EQ(1u, application.opened.size());
  }
  std::filesystem::remove_all(folder);
}

TEST_F(AppleEventsTest, ADoerRemovesOnlyItsOwnHandler) {
  auto older = std::make_unique<RecordingApplication>();
  RecordingApplication newer;  // replaces the older one's handlers
  older.reset();
  PostQuitCommand();
  newer.Run();
  EXPECT_EQ(1, newer.quits);
  AEEventHandlerUPP handler = nullptr;
  EXPECT_EQ(noErr, AEGetEventHandler(kCoreEventClass, kAEOpenDocuments, &handler, nullptr, false));
}

}  // namespace
