// The document window of one sheet: the sheet view in a scroll view between the rulers, the
// status bar below, the toolbar above, and the window's panel of separations. The window is the
// first handler of the View, Tools, Window and sheet commands. Made and counted by the
// sheet-window manager; deletes itself when closed. Main thread only.
#pragma once

#include "CKRX/CKRX_SheetViewTypes.h"
#include "MKRX/MKRX_SheetPanel.h"
#include "PPXA/PPXA_NibView.h"
#include "PPXA/PPXA_ScrollableView.h"
#include "PPXA/PPXA_Window.h"

#include <PPx/PPxCommandDoers.h>
#include <PPx/PPxTimer.h>
#include <PPx/PPxViewDoers.h>
#include <PPx/PPxWindowDoers.h>

#include <memory>

class IMPN_Sheet;
class MKRX_OriginView;
class MKRX_RulerView;
class MKRX_SheetToolbar;
class MKRX_SheetView;
class MKRX_StatusView;

class MKRX_SheetWindow : public PPXA::Window,
                         public PPx::Timer,
                         public PPx::CommandProcessDoer,
                         public PPx::CommandUpdateStatusDoer,
                         public PPx::ControlGetPartRegionDoer,
                         public PPx::WindowActivatedDoer,
                         public PPx::WindowDeactivatedDoer {
public:
  // Loads the window without showing it; throws PPx::OSError when the nib window cannot be made.
  MKRX_SheetWindow();
  ~MKRX_SheetWindow() override;

  // Completes the window with its toolbar, views and sheet, and shows it at its standard size.
  // Called once, by the sheet-window manager; throws PPx::OSError.
  void Initialize(IMPN_Sheet* sheet);
  void SetSheet(IMPN_Sheet* sheet);
  // Replaces the sheet after separations were added; the palettes let the old sheet go first.
  void ResetSheet(IMPN_Sheet* sheet);
  void RefreshDefaultInks();

  void ShowToolbar();
  void HideToolbar();
  bool IsToolbarVisible() const;
  // The toolbar's overlay buttons from the view's flags.
  void UpdateToolbarStatus();

  IMPN_Sheet* GetSheet() const;
  MKRX_SheetView* GetSheetView() const { return m_SheetView.get(); }
  MKRX_SheetToolbar* GetToolbar() const { return m_Toolbar.get(); }
  MKRX_SheetPanel* GetSheetPanel() { return &m_SheetPanel; }
  bool RulersShown() const { return m_RulersShown; }
  bool StatusBarShown() const { return m_StatusBarShown; }

  // The sheet window of a WindowRef; null for null and for other windows.
  static MKRX_SheetWindow* GetObject(WindowRef window);

  const char* ClassName() const override { return "MKRX_SheetWindow"; }

protected:
  OSStatus DoWindowClose(PPx::SysCarbonEvent& event, WindowRef window) override;
  OSStatus DoCommandProcess(PPx::SysCarbonEvent& event, HICommand& command, UInt32 keyModifiers,
                            UInt32 menuContext) override;
  OSStatus DoCommandUpdateStatus(PPx::SysCarbonEvent& event, HICommand& command,
                                 UInt32 menuContext) override;
  OSStatus DoControlGetPartRegion(PPx::SysCarbonEvent& event, ControlRef control,
                                  ControlPartCode part, RgnHandle region) override;
  OSStatus DoWindowActivated(PPx::SysCarbonEvent& event, WindowRef window) override;
  OSStatus DoWindowDeactivated(PPx::SysCarbonEvent& event, WindowRef window) override;
  void DoTimer() override;

private:
  void InitWindow();
  void InitToolbar();
  void InitViews();
  void ZoomToStandardState();

  // The sheet view's commands; false for commands of others.
  bool ProcessViewCommand(UInt32 command);
  bool ProcessWindowCommand(UInt32 command);
  void SelectTool(IMPN_ToolMode mode, bool infoMode);
  void RefreshStatus();

  void StartRulerSlide();
  void StartStatusBarSlide();
  // Every view around the sheet view placed from the window's size and the two slides' offsets.
  void LayOutViews();

  std::unique_ptr<MKRX_SheetView> m_SheetView;
  MKRX_SheetPanel m_SheetPanel;
  PPXA::ScrollView m_ScrollView;
  std::unique_ptr<MKRX_SheetToolbar> m_Toolbar;
  HIViewRef m_StatusView = nullptr;
  HIViewRef m_HorizontalRuler = nullptr;
  HIViewRef m_VerticalRuler = nullptr;
  HIViewRef m_OriginView = nullptr;
  PPXA::NibView<PPx::View, PPx::Placard> m_RightPlacard;
  PPXA::NibView<PPx::View, PPx::Placard> m_BottomPlacard;

  // The nib's thicknesses: of the rulers, of the status bar, and of the scroll bar beside the
  // placards.
  float m_RulerSize = 20;
  float m_StatusSize = 16;
  float m_PlacardSize = 15;

  CGPoint m_RulerOffset{0, 0};  // 0,0 shown; -20,-20 hidden
  bool m_RulersMoving = false;
  bool m_RulersShown = true;
  CGPoint m_StatusOffset{0, 16};  // vertical: 16 shown, 0 hidden
  bool m_StatusBarMoving = false;
  bool m_StatusBarShown = true;
};
