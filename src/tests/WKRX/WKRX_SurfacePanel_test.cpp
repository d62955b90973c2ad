// The colour types use names that windows.h makes macros of: the fixture reads them first.
#include "support/WKRX_PaletteTest.h"

#include "IMPN/IMPN_Surface.h"
#include "WKRX/WKRX_SurfacePanel.h"

#include <gtest/gtest.h>

namespace {

bool Shows(HWND window) {
  return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::wstring TextOf(HWND window) {
  wchar_t text[128] = {};
  GetWindowTextW(window, text, 128);
  return text;
}

RECT InParent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

class WKRXSurfacePanel : public WKRX_PaletteTest {
protected:
  void SetUp() override {
    WKRX_PaletteTest::SetUp();
    m_Sheet = MakeSheet({WKRX_Plate("Black", 4)});
    ASSERT_TRUE(m_Sheet);
    m_Panel = new WKRX_SurfacePanel;
    m_Panel->SetSurface(&m_Sheet->GetFrontSurface(), true);
    m_Panel->SetFrame(m_Frame);
    ASSERT_NE(m_Panel->Create(m_Frame, RECT{0, 0, 270, 28}), nullptr);
    m_Frame.m_Received.clear();
  }
  void TearDown() override {
    m_Frame.DestroyWindow();
    m_Sheet.Reset();
    WKRX_PaletteTest::TearDown();
  }

  IMPN_SheetReference m_Sheet;
  WKRX_SurfacePanel* m_Panel = nullptr;
};

TEST_F(WKRXSurfacePanel, TheWidthChoosesTheNameAndWhereTheTrackBarStarts) {
  struct Case {
    bool info;
    long width;
    const wchar_t* name;
    bool trackBar;
    long trackBarLeft;
  };
  const long longLeft = m_Panel->LongLabelWidth() < 56 ? 66 : m_Panel->LongLabelWidth() + 10;
  const Case cases[] = {
      {false, 117, L"Front", false, 66}, {false, 118, L"Front", true, 66},
      {false, 140, L"Front", true, 66},  {false, 153, L"Front Surface", true, longLeft},
      {true, 140, L"Front", false, 116}, {true, 153, L"Front", true, 116}};
  for (const Case& c : cases) {
    m_Panel->SetInfoModeEnabled(c.info);
    m_Panel->SetWidth(c.width);
    EXPECT_EQ(m_Panel->Label().GetText(), c.name) << c.width << " " << c.info;
    EXPECT_EQ(Shows(m_Panel->Opacity()), c.trackBar) << c.width << " " << c.info;
    const RECT bar = InParent(m_Panel->Opacity());
    EXPECT_EQ(bar.left, c.trackBarLeft) << c.width << " " << c.info;
    EXPECT_EQ(bar.right, c.width - 5) << c.width << " " << c.info;
    EXPECT_EQ(Shows(m_Panel->DensityReadOut()), c.info);
    const RECT label = InParent(m_Panel->Label());
    if (c.info) {
      // The label ends before the read-out, which has an id of its own.
      EXPECT_EQ(label.right, InParent(m_Panel->DensityReadOut()).left - 4);
      EXPECT_NE(GetDlgCtrlID(m_Panel->DensityReadOut()), GetDlgCtrlID(m_Panel->Label()));
    } else if (c.width < 153) {
      EXPECT_EQ(label.right, c.trackBarLeft - 4);
    } else {
      EXPECT_EQ(label.right - label.left, m_Panel->LongLabelWidth());
    }
  }
}

TEST_F(WKRXSurfacePanel, TheSummedDensityShowsInInformationMode) {
  m_Panel->SetInfoModeEnabled(true);
  EXPECT_EQ(TextOf(m_Panel->DensityReadOut()), L"-");
  m_Panel->SetDensity(1.25f);
  EXPECT_EQ(TextOf(m_Panel->DensityReadOut()), L" 125.0 %");
}

TEST_F(WKRXSurfacePanel, OnlyAReleasedThumbOrAStepChangesTheSurfaceOpacity) {
  IMPN_Surface& surface = m_Sheet->GetFrontSurface();
  surface.SetOpacity(100);
  const LPARAM bar = reinterpret_cast<LPARAM>(m_Panel->Opacity().m_hWnd);
  m_Panel->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), bar);
  EXPECT_EQ(surface.GetOpacity(), 100u);
  EXPECT_TRUE(m_Frame.m_Received.empty());
  m_Panel->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40), bar);
  EXPECT_EQ(surface.GetOpacity(), 40u);
  m_Panel->Opacity().SetPos(55);
  m_Panel->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), bar);
  EXPECT_EQ(surface.GetOpacity(), 55u);
  const auto sent = m_Frame.Of(WKRX_WM_OPACITYCHANGED);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].m_lParam, reinterpret_cast<LPARAM>(&surface));

  // The frame's notice puts the track bar where the surface stands.
  surface.SetOpacity(12);
  m_Panel->SendMessage(WKRX_WM_OPACITYCHANGED, 0, reinterpret_cast<LPARAM>(&surface));
  EXPECT_EQ(m_Panel->Opacity().GetPos(), 12);
}

}  // namespace
