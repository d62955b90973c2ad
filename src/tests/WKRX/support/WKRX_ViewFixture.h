// A sheet viewer inside a frame that keeps copies of what the view tells it, with the view's
// window context, its pauses and the keys answered by the test.
#pragma once

#include "CKRX/CKRX_Context.h"
#include "IMPN/IMPN_TiledImage.h"
#include "WKRX/WKRX_Preferences.h"
#include "WKRX/WKRX_SheetViewer.h"
#include "support/WKRX_ShellTest.h"
#include "support/WKRX_ViewTestSupport.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

struct WKRX_FrameMessage {
  UINT message = 0;
  WPARAM wParam = 0;
  std::vector<double> values;  // the doubles or longs the parameters point to
  std::vector<double> extra;   // lParam's doubles beside wParam's
  LPARAM lParam = 0;
};

// Stands in for the sheet window: keeps each private message with what its pointers showed, and
// binds a dropped sheet into the viewer as the frame does.
class WKRX_RecordingFrame {
public:
  WKRX_RecordingFrame() {
    static const std::wstring sm_Class =
        L"WKRX_TestViewFrame" + std::to_wstring(GetCurrentProcessId());
    static const ATOM sm_Atom = [] {
      WNDCLASSW windowClass = {};
      windowClass.lpfnWndProc = Procedure;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.lpszClassName = sm_Class.c_str();
      return RegisterClassW(&windowClass);
    }();
    m_Window = CreateWindowExW(0, MAKEINTATOM(sm_Atom), L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 600,
                               500, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    sm_Messages.clear();
    sm_Viewer = nullptr;
  }
  ~WKRX_RecordingFrame() { DestroyWindow(m_Window); }
  WKRX_RecordingFrame(const WKRX_RecordingFrame&) = delete;
  WKRX_RecordingFrame& operator=(const WKRX_RecordingFrame&) = delete;

  operator HWND() const { return m_Window; }

  static std::vector<WKRX_FrameMessage> Of(UINT message) {
    std::vector<WKRX_FrameMessage> found;
    for (const WKRX_FrameMessage& m : sm_Messages)
      if (m.message == message)
        found.push_back(m);
    return found;
  }

  static inline std::vector<WKRX_FrameMessage> sm_Messages;
  static inline WKRX_SheetViewer* sm_Viewer = nullptr;

private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message < WM_APP || message > WM_APP + 0x100)
      return DefWindowProcW(window, message, wParam, lParam);
    WKRX_FrameMessage m;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    switch (message) {
      case WKRX_WM_SCROLLVIEWTO: {
        const double* d = reinterpret_cast<const double*>(lParam);
        m.values.assign(d, d + 2);
        break;
      }
      case WKRX_WM_ZOOMVIEWTORECT: {
        const double* d = reinterpret_cast<const double*>(lParam);
        m.values.assign(d, d + 4);
        break;
      }
      case WKRX_WM_VIEWFRAMECHANGED:
      case WKRX_WM_ZOOMLEVELCHANGED: {
        const double* d = reinterpret_cast<const double*>(lParam);
        if (d != nullptr)
          m.values.assign(d, d + 4);
        break;
      }
      case WKRX_WM_MEASUREMENTCHANGED: {
        const double* p = reinterpret_cast<const double*>(wParam);
        m.values.assign(p, p + 2);
        if (const double* d = reinterpret_cast<const double*>(lParam))
          m.extra.assign(d, d + 2);
        break;
      }
      case WKRX_WM_DENSITOMETERMOVED: {
        const IMPN_RectT<long>* r = reinterpret_cast<const IMPN_RectT<long>*>(lParam);
        m.values = {static_cast<double>(r->top), static_cast<double>(r->left),
                    static_cast<double>(r->width), static_cast<double>(r->height)};
        break;
      }
      case WKRX_WM_FILESDROPPED:
        if (sm_Viewer != nullptr)
          sm_Viewer->SetSheet(reinterpret_cast<IMPN_Sheet*>(lParam));
        break;
      default:
        break;
    }
    sm_Messages.push_back(m);
    return 0;
  }

  HWND m_Window = nullptr;
};

class WKRX_ViewTest : public WKRX_ShellTest {
protected:
  void SetUp() override {
    WKRX_ShellTest::SetUp();
    m_System.sleep = [](DWORD) {};
    m_System.tickCount = [this] { return m_Tick++; };
    m_System.asyncKeyState = [this](int key) -> SHORT {
      return m_Keys.count(key) != 0 ? static_cast<SHORT>(0x8000) : 0;
    };
    m_System.windowDC = [this](HWND) { return m_Canvas->DC(); };
    m_System.releaseWindowDC = [](HWND, HDC) {};
    m_Scope.reset();
    m_Scope = std::make_unique<WKRX_SystemScope>(m_System);
    IMPN_Preferences::SetToDefaultValues();
    WKRX_Preferences::sm_ShowTileBoundaries = false;
    m_Canvas = std::make_unique<WKRX_DibCanvas>(600, 500, RGB(1, 2, 3));
    m_Frame = std::make_unique<WKRX_RecordingFrame>();
    m_Viewer = std::make_unique<WKRX_SheetViewer>(std::make_unique<WKRX_TestSheetView>());
    WKRX_RecordingFrame::sm_Viewer = m_Viewer.get();
    m_Viewer->SetFrameWindow(*m_Frame);
    RECT area = {0, 0, 440, 340};
    ASSERT_NE(m_Viewer->Create(*m_Frame, area, nullptr, WS_CHILD | WS_VISIBLE), nullptr);
  }
  void TearDown() override {
    WKRX_RecordingFrame::sm_Viewer = nullptr;
    if (m_Viewer->IsWindow())
      m_Viewer->DestroyWindow();
    m_Viewer.reset();
    m_Frame.reset();
    m_Canvas.reset();
    IMPN_Preferences::SetToDefaultValues();
    WKRX_ShellTest::TearDown();
  }

  WKRX_TestSheetView& View() { return static_cast<WKRX_TestSheetView&>(m_Viewer->View()); }

  IMPN_Sheet* Show(const WKRX_ViewSheets::Layout& layout = WKRX_ViewSheets::Layout()) {
    IMPN_Sheet* sheet = WKRX_ViewSheets::Make(layout);
    m_Viewer->SetSheet(sheet);
    WKRX_RecordingFrame::sm_Messages.clear();
    return sheet;
  }

  SIZE ViewClient() {
    RECT client;
    GetClientRect(View(), &client);
    return SIZE{client.right, client.bottom};
  }

  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(View(), message, wParam, lParam);
  }
  void Press(int x, int y) { Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
  void Move(int x, int y, WPARAM flags = MK_LBUTTON) {
    Send(WM_MOUSEMOVE, flags, MAKELPARAM(x, y));
  }
  void Release(int x, int y) { Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

  // Paints the view into the canvas, as WM_PAINT would.
  void Paint() { Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_Canvas->DC()), PRF_CLIENT); }
  // Ticks the tile timer until the queues are empty.
  int DrainTimer() {
    int ticks = 0;
    while ((!View().m_FrontTileRequests.empty() || !View().m_BackTileRequests.empty()) &&
           ticks < 10000) {
      Send(WM_TIMER, static_cast<WPARAM>(View().InstanceNumber()), 0);
      ++ticks;
    }
    Send(WM_TIMER, static_cast<WPARAM>(View().InstanceNumber()), 0);
    return ticks;
  }

  std::set<int> m_Keys;
  std::unique_ptr<WKRX_DibCanvas> m_Canvas;
  std::unique_ptr<WKRX_RecordingFrame> m_Frame;
  std::unique_ptr<WKRX_SheetViewer> m_Viewer;
};
