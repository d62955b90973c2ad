#include "WTLU/WTLU_DropTarget.h"

#include <gtest/gtest.h>

#include <exception>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_LogMessage.h"
#include "WTLU/WTLU_ComGuard.h"
#include "support/DropTestObjects.h"

namespace {

using Record = FileDropTarget::Record;

const std::vector<std::wstring> sm_Names = {L"C:\\jobs\\first.job", L"C:\\jobs\\second one.job"};

struct LoggedLine {
  GLIB_SEVERITY m_Severity;
  std::wstring m_Text;
  std::string m_File;
};

std::vector<LoggedLine> sm_Logged;
std::vector<int> sm_ExitCodes;

void CaptureLog(GLIB_SEVERITY severity, const wchar_t* message, const char* file, int) {
  sm_Logged.push_back({severity, message, file});
}

void CaptureExit(int exitCode) {
  sm_ExitCodes.push_back(exitCode);
}

// A plain window class of this process: only its handle matters to the drop target.
const wchar_t* WindowClass() {
  static const std::wstring sm_Name = L"WTLU_DropTest" + std::to_wstring(GetCurrentProcessId());
  static const ATOM sm_Atom = [] {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = sm_Name.c_str();
    return RegisterClassW(&windowClass);
  }();
  return sm_Atom ? sm_Name.c_str() : L"";
}

class DropTargetTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    m_Window = CreateWindowExW(0, WindowClass(), L"drop", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(m_Window, nullptr) << GetLastError();
    m_Target = new FileDropTarget(m_Window, &m_Helper, m_Record);
    m_Target->AddRef();
    m_PreviousLog = GLIB_LogMessage::SetHandler(CaptureLog);
    m_PreviousExit = GLIB_SetGuardExitHook(CaptureExit);
    sm_Logged.clear();
    sm_ExitCodes.clear();
  }

  void TearDown() override {
    if (m_Target) {
      m_Target->Release();
    }
    GLIB_SetGuardExitHook(m_PreviousExit);
    GLIB_LogMessage::SetHandler(m_PreviousLog);
    GLIB_TakePendingFatal();
    DestroyWindow(m_Window);
    OleUninitialize();
  }

  // A whole drag: enter, one move, drop. Returns the effect handed back by Drop.
  DWORD DragAndDrop(IDataObject* data, DWORD keys, DWORD allowed, HRESULT* dropResult = nullptr) {
    DWORD effect = allowed;
    EXPECT_EQ(m_Target->DragEnter(data, keys, POINTL{10, 20}, &effect), S_OK);
    effect = allowed;
    EXPECT_EQ(m_Target->DragOver(keys, POINTL{11, 21}, &effect), S_OK);
    effect = allowed;
    const HRESULT result = m_Target->Drop(data, keys, POINTL{12, 22}, &effect);
    if (dropResult) {
      *dropResult = result;
    } else {
      EXPECT_EQ(result, S_OK);
    }
    return effect;
  }

  HWND m_Window = nullptr;
  FakeDragImageHelper m_Helper;
  FileDropTarget::Record m_Record;
  FileDropTarget* m_Target = nullptr;
  TestFileDataObject m_Files{sm_Names};
  GLIB_LogHandlerPtr m_PreviousLog;
  GLIB_GuardExitHook m_PreviousExit = nullptr;
};

struct EffectCase {
  DWORD m_Keys;
  DWORD m_Allowed;
  DWORD m_Expected;
};

class DropEffectTest : public DropTargetTest, public testing::WithParamInterface<EffectCase> {};

TEST_P(DropEffectTest, FollowsModifiersAndWhatTheSourceAllows) {
  const EffectCase& c = GetParam();
  DWORD effect = c.m_Allowed;
  ASSERT_EQ(m_Target->DragEnter(&m_Files, c.m_Keys, POINTL{1, 2}, &effect), S_OK);
  EXPECT_EQ(effect, c.m_Expected);
  effect = c.m_Allowed;
  ASSERT_EQ(m_Target->DragOver(c.m_Keys, POINTL{3, 4}, &effect), S_OK);
  EXPECT_EQ(effect, c.m_Expected);
}

constexpr DWORD sm_All = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

INSTANTIATE_TEST_SUITE_P(
    KeysAndAllowedEffects, DropEffectTest,
    testing::Values(
        // No modifier: copy, else move, else link.
        EffectCase{0, sm_All, DROPEFFECT_COPY},
        EffectCase{0, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE},
        EffectCase{0, DROPEFFECT_LINK, DROPEFFECT_LINK},
        EffectCase{0, DROPEFFECT_NONE, DROPEFFECT_NONE},
        EffectCase{MK_LBUTTON, DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        // Modifiers ask for one effect, which the source must allow.
        EffectCase{MK_CONTROL, sm_All, DROPEFFECT_COPY},
        EffectCase{MK_CONTROL, DROPEFFECT_MOVE, DROPEFFECT_NONE},
        EffectCase{MK_SHIFT, sm_All, DROPEFFECT_MOVE},
        EffectCase{MK_SHIFT, DROPEFFECT_COPY | DROPEFFECT_LINK, DROPEFFECT_NONE},
        EffectCase{MK_CONTROL | MK_SHIFT, sm_All, DROPEFFECT_LINK},
        EffectCase{MK_CONTROL | MK_SHIFT | MK_LBUTTON, DROPEFFECT_COPY, DROPEFFECT_NONE}));

TEST_F(DropTargetTest, DropHandsTheFilesToTheHookAndReleasesTheMedium) {
  EXPECT_EQ(DragAndDrop(&m_Files, 0, sm_All), static_cast<DWORD>(DROPEFFECT_NONE));

  EXPECT_EQ(m_Record.m_Calls, 1);
  EXPECT_EQ(m_Record.m_Names, sm_Names);
  EXPECT_EQ(m_Record.m_Format, CF_HDROP);
  EXPECT_EQ(m_Record.m_Effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(m_Record.m_Point.x, 12);
  EXPECT_EQ(m_Record.m_Point.y, 22);
  EXPECT_EQ(m_Files.m_MediumOwner.m_Releases, 1);
}

TEST_F(DropTargetTest, HookThatKeepsTheMediumOwnsIt) {
  m_Target->m_Outcome = HookOutcome::Keep;
  EXPECT_EQ(DragAndDrop(&m_Files, MK_SHIFT, sm_All), static_cast<DWORD>(DROPEFFECT_NONE));

  EXPECT_EQ(m_Record.m_Calls, 1);
  EXPECT_EQ(m_Record.m_Effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_EQ(m_Files.m_MediumOwner.m_Releases, 0);
  ReleaseStgMedium(&m_Record.m_KeptMedium);
  EXPECT_EQ(m_Files.m_MediumOwner.m_Releases, 1);
}

TEST_F(DropTargetTest, NothingIsDroppedWithoutAnAcceptedFormat) {
  TestFileDataObject noFiles(sm_Names, false);
  DWORD effect = sm_All;
  ASSERT_EQ(m_Target->DragEnter(&noFiles, 0, POINTL{}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));

  EXPECT_EQ(DragAndDrop(&noFiles, 0, sm_All), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(noFiles.m_GetDataCalls, 0);
  EXPECT_EQ(m_Record.m_Calls, 0);
}

TEST_F(DropTargetTest, FormatsAreTriedInOrderAndTheFirstOfferedIsUsed) {
  Record record;
  auto* target = new FileDropTarget(m_Window, nullptr, record);
  // The constructor added CF_HDROP; a format the source lacks and a second offered one follow.
  target->AddSupportedFormat(CF_TEXT);
  target->AddSupportedFormat(FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM});
  target->AddRef();
  DWORD effect = sm_All;
  ASSERT_EQ(target->DragEnter(&m_Files, 0, POINTL{}, &effect), S_OK);
  EXPECT_EQ(m_Files.m_Queried, std::vector<CLIPFORMAT>{CF_HDROP});
  effect = sm_All;
  ASSERT_EQ(target->Drop(&m_Files, 0, POINTL{}, &effect), S_OK);
  EXPECT_EQ(record.m_Calls, 1);
  EXPECT_EQ(record.m_Names, sm_Names);
  target->Release();
  EXPECT_EQ(record.m_Deletions, 1);
}

TEST_F(DropTargetTest, EmptyFormatListAcceptsNothing) {
  class NoFormats : public CIDropTarget {
  public:
    explicit NoFormats(int& calls) : CIDropTarget(nullptr, nullptr), m_Calls(calls) {}

  protected:
    bool OnDrop(FORMATETC*, STGMEDIUM*, DWORD*, POINTL) override {
      ++m_Calls;
      return true;
    }

  private:
    int& m_Calls;
  };
  int calls = 0;
  auto* target = new NoFormats(calls);
  target->AddRef();
  DWORD effect = sm_All;
  ASSERT_EQ(target->DragEnter(&m_Files, 0, POINTL{}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_TRUE(m_Files.m_Queried.empty());
  effect = sm_All;
  ASSERT_EQ(target->Drop(&m_Files, 0, POINTL{}, &effect), S_OK);
  EXPECT_EQ(calls, 0);
  target->Release();
}

TEST_F(DropTargetTest, FailingGetDataSkipsTheHook) {
  m_Files.m_GetDataFails = true;
  EXPECT_EQ(DragAndDrop(&m_Files, 0, sm_All), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(m_Files.m_GetDataCalls, 1);
  EXPECT_EQ(m_Record.m_Calls, 0);
  EXPECT_EQ(m_Files.m_MediumOwner.m_Releases, 0);
}

TEST_F(DropTargetTest, DropWithAnEffectTheSourceRefusesFetchesNothing) {
  EXPECT_EQ(DragAndDrop(&m_Files, MK_CONTROL, DROPEFFECT_MOVE),
            static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(m_Files.m_GetDataCalls, 0);
  EXPECT_EQ(m_Record.m_Calls, 0);
}

TEST_F(DropTargetTest, LeavingOrDroppingEndsTheDrag) {
  DWORD effect = sm_All;
  ASSERT_EQ(m_Target->DragEnter(&m_Files, 0, POINTL{}, &effect), S_OK);
  ASSERT_EQ(m_Target->DragLeave(), S_OK);
  effect = sm_All;
  ASSERT_EQ(m_Target->DragOver(0, POINTL{}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));

  DragAndDrop(&m_Files, 0, sm_All);
  effect = sm_All;
  ASSERT_EQ(m_Target->DragOver(0, POINTL{}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  // A drop without a new DragEnter finds no chosen format.
  effect = sm_All;
  ASSERT_EQ(m_Target->Drop(&m_Files, 0, POINTL{}, &effect), S_OK);
  EXPECT_EQ(m_Record.m_Calls, 1);
}

TEST_F(DropTargetTest, NullDataObjectIsRefused) {
  DWORD effect = sm_All;
  EXPECT_EQ(m_Target->DragEnter(nullptr, 0, POINTL{}, &effect), E_INVALIDARG);
  EXPECT_EQ(m_Target->Drop(nullptr, 0, POINTL{}, &effect), E_INVALIDARG);
  EXPECT_EQ(m_Record.m_Calls, 0);
  EXPECT_TRUE(m_Helper.m_Calls.empty());
}

TEST_F(DropTargetTest, DragImageHelperFollowsTheDrag) {
  DragAndDrop(&m_Files, 0, DROPEFFECT_MOVE);
  DWORD effect = sm_All;
  ASSERT_EQ(m_Target->DragEnter(&m_Files, 0, POINTL{5, 6}, &effect), S_OK);
  ASSERT_EQ(m_Target->DragLeave(), S_OK);

  EXPECT_EQ(m_Helper.m_Calls,
            (std::vector<std::string>{"DragEnter", "DragOver", "Drop", "DragEnter", "DragLeave"}));
  EXPECT_EQ(m_Helper.m_Window, m_Window);
  EXPECT_EQ(m_Helper.m_LastPoint.x, 5);
  EXPECT_EQ(m_Helper.m_LastPoint.y, 6);
  // The helper sees what the source allows, before the target chooses.
  EXPECT_EQ(m_Helper.m_LastEffect, sm_All);

  m_Target->Release();
  m_Target = nullptr;
  EXPECT_EQ(m_Helper.m_Releases, 1);
}

TEST_F(DropTargetTest, WorksWithoutDragImageHelper) {
  Record record;
  auto* target = new FileDropTarget(m_Window, nullptr, record);
  target->AddRef();
  DWORD effect = sm_All;
  ASSERT_EQ(target->DragEnter(&m_Files, 0, POINTL{}, &effect), S_OK);
  ASSERT_EQ(target->DragOver(0, POINTL{}, &effect), S_OK);
  ASSERT_EQ(target->DragLeave(), S_OK);
  ASSERT_EQ(target->DragEnter(&m_Files, 0, POINTL{}, &effect), S_OK);
  effect = sm_All;
  ASSERT_EQ(target->Drop(&m_Files, 0, POINTL{}, &effect), S_OK);
  EXPECT_EQ(record.m_Names, sm_Names);
  target->Release();
  EXPECT_EQ(record.m_Deletions, 1);
}

TEST_F(DropTargetTest, FailingDragImageHelperCreationLeavesAWorkingTarget) {
  // COM is not initialised on a new thread, so the helper cannot be created there.
  Record record;
  bool creationFails = false;
  std::thread([&] {
    void* helper = nullptr;
    creationFails = FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IDropTargetHelper, &helper));
    TestFileDataObject files(sm_Names);
    auto* target = new FileDropTarget(nullptr, record);
    target->AddRef();
    DWORD effect = sm_All;
    target->DragEnter(&files, 0, POINTL{}, &effect);
    effect = sm_All;
    target->Drop(&files, 0, POINTL{}, &effect);
    target->Release();
  }).join();
  EXPECT_TRUE(creationFails);
  EXPECT_EQ(record.m_Names, sm_Names);
  EXPECT_EQ(record.m_Deletions, 1);
}

TEST_F(DropTargetTest, InterfacesAndReferenceCount) {
  Record record;
  auto* target = new FileDropTarget(m_Window, nullptr, record);
  EXPECT_EQ(target->AddRef(), 1u);
  void* unknown = nullptr;
  ASSERT_EQ(target->QueryInterface(IID_IUnknown, &unknown), S_OK);
  EXPECT_EQ(unknown, static_cast<IDropTarget*>(target));
  void* dropTarget = nullptr;
  ASSERT_EQ(target->QueryInterface(IID_IDropTarget, &dropTarget), S_OK);
  EXPECT_EQ(dropTarget, static_cast<IDropTarget*>(target));
  void* other = &record;
  EXPECT_EQ(target->QueryInterface(IID_IDataObject, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);

  EXPECT_EQ(target->References(), 3u);
  EXPECT_EQ(target->Release(), 2u);
  EXPECT_EQ(target->Release(), 1u);
  EXPECT_EQ(record.m_Deletions, 0);
  EXPECT_EQ(target->Release(), 0u);
  EXPECT_EQ(record.m_Deletions, 1);
}

TEST_F(DropTargetTest, RegistrationKeepsTheTargetUntilRevokedThenDeletesItOnce) {
  Record record;
  {
    WTLU_DropTargetRegistration registration(
        m_Window, std::make_unique<FileDropTarget>(m_Window, nullptr, record));
    ASSERT_TRUE(registration.IsRegistered()) << std::hex << registration.Result();
    // The window can be registered only once.
    EXPECT_EQ(RegisterDragDrop(m_Window, registration.Target()), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_EQ(record.m_Deletions, 0);
  }
  EXPECT_EQ(record.m_Deletions, 1);
  EXPECT_EQ(RevokeDragDrop(m_Window), DRAGDROP_E_NOTREGISTERED);
}

TEST_F(DropTargetTest, FailedRegistrationStillDeletesTheTargetOnce) {
  Record record;
  {
    WTLU_DropTargetRegistration registration(
        nullptr, std::make_unique<FileDropTarget>(nullptr, nullptr, record));
    EXPECT_FALSE(registration.IsRegistered());
  }
  EXPECT_EQ(record.m_Deletions, 1);
}

struct ThrowCase {
  HookOutcome m_Outcome;
  GLIB_SEVERITY m_Severity;
  const wchar_t* m_TextStart;
  bool m_Exits;
};

class ThrowingHookTest : public DropTargetTest, public testing::WithParamInterface<ThrowCase> {};

TEST_P(ThrowingHookTest, NothingEscapesTheDrop) {
  const ThrowCase& c = GetParam();
  m_Target->m_Outcome = c.m_Outcome;
  HRESULT result = S_OK;
  EXPECT_EQ(DragAndDrop(&m_Files, 0, sm_All, &result), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(result, E_UNEXPECTED);
  // The medium goes back although the hook never answered.
  EXPECT_EQ(m_Files.m_MediumOwner.m_Releases, 1);

  ASSERT_EQ(sm_Logged.size(), 1u);
  EXPECT_EQ(sm_Logged[0].m_Severity, c.m_Severity);
  EXPECT_EQ(sm_Logged[0].m_Text.rfind(c.m_TextStart, 0), 0u) << sm_Logged[0].m_Text.c_str();
  EXPECT_EQ(sm_Logged[0].m_File, "WTLU_DropTarget.h");
  EXPECT_EQ(sm_ExitCodes, c.m_Exits ? std::vector<int>{1} : std::vector<int>{});

  std::exception_ptr pending = GLIB_TakePendingFatal();
  EXPECT_EQ(pending != nullptr, !c.m_Exits);
  if (pending) {
    EXPECT_THROW(std::rethrow_exception(pending), GLIB_FatalException);
  }
  // The drag is over: a further drag works normally.
  m_Target->m_Outcome = HookOutcome::Consume;
  EXPECT_EQ(DragAndDrop(&m_Files, 0, sm_All), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(m_Record.m_Calls, 2);
}

INSTANTIATE_TEST_SUITE_P(
    EscapingExceptions, ThrowingHookTest,
    testing::Values(ThrowCase{HookOutcome::ThrowStd, GLIB_SEVERITY_ASSERT,
                              L"Class CIDropTarget caught unhandled CRT exception: hook failed",
                              true},
                    ThrowCase{HookOutcome::ThrowGlib, GLIB_SEVERITY_FATAL,
                              L"Class CIDropTarget caught unhandled GLIB_Exception: code = 7",
                              false},
                    ThrowCase{HookOutcome::ThrowBadAlloc, GLIB_SEVERITY_FATAL,
                              L"Class CIDropTarget caught unhandled std::bad_alloc", false}));

TEST_F(DropTargetTest, OnlyTheFirstFatalStaysPending) {
  m_Target->m_Outcome = HookOutcome::ThrowBadAlloc;
  HRESULT result = S_OK;
  DragAndDrop(&m_Files, 0, sm_All, &result);
  m_Target->m_Outcome = HookOutcome::ThrowGlib;
  DragAndDrop(&m_Files, 0, sm_All, &result);
  ASSERT_EQ(sm_Logged.size(), 2u);
  try {
    GLIB_RethrowPendingFatal();
    FAIL() << "nothing pending";
  } catch (const GLIB_FatalException& e) {
    EXPECT_EQ(e.message(), L"Class CIDropTarget caught unhandled std::bad_alloc");
  }
  EXPECT_NO_THROW(GLIB_RethrowPendingFatal());
}

}  // namespace
