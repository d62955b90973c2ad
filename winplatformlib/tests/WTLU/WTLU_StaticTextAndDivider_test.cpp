#include "WTLU/WTLU_StaticTextAndDivider.h"

#include <gtest/gtest.h>

#include <string>

#include "support/WTLU_TestSupport.h"

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 24;
constexpr COLORREF kUntouched = RGB(255, 0, 255);

// A 32-bit top-down DIB section selected into a memory DC, filled with kUntouched.
class DibCanvas {
public:
  DibCanvas() {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    m_Dc = CreateCompatibleDC(nullptr);
    m_Bitmap = CreateDIBSection(m_Dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_Bits),
                                nullptr, 0);
    m_Previous = SelectObject(m_Dc, m_Bitmap);
    for (int i = 0; i < kWidth * kHeight; ++i) {
      m_Bits[i] = 0x00FF00FF;
    }
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;
  ~DibCanvas() {
    SelectObject(m_Dc, m_Previous);
    DeleteObject(m_Bitmap);
    DeleteDC(m_Dc);
  }

  HDC Dc() const { return m_Dc; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const DWORD pixel = m_Bits[y * kWidth + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }

private:
  HDC m_Dc = nullptr;
  HBITMAP m_Bitmap = nullptr;
  HGDIOBJ m_Previous = nullptr;
  DWORD* m_Bits = nullptr;
};

class DividerTest : public WTLU_CapturingTest {
protected:
  void SetUp() override {
    WTLU_CapturingTest::SetUp();
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
    WTLU_CapturingTest::TearDown();
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
  DibCanvas canvas;
  const RECT r = {0, 0, kWidth, kHeight};
  divider.Draw(canvas.Dc(), r);

  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  const SIZE text = TextSize();
  const int x = text.cx + text.cy;
  const int y = text.cy / 2;
  ASSERT_LT(x + 2, kWidth);

  // Shadow on top (its last pixel belongs to the lighter right edge), highlight below.
  EXPECT_EQ(canvas.At(x, y), shadow);
  EXPECT_EQ(canvas.At(kWidth - 2, y), shadow);
  EXPECT_EQ(canvas.At(kWidth - 1, y), highlight);
  EXPECT_EQ(canvas.At(x, y + 1), highlight);
  EXPECT_EQ(canvas.At(kWidth - 1, y + 1), highlight);
  // The gap and the rows around the line are background.
  EXPECT_EQ(canvas.At(x - 1, y), face);
  EXPECT_EQ(canvas.At(x, y - 1), face);
  EXPECT_EQ(canvas.At(x, y + 2), face);
  EXPECT_EQ(canvas.At(kWidth - 1, kHeight - 1), face);

  // The text is drawn left of the gap.
  int inked = 0;
  for (int px = 0; px < text.cx; ++px) {
    for (int py = 0; py < kHeight; ++py) {
      inked += canvas.At(px, py) != face;
    }
  }
  EXPECT_GT(inked, 0);
}

TEST_F(DividerTest, WithoutBackgroundOnlyTextAndLineAreDrawn) {
  WTLU_StaticTextAndDivider divider(false);
  ASSERT_TRUE(divider.SubclassWindow(m_Label));
  DibCanvas canvas;
  const RECT r = {0, 0, kWidth, kHeight};
  divider.Draw(canvas.Dc(), r);
  const SIZE text = TextSize();
  EXPECT_EQ(canvas.At(kWidth - 1, kHeight - 1), kUntouched);
  EXPECT_EQ(canvas.At(text.cx + text.cy - 1, text.cy / 2), kUntouched);
  EXPECT_EQ(canvas.At(text.cx + text.cy, text.cy / 2), GetSysColor(COLOR_BTNSHADOW));
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
