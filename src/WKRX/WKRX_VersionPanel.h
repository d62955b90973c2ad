// The top row of the separations palette for a sheet with plate versions: a list of the versions;
// choosing one shows exactly its separations. A button beside it asks the sheet window for the
// version information.
#pragma once

#include "USTR/USTR_String.h"
#include "WKRX/WKRX_PaletteControls.h"
#include "WKRX/WKRX_PaletteMessages.h"
#include "WKRX/WKRX_StaticTextCtrl.h"

#include <windows.h>

#include <atlbase.h>
#include <atlframe_ownerdraw.h>
#include <atlwin.h>

#include <vector>

// The version list: its items are the sheet's own version names (item data), drawn in the menu
// colours.
class WKRX_ComboBox : public ATL::CWindowImpl<WKRX_ComboBox>,
                      public WTL::COwnerDraw<WKRX_ComboBox> {
public:
  DECLARE_WND_SUPERCLASS(L"WKRX_ComboBox", L"COMBOBOX")

  BEGIN_MSG_MAP(WKRX_ComboBox)
  CHAIN_MSG_MAP_ALT(WTL::COwnerDraw<WKRX_ComboBox>, 1)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

  void DrawItem(LPDRAWITEMSTRUCT item);
};

class WKRX_VersionPanel : public ATL::CWindowImpl<WKRX_VersionPanel> {
public:
  static constexpr int kHeight = 28;
  // The set holds this many entries; the list offers no more.
  static constexpr size_t kMaxEntries = 1024;
  static constexpr long kLabelWidth = 118;

  DECLARE_WND_CLASS_EX(L"WKRX_VersionPanel", 0, COLOR_BTNFACE)

  BEGIN_MSG_MAP(WKRX_VersionPanel)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  COMMAND_HANDLER(WKRX_Ids::kControlVersionList, CBN_SELCHANGE, OnVersionChosen)
  COMMAND_ID_HANDLER(WKRX_Ids::kControlVersionInfo, OnInfoClicked)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  WKRX_VersionPanel();

  void SetFrame(HWND frame) { m_Frame = frame; }
  // A hidden child of parent at rect; the object deletes itself once its window is gone.
  HWND Create(HWND parent, const RECT& rect);

  // The names stay the sheet's: the list keeps pointers to them.
  void SetVersions(const std::vector<USTR_String>& names);
  void SelectFirstVersion();
  // Selects the lowest version in versions, or nothing when it is empty. Tells no one.
  void SelectVersionSet(const WKRX_VersionSet& versions);
  void SetPanelWidth(long width);
  void ShowVersionInfo();

  const WKRX_VersionSet& SelectedVersions() const { return m_Selected; }
  WKRX_ComboBox& List() { return m_List; }
  WKRX_StaticTextCtrl& Label() { return m_Label; }
  HWND InfoButton() const { return m_Info.m_hWnd; }

private:
  void OnFinalMessage(HWND) override { delete this; }

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnVersionChosen(WORD, WORD, HWND, BOOL&);
  LRESULT OnInfoClicked(WORD, WORD, HWND, BOOL&);

  void Layout(long width);

  HWND m_Frame = nullptr;
  WKRX_StaticTextCtrl m_Label;
  WKRX_ComboBox m_List;
  WKRX_IconButton m_Info;
  WKRX_VersionSet m_Selected;
  long m_LabelWidth = 75;
  long m_ListLeft = 116;
};
