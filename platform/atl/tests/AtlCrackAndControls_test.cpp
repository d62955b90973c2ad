#include <gtest/gtest.h>

#include <atlcrack.h>
#include <atlctrls.h>

#include <string>
#include <vector>

#include "AtlTestSupport.h"

namespace {

// Cracked handlers note their typed arguments; WM_APP passes on after sending itself WM_APP + 1,
// whose handler keeps its message: the outer message's flag must not take the inner one's.
class Cracked : public CWindowImpl<Cracked, CWindow, CFrameWinTraits> {
public:
  std::vector<std::wstring> m_Trace;

  BEGIN_MSG_MAP_EX(Cracked)
  MSG_WM_LBUTTONDOWN(OnLButtonDown)
  MSG_WM_SIZE(OnSize)
  MSG_WM_TIMER(OnTimer)
  MSG_WM_NCHITTEST(OnNcHitTest)
  MSG_WM_KEYDOWN(OnKeyDown)
  MSG_WM_COMMAND(OnCommand)
  MSG_WM_SETTEXT(OnSetText)
  MSG_OCM_DRAWITEM(OnReflectedDrawItem)
  MESSAGE_HANDLER(WM_APP, OnOuter)
  MESSAGE_HANDLER(WM_APP + 1, OnInner)
  END_MSG_MAP()

  void OnLButtonDown(UINT flags, CPoint point) {
    Note(L"down " + std::to_wstring(flags) + L" " + std::to_wstring(point.x) + L"," +
         std::to_wstring(point.y));
  }
  void OnSize(UINT type, CSize size) {
    Note(L"size " + std::to_wstring(type) + L" " + std::to_wstring(size.cx) + L"x" +
         std::to_wstring(size.cy));
    SetMsgHandled(FALSE);
  }
  void OnTimer(UINT_PTR id) { Note(L"timer " + std::to_wstring(id)); }
  UINT OnNcHitTest(CPoint point) { return point.x < 0 ? HTLEFT : HTCAPTION; }
  void OnKeyDown(UINT key, UINT repeats, UINT flags) {
    Note(L"key " + std::to_wstring(key) + L" " + std::to_wstring(repeats) + L" " +
         std::to_wstring(flags));
  }
  void OnCommand(UINT code, int id, CWindow control) {
    Note(L"command " + std::to_wstring(code) + L" " + std::to_wstring(id) +
         (control.m_hWnd ? L" control" : L""));
  }

  int OnSetText(LPCWSTR text) {
    Note(std::wstring(L"text ") + text);
    return 77;
  }
  void OnReflectedDrawItem(UINT id, LPDRAWITEMSTRUCT item) {
    Note(L"draw " + std::to_wstring(id) + L" " + std::to_wstring(item->itemID));
  }

  // Classic handlers in the same map.
  LRESULT OnOuter(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    SetMsgHandled(FALSE);
    SendMessage(WM_TIMER, 3);
    bHandled = IsMsgHandled();
    return 0;
  }
  LRESULT OnInner(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

private:
  void Note(const std::wstring& text) { m_Trace.push_back(text); }
};

TEST(Crackers, UnpackTheParametersAndPassOnWhenAskedTo) {
  Cracked window;
  ASSERT_NE(window.Create(nullptr), nullptr);
  window.m_Trace.clear();
  EXPECT_EQ(window.SendMessage(WM_LBUTTONDOWN, MK_SHIFT, MAKELPARAM(-3, 7)), 0);
  window.SendMessage(WM_TIMER, 12);
  window.SendMessage(WM_KEYDOWN, 'A', MAKELPARAM(2, 0x1E));
  window.SendMessage(WM_COMMAND, MAKEWPARAM(40, 1), reinterpret_cast<LPARAM>(window.m_hWnd));
  EXPECT_EQ(window.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(-5, 5)), HTLEFT);
  EXPECT_EQ(window.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(5, 5)), HTCAPTION);
  EXPECT_EQ(window.m_Trace, (std::vector<std::wstring>{L"down 4 -3,7", L"timer 12", L"key 65 2 30",
                                                       L"command 1 40 control"}));

  // A handler that clears the flag lets the default procedure see the message too.
  window.m_Trace.clear();
  window.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 80));
  EXPECT_EQ(window.m_Trace, (std::vector<std::wstring>{L"size 0 120x80"}));

  // The nested timer message kept its own flag; the outer one's stays cleared.
  window.m_Trace.clear();
  window.SendMessage(WM_APP);
  EXPECT_EQ(window.m_Trace, (std::vector<std::wstring>{L"timer 3"}));
  EXPECT_FALSE(window.IsMsgHandled());
  window.DestroyWindow();
}

class DialogLikeParent : public CWindowImpl<DialogLikeParent, CWindow, CFrameWinTraits> {
public:
  BEGIN_MSG_MAP(DialogLikeParent)
  END_MSG_MAP()
};

// The list view's custom draw as a subclass sees it: reflected to section 1.
class Drawn : public CWindowImpl<Drawn>, public CCustomDraw<Drawn> {
public:
  std::vector<DWORD> m_Stages;

  BEGIN_MSG_MAP(Drawn)
  CHAIN_MSG_MAP_ALT(CCustomDraw<Drawn>, 1)
  END_MSG_MAP()

  DWORD OnPrePaint(int, LPNMCUSTOMDRAW draw) {
    m_Stages.push_back(draw->dwDrawStage);
    return CDRF_NOTIFYITEMDRAW;
  }
  DWORD OnItemPostPaint(int, LPNMCUSTOMDRAW draw) {
    m_Stages.push_back(draw->dwDrawStage);
    return CDRF_SKIPDEFAULT;
  }
};

TEST(CustomDraw, EachStageHasItsCallAndOthersAreLeft) {
  DialogLikeParent parent;
  ASSERT_NE(parent.Create(nullptr), nullptr);
  Drawn drawn;
  ASSERT_NE(drawn.Create(parent), nullptr);
  struct StageCase {
    DWORD m_Stage;
    LRESULT m_Result;
  };
  for (const StageCase& c : {StageCase{CDDS_PREPAINT, CDRF_NOTIFYITEMDRAW},
                             StageCase{CDDS_ITEMPOSTPAINT, CDRF_SKIPDEFAULT},
                             StageCase{CDDS_ITEMPREPAINT, CDRF_DODEFAULT},
                             StageCase{CDDS_ITEMPREPAINT | CDDS_SUBITEM, CDRF_DODEFAULT}}) {
    NMCUSTOMDRAW draw = {};
    draw.hdr = {drawn, 1, static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.dwDrawStage = c.m_Stage;
    EXPECT_EQ(drawn.SendMessage(OCM_NOTIFY, 1, reinterpret_cast<LPARAM>(&draw)), c.m_Result)
        << std::hex << c.m_Stage;
  }
  EXPECT_EQ(drawn.m_Stages, (std::vector<DWORD>{CDDS_PREPAINT, CDDS_ITEMPOSTPAINT}));
  // Not reflected: section 0 only, which this map does not chain.
  NMCUSTOMDRAW draw = {};
  draw.hdr = {drawn, 1, static_cast<UINT>(NM_CUSTOMDRAW)};
  draw.dwDrawStage = CDDS_PREPAINT;
  drawn.SendMessage(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&draw));
  EXPECT_EQ(drawn.m_Stages.size(), 2u);
  parent.DestroyWindow();
}

TEST(SimpleControls, WrappersDriveTheSystemsControls) {
  DialogLikeParent parent;
  ASSERT_NE(parent.Create(nullptr), nullptr);
  RECT r = {0, 0, 100, 100};

  CComboBox combo;
  combo.Create(CComboBox::GetWndClassName(), parent, r, nullptr,
               WS_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL);
  ASSERT_NE(combo.m_hWnd, nullptr);
  EXPECT_EQ(combo.AddString(L"alpha"), 0);
  EXPECT_EQ(combo.AddString(L"beta"), 1);
  EXPECT_EQ(combo.GetCount(), 2);
  EXPECT_EQ(combo.FindStringExact(-1, L"BETA"), 1) << "matches ignore case";
  EXPECT_EQ(combo.FindStringExact(-1, L"bet"), CB_ERR);
  EXPECT_EQ(combo.SetCurSel(1), 1);
  EXPECT_EQ(combo.GetCurSel(), 1);
  wchar_t text[16] = {};
  EXPECT_EQ(combo.GetLBTextLen(1), 4);
  EXPECT_EQ(combo.GetLBText(1, text), 4);
  EXPECT_EQ(std::wstring(text), L"beta");
  EXPECT_EQ(combo.DeleteString(0), 1);
  combo.ResetContent();
  EXPECT_EQ(combo.GetCount(), 0);

  CEdit edit;
  edit.Create(CEdit::GetWndClassName(), parent, r, L"hello world", WS_CHILD | ES_AUTOHSCROLL);
  ASSERT_NE(edit.m_hWnd, nullptr);
  edit.SetSel(6, 8);
  int start = 0;
  int end = 0;
  edit.GetSel(start, end);
  EXPECT_EQ(start, 6);
  EXPECT_EQ(end, 8);
  edit.ReplaceSel(L"WO");
  edit.GetWindowText(text, 16);
  EXPECT_EQ(std::wstring(text), L"hello WOrld");
  edit.SetSelAll();
  edit.GetSel(start, end);
  EXPECT_EQ(end - start, 11);

  CButton button;
  button.Create(CButton::GetWndClassName(), parent, r, L"x", WS_CHILD | BS_AUTOCHECKBOX);
  ASSERT_NE(button.m_hWnd, nullptr);
  button.SetCheck(BST_CHECKED);
  EXPECT_EQ(button.GetCheck(), BST_CHECKED);

  CStatic label;
  EXPECT_NE(label.Create(CStatic::GetWndClassName(), parent, r, L"label", WS_CHILD), nullptr);
  parent.DestroyWindow();
}

}  // namespace
