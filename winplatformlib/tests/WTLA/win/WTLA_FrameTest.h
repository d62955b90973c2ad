// What the docking tests share: a frame whose only child is its client view, and a fixture that
// shows an 800 x 600 docking frame before each test and destroys it after.
#pragma once

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include <string>

#include "WTLA/win/DockingFrame.h"
#include "support/WTLA_AssertCapture.h"

namespace docktest {

class ClientFrame : public dockwins::CDockingFrameImpl<ClientFrame> {
public:
  using CBase = dockwins::CDockingFrameImpl<ClientFrame>;

  BEGIN_MSG_MAP(ClientFrame)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  CHAIN_MSG_MAP(CBase)
  END_MSG_MAP()

private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    m_hWndClient = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, m_hWnd,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
    bHandled = FALSE;
    return 0;
  }
};

template <class TFrame>
class FrameTest : public AssertCapturingTest {
protected:
  // Several test processes share one wineserver: the frame's title carries the process id.
  explicit FrameTest(const wchar_t* name)
      : m_Title(name + std::to_wstring(GetCurrentProcessId())) {}

  void SetUp() override {
    AssertCapturingTest::SetUp();
    RECT rc{0, 0, 800, 600};
    ASSERT_NE(m_Frame.Create(nullptr, rc, m_Title.c_str()), nullptr);
    m_Frame.ShowWindow(SW_SHOWNA);
    m_Frame.UpdateLayout();
  }
  // The palettes go first: a test destroys them before calling this.
  void TearDown() override {
    m_Frame.DestroyWindow();
    Pump();
    AssertCapturingTest::TearDown();
  }

  static void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&msg);
    }
  }
  // A window's rectangle in the frame's client coordinates.
  RECT InFrame(HWND hWnd) {
    RECT rc;
    GetWindowRect(hWnd, &rc);
    MapWindowPoints(nullptr, m_Frame, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  }

  TFrame m_Frame;

private:
  std::wstring m_Title;
};

}  // namespace docktest
