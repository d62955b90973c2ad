#include <gtest/gtest.h>

#include <atlframe.h>

#include "AtlDialogResources.h"
#include "AtlTestSupport.h"

namespace {

class ResizeDialog : public CDialogImpl<ResizeDialog>, public CDialogResize<ResizeDialog> {
public:
  enum {
    IDD = IDD_ATL_RESIZE
  };

  ResizeDialog(bool gripper, bool minTrackSize)
      : m_Gripper(gripper),
        m_MinTrackSize(minTrackSize) {}

  BEGIN_DLGRESIZE_MAP(ResizeDialog)
  DLGRESIZE_CONTROL(IDC_ATL_RESIZE_LIST, DLSZ_SIZE_X | DLSZ_SIZE_Y)
  DLGRESIZE_CONTROL(IDC_ATL_RESIZE_BUTTON, DLSZ_MOVE_X | DLSZ_MOVE_Y)
  DLGRESIZE_CONTROL(IDC_ATL_RESIZE_STATUS, DLSZ_MOVE_Y | DLSZ_SIZE_X | DLSZ_REPAINT)
  DLGRESIZE_CONTROL(IDC_ATL_RESIZE_MIDDLE, DLSZ_CENTER_X)
  END_DLGRESIZE_MAP()

  BEGIN_MSG_MAP(ResizeDialog)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  CHAIN_MSG_MAP(CDialogResize<ResizeDialog>)
  END_MSG_MAP()

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    DlgResize_Init(m_Gripper, m_MinTrackSize);
    return TRUE;
  }

private:
  bool m_Gripper;
  bool m_MinTrackSize;
};

RECT ChildRect(HWND dialog, int id) {
  RECT r = {};
  GetWindowRect(GetDlgItem(dialog, id), &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<LPPOINT>(&r), 2);
  return r;
}

SIZE WindowSize(HWND hWnd) {
  RECT r = {};
  GetWindowRect(hWnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

void Resize(HWND hWnd, SIZE size) {
  SetWindowPos(hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

class DialogResizeTest : public GuardCapturingTest {};

// Each control of the table follows the growth of the client area by its flags; a control out of
// the table stays.
TEST_F(DialogResizeTest, ControlsFollowTheTableAndComeBackAtTheMinimum) {
  ResizeDialog dialog(true, true);
  ASSERT_NE(dialog.Create(nullptr), nullptr);
  const SIZE initial = WindowSize(dialog);
  struct Case {
    int m_Id;
    int m_Left, m_Top, m_Right, m_Bottom;  // in quarters of the growth (dx, dy)
  };
  const Case cases[] = {
      {IDC_ATL_RESIZE_LIST, 0, 0, 4, 4},   {IDC_ATL_RESIZE_BUTTON, 4, 4, 4, 4},
      {IDC_ATL_RESIZE_STATUS, 0, 4, 4, 4}, {IDC_ATL_RESIZE_MIDDLE, 2, 0, 2, 0},
      {IDC_ATL_RESIZE_FIXED, 0, 0, 0, 0},  {ATL_IDW_DLGRESIZE_GRIPPER, 4, 4, 4, 4},
  };
  RECT before[6];
  for (int i = 0; i < 6; ++i) {
    ASSERT_NE(GetDlgItem(dialog, cases[i].m_Id), nullptr) << cases[i].m_Id;
    before[i] = ChildRect(dialog, cases[i].m_Id);
  }
  const int dx = 120;
  const int dy = 60;
  Resize(dialog, {initial.cx + dx, initial.cy + dy});
  for (int i = 0; i < 6; ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.m_Id);
    const RECT after = ChildRect(dialog, c.m_Id);
    EXPECT_EQ(after.left, before[i].left + c.m_Left * dx / 4);
    EXPECT_EQ(after.top, before[i].top + c.m_Top * dy / 4);
    EXPECT_EQ(after.right, before[i].right + c.m_Right * dx / 4);
    EXPECT_EQ(after.bottom, before[i].bottom + c.m_Bottom * dy / 4);
  }
  // Below the minimum the window stops at its first size, with every control where it began.
  Resize(dialog, {initial.cx - 80, initial.cy - 40});
  const SIZE smallest = WindowSize(dialog);
  EXPECT_EQ(smallest.cx, initial.cx);
  EXPECT_EQ(smallest.cy, initial.cy);
  for (int i = 0; i < 6; ++i) {
    const RECT again = ChildRect(dialog, cases[i].m_Id);
    EXPECT_TRUE(EqualRect(&again, &before[i])) << cases[i].m_Id;
  }
  EXPECT_TRUE(dialog.GetStyle() & WS_CLIPCHILDREN);
  EXPECT_TRUE(dialog.DestroyWindow());
}

TEST_F(DialogResizeTest, WithoutAMinimumControlsShrinkToNothingAndNoFurther) {
  ResizeDialog dialog(false, false);
  ASSERT_NE(dialog.Create(nullptr), nullptr);
  EXPECT_EQ(GetDlgItem(dialog, ATL_IDW_DLGRESIZE_GRIPPER), nullptr);
  MINMAXINFO info = {};
  info.ptMinTrackSize = {1, 2};
  SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  // No minimum: the message is left as it came.
  EXPECT_EQ(info.ptMinTrackSize.x, 1);
  EXPECT_EQ(info.ptMinTrackSize.y, 2);
  const RECT list = ChildRect(dialog, IDC_ATL_RESIZE_LIST);
  // The client area shrinks by more than the list is wide.
  dialog.DlgResize_UpdateLayout(dialog.m_sizeDialog.cx - (list.right - list.left) - 50,
                                dialog.m_sizeDialog.cy);
  const RECT shrunk = ChildRect(dialog, IDC_ATL_RESIZE_LIST);
  EXPECT_EQ(shrunk.left, list.left);
  EXPECT_EQ(shrunk.right, shrunk.left);
  EXPECT_TRUE(dialog.DestroyWindow());
}

}  // namespace
