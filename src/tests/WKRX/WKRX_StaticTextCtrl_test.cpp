#include "WKRX/WKRX_StaticTextCtrl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "win/DibCanvas.h"
#include "win/GuardCapture.h"

namespace {

// A parent that sends its children's owner-draw messages back to them.
class ReflectingParent : public ATL::CWindowImpl<ReflectingParent, ATL::CWindow, CFrameWinTraits> {
public:
  BEGIN_MSG_MAP(ReflectingParent)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
};

constexpr int kLabelId = 41;
constexpr int kWidth = 120;
constexpr int kHeight = 24;
// Outside the item the canvas keeps this colour.
const COLORREF kUntouched = RGB(1, 2, 3);

class StaticTextCtrlTest : public GuardCapturingTest {
protected:
  void SetUp() override {
    GuardCapturingTest::SetUp();
    RECT frame = {0, 0, 300, 200};
    ASSERT_NE(m_Parent.Create(nullptr, frame, L"Parent", WS_POPUP), nullptr);
    RECT r = {0, 0, kWidth, kHeight};
    ASSERT_NE(m_Label.Create(m_Parent, r, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, kLabelId),
              nullptr);
  }
  void TearDown() override {
    m_Parent.DestroyWindow();
    EXPECT_TRUE(sm_Logged.empty());
    GuardCapturingTest::TearDown();
  }

  // Draws the label as its parent is asked to, into a canvas one pixel larger on each side.
  void Draw(DibCanvas& canvas) {
    SelectObject(canvas.dc(), GetStockObject(DEFAULT_GUI_FONT));
    DRAWITEMSTRUCT item = {ODT_STATIC, kLabelId, 0,           ODA_DRAWENTIRE,
                           0,          m_Label,  canvas.dc(), {1, 1, 1 + kWidth, 1 + kHeight},
                           0};
    EXPECT_EQ(m_Parent.SendMessage(WM_DRAWITEM, kLabelId, reinterpret_cast<LPARAM>(&item)), TRUE);
  }

  // The first and one past the last column inside the item holding other than the face colour.
  static std::pair<int, int> InkColumns(const DibCanvas& canvas) {
    int first = kWidth, last = -1;
    for (int x = 0; x < kWidth; ++x)
      for (int y = 0; y < kHeight; ++y)
        if (canvas.at(1 + x, 1 + y) != GetSysColor(COLOR_BTNFACE)) {
          first = std::min(first, x);
          last = std::max(last, x);
        }
    return {first, last + 1};
  }

  ReflectingParent m_Parent;
  WKRX_StaticTextCtrl m_Label;
};

TEST_F(StaticTextCtrlTest, AnEmptyTextPaintsOnlyTheFaceInsideTheItem) {
  DibCanvas canvas(kWidth + 2, kHeight + 2, kUntouched);
  Draw(canvas);
  EXPECT_EQ(InkColumns(canvas).second, 0) << "no ink";
  EXPECT_EQ(canvas.at(1, 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(canvas.at(kWidth, kHeight), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(canvas.at(0, 0), kUntouched);
  EXPECT_EQ(canvas.at(kWidth + 1, kHeight + 1), kUntouched);
}

TEST_F(StaticTextCtrlTest, AmpersandsAreDrawnAsTheyStand) {
  // Read as a mnemonic, "&&" would show one ampersand and a lone "&" none.
  m_Label.SetText(L"&");
  DibCanvas one(kWidth + 2, kHeight + 2);
  Draw(one);
  m_Label.SetText(L"&&");
  DibCanvas two(kWidth + 2, kHeight + 2);
  Draw(two);
  const auto oneInk = InkColumns(one), twoInk = InkColumns(two);
  ASSERT_GT(oneInk.second - oneInk.first, 0) << "one ampersand shows";
  EXPECT_GT(2 * (twoInk.second - twoInk.first), 3 * (oneInk.second - oneInk.first))
      << "two ampersands are about twice as wide";
}

TEST_F(StaticTextCtrlTest, AlignmentPlacesTheText) {
  m_Label.SetText(L"12.5");
  const struct {
    int alignment;
    bool nearLeft, nearRight;
  } cases[] = {{0, true, false},
               {1, true, false},
               {3, true, false},
               {WKRX_StaticTextCtrl::kAlignRight, false, true},
               {WKRX_StaticTextCtrl::kAlignCenter, false, false}};
  for (const auto& c : cases) {
    m_Label.SetAlignment(c.alignment);
    DibCanvas canvas(kWidth + 2, kHeight + 2);
    Draw(canvas);
    const auto ink = InkColumns(canvas);
    ASSERT_LT(ink.first, ink.second) << c.alignment;
    EXPECT_EQ(ink.first < 4, c.nearLeft) << c.alignment;
    EXPECT_EQ(ink.second > kWidth - 4, c.nearRight) << c.alignment;
    if (c.alignment == WKRX_StaticTextCtrl::kAlignCenter) {
      EXPECT_LE(std::abs(ink.first - (kWidth - ink.second)), 3) << "as much room on both sides";
    }
  }
}

TEST_F(StaticTextCtrlTest, TheDeviceContextIsLeftAsItCame) {
  DibCanvas canvas(kWidth + 2, kHeight + 2);
  SetTextColor(canvas.dc(), RGB(10, 20, 30));
  SetBkColor(canvas.dc(), RGB(40, 50, 60));
  m_Label.SetText(L"text");
  Draw(canvas);
  EXPECT_EQ(GetTextColor(canvas.dc()), RGB(10, 20, 30));
  EXPECT_EQ(GetBkColor(canvas.dc()), RGB(40, 50, 60));
}

TEST_F(StaticTextCtrlTest, CompareAnswersOneAndDeleteZero) {
  COMPAREITEMSTRUCT compare = {ODT_STATIC, kLabelId, m_Label, 0, 0, 0, 0, 0};
  EXPECT_EQ(m_Parent.SendMessage(WM_COMPAREITEM, kLabelId, reinterpret_cast<LPARAM>(&compare)), 1);
  DELETEITEMSTRUCT deleted = {ODT_STATIC, kLabelId, 0, m_Label, 0};
  EXPECT_EQ(m_Parent.SendMessage(WM_DELETEITEM, kLabelId, reinterpret_cast<LPARAM>(&deleted)), 0);
}

TEST_F(StaticTextCtrlTest, WithoutAStyleTheControlDefaultsApply) {
  WKRX_StaticTextCtrl plain;
  RECT r = {0, 0, 10, 10};
  ASSERT_NE(plain.Create(m_Parent, r), nullptr);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(plain, GWL_STYLE)) & 0xFFFF0000u, 0x56000000u);
  plain.DestroyWindow();
}

}  // namespace
