// The modal drag loop shared by the splitter trackers and the palette drags: while the window
// holds the mouse capture, each message goes to the tracker's pre-filter first, then pointer and
// key messages drive the tracker and everything else is dispatched.
#pragma once

#include <windows.h>
#include <windowsx.h>

#include <atlbase.h>
#include <atlwin.h>

#include "WTLA/WTLA_Assert.h"

namespace dockwins {

class CDDTrackerBase {
public:
  virtual ~CDDTrackerBase() = default;

  virtual void BeginDrag() {}
  virtual void EndDrag(bool /*cancelled*/) {}
  virtual void OnMove(long /*x*/, long /*y*/) {}
  virtual void OnCancelDrag(long /*x*/, long /*y*/) {}
  virtual void OnDrop(long /*x*/, long /*y*/) {}
  virtual void OnRButtonUp(long x, long y) { OnDrop(x, y); }
  virtual void OnLButtonUp(long x, long y) { OnDrop(x, y); }
  // True when the message was consumed.
  virtual bool ProcessWindowMessage(MSG* /*msg*/) { return false; }
};

// Runs one drag on hWnd; true unless cancelled. A WM_QUIT cancels the drag and stays for the
// thread's loop; a fatal exception out of a dispatched message ends the drag cancelled and goes
// on.
inline bool TrackDragAndDrop(CDDTrackerBase& tracker, HWND hWnd) {
  bool result = true;
  tracker.BeginDrag();
  ::SetCapture(hWnd);
  bool ended = false;
  try {
    ended = ATL::AtlRunCaptureLoop(hWnd, [&](MSG& msg) {
      if (tracker.ProcessWindowMessage(&msg)) {
        return true;
      }
      const long x = GET_X_LPARAM(msg.lParam);
      const long y = GET_Y_LPARAM(msg.lParam);
      switch (msg.message) {
        case WM_KEYDOWN:
          if (msg.wParam == VK_ESCAPE) {
            ::ReleaseCapture();
            tracker.OnCancelDrag(x, y);
            result = false;
          }
          return true;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
          ::ReleaseCapture();
          tracker.OnCancelDrag(x, y);
          result = false;
          return true;
        case WM_SYSKEYDOWN:
          ::ReleaseCapture();
          tracker.OnCancelDrag(x, y);
          result = false;
          return false;
        case WM_MOUSEMOVE:
          tracker.OnMove(x, y);
          return true;
        case WM_LBUTTONUP:
          ::ReleaseCapture();
          tracker.OnLButtonUp(x, y);
          return true;
        case WM_RBUTTONUP:
          ::ReleaseCapture();
          tracker.OnRButtonUp(x, y);
          return true;
        default:
          return false;
      }
    });
  } catch (...) {
    if (result) {
      tracker.OnCancelDrag(0, 0);
    }
    tracker.EndDrag(true);
    throw;
  }
  if (!ended && result) {
    // A quit: the drag is cancelled like an Escape.
    tracker.OnCancelDrag(0, 0);
    result = false;
  }
  tracker.EndDrag(!result);
  DOCK_ASSERT(::GetCapture() != hWnd);
  return result;
}

}  // namespace dockwins
