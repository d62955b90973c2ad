#pragma once
// A combo box standing in for the portable pop-up menu button. Its item list holds every item;
// the combo box lists the enabled ones, in order. A static text may show the title.

#include <windows.h>
#include <atlbase.h>
#include <atlwin.h>
#include <atlctrls.h>

#include <vector>

#include "UCTL/UCTL_Control.h"
#include "WCTL/WCTL_Control.h"

class WCTL_PopupButton : public WCTL_Control,
                         public UCTL_PopupButton,
                         public CWindowImpl<WCTL_PopupButton, CComboBox> {
public:
  // The size is the client size; negative values count as 0.
  void SetControlSize(long width, long height) override;
  // These three also reach the title control.
  void RefreshControl() override;
  void SetControlVisible(bool visible) override;
  void SetControlEnabled(bool enabled) override;

  // -1 clears the selection without a message; an index outside the items does nothing.
  // Otherwise selects the item and broadcasts UCTL_ControlValueChangedMessage.
  void SetControlValue(long index) override;
  // The index among all items, disabled ones counted, of the first item with the selected text.
  long ControlValue() const override;
  USTR_String ControlValueAsText() const override;
  void SetControlTitle(USTR_String const& title) override;
  USTR_String ControlTitle() const override;
  // "-" makes a disabled item; nothing ends up selected unless an item's text is empty.
  void SetMenuItems(USTR_StringVector const& items) override;
  void SetMenuItemEnabled(long index, bool enabled) override;
  USTR_StringVector MenuItems() override;

  // Selects the listed entry equal to text, when there is one.
  virtual void SelectItemByText(USTR_String const& text);

  // The control that shows the title; not owned, null for none.
  void SetTitleControl(UCTL_StaticText* title) { m_Title = title; }

  BEGIN_MSG_MAP(WCTL_PopupButton)
  REFLECTED_COMMAND_CODE_HANDLER(CBN_SELCHANGE, OnSelectionChange)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

protected:
  HWND ControlWindow() const override { return m_hWnd; }

private:
  struct Item {
    USTR_String m_Text;
    bool m_Enabled;
  };

  // Lists the enabled items again; the selection goes to the last entry listed when an item
  // with the text to select was reached (so a disabled match selects the entry before it).
  void Refill(USTR_String const& selectText);
  void BroadcastValue();
  LRESULT OnSelectionChange(WORD code, WORD id, HWND control, BOOL& bHandled);

  std::vector<Item> m_Items;
  UCTL_StaticText* m_Title = nullptr;
};
