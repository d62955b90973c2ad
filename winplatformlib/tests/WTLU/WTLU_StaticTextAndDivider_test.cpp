#include "WTLU/WTLU_StaticTextAndDivider.h"

#include <gtest/gtest.h>

#include <string>

#include "win/DibCanvas.h"
#include "support/WTLU_TestSupport.h"

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 24;
constexpr COLORREF kUntouched = RGB(255, 0, 255);

class DividerTest : public ListControlsCapturingTest {
protected:
  void SetUp() override {
    ListControlsCapturingTest::SetUp();
    RECT frame = {0, 0, 300, 100};
    ASSERT_NE(m_Parent.Create(nullptr, frame, ProcessUniqueName(L"divider").c_str()), nullptr);
    m_Label = CreateWindowExW(0, L"STATIC", L"Ab", WS_CHILD | WS_VISIBLE, 10, 10, kWidth, kHeight,
                              m_Parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(m_Label, nullptr);
    m_Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(m_Label, WM_SETFONT, reinterpret_cast<WPARAM>(m_Font), 0);
  }
  void TearDown() override {
    m_Parent.DestroyWindow();
    ListControlsCapturingTest::TearDown();
  }

  // Where the text ends and how high it is, in the label's font.
  SIZE TextSize() const {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, m_Font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, L"Ab", 2, &size);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    size.cy = metrics.tmHeight;
    SelectObject(dc, previous);
    DeleteDC(dc);
    return size;
  }

  ReflectingParent m_Parent;
  HWND m_Label = nullptr;
  HFONT m_Font = nullptr;
};

TEST_F(DividerTest, DrawsTextThenAnEtchedLineAfterAGapAsWideAsTheTextIsHigh) {
  WTLU_StaticTextAndDivider divider(true);
  ASSERT_TRUE(divider.SubclassWindow(m_Label));
  DibCanvas canvas(kWidth, kHeight, kUntouched);
  const RECT r = {0, 0, kWidth, kHeight};
  divider.Draw(canvas.dc(), r);

  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  const SIZE text = TextSize();
  const int x = text.cx + text.cy;
  const int y = text.cy / 2;
  ASSERT_LT(x + 2, kWidth);

  // Shadow on top (its last pixel belongs to the lighter right edge), highlight below.
  EXPECT_EQ(canvas.at(x, y), shadow);
  EXPECT_EQ(canvas.at(kWidth - 2, y), shadow);
  EXPECT_EQ(canvas.at(kWidth - 1, y), highlight);
  EXPECT_EQ(canvas.at(x, y + 1), highlight);
  EXPECT_EQ(canvas.at(kWidth - 1, y + 1), highlight);
  // The gap and the rows around the line are background.
  EXPECT_EQ(canvas.at(x - 1, y), face);
  EXPECT_EQ(canvas.at(x, y - 1), face);
  EXPECT_EQ(canvas.at(x, y + 2), face);
  EXPECT_EQ(canvas.at(kWidth - 1, kHeight - 1), face);

  // The text is drawn left of the gap.
  int inked = 0;
  for (int px = 0; px < text.cx; ++px) {
    for (int py = 0; py < kHeight; ++py) {
      inked += canvas.at(px, py) != face;
    }
  }
  EXPECT_GT(inked, 0);
}

TEST_F(DividerTest, WithoutBackgroundOnlyTextAndLineAreDrawn) {
  WTLU_StaticTextAndDivider divider(false);
  ASSERT_TRUE(divider.SubclassWindow(m_Label));
  DibCanvas canvas(kWidth, kHeight, kUntouched);
  const RECT r = {0, 0, kWidth, kHeight};
  divider.Draw(canvas.dc(), r);
  const SIZE text = TextSize();
  EXPECT_EQ(canvas.at(kWidth - 1, kHeight - 1), kUntouched);
  EXPECT_EQ(canvas.at(text.cx + text.cy - 1, text.cy / 2), kUntouched);
  EXPECT_EQ(canvas.at(text.cx + text.cy, text.cy / 2), GetSysColor(COLOR_BTNSHADOW));
}

TEST_F(DividerTest, PaintMessageIsHandledAndValidatesTheWindow) {
  WTLU_StaticTextAndDivider divider(true);
  ASSERT_TRUE(divider.SubclassWindow(m_Label));
  InvalidateRect(m_Label, nullptr, TRUE);
  UpdateWindow(m_Label);
  RECT update = {};
  EXPECT_FALSE(GetUpdateRect(m_Label, &update, FALSE));
  EXPECT_TRUE(sm_Logged.empty());
}

}  // namespace
