#include <gtest/gtest.h>

#include <atlframe.h>

#include <string>
#include <vector>

#include "AtlTestSupport.h"

namespace {

// A bar or client view: a child that notes the WM_SIZE messages it gets.
class Part : public CWindowImpl<Part> {
public:
  int m_SizeMessages = 0;
  int m_FocusMessages = 0;

  BEGIN_MSG_MAP(Part)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
  END_MSG_MAP()

  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    ++m_FocusMessages;
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    ++m_SizeMessages;
    bHandled = FALSE;
    return 0;
  }
};

class Frame : public CFrameWindowImpl<Frame> {
public:
  bool m_BypassFocus = false;
  Part m_ToolBar;
  Part m_StatusBar;
  Part m_Client;

  BEGIN_MSG_MAP(Frame)
  if (m_BypassFocus) {
    MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
  }
  CHAIN_MSG_MAP(CFrameWindowImpl<Frame>)
  END_MSG_MAP()

  // The previous procedure only: the client view does not get the focus.
  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&) { return DefWindowProc(); }

  void MakeParts() {
    RECT toolBar = {0, 0, 50, 20};
    RECT statusBar = {0, 0, 50, 15};
    RECT client = {0, 0, 10, 10};
    m_hWndToolBar = m_ToolBar.Create(*this, toolBar);
    m_hWndStatusBar = m_StatusBar.Create(*this, statusBar);
    m_hWndClient = m_Client.Create(*this, client);
  }
};

RECT ClientRectIn(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&r), 2);
  return r;
}

TEST(FrameWindow, TheClientViewTakesWhatTheVisibleBarsLeave) {
  Frame frame;
  RECT r = {0, 0, 300, 200};
  ASSERT_NE(frame.Create(nullptr, r, ProcessUniqueName(L"frame").c_str()), nullptr);
  EXPECT_EQ(frame.GetStyle() & WS_OVERLAPPEDWINDOW, static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
  frame.MakeParts();
  frame.m_ToolBar.m_SizeMessages = 0;
  frame.m_StatusBar.m_SizeMessages = 0;
  frame.UpdateLayout();
  RECT clientArea;
  frame.GetClientRect(&clientArea);
  RECT view = ClientRectIn(frame, frame.m_hWndClient);
  EXPECT_EQ(view.top, 20);
  EXPECT_EQ(view.bottom, clientArea.bottom - 15);
  EXPECT_EQ(view.right - view.left, clientArea.right);
  EXPECT_EQ(frame.m_ToolBar.m_SizeMessages, 1) << "the bars are told to fit";
  EXPECT_EQ(frame.m_StatusBar.m_SizeMessages, 1);

  // A hidden bar takes no room; resizing the frame lays it out again.
  frame.m_ToolBar.ShowWindow(SW_HIDE);
  frame.SetWindowPos(nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER);
  frame.GetClientRect(&clientArea);
  view = ClientRectIn(frame, frame.m_hWndClient);
  EXPECT_EQ(view.top, 0);
  EXPECT_EQ(view.bottom, clientArea.bottom - 15);

  // Without resizing the bars, nothing is sent to them.
  RECT rest = clientArea;
  const int before = frame.m_StatusBar.m_SizeMessages;
  frame.UpdateBarsPosition(rest, FALSE);
  EXPECT_EQ(frame.m_StatusBar.m_SizeMessages, before);
  EXPECT_EQ(rest.bottom, clientArea.bottom - 15);

  // The client view covers the background: nothing is erased.
  EXPECT_EQ(frame.SendMessage(WM_ERASEBKGND, 0), 1);
  frame.DestroyWindow();
}

TEST(FrameWindow, FocusGoesToTheClientViewUnlessTheDerivedMapTakesIt) {
  for (bool bypass : {false, true}) {
    Frame frame;
    ASSERT_NE(frame.Create(nullptr), nullptr);
    frame.MakeParts();
    frame.ShowWindow(SW_SHOW);
    frame.m_BypassFocus = bypass;
    // Other test programs may take the activation meanwhile: what the client view was sent
    // counts, not where the focus is afterwards.
    ::SetFocus(nullptr);
    frame.m_Client.m_FocusMessages = 0;
    frame.SendMessage(WM_SETFOCUS);
    EXPECT_EQ(frame.m_Client.m_FocusMessages, bypass ? 0 : 1) << "bypass: " << bypass;
    frame.DestroyWindow();
  }
}

const wchar_t* NamedFrameClass() {
  static const std::wstring sm_Name = ProcessUniqueName(L"AtlNamedFrame");
  return sm_Name.c_str();
}

class NamedFrame : public CFrameWindowImpl<NamedFrame> {
public:
  DECLARE_FRAME_WND_CLASS(NamedFrameClass(), 0)

  BEGIN_MSG_MAP(NamedFrame)
  CHAIN_MSG_MAP(CFrameWindowImpl<NamedFrame>)
  END_MSG_MAP()
};

TEST(FrameWindow, AFrameClassOfItsOwnName) {
  NamedFrame frame;
  ASSERT_NE(frame.Create(), nullptr);
  wchar_t name[64] = {};
  GetClassNameW(frame, name, 64);
  EXPECT_EQ(std::wstring(name), NamedFrameClass());
  EXPECT_NE(GetClassLongPtrW(frame, GCL_STYLE) & CS_DBLCLKS, 0);
  // Without a client view the background is the default procedure's to erase.
  HDC dc = frame.GetDC();
  EXPECT_EQ(frame.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)),
            DefWindowProcW(frame, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
  frame.ReleaseDC(dc);
  frame.DestroyWindow();
}

}  // namespace
