// The colour types use names that windows.h makes macros of: the fixture reads them first.
#include "support/WKRX_PaletteTest.h"

#include "WKRX/WKRX_PaletteControls.h"
#include "WKRX/WKRX_PaletteMessages.h"
#include "win/DibCanvas.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(200, 40, 20);
constexpr COLORREF kBlue = RGB(10, 60, 220);

DRAWITEMSTRUCT DrawItemOf(HWND control, HDC dc, RECT rect, UINT state) {
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.hwndItem = control;
  item.hDC = dc;
  item.rcItem = rect;
  item.itemState = state;
  item.itemAction = ODA_DRAWENTIRE;
  return item;
}

// The icon as the system draws it at (x, y), for comparison.
std::vector<DWORD> IconPicture(UINT id, int size, int width, int height, int x, int y) {
  DibCanvas canvas(width, height, kWhite);
  WKRX_OwnedIcon icon = WKRX_LoadIcon(id, size);
  EXPECT_TRUE(icon) << id;
  DrawIconEx(canvas.dc(), x, y, icon.get(), size, size, 0, nullptr, DI_NORMAL);
  return canvas.snapshot();
}

class WKRXPaletteControls : public WKRX_PaletteTest {
protected:
  void SetUp() override {
    WKRX_PaletteTest::SetUp();
    ASSERT_NE(m_Swatch.Create(m_Frame, RECT{2, 2, 20, 20}, 4101), nullptr);
  }
  // The swatch drawn 18 x 18 with state, on white.
  void DrawSwatch(DibCanvas& canvas, UINT state) {
    DRAWITEMSTRUCT item = DrawItemOf(m_Swatch, canvas.dc(), RECT{0, 0, 18, 18}, state);
    m_Swatch.DrawItem(&item);
  }

  WKRX_InkSwatchControl m_Swatch;
};

TEST_F(WKRXPaletteControls, ASwatchOfTwoColoursSplitsAlongTheRisingDiagonal) {
  m_Swatch.SetDefaultColor(kRed);
  m_Swatch.SetCurrentColor(kBlue);
  DibCanvas canvas(18, 18, kWhite);
  DrawSwatch(canvas, 0);
  EXPECT_EQ(canvas.at(3, 3), kRed);     // upper left: the default ink
  EXPECT_EQ(canvas.at(14, 14), kBlue);  // lower right: the chosen ink
  EXPECT_EQ(canvas.at(3, 13), kRed);    // near the bottom-left corner, above the diagonal
  EXPECT_EQ(canvas.at(14, 4), kBlue);   // near the top-right corner, below it
  EXPECT_EQ(canvas.at(1, 1), kWhite);   // the 2-px margin stays untouched without a frame
  EXPECT_EQ(canvas.at(16, 16), kWhite);
}

TEST_F(WKRXPaletteControls, SwatchColoursFollowThePressAndTheEnabledState) {
  struct Case {
    const char* name;
    COLORREF first;
    COLORREF second;
    UINT state;
    COLORREF shownFirst;
    COLORREF shownSecond;
  };
  const Case cases[] = {
      {"equal colours are one solid square", kRed, kRed, 0, kRed, kRed},
      {"pressed halves each byte", RGB(200, 100, 51), kBlue, ODS_SELECTED, RGB(100, 50, 25),
       RGB(5, 30, 110)},
      {"pressed black shows white", RGB(0, 0, 0), RGB(0, 0, 0), ODS_SELECTED, kWhite, kWhite},
      {"pressed while disabled is not darkened", kRed, kBlue, ODS_SELECTED | ODS_DISABLED, kRed,
       kBlue},
  };
  for (const Case& c : cases) {
    m_Swatch.SetDefaultColor(c.first);
    m_Swatch.SetCurrentColor(c.second);
    DibCanvas canvas(18, 18, RGB(1, 2, 3));
    DrawSwatch(canvas, c.state);
    EXPECT_EQ(canvas.at(3, 3), c.shownFirst) << c.name;
    EXPECT_EQ(canvas.at(14, 14), c.shownSecond) << c.name;
    if (c.first == c.second) {
      // Solid: the whole inner square, diagonal included.
      for (int i = 2; i < 16; ++i)
        EXPECT_EQ(canvas.at(i, 17 - i), c.shownFirst) << c.name << " at " << i;
    }
  }
}

TEST_F(WKRXPaletteControls, AFramedSwatchDrawsTwoFramesBlackOrGreyWhenDisabled) {
  m_Swatch.SetDefaultColor(kRed);
  m_Swatch.SetCurrentColor(kRed);
  m_Swatch.SetFramed(true);
  for (const auto& [state, frame] :
       {std::pair<UINT, COLORREF>{0, RGB(0, 0, 0)},
        std::pair<UINT, COLORREF>{ODS_DISABLED, RGB(0xBB, 0xBB, 0xBB)}}) {
    DibCanvas canvas(18, 18, kWhite);
    DrawSwatch(canvas, state);
    EXPECT_EQ(canvas.at(0, 5), frame);
    EXPECT_EQ(canvas.at(1, 5), frame);
    EXPECT_EQ(canvas.at(2, 5), kRed);
    EXPECT_EQ(canvas.at(17, 17), frame);
  }
}

TEST_F(WKRXPaletteControls, AnUnknownInkShowsTheUnknownInkPictureUntilADefaultColourArrives) {
  EXPECT_TRUE(m_Swatch.IsUnknown());
  DibCanvas canvas(18, 18, kWhite);
  DrawSwatch(canvas, 0);
  // The picture as the resource holds it, at the inner rectangle's corner.
  DibCanvas expected(18, 18, kWhite);
  WTL::CBitmap bitmap(ATL::AtlLoadBitmap(MAKEINTRESOURCEW(WKRX_Ids::kBitmapUnknownInk)));
  ASSERT_FALSE(bitmap.IsNull());
  const HDC source = CreateCompatibleDC(expected.dc());
  const HGDIOBJ old = SelectObject(source, static_cast<HBITMAP>(bitmap));
  BitBlt(expected.dc(), 2, 2, 16, 16, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
  EXPECT_EQ(canvas.snapshot(), expected.snapshot());

  // White is a colour like any other: a default of white still ends the picture.
  m_Swatch.SetDefaultColor(kWhite);
  EXPECT_FALSE(m_Swatch.IsUnknown());
  m_Swatch.SetCurrentColor(kWhite);
  DibCanvas solid(18, 18, RGB(1, 2, 3));
  DrawSwatch(solid, 0);
  EXPECT_EQ(solid.at(2, 2), kWhite);
  EXPECT_EQ(solid.at(15, 15), kWhite);
}

TEST_F(WKRXPaletteControls, TheInkTypeShowsOneOfFourIcons) {
  WKRX_InkTypeControl control;
  ASSERT_NE(control.Create(m_Frame, RECT{45, 3, 61, 19}, 4103), nullptr);
  struct Case {
    bool transparent;
    UINT state;
    UINT icon;
  };
  const Case cases[] = {{false, 0, WKRX_Ids::kIconInkOpaque},
                        {false, ODS_SELECTED, WKRX_Ids::kIconInkOpaquePressed},
                        {true, 0, WKRX_Ids::kIconInkTransparent},
                        {true, ODS_SELECTED, WKRX_Ids::kIconInkTransparentPressed}};
  for (const Case& c : cases) {
    control.SetState(c.transparent);
    EXPECT_EQ(control.State(), c.transparent);
    DibCanvas canvas(20, 20, kWhite);
    DRAWITEMSTRUCT item = DrawItemOf(control, canvas.dc(), RECT{2, 2, 18, 18}, c.state);
    control.DrawItem(&item);
    EXPECT_EQ(canvas.snapshot(), IconPicture(c.icon, 16, 20, 20, 2, 2)) << c.icon;
  }
  // The four pictures differ, so the comparison above tells them apart.
  EXPECT_NE(IconPicture(WKRX_Ids::kIconInkOpaque, 16, 20, 20, 2, 2),
            IconPicture(WKRX_Ids::kIconInkTransparent, 16, 20, 20, 2, 2));
  EXPECT_NE(IconPicture(WKRX_Ids::kIconInkOpaque, 16, 20, 20, 2, 2),
            IconPicture(WKRX_Ids::kIconInkOpaquePressed, 16, 20, 20, 2, 2));
}

TEST_F(WKRXPaletteControls, TheIconButtonCentresItsIcon) {
  WKRX_IconButton button(WKRX_Ids::kIconVersionInfo, WKRX_Ids::kIconVersionInfo, 16);
  ASSERT_NE(button.Create(m_Frame, RECT{250, 4, 271, 25}, 4303), nullptr);
  DibCanvas canvas(21, 21, kWhite);
  DRAWITEMSTRUCT item = DrawItemOf(button, canvas.dc(), RECT{0, 0, 21, 21}, 0);
  button.DrawItem(&item);
  // (21 - 16) / 2 = 2, in whole pixels.
  EXPECT_EQ(canvas.snapshot(), IconPicture(WKRX_Ids::kIconVersionInfo, 16, 21, 21, 2, 2));
}

TEST_F(WKRXPaletteControls, TheTextBoxCyclesItsTextsAndIgnoresAnIndexEqualToTheCount) {
  WKRX_TextBoxButton box;
  box.ShowNextText();  // no texts: nothing to show
  EXPECT_EQ(box.TextIndex(), 0u);
  box.AddText(L"Cyan");
  box.AddText(L"plate1.krx");
  box.AddText(L"CMYK");
  box.SetTextIndex(2);
  EXPECT_EQ(box.TextIndex(), 2u);
  box.SetTextIndex(3);
  EXPECT_EQ(box.TextIndex(), 2u);
  box.ShowNextText();
  EXPECT_EQ(box.TextIndex(), 0u);
  box.ShowNextText();
  EXPECT_EQ(box.TextIndex(), 1u);
}

TEST_F(WKRXPaletteControls, APressHeldStillAsksTheParentForAPanelDragAndTheLeaveCancels) {
  WKRX_TextBoxButton box;
  ASSERT_NE(box.Create(m_Frame, RECT{119, 3, 265, 19}, 4105), nullptr);
  box.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
  EXPECT_TRUE(box.IsTracking());
  EXPECT_EQ(box.SendMessage(WM_MOUSEHOVER, MK_LBUTTON, MAKELPARAM(12, 6)), 0);
  EXPECT_FALSE(box.IsTracking());
  const auto drags = m_Frame.Of(WKRX_WM_BEGINPANELDRAG);
  ASSERT_EQ(drags.size(), 1u);
  EXPECT_EQ(drags[0].m_wParam, static_cast<WPARAM>(MAKELONG(12, 6)));
  EXPECT_EQ(drags[0].m_lParam, 0);
  box.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(12, 6));

  // A press released at once is a plain click: no drag.
  m_Frame.m_Received.clear();
  box.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
  box.SendMessage(WM_MOUSELEAVE);
  EXPECT_FALSE(box.IsTracking());
  box.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
  EXPECT_TRUE(m_Frame.Of(WKRX_WM_BEGINPANELDRAG).empty());
  ReleaseCapture();
}

TEST_F(WKRXPaletteControls, TheTrackBarAsksForItemNoticesAndDrawsNothingItself) {
  WKRX_TrackBarCtrl bar;
  ASSERT_NE(bar.Create(m_Frame, RECT{66, 2, 116, 20}, 4104), nullptr);
  EXPECT_EQ(bar.SendMessage(TBM_GETRANGEMAX), 100);
  EXPECT_EQ(bar.SendMessage(TBM_GETRANGEMIN), 0);
  EXPECT_EQ(bar.GetStyle() & (TBS_BOTH | TBS_NOTICKS), static_cast<DWORD>(TBS_BOTH | TBS_NOTICKS));
  NMCUSTOMDRAW draw{};
  draw.hdr = NMHDR{bar.m_hWnd, 4104, static_cast<UINT>(NM_CUSTOMDRAW)};
  draw.dwDrawStage = CDDS_PREPAINT;
  EXPECT_EQ(bar.SendMessage(ATL::OCM_NOTIFY, 4104, reinterpret_cast<LPARAM>(&draw)),
            CDRF_NOTIFYITEMDRAW);
  draw.dwDrawStage = CDDS_ITEMPREPAINT;
  EXPECT_EQ(bar.SendMessage(ATL::OCM_NOTIFY, 4104, reinterpret_cast<LPARAM>(&draw)),
            CDRF_DODEFAULT);
}

}  // namespace
