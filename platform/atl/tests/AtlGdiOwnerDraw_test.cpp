#include <gtest/gtest.h>

#include <atlctrls.h>
#include <atlframe.h>
#include <atlgdi.h>

#include <stdexcept>

#include "AtlTestSupport.h"
#include "win/DibCanvas.h"

namespace {

class GdiTest : public GuardCapturingTest {};

TEST_F(GdiTest, AContextSelectsBackWhatItsFirstSelectionsReplaced) {
  DibCanvas canvas(8, 8);
  const HGDIOBJ pen0 = GetCurrentObject(canvas.dc(), OBJ_PEN);
  const HGDIOBJ brush0 = GetCurrentObject(canvas.dc(), OBJ_BRUSH);
  const HGDIOBJ font0 = GetCurrentObject(canvas.dc(), OBJ_FONT);
  CPen red;
  CPen blue;
  CBrush brush;
  ASSERT_NE(red.CreatePen(PS_SOLID, 1, RGB(255, 0, 0)), nullptr);
  ASSERT_NE(blue.CreatePen(PS_SOLID, 1, RGB(0, 0, 255)), nullptr);
  ASSERT_NE(brush.CreateSolidBrush(RGB(0, 255, 0)), nullptr);
  {
    CDCHandle dc(canvas.dc());
    EXPECT_EQ(dc.SelectPen(red), pen0);
    EXPECT_EQ(dc.SelectPen(blue), static_cast<HPEN>(red));
    dc.SelectBrush(brush);
    dc.SelectStockFont(DEFAULT_GUI_FONT);
    dc.RestoreSelections();
  }
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PEN), pen0);
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_BRUSH), brush0);
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_FONT), font0);
}

// A memory context lets go of its bitmap before it is deleted, so the bitmap can be freed.
TEST_F(GdiTest, AManagedContextFreesItselfAndReleasesItsSelections) {
  CBitmap bitmap;
  {
    CDC dc;
    ASSERT_NE(dc.CreateCompatibleDC(), nullptr);
    ASSERT_NE(bitmap.CreateCompatibleBitmap(dc, 4, 4), nullptr);
    dc.SelectBitmap(bitmap);
    const RECT all = {0, 0, 4, 4};
    dc.FillSolidRect(&all, RGB(1, 2, 3));
  }
  EXPECT_TRUE(DeleteObject(bitmap.Detach()));
}

TEST_F(GdiTest, AFailedCreationKeepsTheObjectHeldUntilThen) {
  CBitmap bitmap;
  const HDC screen = GetDC(nullptr);
  ASSERT_NE(bitmap.CreateCompatibleBitmap(screen, 4, 4), nullptr);
  const HBITMAP first = bitmap;
  EXPECT_EQ(bitmap.LoadBitmap(GetModuleHandleW(nullptr), 9999), nullptr);
  EXPECT_EQ(static_cast<HBITMAP>(bitmap), first);
  SIZE size = {};
  EXPECT_TRUE(bitmap.GetSize(size));
  EXPECT_EQ(size.cx, 4);
  ReleaseDC(nullptr, screen);
}

// The double buffer reaches the target only when it goes, at the painted rectangle only.
TEST_F(GdiTest, AMemoryContextCopiesItsRectangleOnWhenItGoes) {
  DibCanvas canvas(10, 10, RGB(0, 0, 0));
  const RECT paint = {2, 2, 6, 6};
  {
    CMemoryDC memory(canvas.dc(), paint);
    const RECT all = {0, 0, 10, 10};
    memory.FillSolidRect(&all, RGB(0, 0, 255));
    EXPECT_EQ(canvas.at(3, 3), RGB(0, 0, 0));
  }
  EXPECT_EQ(canvas.at(2, 2), RGB(0, 0, 255));
  EXPECT_EQ(canvas.at(5, 5), RGB(0, 0, 255));
  EXPECT_EQ(canvas.at(1, 1), RGB(0, 0, 0));
  EXPECT_EQ(canvas.at(6, 6), RGB(0, 0, 0));
}

// A paint handler that throws still ends its paint: the window is valid afterwards.
class ThrowingPainter : public CWindowImpl<ThrowingPainter, CWindow, CFrameWinTraits> {
public:
  int m_Paints = 0;
  BEGIN_MSG_MAP(ThrowingPainter)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  END_MSG_MAP()
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    CPaintDC dc(m_hWnd);
    ++m_Paints;
    throw std::runtime_error("paint");
  }
};

TEST_F(GdiTest, APaintContextValidatesOnEveryRoad) {
  ThrowingPainter window;
  RECT r = {0, 0, 50, 50};
  ASSERT_NE(window.Create(nullptr, r, L"Paint", WS_POPUP | WS_VISIBLE), nullptr);
  window.Invalidate();
  window.UpdateWindow();
  EXPECT_EQ(window.m_Paints, 1);
  RECT update = {};
  EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
  GLIB_TakePendingFatal();
  window.DestroyWindow();
}

// A parent that sends its children's owner-draw messages back to them.
class Parent : public CWindowImpl<Parent, CWindow, CFrameWinTraits> {
public:
  BEGIN_MSG_MAP(Parent)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
};

constexpr int kLabelId = 31;

// An owner-drawn static: fills its item with one colour; measuring, comparing and deleting are
// the defaults.
class Label : public CWindowImpl<Label, CStatic>, public COwnerDraw<Label> {
public:
  COLORREF m_Color = RGB(0, 255, 0);

  BEGIN_MSG_MAP(Label)
  CHAIN_MSG_MAP_ALT(COwnerDraw<Label>, 1)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

  void DrawItem(LPDRAWITEMSTRUCT item) {
    CDCHandle dc(item->hDC);
    dc.FillSolidRect(&item->rcItem, m_Color);
  }
};

class OwnerDrawTest : public GuardCapturingTest {
protected:
  void SetUp() override {
    GuardCapturingTest::SetUp();
    RECT frame = {0, 0, 300, 200};
    ASSERT_NE(m_Parent.Create(nullptr, frame, L"Parent", WS_POPUP), nullptr);
    RECT r = {0, 0, 40, 20};
    ASSERT_NE(m_Label.Create(m_Parent, r, L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0,
                             static_cast<UINT>(kLabelId)),
              nullptr);
  }
  void TearDown() override {
    m_Parent.DestroyWindow();
    GuardCapturingTest::TearDown();
  }

  Parent m_Parent;
  Label m_Label;
};

TEST_F(OwnerDrawTest, TheReflectedDrawReachesTheControl) {
  DibCanvas canvas(10, 10, RGB(0, 0, 0));
  DRAWITEMSTRUCT item = {ODT_STATIC,  kLabelId,     0, ODA_DRAWENTIRE, 0, m_Label,
                         canvas.dc(), {2, 2, 5, 5}, 0};
  EXPECT_EQ(m_Parent.SendMessage(WM_DRAWITEM, kLabelId, reinterpret_cast<LPARAM>(&item)), TRUE);
  EXPECT_EQ(canvas.at(2, 2), RGB(0, 255, 0));
  EXPECT_EQ(canvas.at(5, 5), RGB(0, 0, 0));
}

TEST_F(OwnerDrawTest, MeasureCompareAndDeleteDefaults) {
  // A menu item is a menu line high; the control's item as high as its font's text.
  MEASUREITEMSTRUCT menu = {ODT_MENU, 0, 7, 0, 0, 0};
  m_Label.SendMessage(OCM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&menu));
  EXPECT_EQ(menu.itemHeight, static_cast<UINT>(GetSystemMetrics(SM_CYMENU)));

  m_Label.SetFont(static_cast<HFONT>(GetStockObject(SYSTEM_FIXED_FONT)), FALSE);
  const HDC dc = GetDC(m_Label);
  const HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT));
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(m_Label, dc);
  MEASUREITEMSTRUCT control = {ODT_STATIC, kLabelId, 0, 0, 0, 0};
  m_Parent.SendMessage(WM_MEASUREITEM, kLabelId, reinterpret_cast<LPARAM>(&control));
  EXPECT_EQ(control.itemHeight, static_cast<UINT>(metrics.tmHeight));

  COMPAREITEMSTRUCT compare = {ODT_STATIC, kLabelId, m_Label, 0, 0, 0, 0, 0};
  EXPECT_EQ(m_Parent.SendMessage(WM_COMPAREITEM, kLabelId, reinterpret_cast<LPARAM>(&compare)), 1);
  // Deleting is left to the default procedure of the original message.
  DELETEITEMSTRUCT deleted = {ODT_STATIC, kLabelId, 0, m_Label, 0};
  EXPECT_EQ(m_Parent.SendMessage(WM_DELETEITEM, kLabelId, reinterpret_cast<LPARAM>(&deleted)),
            DefWindowProcW(m_Label, WM_DELETEITEM, kLabelId, reinterpret_cast<LPARAM>(&deleted)));
  EXPECT_TRUE(sm_Logged.empty());
}

// A window derived from the track bar wrapper superclasses the common control: the control's
// own procedure answers, and its reflected custom draw reaches the map.
class TrackBar : public CWindowImpl<TrackBar, CTrackBarCtrl> {
public:
  int m_PrePaints = 0;

  BEGIN_MSG_MAP(TrackBar)
  REFLECTED_NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

  LRESULT OnCustomDraw(int, LPNMHDR header, BOOL& bHandled) {
    if (reinterpret_cast<LPNMCUSTOMDRAW>(header)->dwDrawStage == CDDS_PREPAINT) {
      ++m_PrePaints;
      return CDRF_NOTIFYITEMDRAW;
    }
    bHandled = FALSE;
    return CDRF_DODEFAULT;
  }
};

TEST_F(OwnerDrawTest, ATrackBarSuperclassKeepsTheControlsBehaviour) {
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
  ASSERT_TRUE(InitCommonControlsEx(&init));
  TrackBar bar;
  RECT r = {0, 30, 150, 60};
  ASSERT_NE(bar.Create(m_Parent, r, nullptr, WS_CHILD | WS_VISIBLE, 0, 4003U), nullptr);
  wchar_t className[64] = {};
  GetClassNameW(bar, className, 64);
  EXPECT_NE(std::wstring(className), L"msctls_trackbar32");
  bar.SetRange(25, 100);
  bar.SetPos(10);
  EXPECT_EQ(bar.GetPos(), 25);
  bar.SetPos(150);
  EXPECT_EQ(bar.GetPos(), 100);
  EXPECT_EQ(bar.GetRangeMin(), 25);
  EXPECT_EQ(bar.GetRangeMax(), 100);
  m_Parent.ShowWindow(SW_SHOW);
  bar.Invalidate();
  bar.UpdateWindow();
  EXPECT_GE(bar.m_PrePaints, 1);
}

}  // namespace
