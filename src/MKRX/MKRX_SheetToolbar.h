// A sheet window's toolbar: icon items and three grouped items (overlay buttons, ruler and guide
// buttons, the tool selector) that send the same commands as the menus. The window keeps the
// grouped items' state in step with its view.
#pragma once

#include "CKRX/CKRX_SheetViewTypes.h"
#include "PPXA/PPXA_Toolbar.h"
#include "PPXA/PPXA_ToolbarMultiBevelButtonItem.h"
#include "PPXA/PPXA_ToolbarSegmentedViewItem.h"

class MKRX_SheetToolbar : public PPXA::Toolbar {
public:
  // Makes the toolbar on the window with its items; throws PPx::OSError.
  explicit MKRX_SheetToolbar(WindowRef window);

  // Lets the grouped items' buttons send their commands to the window.
  void InitEventHandlers();

  void SetToolModeItem(IMPN_ToolMode mode);
  // 'VRlr' and 'VGid'; other commands are ignored.
  void SetViewItem(UInt32 command, UInt32 value);
  // 'SEdg', 'BEdg', 'PEdg', 'PNum' and 'TySf'; other commands are ignored.
  void SetImpositionItem(UInt32 command, UInt32 value, bool enabled);

  // The grouped items; null until the toolbar made them. They belong to their toolbar items.
  PPXA::ToolbarMultiBevelButtonItem* GetImpositionItem() const { return m_ImpositionItem; }
  PPXA::ToolbarMultiBevelButtonItem* GetMeasurementItem() const { return m_MeasurementItem; }
  PPXA::ToolbarSegmentedViewItem* GetToolsItem() const { return m_ToolsItem; }

  const char* ClassName() const override { return "MKRX_SheetToolbar"; }

protected:
  OSStatus DoToolbarGetDefaultIdentifiers(PPx::SysCarbonEvent& event, HIToolbarRef toolbar,
                                          CFMutableArrayRef identifiers) override;
  OSStatus DoToolbarGetAllowedIdentifiers(PPx::SysCarbonEvent& event, HIToolbarRef toolbar,
                                          CFMutableArrayRef identifiers) override;
  OSStatus DoToolbarCreateItemWithIdentifier(PPx::SysCarbonEvent& event, HIToolbarRef toolbar,
                                             CFStringRef identifier, const void* configData,
                                             HIToolbarItemRef& outItem) override;

  HIToolbarItemRef CreateIconItem(CFStringRef identifier, CFStringRef label, CFStringRef help,
                                  CFStringRef extendedHelp, CFStringRef imageName, UInt32 command);
  HIToolbarItemRef CreateSegmentedViewItem(CFStringRef identifier, CFStringRef label,
                                           std::vector<PPXA::SegmentItem> const& segments,
                                           UInt32 behavior, UInt32 attributes,
                                           PPXA::ToolbarSegmentedViewItem** outItem);
  HIToolbarItemRef CreateMultiBevelButtonItem(CFStringRef identifier, CFStringRef label,
                                              std::vector<PPXA::BevelButtonItem> const& buttons,
                                              UInt32 attributes,
                                              PPXA::ToolbarMultiBevelButtonItem** outItem);

private:
  WindowRef m_Window;
  // Each is deleted with its toolbar item (the item's HIObject owns it).
  PPXA::ToolbarMultiBevelButtonItem* m_ImpositionItem = nullptr;
  PPXA::ToolbarMultiBevelButtonItem* m_MeasurementItem = nullptr;
  PPXA::ToolbarSegmentedViewItem* m_ToolsItem = nullptr;
};
