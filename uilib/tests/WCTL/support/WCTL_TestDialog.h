#pragma once
// What the control tests share: a parent window that reflects its children's notifications, as
// the program's dialogs do, children made in code, a listener for the controls' messages and a
// capture of log lines and guard exits.

#include <windows.h>
#include <commctrl.h>
#include <atlbase.h>
#include <atlwin.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_Message.h"
#include "GLIB/win/GLIB_WinGuard.h"
#include "win/GuardCapture.h"
#include "UCTL/UCTL_Messages.h"
#include "USTR/USTR_String.h"

inline USTR_String U(wchar_t const* text) {
  return USTR_String(text);
}

inline std::wstring W(USTR_String const& text) {
  return std::wstring(text.begin(), text.end());
}

class WCTL_TestDialog : public CWindowImpl<WCTL_TestDialog, CWindow, CFrameWinTraits> {
public:
  BEGIN_MSG_MAP(WCTL_TestDialog)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  // A visible child of a system class, placed at rect.
  HWND AddChild(wchar_t const* className, DWORD style, int id, RECT const& rect,
                wchar_t const* text = L"") {
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, m_hWnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  }
};

// Records the messages the controls broadcast.
class WCTL_TestListener : public GLIB_MessageTarget {
public:
  struct Clicked {
    std::uint32_t m_ControlID;
    std::uint32_t m_Modifiers;
  };
  struct ValueChanged {
    std::uint32_t m_ControlID;
    std::int32_t m_Value;
  };

  std::vector<Clicked> m_Clicks;
  std::vector<ValueChanged> m_Values;
  int m_TextChanges = 0;
  std::vector<std::wstring> m_RejectedTexts;

  void Listen(GLIB_MessageDispatcher const& sender) {
    sender.Register(new GLIB_Callback<WCTL_TestListener, UCTL_ControlClickedMessage>(
        this, &WCTL_TestListener::OnClicked));
    sender.Register(new GLIB_Callback<WCTL_TestListener, UCTL_ControlValueChangedMessage>(
        this, &WCTL_TestListener::OnValueChanged));
    sender.Register(new GLIB_Callback<WCTL_TestListener, UCTL_ControlTextChangedMessage>(
        this, &WCTL_TestListener::OnTextChanged));
    sender.Register(new GLIB_Callback<WCTL_TestListener, UCTL_ValidatorFailedMessage<USTR_String>>(
        this, &WCTL_TestListener::OnValidatorFailed));
  }

private:
  void OnClicked(UCTL_ControlClickedMessage const& m) {
    m_Clicks.push_back({m.ControlID(), m.Modifiers()});
  }
  void OnValueChanged(UCTL_ControlValueChangedMessage const& m) {
    m_Values.push_back({m.ControlID(), m.Value()});
  }
  void OnTextChanged(UCTL_ControlTextChangedMessage const&) { ++m_TextChanges; }
  void OnValidatorFailed(UCTL_ValidatorFailedMessage<USTR_String> const& m) {
    m_RejectedTexts.push_back(W(m.RejectedValue()));
  }
};

// A shown test dialog, and the log lines and guard exits of the test.
class WCTL_DialogTest : public GuardCapturingTest {
protected:
  void SetUp() override {
    // The system's controls of version 6, as the program has them.
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_STANDARD_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    GuardCapturingTest::SetUp();
    RECT r = {40, 40, 440, 340};
    std::wstring const title = ProcessUniqueName(L"WCTL test ");
    ASSERT_NE(m_Dialog.Create(nullptr, r, title.c_str()), nullptr);
    m_Dialog.ShowWindow(SW_SHOW);
    SetForegroundWindow(m_Dialog);
    SetKeys({});
  }

  void TearDown() override {
    SetKeys({});
    if (m_Dialog.IsWindow()) {
      m_Dialog.DestroyWindow();
    }
    GuardCapturingTest::TearDown();
  }

  // Exactly these keys count as held down.
  static void SetKeys(std::vector<int> const& keys) {
    BYTE state[256] = {};
    for (int key : keys) {
      state[key] = 0x80;
    }
    SetKeyboardState(state);
  }

  // Dispatches this thread's messages for about the given time.
  static void PumpFor(DWORD milliseconds) {
    DWORD const start = GetTickCount();
    do {
      AtlPumpWaitingMessages();
      Sleep(5);
    } while (GetTickCount() - start < milliseconds);
    AtlPumpWaitingMessages();
  }

  // Dispatches this thread's messages until done() or two seconds have passed.
  template <class Done>
  static void PumpUntil(Done done) {
    DWORD const start = GetTickCount();
    while (!done() && GetTickCount() - start < 2000) {
      AtlPumpWaitingMessages();
      Sleep(5);
    }
  }

  WCTL_TestDialog m_Dialog;
};
