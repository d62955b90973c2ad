#include "MKRX/MKRX_SheetToolbar.h"

#include "MKRX/iMKRX_Alert.h"
#include "PPXA/iPPXA_CFHolder.h"
#include "UMAC/UMAC_CGImage.h"
#include "UMAC/UMAC_PlatformDetector.h"
#include "USTR/USTR_LocalizedString.h"

#include <CoreServices/Folders.h>
#include <HIServices/Icons.h>
#include <HIToolbox/Controls.h>
#include <PPx/PPxExceptions.h>

#include <memory>
#include <string>

namespace {

using StringHolder = PPXA::iPPXA_CFHolder<CFStringRef>;

constexpr OSType kCreator = 0x4E6C7432;  // 'Nlt2'
constexpr UInt32 kToolSegmentBehavior = 2;
constexpr UInt16 kPushBehavior = 0;
constexpr UInt16 kToggleBehavior = 0x0100;

constexpr UInt32 kShowHideEdges = 0x53484564;   // 'SHEd'
constexpr UInt32 kPressSheetEdge = 0x53456467;  // 'SEdg'
constexpr UInt32 kBleedEdges = 0x42456467;      // 'BEdg'
constexpr UInt32 kPageEdges = 0x50456467;       // 'PEdg'
constexpr UInt32 kPageNumbers = 0x504E756D;     // 'PNum'
constexpr UInt32 kTypeSafety = 0x54795366;      // 'TySf'
constexpr UInt32 kRulers = 0x56526C72;          // 'VRlr'
constexpr UInt32 kGuides = 0x56476964;          // 'VGid'

const char kToolbarIdentifier[] = "com.nolt.krx.SheetToolbar";
const char kSeparator[] = "com.apple.hitoolbox.toolbar.separator";

// One button of a toolbar item: its command, image and texts (keys of the bundle's strings).
struct ButtonSpec {
  UInt32 command;
  const char* image;
  const char* label;
  const char* help;
  const char* extendedHelp;
};

constexpr ButtonSpec kIconItems[] = {
    {0x534A4272, "JobBrowser.png", "CKRX_JobBrowser", "CKRX_JobBrowser",
     "CKRX_JobBrowserInfo"},  // 'SJBr'
    {0x6F70656E, "OpenFiles.png", "CKRX_OpenFiles", "CKRX_OpenPreviewFiles",
     "CKRX_OpenPreviewFilesInfo"},  // 'open'
    {0x41646446, "AddFiles.png", "CKRX_AddFiles", "CKRX_AddPreviewFiles",
     "CKRX_AddPreviewFilesInfo"},  // 'AddF'
    {0x5A466974, "ZoomToFit.png", "CKRX_ZoomToFit", "CKRX_FitToWindow",
     "CKRX_FitToWindowInfo"},                                                         // 'ZFit'
    {0x5A4F7574, "ZoomOut.png", "CKRX_ZoomOut", "CKRX_ZoomOut", "CKRX_ZoomOutInfo"},  // 'ZOut'
    {0x5A496E5F, "ZoomIn.png", "CKRX_ZoomIn", "CKRX_ZoomIn", "CKRX_ZoomInInfo"},      // 'ZIn_'
    {0x526F744C, "RotateLeft.png", "CKRX_RotateLeft", "CKRX_RotateLeft",
     "CKRX_RotateLeftInfo"},  // 'RotL'
    {0x526F7452, "RotateRight.png", "CKRX_RotateRight", "CKRX_RotateRight",
     "CKRX_RotateRightInfo"},  // 'RotR'
};
const char* const kIconItemNames[] = {"JobBrowser", "OpenFiles", "AddFiles",   "FitToWindow",
                                      "ZoomOut",    "ZoomIn",    "RotateLeft", "RotateRight"};

constexpr ButtonSpec kImpositionButtons[] = {
    {kShowHideEdges, "ShowHideEdgeInformation.png", nullptr, "CKRX_ShowHideImposition",
     "CKRX_ShowHideImpositionInfo"},
    {kPressSheetEdge, "PressSheetEdge.png", nullptr, "CKRX_PressSheetEdge",
     "CKRX_PressSheetEdgeInfo"},
    {kBleedEdges, "BleedEdges.png", nullptr, "CKRX_BleedEdges", "CKRX_BleedEdgesInfo"},
    {kPageEdges, "PageEdges.png", nullptr, "CKRX_PageEdges", "CKRX_PageEdgesInfo"},
    {kPageNumbers, "PageNumbers.png", nullptr, "CKRX_PageNumbers", "CKRX_PageNumbersInfo"},
    {kTypeSafety, "TypeSafetyEdges.png", nullptr, "CKRX_TypeSafetyEdges",
     "CKRX_TypeSafetyEdgesInfo"},
};
constexpr ButtonSpec kMeasurementButtons[] = {
    {kRulers, "ShowHideRulers.png", nullptr, "CKRX_ShowHideRulers", "CKRX_ShowHideRulersInfo"},
    {kGuides, "ShowHideGuides.png", nullptr, "CKRX_ShowHideGuides", "CKRX_ShowHideGuidesInfo"},
};
constexpr ButtonSpec kToolSegments[] = {
    {0x50616E54, "PanTool.png", nullptr, "CKRX_PanTool", "CKRX_PanToolInfo"},              // 'PanT'
    {0x4D657354, "MeasureTool.png", nullptr, "CKRX_MeasureTool", "CKRX_MeasureToolInfo"},  // 'MesT'
    {0x5A6F6D54, "ZoomTool.png", nullptr, "CKRX_ZoomTool", "CKRX_ZoomToolInfo"},           // 'ZomT'
    {0x44656E54, "EyedropperTool.png", nullptr, "CKRX_DensitometerTool",
     "CKRX_DensitometerToolInfo"},  // 'DenT'
};

// The default set; null stands for a separator.
const char* const kDefaultItems[] = {
    "JobBrowser",      "", "OpenFiles",  "AddFiles",    "", "FitToWindow",    "ZoomOut",
    "ZoomIn",          "", "RotateLeft", "RotateRight", "", "ImpositionTabs", "",
    "MeasurementTabs", "", "ToolTabs"};
const char* const kAllowedItems[] = {
    "",       "JobBrowser", "OpenFiles",   "AddFiles",       "FitToWindow",     "ZoomOut",
    "ZoomIn", "RotateLeft", "RotateRight", "ImpositionTabs", "MeasurementTabs", "ToolTabs"};

StringHolder NewString(std::string const& text) {
  return StringHolder(CFStringCreateWithCString(nullptr, text.c_str(), kCFStringEncodingUTF8));
}

// An empty name is the system's separator.
StringHolder ItemIdentifier(const char* name) {
  if (*name == '\0')
    return NewString(kSeparator);
  return NewString(std::string(kToolbarIdentifier) + "." + name);
}

StringHolder Localized(const char* key) {
  return StringHolder(iUSTR_GetLocalizedCFString(NewString(key).Get()));
}

bool IsOlderThanTiger() {
  return static_cast<SInt16>(UMAC_PlatformDetector::SystemVersion()) < 0x1040;
}

// The button's image from the bundle; before 10.4 the icon registered under its command.
ControlButtonContentInfo ButtonContent(ButtonSpec const& button, bool registeredIcon,
                                       UMAC_CGImage& image) {
  ControlButtonContentInfo content{};
  if (registeredIcon) {
    IconRef icon = nullptr;
    if (GetIconRef(kOnSystemDisk, kCreator, button.command, &icon) == noErr) {
      // The registration keeps the icon for the whole run; the button borrows it.
      ReleaseIconRef(icon);
      content.contentType = kControlContentIconRef;
      content.u.iconRef = icon;
      return content;
    }
  }
  image.LoadPNGFromBundle(NewString(button.image).Get());
  content.contentType = kControlContentCGImageRef;
  content.u.imageRef = image.Get();
  return content;
}

bool SameIdentifier(CFStringRef identifier, const char* name) {
  return CFStringCompare(identifier, ItemIdentifier(name).Get(), 0) == kCFCompareEqualTo;
}

void AppendIdentifiers(CFMutableArrayRef identifiers, const char* const* names, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    CFArrayAppendValue(identifiers, ItemIdentifier(names[i]).Get());
}

void SetItemHelp(HIToolbarItemRef item, const char* help, const char* extendedHelp) {
  PPXA::SysHIToolbarItem(item).SetHelpText(Localized(help).Get(), Localized(extendedHelp).Get());
}

}  // namespace

MKRX_SheetToolbar::MKRX_SheetToolbar(WindowRef window) : m_Window(window) {
  Initialize(NewString(kToolbarIdentifier).Get(), kHIToolbarNoAttributes, window);
  GetSysHIToolbar().SetDisplayMode(kHIToolbarDisplayModeIconAndLabel);
  GetSysHIToolbar().SetDisplaySize(kHIToolbarDisplaySizeSmall);
  // The system asks for the items now, so the grouped items exist when the window sets them.
  CFArrayRef items = nullptr;
  PPx::ThrowIfOSStatus(HIToolbarCopyItems(GetSysHIToolbar().GetHIToolbarRef(), &items),
                       "HIToolbarCopyItems failed");
  if (items)
    CFRelease(items);
}

void MKRX_SheetToolbar::InitEventHandlers() {
  if (m_ImpositionItem)
    m_ImpositionItem->InitEventHandlers(m_Window);
  if (m_MeasurementItem)
    m_MeasurementItem->InitEventHandlers(m_Window);
  if (m_ToolsItem)
    m_ToolsItem->InitEventHandlers(m_Window);
}

void MKRX_SheetToolbar::SetToolModeItem(IMPN_ToolMode mode) {
  UInt32 segment = 0;
  switch (mode) {
    case kIMPN_ToolPan:
      segment = 1;
      break;
    case kIMPN_ToolMeasure:
      segment = 2;
      break;
    case kIMPN_ToolZoom:
      segment = 3;
      break;
    case kIMPN_ToolDensitometer:
      segment = 4;
      break;
    default:
      return;
  }
  if (m_ToolsItem == nullptr)
    return;
  // The segments toggle on their own, so the others are switched off here.
  HIViewRef view = m_ToolsItem->GetSegmentedView();
  for (UInt32 i = 1; i <= HISegmentedViewGetSegmentCount(view); ++i)
    HISegmentedViewSetSegmentValue(view, i, i == segment ? 1 : 0);
}

void MKRX_SheetToolbar::SetViewItem(UInt32 command, UInt32 value) {
  UInt32 button = 0;
  if (command == kRulers)
    button = 1;
  else if (command == kGuides)
    button = 2;
  if (button == 0 || m_MeasurementItem == nullptr)
    return;
  if (HIViewRef view = m_MeasurementItem->GetBevelButtonView(button))
    SetControl32BitValue(view, static_cast<SInt32>(value));
}

void MKRX_SheetToolbar::SetImpositionItem(UInt32 command, UInt32 value, bool enabled) {
  static constexpr UInt32 kButtons[] = {kPressSheetEdge, kBleedEdges, kPageEdges, kPageNumbers,
                                        kTypeSafety};
  if (m_ImpositionItem == nullptr)
    return;
  for (UInt32 i = 0; i < 5; ++i) {
    if (kButtons[i] != command)
      continue;
    HIViewRef view = m_ImpositionItem->GetBevelButtonView(i + 2);  // after 'SHEd'
    if (view == nullptr)
      return;
    // A push button holds no state of its own: its range must admit the on state set here.
    if (GetControl32BitMaximum(view) < 1)
      SetControl32BitMaximum(view, 1);
    SetControl32BitValue(view, static_cast<SInt32>(value));
    if (enabled)
      EnableControl(view);
    else
      DisableControl(view);
    return;
  }
}

OSStatus MKRX_SheetToolbar::DoToolbarGetDefaultIdentifiers(PPx::SysCarbonEvent&, HIToolbarRef,
                                                           CFMutableArrayRef identifiers) {
  AppendIdentifiers(identifiers, kDefaultItems, sizeof kDefaultItems / sizeof *kDefaultItems);
  return noErr;
}

OSStatus MKRX_SheetToolbar::DoToolbarGetAllowedIdentifiers(PPx::SysCarbonEvent&, HIToolbarRef,
                                                           CFMutableArrayRef identifiers) {
  AppendIdentifiers(identifiers, kAllowedItems, sizeof kAllowedItems / sizeof *kAllowedItems);
  return noErr;
}

OSStatus MKRX_SheetToolbar::DoToolbarCreateItemWithIdentifier(PPx::SysCarbonEvent&, HIToolbarRef,
                                                              CFStringRef identifier, const void*,
                                                              HIToolbarItemRef& outItem) {
  for (std::size_t i = 0; i < sizeof kIconItems / sizeof *kIconItems; ++i) {
    if (!SameIdentifier(identifier, kIconItemNames[i]))
      continue;
    ButtonSpec const& item = kIconItems[i];
    outItem = CreateIconItem(identifier, Localized(item.label).Get(), Localized(item.help).Get(),
                             Localized(item.extendedHelp).Get(), NewString(item.image).Get(),
                             item.command);
    return noErr;
  }

  bool const older = IsOlderThanTiger();
  if (SameIdentifier(identifier, "ImpositionTabs") ||
      SameIdentifier(identifier, "MeasurementTabs")) {
    bool const imposition = SameIdentifier(identifier, "ImpositionTabs");
    ButtonSpec const* specs = imposition ? kImpositionButtons : kMeasurementButtons;
    std::size_t const count = imposition ? 6 : 2;
    // The images and texts are held until the item has copied them.
    std::vector<UMAC_CGImage> images(count);
    std::vector<StringHolder> texts;
    std::vector<PPXA::BevelButtonItem> buttons;
    for (std::size_t b = 0; b < count; ++b) {
      texts.push_back(Localized(specs[b].help));
      texts.push_back(Localized(specs[b].extendedHelp));
      buttons.push_back({imposition ? kPushBehavior : kToggleBehavior,
                         ButtonContent(specs[b], older, images[b]), specs[b].command,
                         texts[2 * b].Get(), texts[2 * b + 1].Get()});
    }
    PPXA::ToolbarMultiBevelButtonItem** slot = imposition ? &m_ImpositionItem : &m_MeasurementItem;
    outItem = CreateMultiBevelButtonItem(
        identifier, Localized(imposition ? "CKRX_Imposition" : "CKRX_Measurement").Get(), buttons,
        0, slot);
    if (older && imposition)
      SetItemHelp(outItem, "CKRX_ShowHideImposition", "CKRX_ShowHideImpositionAll");
    else if (older)
      SetItemHelp(outItem, "CKRX_ShowHideRulersGuides", "CKRX_ShowHideRulersGuides");
    return noErr;
  }

  if (SameIdentifier(identifier, "ToolTabs")) {
    std::vector<UMAC_CGImage> images(4);
    std::vector<StringHolder> texts;
    std::vector<PPXA::SegmentItem> segments;
    for (std::size_t s = 0; s < 4; ++s) {
      texts.push_back(Localized(kToolSegments[s].help));
      texts.push_back(Localized(kToolSegments[s].extendedHelp));
      segments.push_back({ButtonContent(kToolSegments[s], false, images[s]),
                          kToolSegments[s].command, texts[2 * s].Get(), texts[2 * s + 1].Get()});
    }
    outItem = CreateSegmentedViewItem(identifier, Localized("CKRX_Tools").Get(), segments,
                                      kToolSegmentBehavior, 0, &m_ToolsItem);
    if (older)
      SetItemHelp(outItem, "CKRX_SwitchToolMode", "CKRX_SwitchToolModeAll");
    return noErr;
  }
  return eventNotHandledErr;  // the system makes its own items
}

HIToolbarItemRef MKRX_SheetToolbar::CreateIconItem(CFStringRef identifier, CFStringRef label,
                                                   CFStringRef help, CFStringRef extendedHelp,
                                                   CFStringRef imageName, UInt32 command) {
  PPXA::SysHIToolbarItem item(identifier, kHIToolbarItemCantBeRemoved);
  // Held until it is handed over, so a failing call below does not leak it.
  PPXA::iPPXA_CFHolder<HIToolbarItemRef> held(item.GetHIToolbarItemRef());
  UMAC_CGImage image;
  image.LoadPNGFromBundle(imageName);
  if (!image.IsNull())
    item.SetImage(image.Get());
  item.SetLabel(label);
  item.SetCommandID(command);
  item.SetHelpText(help, extendedHelp);
  return held.Release();
}

HIToolbarItemRef MKRX_SheetToolbar::CreateSegmentedViewItem(
    CFStringRef identifier, CFStringRef label, std::vector<PPXA::SegmentItem> const& segments,
    UInt32 behavior, UInt32 attributes, PPXA::ToolbarSegmentedViewItem** outItem) {
  // Until its HIObject is made the object is ours; from then on the item deletes it.
  auto object = std::make_unique<PPXA::ToolbarSegmentedViewItem>();
  PPx::ThrowIfOSStatus(object->Initialize(identifier, segments, behavior, attributes),
                       "the tools item could not be made");
  PPXA::ToolbarSegmentedViewItem* made = object.release();
  PPXA::iPPXA_CFHolder<HIToolbarItemRef> held(made->GetSysView());
  PPXA::SysHIToolbarItem(held.Get()).SetLabel(label);
  *outItem = made;
  return held.Release();
}

HIToolbarItemRef MKRX_SheetToolbar::CreateMultiBevelButtonItem(
    CFStringRef identifier, CFStringRef label, std::vector<PPXA::BevelButtonItem> const& buttons,
    UInt32 attributes, PPXA::ToolbarMultiBevelButtonItem** outItem) {
  auto object = std::make_unique<PPXA::ToolbarMultiBevelButtonItem>();
  PPx::ThrowIfOSStatus(object->Initialize(identifier, buttons, attributes),
                       "a grouped item could not be made");
  PPXA::ToolbarMultiBevelButtonItem* made = object.release();
  PPXA::iPPXA_CFHolder<HIToolbarItemRef> held(made->GetSysView());
  PPXA::SysHIToolbarItem(held.Get()).SetLabel(label);
  *outItem = made;
  return held.Release();
}
