// The colour types use names that windows.h makes macros of: the fixture reads them first.
#include "support/WKRX_PaletteTest.h"

#include "WKRX/WKRX_SeparationPanel.h"
#include "WKRX/WKRX_SeparationPanelView.h"

#include <gtest/gtest.h>

namespace {

class WKRXSeparationPanelView : public WKRX_PaletteTest {
protected:
  void SetUp() override {
    WKRX_PaletteTest::SetUp();
    m_Frame.ShowWindow(SW_SHOWNA);
    m_Sheet = MakeSheet({WKRX_Plate("Cyan", 1), WKRX_Plate("Magenta", 2), WKRX_Plate("Yellow", 3),
                         WKRX_Plate("Black", 4), WKRX_Plate("Gold", 0), WKRX_Plate("Silver", 0)});
    ASSERT_TRUE(m_Sheet);
    m_Separations = m_Sheet->GetFrontSurface().GetSeparations();
    ASSERT_EQ(m_Separations.size(), 6u);
    Rebuild();
  }
  WKRX_SeparationPanelView& View() const { return *m_Made; }
  // A new view of the separations in their original order.
  void Rebuild() {
    if (m_Made && m_Made->IsWindow())
      m_Made->DestroyWindow();
    m_Made = std::make_unique<WKRX_SeparationPanelView>();
    ASSERT_NE(m_Made->Create(m_Frame, RECT{0, 0, 270, 144}), nullptr);
    m_Made->ShowWindow(SW_SHOWNA);
    m_Made->AddPanels(m_Separations, true, m_Frame);
    m_Made->SetViewSize(270, 144);
    m_Frame.m_Received.clear();
  }
  void TearDown() override {
    m_Frame.DestroyWindow();
    m_Sheet.Reset();
    WKRX_PaletteTest::TearDown();
  }

  void Thumb(int code, int position) { View().SendMessage(WM_VSCROLL, MAKEWPARAM(code, position)); }
  // Drags panel from to the height y of the view and lets go.
  void Drag(size_t from, long y) {
    View().SendMessage(WKRX_WM_BEGINPANELDRAG, 0,
                       reinterpret_cast<LPARAM>(View().Panels()[from]->m_hWnd));
    View().SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, y));
    View().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, y));
  }
  std::vector<IMPN_Separation*> Order(std::initializer_list<int> indexes) const {
    std::vector<IMPN_Separation*> order;
    for (int i : indexes)
      order.push_back(m_Separations[static_cast<size_t>(i)]);
    return order;
  }
  std::vector<IMPN_Separation*> Shown() const {
    std::vector<IMPN_Separation*> order;
    for (WKRX_SeparationPanel* panel : View().Panels())
      order.push_back(panel->Separation());
    return order;
  }

  IMPN_SheetReference m_Sheet;
  std::vector<IMPN_Separation*> m_Separations;
  std::unique_ptr<WKRX_SeparationPanelView> m_Made;
};

TEST_F(WKRXSeparationPanelView, ThumbsSnapToTheNearerRowAndWheelsScrollWholeNotches) {
  View().SetViewSize(270, 72);
  EXPECT_EQ(View().ContentHeight(), 144);
  Thumb(SB_THUMBTRACK, 35);
  EXPECT_EQ(View().ScrollPosition(), 24);
  Thumb(SB_THUMBPOSITION, 37);
  EXPECT_EQ(View().ScrollPosition(), 48);
  Thumb(SB_LINEDOWN, 0);
  EXPECT_EQ(View().ScrollPosition(), 72);
  Thumb(SB_PAGEDOWN, 0);
  EXPECT_EQ(View().ScrollPosition(), 72);  // the end of the content
  View().ScrollByWheel(60);
  EXPECT_EQ(View().ScrollPosition(), 72);
  View().ScrollByWheel(240);
  EXPECT_EQ(View().ScrollPosition(), 24);
  View().ScrollByWheel(-120);
  EXPECT_EQ(View().ScrollPosition(), 48);
  // The panels move with the position.
  RECT first;
  View().Panels()[0]->GetWindowRect(&first);
  MapWindowPoints(nullptr, View(), reinterpret_cast<POINT*>(&first), 2);
  EXPECT_EQ(first.top, -48);
}

TEST_F(WKRXSeparationPanelView, APageTallerThanTheContentNeverScrolls) {
  View().SetViewSize(270, 500);
  for (int code : {SB_PAGEDOWN, SB_LINEDOWN, SB_THUMBPOSITION, SB_PAGEUP}) {
    Thumb(code, 30);
    EXPECT_EQ(View().ScrollPosition(), 0) << code;
  }
  EXPECT_EQ(View().GetStyle() & WS_VSCROLL, 0u);
  View().SetViewSize(270, 100);
  EXPECT_NE(View().GetStyle() & WS_VSCROLL, 0u);
}

TEST_F(WKRXSeparationPanelView, DropsReorderTheSurfaceAndTellTheFrame) {
  struct Case {
    const char* name;
    size_t from;
    long y;
    std::vector<IMPN_Separation*> order;  // empty: nothing changes, nothing is sent
  };
  const std::vector<Case> cases = {
      {"on its own lower half", 2, 2 * 24 + 15, {}},
      {"on its own upper half", 2, 2 * 24 + 2, {}},
      {"on the mark just above it", 2, 1 * 24 + 15, {}},
      {"below the last panel", 1, 5 * 24 + 15, Order({0, 2, 3, 4, 5, 1})},
      {"down from above", 0, 3 * 24 + 2, Order({1, 2, 0, 3, 4, 5})},
      {"up from below", 4, 1 * 24 + 2, Order({0, 4, 1, 2, 3, 5})},
  };
  for (const Case& c : cases) {
    Rebuild();

    Drag(c.from, c.y);
    EXPECT_FALSE(View().IsDragging()) << c.name;
    const auto reordered = m_Frame.Of(WKRX_WM_SEPARATIONSREORDERED);
    if (c.order.empty()) {
      EXPECT_TRUE(reordered.empty()) << c.name;
      EXPECT_EQ(Shown(), m_Separations) << c.name;
    } else {
      ASSERT_EQ(reordered.size(), 1u) << c.name;
      EXPECT_TRUE(reordered[0].m_Front);
      EXPECT_EQ(reordered[0].m_Order, c.order) << c.name;
      EXPECT_EQ(Shown(), c.order) << c.name;
    }
  }
}

TEST_F(WKRXSeparationPanelView, ALostCaptureEndsTheDragWithoutAReorder) {
  View().SendMessage(WKRX_WM_BEGINPANELDRAG, 0,
                     reinterpret_cast<LPARAM>(View().Panels()[0]->m_hWnd));
  EXPECT_TRUE(View().IsDragging());
  EXPECT_EQ(GetCapture(), View().m_hWnd);
  View().SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 5 * 24 + 15));
  // Another window takes the mouse.
  SetCapture(m_Frame);
  EXPECT_FALSE(View().IsDragging());
  ReleaseCapture();
  // The next click is a click, not a drop.
  View().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 5 * 24 + 15));
  EXPECT_TRUE(m_Frame.Of(WKRX_WM_SEPARATIONSREORDERED).empty());
  EXPECT_EQ(Shown(), m_Separations);
}

TEST_F(WKRXSeparationPanelView, ControlAndShiftClicksSetTheOthersOfTheSurface) {
  struct Case {
    const char* name;
    int key;
    bool othersVisible;
  };
  const UINT update = WKRX_WM_UPDATEVERSIONCHOICE;
  const UINT changed = WKRX_WM_SEPARATIONVISIBILITYCHANGED;
  for (const Case& c : {Case{"ctrl", VK_CONTROL, false}, Case{"shift", VK_SHIFT, true}}) {
    WKRX_SeparationPanel* first = View().Panels()[0];
    first->HideSeparation();
    for (size_t i = 1; i < View().Panels().size(); ++i)
      (c.othersVisible ? View().Panels()[i]->HideSeparation()
                       : View().Panels()[i]->ShowSeparation());
    m_Frame.m_Received.clear();
    {
      WKRX_KeysDown held({c.key});
      SendMessageW(first->CheckBox(), BM_CLICK, 0, 0);
    }
    EXPECT_TRUE(first->Separation()->IsVisible()) << c.name;
    for (size_t i = 1; i < View().Panels().size(); ++i) {
      EXPECT_EQ(View().Panels()[i]->Separation()->IsVisible(), c.othersVisible) << c.name << i;
      EXPECT_EQ(SendMessageW(View().Panels()[i]->CheckBox(), BM_GETCHECK, 0, 0),
                c.othersVisible ? BST_CHECKED : BST_UNCHECKED);
    }
    // The palette re-derives its version choice after the group change and after the click;
    // the frame hears of the click.
    EXPECT_EQ(m_Frame.Messages(), (std::vector<UINT>{update, update, changed})) << c.name;
  }
}

TEST_F(WKRXSeparationPanelView, TextChoicesGoToThePaletteAndDensitiesAddUp) {
  View().SendMessage(WKRX_WM_SETTEXTINDEX, 1, 77);
  const auto sent = m_Frame.Of(WKRX_WM_SETTEXTINDEX);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].m_wParam, 1u);
  EXPECT_EQ(sent[0].m_lParam, 77);
  View().SetTextIndex(1);
  for (WKRX_SeparationPanel* panel : View().Panels())
    EXPECT_EQ(panel->TextBox().TextIndex(), 1u);
}

}  // namespace
