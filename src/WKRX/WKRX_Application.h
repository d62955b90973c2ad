// The one window of the process that is no sheet window: it shows the splash at start, takes
// every hand-over of file names (the program's own start arguments and those of later starts),
// opens preview files into sheet windows, keeps, arranges and closes those windows, and ends
// the program. After the splash it stays hidden, the owner of every sheet window.
#pragma once

#include "GLIB/GLIB_String.h"
#include "IMPN/IMPN_SheetReference.h"
#include "UWIN/UWIN_BitmapResource.h"
#include "WKRX/WKRX_CommandIds.h"

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include <cstdint>
#include <vector>

class WKRX_SheetWindow;

using WKRX_ApplicationTraits = ATL::CWinTraits<WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW>;

class WKRX_Application
    : public ATL::CWindowImpl<WKRX_Application, ATL::CWindow, WKRX_ApplicationTraits> {
public:
  // The class a second start looks for (WKRX_InstanceNames).
  static ATL::CWndClassInfo& GetWndClassInfo();

  // Timers: the splash's five seconds, and the check of a batch of hand-overs once a second.
  static constexpr UINT_PTR kSplashTimer = 1000;
  static constexpr UINT kSplashMilliseconds = 5000;
  static constexpr UINT_PTR kBatchTimer = 1001;
  static constexpr UINT kBatchMilliseconds = 1000;
  // A batch is opened once the pause since its last file exceeds this many mean gaps.
  static constexpr std::uint64_t kBatchPauseFactor = 30;
  // The size of the splash window when no splash image can be read.
  static constexpr int kBlankSplashWidth = 400;
  static constexpr int kBlankSplashHeight = 300;

  // Loads the PNG splashId (the first module of the resource search that holds a readable one)
  // and shows the splash window at once; without an image, a blank window of the same kind.
  explicit WKRX_Application(UINT splashId);
  ~WKRX_Application() override;
  WKRX_Application(const WKRX_Application&) = delete;
  WKRX_Application& operator=(const WKRX_Application&) = delete;

  // Opens a sheet window (empty when sheet is null) at rect, else over the work area less 5
  // pixels on every side; with rebuildMenus every window's Window menu is built again. Null
  // when the window cannot be made.
  WKRX_SheetWindow* OpenSheetWindow(const IMPN_SheetReference& sheet, const RECT* rect,
                                    bool rebuildMenus);
  // Opens the pending files: reports the rejected ones in one box, fills the empty sheet windows
  // first and opens a new window for each further sheet.
  void OpenFiles();
  // The Pantone colours from the program's folder, the user's custom colours from the profile
  // (made empty at the first start). A user folder that cannot be made leaves the program
  // without custom colours.
  static void LoadColorDatabases();
  // Asks for the factory reset when Ctrl and Shift are held.
  void CheckForFactoryReset();
  // Hides the splash; a start that named no file opens one empty sheet window.
  void EndSplash();
  // A hand-over of a command line (dwData 0xB001): 1 when taken, 0 when refused.
  LRESULT OnCopyData(const COPYDATASTRUCT* data);

  // In creation order.
  const std::vector<WKRX_SheetWindow*>& SheetWindows() const { return m_Windows; }
  const std::vector<GLIB_WString>& PendingFiles() const { return m_PendingFiles; }
  bool IsBatchActive() const { return m_BatchActive; }

  BEGIN_MSG_MAP(WKRX_Application)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_COPYDATA, OnCopyDataMessage)
  MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnButtonDown)
  MESSAGE_HANDLER(WM_RBUTTONDOWN, OnButtonDown)
  MESSAGE_HANDLER(WKRX_WM_OPENSHEETWINDOW, OnOpenSheetWindow)
  MESSAGE_HANDLER(WKRX_WM_ARRANGEWINDOWS, OnArrangeWindows)
  MESSAGE_HANDLER(WKRX_WM_BRINGWINDOWTOTOP, OnBringWindowToTop)
  MESSAGE_HANDLER(WKRX_WM_SHEETWINDOWCLOSED, OnSheetWindowClosed)
  MESSAGE_HANDLER(WKRX_WM_CLOSESHEETWINDOW, OnCloseSheetWindow)
  MESSAGE_HANDLER(WKRX_WM_CLOSEALLSHEETWINDOWS, OnCloseAllSheetWindows)
  MESSAGE_HANDLER(WKRX_WM_QUIT, OnQuit)
  MESSAGE_HANDLER(WKRX_WM_DEFAULTINKSCHANGED, OnRefreshDefaultInks)
  MESSAGE_HANDLER(WKRX_WM_COLORDATABASECHANGED, OnRefreshDefaultInks)
  END_MSG_MAP()

private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnCopyDataMessage(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnButtonDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnOpenSheetWindow(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnArrangeWindows(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnBringWindowToTop(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnSheetWindowClosed(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnCloseSheetWindow(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnCloseAllSheetWindows(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnQuit(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnRefreshDefaultInks(UINT, WPARAM, LPARAM, BOOL&);

  bool LoadSplash(UINT splashId);
  // Ends the splash once, whichever way comes first.
  void FinishSplash(bool offerReset);
  void AddSingleFile(const GLIB_WString& path);
  void OpenBatchWhenPaused();
  // The lowest serial number no open window has.
  UINT FreeSerial() const;
  WKRX_SheetWindow* Find(LPARAM window) const;
  void Forget(WKRX_SheetWindow* window);
  void RebuildWindowMenus();
  // The work area less 5 pixels on every side.
  static RECT SheetWindowArea();

  UWIN_BitmapResource m_Splash;
  bool m_SplashEnded = false;
  std::vector<WKRX_SheetWindow*> m_Windows;
  std::vector<GLIB_WString> m_PendingFiles;
  RECT m_RememberedRect = {};
  // The window whose Close Job is under way; only its own close consumes it.
  WKRX_SheetWindow* m_CloseJobWindow = nullptr;
  bool m_CloseAll = false;
  bool m_BatchActive = false;
  std::uint32_t m_TotalGap = 0;
  std::uint32_t m_MeanGap = 0;
  std::uint32_t m_LastArrival = 0;
};
