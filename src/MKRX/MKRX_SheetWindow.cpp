#include "MKRX/MKRX_SheetWindow.h"

#include "IMPN/IMPN_Preferences.h"
#include "MKRX/MKRX_AddFileDialog.h"
#include "MKRX/MKRX_OriginView.h"
#include "MKRX/MKRX_PaletteManager.h"
#include "MKRX/MKRX_Preferences.h"
#include "MKRX/MKRX_RulerView.h"
#include "MKRX/MKRX_SheetToolbar.h"
#include "MKRX/MKRX_SheetView.h"
#include "MKRX/MKRX_SheetWindowManager.h"
#include "MKRX/MKRX_StatusView.h"
#include "MKRX/MKRX_VersionInfoDialog.h"
#include "MKRX/iMKRX_Alert.h"
#include "PPXA/iPPXA_CFHolder.h"
#include "UMAC/UMAC_PlatformDetector.h"
#include "USTR/USTR_LocalizedString.h"

#include <HIToolbox/Menus.h>
#include <PPx/PPxExceptions.h>
#include <PPx/PPxSignature.h>
#include <QD/QuickDraw.h>

#include <iterator>

namespace {

constexpr PropertyTag kSheetWindowTag = 0x53687457;  // 'ShtW'

constexpr ControlID kScrollViewID = {0x5363726C, 0};       // 'Scrl'
constexpr ControlID kImageID = {0x496D6167, 0};            // 'Imag'
constexpr ControlID kStatusViewID = {0x53747356, 0};       // 'StsV'
constexpr ControlID kHorizontalRulerID = {0x48526C72, 0};  // 'HRlr'
constexpr ControlID kVerticalRulerID = {0x56526C72, 0};    // 'VRlr'
constexpr ControlID kOriginViewID = {0x43526C72, 0};       // 'CRlr'
constexpr ControlID kRightPlacardID = {0x52526C72, 0};     // 'RRlr'
constexpr ControlID kBottomPlacardID = {0x42526C72, 0};    // 'BRlr'

constexpr HIViewFeatures kOpaqueFeature = 0x02000000;
constexpr ControlPartCode kOpaqueMetaPart = -3;
constexpr WindowAttributes kUnifiedTitleAndToolbarAttribute = 0x80;
constexpr EventTimerInterval kSlideInterval = 0.005;
constexpr float kSlideStep = 4;
constexpr float kRulersHiddenOffset = -20;
constexpr float kStatusBarShownOffset = 16;

// The commands whose windows are not built yet: neither their menu items nor their toolbar items
// reach them.
constexpr UInt32 kCommandsNotReady[] = {0x534A4272, 0x6F70656E, 0x41646446,
                                        0x53685649};  // 'SJBr' 'open' 'AddF' 'ShVI'

constexpr CharParameter kBullet = 0xA5;
constexpr CharParameter kCheck = 0x12;

// The zoom commands by zoom level, 8:1 to 1:512.
constexpr UInt32 kZoomCommands[kIMPN_ZoomLevelCount] = {
    0x5A303831, 0x5A303431, 0x5A303231, 0x5A313031, 0x5A313032, 0x5A313034, 0x5A313038,
    0x5A313136, 0x5A313332, 0x5A5F3634, 0x5A313238, 0x5A323536, 0x5A353132};

enum : UInt32 {
  kZoomToFit = 0x5A466974,           // 'ZFit'
  kZoomIn = 0x5A496E5F,              // 'ZIn_'
  kZoomOut = 0x5A4F7574,             // 'ZOut'
  kPanTool = 0x50616E54,             // 'PanT'
  kMeasureTool = 0x4D657354,         // 'MesT'
  kZoomTool = 0x5A6F6D54,            // 'ZomT'
  kDensitometerTool = 0x44656E54,    // 'DenT'
  kRotateLeft = 0x526F744C,          // 'RotL'
  kRotateRight = 0x526F7452,         // 'RotR'
  kFlipPage = 0x466C5067,            // 'FlPg'
  kBackupPlates = 0x4275504C,        // 'BuPL'
  kBackupPressSheets = 0x42755053,   // 'BuPS'
  kBackupPages = 0x42755067,         // 'BuPg'
  kBackupMenu = 0x42754D64,          // 'BuMd'
  kOpacityDown = 0x41446563,         // 'ADec'
  kOpacityUp = 0x41496E63,           // 'AInc'
  kPressSheetEdge = 0x53456467,      // 'SEdg'
  kBleedEdges = 0x42456467,          // 'BEdg'
  kTypeSafety = 0x54795366,          // 'TySf'
  kClipPaths = 0x53436C50,           // 'SClP'
  kPageEdges = 0x50456467,           // 'PEdg'
  kPageNumbers = 0x504E756D,         // 'PNum'
  kShowHideEdges = 0x53484564,       // 'SHEd'
  kGuides = 0x56476964,              // 'VGid'
  kClearGuides = 0x43476964,         // 'CGid'
  kRulers = 0x56526C72,              // 'VRlr'
  kStatusBar = 0x56534272,           // 'VSBr'
  kToolbar = 0x56544272,             // 'VTBr'
  kAddFiles = 0x41646446,            // 'AddF'
  kVersionInfo = 0x53685649,         // 'ShVI'
  kCloseWindow = 0x436C7357,         // 'ClsW'
  kCloseAll = 0x436C7341,            // 'ClsA'
  kCascade = 0x43736364,             // 'Cscd'
  kTileHorizontally = 0x54486F72,    // 'THor'
  kTileVertically = 0x54566572,      // 'TVer'
  kArrangePalettes = 0x41727250,     // 'ArrP'
  kNavigationPalette = 0x574E6176,   // 'WNav'
  kSeparationPalette = 0x57536570,   // 'WSep'
  kMeasurementPalette = 0x574D6573,  // 'WMes'
};

bool IsOlderThanTiger() {
  return static_cast<SInt16>(UMAC_PlatformDetector::SystemVersion()) < 0x1040;
}

// Enables or disables the item the command came from and sets its mark.
void SetStatus(HICommand const& command, bool enabled, CharParameter mark = noMark) {
  PPx::EventUtils::SetMenuCommandStatus(command, enabled);
  if ((command.attributes & kHICommandFromMenu) && command.menu.menuRef)
    SetItemMark(command.menu.menuRef, command.menu.menuItemIndex, mark);
}

// Enables or disables the command in the menu bar and gives its first item the text of one of
// two keys.
void SetStatusText(HICommand const& command, bool enabled, bool first, CFStringRef firstKey,
                   CFStringRef secondKey) {
  PPx::EventUtils::SetMenuCommandStatus(command, enabled);
  MenuRef menu = nullptr;
  MenuItemIndex item = 0;
  if (GetIndMenuItemWithCommandID(nullptr, command.commandID, 1, &menu, &item) != noErr)
    return;
  if (enabled)
    EnableMenuCommand(menu, command.commandID);
  else
    DisableMenuCommand(menu, command.commandID);
  iMKRX_LocalizedText const text(first ? firstKey : secondKey);
  SetMenuItemTextWithCFString(menu, item, text.Get());
}

void SetFrame(HIViewRef view, CGFloat x, CGFloat y, CGFloat width, CGFloat height) {
  if (view == nullptr)
    return;
  HIRect const frame = CGRectMake(x, y, width, height);
  HIViewSetFrame(view, &frame);
}

CGRect FrameOf(HIViewRef view) {
  HIRect frame = CGRectMake(0, 0, 0, 0);
  if (view)
    HIViewGetFrame(view, &frame);
  return frame;
}

}  // namespace

MKRX_SheetWindow::MKRX_SheetWindow() {
  PPx::ThrowIfOSStatus(PPXA::Window::Initialize(CFSTR("MKRX_Resources"), CFSTR("SheetWindow")),
                       "the sheet window's nib window did not load");
}

// The sheet view goes before the window (the base) disposes of its views.
MKRX_SheetWindow::~MKRX_SheetWindow() = default;

void MKRX_SheetWindow::Initialize(IMPN_Sheet* sheet) {
  InitWindow();
  InitToolbar();
  InitViews();
  SetSheet(sheet);
  ZoomToStandardState();
  LayOutViews();
  if (IMPN_Preferences::sm_ZoomToFitWindowOnOpen)
    m_SheetView->ZoomToFit(false);
  Show();
}

void MKRX_SheetWindow::InitWindow() {
  WindowRef window = GetSysWindow();
  if (IsOlderThanTiger()) {
    HISize const minimum = {200, 100};
    HISize const maximum = {32767, 32767};
    SetWindowResizeLimits(window, &minimum, &maximum);
  }
  EventTargetRef target = SysEventTarget();
  PPx::CommandProcessDoer::Install(target);
  PPx::CommandUpdateStatusDoer::Install(target);
  PPx::WindowActivatedDoer::Install(target);
  PPx::WindowDeactivatedDoer::Install(target);
  MKRX_SheetWindow* self = this;
  PPx::ThrowIfOSStatus(
      SetWindowProperty(window, PPx::Signature::Get(), kSheetWindowTag, sizeof self, &self),
      "SetWindowProperty failed");
}

void MKRX_SheetWindow::InitToolbar() {
  m_Toolbar = std::make_unique<MKRX_SheetToolbar>(GetSysWindow());
  m_Toolbar->InitEventHandlers();
  m_Toolbar->SetViewItem(kRulers, 1);
  m_Toolbar->SetViewItem(kGuides, 1);
  for (UInt32 command : kCommandsNotReady)
    m_Toolbar->SetItemCommandStatus(command, false);
  ShowToolbar();
  if (MKRX_Preferences::sm_UnifiedTitleAndToolbar)
    ChangeWindowAttributes(GetSysWindow(), kUnifiedTitleAndToolbarAttribute, 0);
}

void MKRX_SheetWindow::InitViews() {
  m_SheetView = std::make_unique<MKRX_SheetView>();
  HIViewRef scroll = FindViewByID(kScrollViewID);
  m_ScrollView.Attach(scroll);
  m_ScrollView.SetView(m_SheetView.get(), kImageID);
  PPx::ControlGetPartRegionDoer::Install(GetControlEventTarget(scroll));
  m_SheetView->InitEventHandlers();

  m_HorizontalRuler = FindViewByID(kHorizontalRulerID);
  m_VerticalRuler = FindViewByID(kVerticalRulerID);
  m_OriginView = FindViewByID(kOriginViewID);
  m_StatusView = FindViewByID(kStatusViewID);
  for (HIViewRef view : {m_HorizontalRuler, m_VerticalRuler, m_OriginView, m_StatusView})
    HIViewChangeFeatures(view, kOpaqueFeature, 0);
  // The nib holds the corner placards on every system.
  m_RightPlacard.Attach(FindViewByID(kRightPlacardID));
  m_BottomPlacard.Attach(FindViewByID(kBottomPlacardID));

  m_RulerSize = static_cast<float>(FrameOf(m_OriginView).size.width);
  m_StatusSize = static_cast<float>(FrameOf(m_StatusView).size.height);
  m_PlacardSize = static_cast<float>(FrameOf(m_BottomPlacard.GetSysView()).size.height);
}

void MKRX_SheetWindow::ZoomToStandardState() {
  PPx::SysCarbonEvent zoom;
  zoom.MakeEvent(kEventClassWindow, kEventWindowZoom);
  zoom.SetParameter(kEventParamDirectObject, typeWindowRef, GetSysWindow());
  zoom.SetParameter(kEventParamWindowPartCode, typeWindowPartCode,
                    static_cast<WindowPartCode>(inZoomOut));
  zoom.Send(SysEventTarget());
}

void MKRX_SheetWindow::SetSheet(IMPN_Sheet* sheet) {
  m_SheetView->SetSheet(sheet);
  m_SheetPanel.Initialize();
  m_SheetPanel.SetView(m_SheetView.get());
  PPXA::iPPXA_CFHolder<CFStringRef> const title(
      USTR_UStringToCFString(m_SheetView->GetWindowTitle()));
  SetTitle(title.Get());
  MKRX_PaletteManager::SetView(m_SheetView.get());
  MKRX_PaletteManager::SetPanel(&m_SheetPanel);
  for (HIViewRef ruler : {m_HorizontalRuler, m_VerticalRuler})
    if (MKRX_RulerView* view = MKRX_RulerView::FromView(ruler))
      view->SetView(m_SheetView.get());
  if (MKRX_OriginView* view = MKRX_OriginView::FromView(m_OriginView))
    view->SetView(m_SheetView.get());
  if (MKRX_StatusView* view = MKRX_StatusView::FromView(m_StatusView))
    view->SetView(m_SheetView.get());
  UpdateToolbarStatus();
}

void MKRX_SheetWindow::ResetSheet(IMPN_Sheet* sheet) {
  // The palettes drop the view and panel before the view lets its sheet go, so that none of
  // them keeps the old sheet or its thumbnail.
  MKRX_PaletteManager::RemoveView(m_SheetView.get());
  MKRX_PaletteManager::RemovePanel(&m_SheetPanel);
  m_SheetView->SetSheet(sheet);
  m_SheetPanel.SetView(m_SheetView.get());
  MKRX_PaletteManager::SetView(m_SheetView.get());
  MKRX_PaletteManager::SetPanel(&m_SheetPanel);
}

void MKRX_SheetWindow::RefreshDefaultInks() {
  m_SheetPanel.RefreshDefaultInks();
}

void MKRX_SheetWindow::ShowToolbar() {
  ShowHideWindowToolbar(GetSysWindow(), true, true);
}

void MKRX_SheetWindow::HideToolbar() {
  ShowHideWindowToolbar(GetSysWindow(), false, true);
}

bool MKRX_SheetWindow::IsToolbarVisible() const {
  return IsWindowToolbarVisible(GetSysWindow());
}

void MKRX_SheetWindow::UpdateToolbarStatus() {
  MKRX_SheetView& view = *m_SheetView;
  m_Toolbar->SetImpositionItem(kPressSheetEdge, view.ShowPressSheetEdge(), true);
  m_Toolbar->SetImpositionItem(kBleedEdges, view.ShowBleedEdges(), true);
  m_Toolbar->SetImpositionItem(kPageEdges, view.ShowPageEdges(), true);
  m_Toolbar->SetImpositionItem(kPageNumbers, view.ShowPageNumbers(), true);
  m_Toolbar->SetImpositionItem(kTypeSafety, view.ShowTypeSafetyEdges(), view.HasTypeSafetyEdges());
}

IMPN_Sheet* MKRX_SheetWindow::GetSheet() const {
  return m_SheetView ? m_SheetView->GetSheet() : nullptr;
}

MKRX_SheetWindow* MKRX_SheetWindow::GetObject(WindowRef window) {
  if (window == nullptr)
    return nullptr;
  MKRX_SheetWindow* object = nullptr;
  ByteCount size = 0;
  if (GetWindowProperty(window, PPx::Signature::Get(), kSheetWindowTag, sizeof object, &size,
                        &object) != noErr ||
      size != sizeof object)
    return nullptr;
  return object;
}

OSStatus MKRX_SheetWindow::DoWindowClose(PPx::SysCarbonEvent& event, WindowRef window) {
  MKRX_PaletteManager::RemoveView(m_SheetView.get());
  MKRX_PaletteManager::RemovePanel(&m_SheetPanel);
  MKRX_SheetWindowManager::RemoveWindow(this);
  return PPXA::Window::DoWindowClose(event, window);  // deletes this window
}

OSStatus MKRX_SheetWindow::DoCommandProcess(PPx::SysCarbonEvent&, HICommand& command, UInt32,
                                            UInt32) {
  if (ProcessViewCommand(command.commandID) || ProcessWindowCommand(command.commandID))
    return noErr;
  return eventNotHandledErr;
}

void MKRX_SheetWindow::RefreshStatus() {
  if (MKRX_StatusView* view = MKRX_StatusView::FromView(m_StatusView))
    view->Refresh();
}

void MKRX_SheetWindow::SelectTool(IMPN_ToolMode mode, bool infoMode) {
  m_SheetView->SetToolMode(mode);
  m_SheetView->RefreshView();
  m_Toolbar->SetToolModeItem(mode);
  MKRX_PaletteManager::SetInfoModeEnabled(infoMode);
}

bool MKRX_SheetWindow::ProcessViewCommand(UInt32 command) {
  MKRX_SheetView& view = *m_SheetView;
  for (int level = 0; level < kIMPN_ZoomLevelCount; ++level) {
    if (kZoomCommands[level] != command)
      continue;
    view.SetZoomLevel(static_cast<IMPN_ZoomLevel>(level), true);
    RefreshStatus();
    return true;
  }
  switch (command) {
    case kZoomToFit:
      view.ZoomToFit(true);
      RefreshStatus();
      break;
    case kZoomIn:
      view.ZoomIn(true);
      RefreshStatus();
      break;
    case kZoomOut:
      view.ZoomOut(true);
      RefreshStatus();
      break;
    case kPanTool:
      SelectTool(kIMPN_ToolPan, false);
      break;
    case kMeasureTool:
      SelectTool(kIMPN_ToolMeasure, false);
      if (!MKRX_PaletteManager::MeasurementPaletteVisible())
        MKRX_PaletteManager::ShowMeasurementPalette();
      break;
    case kZoomTool:
      SelectTool(kIMPN_ToolZoom, false);
      break;
    case kDensitometerTool:
      view.ResetDensitometerFrame();
      SelectTool(kIMPN_ToolDensitometer, true);
      break;
    case kRotateLeft:
      view.RotateLeft();
      RefreshStatus();
      break;
    case kRotateRight:
      view.RotateRight();
      RefreshStatus();
      break;
    case kFlipPage: {
      view.TogglePageFlipped();
      PPXA::iPPXA_CFHolder<CFStringRef> const title(USTR_UStringToCFString(view.GetWindowTitle()));
      SetTitle(title.Get());
      break;
    }
    case kBackupPlates:
    case kBackupPressSheets:
    case kBackupPages:
      view.SetBackupAlignment(command == kBackupPlates        ? kIMPN_AlignPlates
                              : command == kBackupPressSheets ? kIMPN_AlignPressSheets
                                                              : kIMPN_AlignPages);
      view.RefreshView();
      break;
    case kOpacityDown:
      view.AdjustSheetOpacity(-1);
      break;
    case kOpacityUp:
      view.AdjustSheetOpacity(1);
      break;
    case kPressSheetEdge:
    case kBleedEdges: {
      bool& shown = command == kPressSheetEdge ? view.ShowPressSheetEdge() : view.ShowBleedEdges();
      shown = !shown;
      view.RefreshView();
      m_Toolbar->SetImpositionItem(command, shown, true);
      break;
    }
    case kTypeSafety:
      view.ShowTypeSafetyEdges() = !view.ShowTypeSafetyEdges();
      view.RefreshView();
      m_Toolbar->SetImpositionItem(command, view.ShowTypeSafetyEdges(), view.HasTypeSafetyEdges());
      break;
    case kClipPaths:
      view.ShowSourceClipPaths() = !view.ShowSourceClipPaths();
      view.RefreshView();
      break;
    case kPageEdges:
      view.ToggleShowPageEdges();
      m_Toolbar->SetImpositionItem(command, view.ShowPageEdges(), true);
      break;
    case kPageNumbers:
      view.ToggleShowPageNumbers();
      m_Toolbar->SetImpositionItem(command, view.ShowPageNumbers(), true);
      break;
    case kShowHideEdges:
      if (view.AnyEdgeInfoVisible())
        view.HideEdgeInfo();
      else
        view.ShowEdgeInfo();
      UpdateToolbarStatus();
      break;
    case kGuides:
      view.ShowGuideLines() = !view.ShowGuideLines();
      view.RefreshView();
      m_Toolbar->SetViewItem(kGuides, view.ShowGuideLines());
      break;
    case kClearGuides:
      view.ClearGuideLines();
      break;
    default:
      return false;
  }
  return true;
}

bool MKRX_SheetWindow::ProcessWindowCommand(UInt32 command) {
  switch (command) {
    case kRulers:
      // A repeat while the rulers slide is ignored; the slide finishes what it began.
      if (!m_RulersMoving) {
        m_Toolbar->SetViewItem(kRulers, m_RulersShown ? 0 : 1);
        StartRulerSlide();
      }
      break;
    case kStatusBar:
      if (!m_StatusBarMoving)
        StartStatusBarSlide();
      break;
    case kToolbar:
      if (IsToolbarVisible())
        HideToolbar();
      else
        ShowToolbar();
      break;
    case kAddFiles: {
      auto* dialog = new MKRX_AddFileDialog();
      iMKRX_PlaceholderWindow::KeepSelfOwned(dialog);
      dialog->SetTitle(iMKRX_LocalizedText(CFSTR("CKRX_AddSeparationFiles")).Get());
      dialog->SetSheet(GetSheet());
      dialog->Show();
      dialog->Select();
      break;
    }
    case kVersionInfo: {
      auto* dialog = new MKRX_VersionInfoDialog();
      iMKRX_PlaceholderWindow::KeepSelfOwned(dialog);
      dialog->SetSheet(GetSheet());
      dialog->Show();
      break;
    }
    case kCloseWindow:
      Close();
      break;
    case kCloseAll:
      MKRX_SheetWindowManager::CloseAll();
      break;
    case kCascade:
      MKRX_SheetWindowManager::Cascade();
      break;
    case kTileHorizontally:
      MKRX_SheetWindowManager::TileHorizontally();
      break;
    case kTileVertically:
      MKRX_SheetWindowManager::TileVertically();
      break;
    case kArrangePalettes:
      MKRX_PaletteManager::ArrangePalettes();
      break;
    case kNavigationPalette:
      MKRX_PaletteManager::ToggleNavigationPalette();
      break;
    case kSeparationPalette:
      MKRX_PaletteManager::ToggleSeparationPalette();
      break;
    case kMeasurementPalette:
      MKRX_PaletteManager::ToggleMeasurementPalette();
      break;
    default:
      return false;
  }
  return true;
}

OSStatus MKRX_SheetWindow::DoCommandUpdateStatus(PPx::SysCarbonEvent&, HICommand& command, UInt32) {
  MKRX_SheetView& view = *m_SheetView;
  UInt32 const id = command.commandID;
  for (int level = 0; level < kIMPN_ZoomLevelCount; ++level)
    if (kZoomCommands[level] == id) {
      SetStatus(command, true, view.GetZoomLevel() == level ? kBullet : noMark);
      return noErr;
    }
  auto bulletIf = [](bool on) { return on ? kBullet : noMark; };
  auto checkIf = [](bool on) { return on ? kCheck : noMark; };
  IMPN_Sheet* const sheet = view.GetSheet();
  switch (id) {
    case kZoomToFit:
    case kZoomIn:
    case kZoomOut: {
      bool const enabled = id == kZoomToFit ? true
                           : id == kZoomIn  ? view.GetZoomLevel() >= 1
                                            : view.GetZoomLevel() < kIMPN_ZoomLevelCount - 1;
      SetStatus(command, enabled);
      m_Toolbar->SetItemCommandStatus(id, enabled);
      break;
    }
    case kPanTool:
      SetStatus(command, true, bulletIf(view.GetToolMode() == kIMPN_ToolPan));
      break;
    case kMeasureTool:
      SetStatus(command, true, bulletIf(view.GetToolMode() == kIMPN_ToolMeasure));
      break;
    case kZoomTool:
      SetStatus(command, true, bulletIf(view.GetToolMode() == kIMPN_ToolZoom));
      break;
    case kDensitometerTool:
      SetStatus(command, true, bulletIf(view.GetToolMode() == kIMPN_ToolDensitometer));
      break;
    case kBackupPlates:
      SetStatus(command, true, bulletIf(view.GetBackupAlignment() == kIMPN_AlignPlates));
      break;
    case kBackupPressSheets:
      SetStatus(command, true, bulletIf(view.GetBackupAlignment() == kIMPN_AlignPressSheets));
      break;
    case kBackupPages:
      SetStatus(command, true, bulletIf(view.GetBackupAlignment() == kIMPN_AlignPages));
      break;
    case kBackupMenu:
      SetStatus(command, true);
      break;
    case kOpacityDown:
      SetStatus(command, sheet && view.GetSheetOpacity() > 0);
      break;
    case kOpacityUp:
      SetStatus(command, sheet && view.GetSheetOpacity() <= 99);
      break;
    case kPressSheetEdge:
      SetStatus(command, true, checkIf(view.ShowPressSheetEdge()));
      break;
    case kBleedEdges:
      SetStatus(command, true, checkIf(view.ShowBleedEdges()));
      break;
    case kPageEdges:
      SetStatus(command, true, checkIf(view.ShowPageEdges()));
      break;
    case kPageNumbers:
      SetStatus(command, true, checkIf(view.ShowPageNumbers()));
      break;
    case kClipPaths:
      SetStatus(command, view.HasClipPaths(), checkIf(view.ShowSourceClipPaths()));
      break;
    case kTypeSafety:
      SetStatus(command, view.HasTypeSafetyEdges(), checkIf(view.ShowTypeSafetyEdges()));
      break;
    case kShowHideEdges:
      SetStatusText(command, true, view.AnyEdgeInfoVisible(), CFSTR("CKRX_HideImposition"),
                    CFSTR("CKRX_ShowImposition"));
      break;
    case kGuides:
      SetStatusText(command, true, view.ShowGuideLines(), CFSTR("CKRX_HideGuideLines"),
                    CFSTR("CKRX_ShowGuideLines"));
      break;
    case kRulers:
      SetStatusText(command, true, m_RulersShown, CFSTR("CKRX_HideRulers"),
                    CFSTR("CKRX_ShowRulers"));
      break;
    case kStatusBar:
      SetStatusText(command, true, m_StatusBarShown, CFSTR("CKRX_HideStatusBar"),
                    CFSTR("CKRX_ShowStatusBar"));
      break;
    case kToolbar:
      SetStatusText(command, true, IsToolbarVisible(), CFSTR("CKRX_HideToolPalette"),
                    CFSTR("CKRX_ShowToolPalette"));
      break;
    case kNavigationPalette:
      SetStatusText(command, true, MKRX_PaletteManager::NavigationPaletteVisible(),
                    CFSTR("CKRX_HideNavigationPalette"), CFSTR("CKRX_ShowNavigationPalette"));
      break;
    case kSeparationPalette:
      SetStatusText(command, true, MKRX_PaletteManager::SeparationPaletteVisible(),
                    CFSTR("CKRX_HideSeparationsPalette"), CFSTR("CKRX_ShowSeparationsPalette"));
      break;
    case kMeasurementPalette:
      SetStatusText(command, true, MKRX_PaletteManager::MeasurementPaletteVisible(),
                    CFSTR("CKRX_HideMeasurementPalette"), CFSTR("CKRX_ShowMeasurementPalette"));
      break;
    case kClearGuides:
      SetStatus(command, view.AnyGuideLinesPresent());
      break;
    case kAddFiles:
    case kVersionInfo:
      // Their dialogs are not built yet; no user reaches them.
      SetStatus(command, false);
      break;
    case kArrangePalettes:
      SetStatus(command, MKRX_PaletteManager::NavigationPaletteVisible() ||
                             MKRX_PaletteManager::SeparationPaletteVisible() ||
                             MKRX_PaletteManager::MeasurementPaletteVisible());
      break;
    case kCloseAll:
      SetStatus(command, MKRX_SheetWindowManager::GetWindowCountTotal() > 0);
      break;
    case kCascade:
    case kTileHorizontally:
    case kTileVertically:
      SetStatus(command, MKRX_SheetWindowManager::GetWindowCountUncollapsed() > 0);
      break;
    case kCloseWindow:
    case kFlipPage:
    case kRotateLeft:
    case kRotateRight:
      SetStatus(command, true);
      break;
    default:
      return eventNotHandledErr;
  }
  return noErr;
}

OSStatus MKRX_SheetWindow::DoControlGetPartRegion(PPx::SysCarbonEvent&, ControlRef control,
                                                  ControlPartCode part, RgnHandle region) {
  if (control != m_ScrollView.GetSysView() || part != kOpaqueMetaPart || region == nullptr)
    return eventNotHandledErr;
  CGRect const frame = m_SheetView->GetFrame();
  Rect const opaque = {static_cast<short>(frame.origin.y), static_cast<short>(frame.origin.x),
                       static_cast<short>(frame.origin.y + frame.size.height),
                       static_cast<short>(frame.origin.x + frame.size.width)};
  RectRgn(region, &opaque);
  return noErr;
}

OSStatus MKRX_SheetWindow::DoWindowActivated(PPx::SysCarbonEvent&, WindowRef) {
  MKRX_PaletteManager::SetView(m_SheetView.get());
  MKRX_PaletteManager::SetPanel(&m_SheetPanel);
  MKRX_PaletteManager::RevealPalettes();
  m_SheetView->RefreshView();
  RefreshStatus();
  return noErr;
}

// The palettes keep showing the last active sheet window.
OSStatus MKRX_SheetWindow::DoWindowDeactivated(PPx::SysCarbonEvent&, WindowRef) {
  return noErr;
}

void MKRX_SheetWindow::StartRulerSlide() {
  float const start = m_RulersShown ? 0 : kRulersHiddenOffset;
  m_RulerOffset = CGPointMake(start, start);
  m_RulersMoving = true;
  if (!IsTimerInstalled())
    PPx::Timer::Install(kSlideInterval, kSlideInterval);
}

void MKRX_SheetWindow::StartStatusBarSlide() {
  m_StatusOffset.y = m_StatusBarShown ? kStatusBarShownOffset : 0;
  m_StatusBarMoving = true;
  if (!IsTimerInstalled())
    PPx::Timer::Install(kSlideInterval, kSlideInterval);
}

// One tick moves both slides a step; the timer goes once neither moves.
void MKRX_SheetWindow::DoTimer() {
  if (m_RulersMoving) {
    float const step = m_RulersShown ? -kSlideStep : kSlideStep;
    m_RulerOffset = CGPointMake(m_RulerOffset.x + step, m_RulerOffset.y + step);
    if (m_RulersShown ? m_RulerOffset.x <= kRulersHiddenOffset : m_RulerOffset.x >= 0) {
      m_RulersShown = !m_RulersShown;
      m_RulersMoving = false;
    }
  }
  if (m_StatusBarMoving) {
    float const step = m_StatusBarShown ? kSlideStep : -kSlideStep;
    m_StatusOffset.y -= step;
    if (m_StatusBarShown ? m_StatusOffset.y <= 0 : m_StatusOffset.y >= kStatusBarShownOffset) {
      m_StatusBarShown = !m_StatusBarShown;
      m_StatusBarMoving = false;
    }
  }
  LayOutViews();
  if (!m_RulersMoving && !m_StatusBarMoving)
    PPx::Timer::Remove();
}

void MKRX_SheetWindow::LayOutViews() {
  HIViewRef scroll = m_ScrollView.GetSysView();
  HIRect content = CGRectMake(0, 0, 0, 0);
  HIViewGetBounds(HIViewGetSuperview(scroll), &content);
  CGFloat const width = content.size.width;
  CGFloat const r = m_RulerSize;
  CGFloat const p = m_PlacardSize;
  CGFloat const x = m_RulerOffset.x;
  CGFloat const y = m_RulerOffset.y;
  CGFloat const statusTop = content.size.height - m_StatusOffset.y;
  SetFrame(m_OriginView, x, y, r, r);
  SetFrame(m_HorizontalRuler, r, y, width - r - p, r);
  SetFrame(m_RightPlacard.GetSysView(), width - p, y, p, r);
  SetFrame(m_VerticalRuler, x, r, r, statusTop - p - r);
  SetFrame(m_BottomPlacard.GetSysView(), x, statusTop - p, r, p);
  SetFrame(scroll, r + x, r + y, width - (r + x), statusTop - (r + y));
  SetFrame(m_StatusView, 0, statusTop, width - p, m_StatusSize);
}
