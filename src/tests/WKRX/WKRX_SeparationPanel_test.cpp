// The colour types use names that windows.h makes macros of: the fixture reads them first.
#include "support/WKRX_PaletteTest.h"

#include "WKRX/WKRX_SeparationPanel.h"

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

class WKRXSeparationPanel : public WKRX_PaletteTest {
protected:
  void SetUp() override {
    WKRX_PaletteTest::SetUp();
    m_Frame.ShowWindow(SW_SHOWNA);
    m_Sheet = FourPlates();
    ASSERT_TRUE(m_Sheet);
    ASSERT_EQ(Separations().size(), 4u);
  }
  void TearDown() override {
    m_Frame.DestroyWindow();
    m_Sheet.Reset();
    WKRX_PaletteTest::TearDown();
  }

  const std::vector<IMPN_Separation*>& Separations() const {
    return m_Sheet->GetFrontSurface().GetSeparations();
  }
  IMPN_Separation* ByInk(const std::string& ink) const {
    for (IMPN_Separation* separation : Separations())
      if (separation->GetInkName() == ink)
        return separation;
    return nullptr;
  }
  // A panel of the separation, a child of the recorder, which is its frame too.
  WKRX_SeparationPanel* MakePanel(IMPN_Separation* separation, long y = 0) {
    auto* panel = new WKRX_SeparationPanel;
    panel->SetSeparation(separation);
    panel->SetFrame(m_Frame);
    const RECT rect{0, y, 270, y + 24};
    EXPECT_NE(panel->Create(m_Frame, rect), nullptr);
    m_Frame.m_Received.clear();
    return panel;
  }
  static void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
  static void Scroll(WKRX_SeparationPanel& panel, int code, int position = 0) {
    panel.SendMessage(WM_HSCROLL, MAKEWPARAM(code, position),
                      reinterpret_cast<LPARAM>(panel.Opacity().m_hWnd));
  }

  IMPN_SheetReference m_Sheet;
};

TEST_F(WKRXSeparationPanel, TheTextBoxOffersTheInkTheFileAndTheCMYKEquivalent) {
  WKRX_TestPlate yellow = WKRX_Plate("Proof Yellow", 3);
  IMPN_SheetReference sheet = MakeSheet({yellow});
  WKRX_SeparationPanel* named = MakePanel(sheet->GetFrontSurface().GetSeparations()[0]);
  // Colour code 3 is "Yellow" whatever the file calls the ink.
  EXPECT_EQ(named->TextBox().Texts(), (std::vector<GLIB_WString>{L"Yellow", L"sheet2_plate1.krx"}));

  WKRX_SeparationPanel* cmyk = MakePanel(ByInk("Proof Blue"), 30);
  ASSERT_EQ(cmyk->TextBox().Texts().size(), 3u);
  EXPECT_EQ(cmyk->TextBox().Texts()[0], L"Proof Blue");
  // 32768 is 50 %; 655 is just below one percent and truncates to 0.
  EXPECT_EQ(cmyk->TextBox().Texts()[2], L"CMYK[ 50, 0, 0, 0 ]");
  EXPECT_EQ(cmyk->TextBox().TextIndex(), 0u);
  ::DestroyWindow(named->m_hWnd);
}

TEST_F(WKRXSeparationPanel, NarrowPanelsGiveUpTheTextBoxThenTheTrackBar) {
  WKRX_SeparationPanel* panel = MakePanel(ByInk("Cyan"));
  struct Case {
    long width;
    bool trackBar;
    bool textBox;
  };
  for (const Case& c : {Case{117, false, false}, Case{118, true, false}, Case{152, true, false},
                        Case{153, true, true}, Case{270, true, true}}) {
    panel->SetPanelWidth(c.width);
    RECT client;
    panel->GetClientRect(&client);
    EXPECT_EQ(client.right, c.width);
    EXPECT_EQ(Shows(panel->Opacity()), c.trackBar) << c.width;
    EXPECT_EQ(Shows(panel->TextBox()), c.textBox) << c.width;
    if (c.textBox) {
      RECT box;
      panel->TextBox().GetWindowRect(&box);
      MapWindowPoints(nullptr, *panel, reinterpret_cast<POINT*>(&box), 2);
      EXPECT_EQ(box.left, 119);
      EXPECT_EQ(box.right, c.width - 5);
    }
  }
  // Information mode keeps the track bar hidden at any width; the read-out shows instead.
  panel->SetInfoModeEnabled(true);
  EXPECT_FALSE(Shows(panel->Opacity()));
  EXPECT_TRUE(Shows(panel->DensityReadOut()));
  EXPECT_EQ(TextOf(panel->DensityReadOut()), L"-");
  panel->SetInfoModeEnabled(false);
  EXPECT_TRUE(Shows(panel->Opacity()));
  EXPECT_FALSE(Shows(panel->DensityReadOut()));
}

TEST_F(WKRXSeparationPanel, OnlyReleasedThumbsArrowsAndPagesChangeTheOpacity) {
  IMPN_Separation* cyan = ByInk("Cyan");
  WKRX_SeparationPanel* panel = MakePanel(cyan);
  struct Case {
    int code;
    int position;
    long expected;  // -1: ignored
  };
  const Case cases[] = {{SB_LINEUP, 0, 70},   {SB_LINEDOWN, 0, 70},       {SB_PAGEUP, 0, 70},
                        {SB_PAGEDOWN, 0, 70}, {SB_THUMBPOSITION, 35, 35}, {SB_THUMBTRACK, 20, -1},
                        {SB_TOP, 0, -1},      {SB_BOTTOM, 0, -1},         {SB_ENDSCROLL, 0, -1}};
  for (const Case& c : cases) {
    IMPN_Ink reset = cyan->GetInk();
    reset.SetOpacity(90);
    cyan->SetInk(reset);
    panel->Opacity().SetPos(70);
    m_Frame.m_Received.clear();
    Scroll(*panel, c.code, c.position);
    if (c.expected < 0) {
      EXPECT_EQ(cyan->GetInk().GetOpacity(), 90) << c.code;
      EXPECT_TRUE(m_Frame.m_Received.empty()) << c.code;
    } else {
      EXPECT_EQ(cyan->GetInk().GetOpacity(), c.expected) << c.code;
      const auto changed = m_Frame.Of(WKRX_WM_INKCHANGED);
      ASSERT_EQ(changed.size(), 1u) << c.code;
      EXPECT_EQ(changed[0].m_lParam, reinterpret_cast<LPARAM>(cyan));
    }
  }
}

TEST_F(WKRXSeparationPanel, APickKeepsTheOpacityAndTheControlsFollowTheInk) {
  // A known ink: its CMYK equivalent gives its colour.
  IMPN_Separation* cyan = ByInk("Proof Blue");
  ASSERT_FALSE(cyan->GetFileInk().IsUnknown());
  WKRX_SeparationPanel* panel = MakePanel(cyan);
  panel->Opacity().SetPos(40);
  Scroll(*panel, SB_THUMBPOSITION, 40);
  WKRX_FakeColorDialog::Answer() = RGB(10, 200, 30);
  m_Frame.m_Received.clear();
  Click(panel->Swatch());

  ASSERT_EQ(WKRX_FakeColorDialog::Calls().size(), 1u);
  const CHOOSECOLORW& call = WKRX_FakeColorDialog::Calls()[0];
  EXPECT_EQ(call.lStructSize, sizeof(CHOOSECOLORW));
  EXPECT_EQ(call.Flags, static_cast<DWORD>(CC_RGBINIT | CC_FULLOPEN));
  EXPECT_EQ(call.lpCustColors, WKRX_SeparationPanel::sm_CustomColors);
  EXPECT_EQ(cyan->GetInk().GetInkColor(), IMPN_RGBColor8(10, 200, 30));
  EXPECT_EQ(cyan->GetInk().GetOpacity(), 40);
  EXPECT_FALSE(cyan->GetInk().IsUnknown());
  EXPECT_EQ(panel->Opacity().GetPos(), 40);
  EXPECT_EQ(panel->Swatch().SecondColor(), WKRX_DisplayColor(cyan->GetInk()));
  EXPECT_EQ(m_Frame.Messages(), (std::vector<UINT>{WKRX_WM_PALETTEDIALOGBEGIN, WKRX_WM_INKCHANGED,
                                                   WKRX_WM_PALETTEDIALOGEND}));
  // A known ink's colour is the user's alone: the custom colours stay as they were.
  EXPECT_TRUE(IMPN_ColorDatabase::sm_CustomColorMap.empty());
}

TEST_F(WKRXSeparationPanel, ControlClickRestoresTheDefaultInkWithoutADialog) {
  // A known ink: its CMYK equivalent gives its colour.
  IMPN_Separation* cyan = ByInk("Proof Blue");
  ASSERT_FALSE(cyan->GetFileInk().IsUnknown());
  WKRX_SeparationPanel* panel = MakePanel(cyan);
  const IMPN_Ink defaultInk = cyan->GetFileInk();
  Scroll(*panel, SB_THUMBPOSITION, 25);
  WKRX_FakeColorDialog::Answer() = RGB(1, 2, 3);
  Click(panel->Swatch());
  ASSERT_FALSE(WKRX_SameInk(cyan->GetInk(), defaultInk));
  WKRX_FakeColorDialog::Calls().clear();
  m_Frame.m_Received.clear();

  m_ControlDown = true;
  Click(panel->Swatch());
  EXPECT_TRUE(WKRX_FakeColorDialog::Calls().empty());
  EXPECT_TRUE(WKRX_SameInk(cyan->GetInk(), defaultInk));
  EXPECT_EQ(panel->Swatch().SecondColor(), panel->Swatch().FirstColor());
  // The track bar shows the restored opacity.
  EXPECT_EQ(panel->Opacity().GetPos(), defaultInk.GetOpacity());
  EXPECT_EQ(m_Frame.Messages(), std::vector<UINT>{WKRX_WM_INKCHANGED});
}

TEST_F(WKRXSeparationPanel, ACancelledDialogChangesNothingButStillEnds) {
  IMPN_Separation* cyan = ByInk("Cyan");
  WKRX_SeparationPanel* panel = MakePanel(cyan);
  const IMPN_Ink before = cyan->GetInk();
  const std::uint32_t stamp = cyan->GetTimeStamp();
  Click(panel->Swatch());
  EXPECT_EQ(WKRX_FakeColorDialog::Calls().size(), 1u);
  EXPECT_TRUE(WKRX_SameInk(cyan->GetInk(), before));
  EXPECT_EQ(cyan->GetTimeStamp(), stamp);
  EXPECT_EQ(m_Frame.Messages(),
            (std::vector<UINT>{WKRX_WM_PALETTEDIALOGBEGIN, WKRX_WM_PALETTEDIALOGEND}));
}

TEST_F(WKRXSeparationPanel, AColourForAnUnknownInkIsSavedBeforeTheInkChanges) {
  IMPN_Separation* spot = ByInk("Unheard Of Spot");
  ASSERT_TRUE(spot->GetFileInk().IsUnknown());
  WKRX_SeparationPanel* panel = MakePanel(spot);
  EXPECT_TRUE(panel->Swatch().IsUnknown());
  const IMPN_Ink before = spot->GetInk();
  bool checked = false;
  m_Frame.m_OnMessage = [&](const WKRX_RecordedMessage& m) {
    if (m.m_Message != WKRX_WM_DEFAULTINKSCHANGED)
      return;
    checked = true;
    IMPN_ColorMap saved;
    IMPN_ColorDBFile(m_CustomColors).LoadColors(saved);
    EXPECT_EQ(saved.count("Unheard Of Spot"), 1u);
    EXPECT_TRUE(WKRX_SameInk(spot->GetInk(), before));
    EXPECT_EQ(m.m_lParam, reinterpret_cast<LPARAM>(spot));
  };
  WKRX_FakeColorDialog::Answer() = RGB(120, 30, 90);
  Click(panel->Swatch());
  EXPECT_TRUE(checked);
  EXPECT_EQ(spot->GetInk().GetInkColor(), IMPN_RGBColor8(120, 30, 90));
  EXPECT_EQ(m_Frame.Messages(),
            (std::vector<UINT>{WKRX_WM_PALETTEDIALOGBEGIN, WKRX_WM_DEFAULTINKSCHANGED,
                               WKRX_WM_INKCHANGED, WKRX_WM_PALETTEDIALOGEND}));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(WKRXSeparationPanel, ACustomColourThatCannotBeSavedWarnsOnce) {
  IMPN_ColorDatabase::sm_CustomColorFilePath =
      std::filesystem::path(m_Folder.File(L"missing\\Custom.colordb")).u8string();
  IMPN_Separation* spot = ByInk("Unheard Of Spot");
  WKRX_SeparationPanel* panel = MakePanel(spot);
  WKRX_FakeColorDialog::Answer() = RGB(120, 30, 90);
  Click(panel->Swatch());
  WKRX_FakeColorDialog::Answer() = RGB(20, 30, 90);
  Click(panel->Swatch());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].flags & MB_ICONWARNING, static_cast<UINT>(MB_ICONWARNING));
  // The colour applies all the same.
  EXPECT_EQ(spot->GetInk().GetInkColor(), IMPN_RGBColor8(20, 30, 90));
}

TEST_F(WKRXSeparationPanel, NewDefaultInksReplaceOnlyInksTheUserLeftAlone) {
  IMPN_Separation* spot = ByInk("Unheard Of Spot");
  IMPN_Separation* cyan = ByInk("Proof Blue");
  WKRX_SeparationPanel* spotPanel = MakePanel(spot);
  WKRX_SeparationPanel* cyanPanel = MakePanel(cyan, 30);
  // The user changes the ink's opacity and lays it down opaque.
  Scroll(*cyanPanel, SB_THUMBPOSITION, 30);
  Click(cyanPanel->InkType());
  ASSERT_FALSE(cyan->IsTransparent());
  const IMPN_Ink cyanInk = cyan->GetInk();

  // The custom colours learn the spot ink.
  IMPN_RGBColor8 recipe(200, 100, 0);
  IMPN_ColorDatabase::InsertCustomColor(recipe, "Unheard Of Spot");
  spotPanel->RefreshDefaultInk();
  cyanPanel->RefreshDefaultInk();

  EXPECT_FALSE(spot->GetFileInk().IsUnknown());
  EXPECT_TRUE(WKRX_SameInk(spot->GetInk(), spot->GetFileInk()));
  EXPECT_FALSE(spotPanel->Swatch().IsUnknown());
  EXPECT_EQ(spotPanel->Swatch().FirstColor(), WKRX_DisplayColor(spot->GetFileInk()));
  EXPECT_EQ(spotPanel->Swatch().SecondColor(), WKRX_DisplayColor(spot->GetFileInk()));
  EXPECT_TRUE(WKRX_SameInk(cyan->GetInk(), cyanInk));
  EXPECT_FALSE(cyan->IsTransparent());
  EXPECT_EQ(cyanPanel->Opacity().GetPos(), 30);
}

TEST_F(WKRXSeparationPanel, CheckBoxClicksSendOneSequencePerModifier) {
  struct Case {
    const char* name;
    std::vector<int> keys;
    bool startsVisible;
    std::vector<UINT> sequence;
  };
  const UINT changed = WKRX_WM_SEPARATIONVISIBILITYCHANGED;
  const std::vector<Case> cases = {
      {"plain", {}, true, {changed, changed}},
      {"ctrl", {VK_CONTROL}, false, {WKRX_WM_SETOTHERSOPPOSITE, changed, changed}},
      {"shift", {VK_SHIFT}, false, {WKRX_WM_SETOTHERSSAME, changed, changed}},
      {"ctrl wins", {VK_CONTROL, VK_SHIFT}, true, {WKRX_WM_SETOTHERSOPPOSITE, changed, changed}},
  };
  IMPN_Separation* black = ByInk("Black");
  WKRX_SeparationPanel* panel = MakePanel(black);
  for (const Case& c : cases) {
    (c.startsVisible ? panel->ShowSeparation() : panel->HideSeparation());
    const std::uint32_t stamp = black->GetTimeStamp();
    m_Frame.m_Received.clear();
    {
      WKRX_KeysDown held(c.keys);
      Click(panel->CheckBox());
    }
    EXPECT_EQ(m_Frame.Messages(), c.sequence) << c.name;
    EXPECT_EQ(black->IsVisible(), !c.startsVisible) << c.name;
    EXPECT_NE(black->GetTimeStamp(), stamp) << c.name;
    const WPARAM state = c.startsVisible ? BST_UNCHECKED : BST_CHECKED;
    if (c.sequence.size() == 3) {
      EXPECT_EQ(m_Frame.m_Received[0].m_wParam, state) << c.name;
      EXPECT_EQ(m_Frame.m_Received[0].m_lParam, reinterpret_cast<LPARAM>(panel->m_hWnd));
    }
    EXPECT_EQ(m_Frame.m_Received.back().m_lParam, reinterpret_cast<LPARAM>(black)) << c.name;
  }
}

TEST_F(WKRXSeparationPanel, TheInkTypeTogglesTheLayDown) {
  IMPN_Separation* black = ByInk("Black");
  WKRX_SeparationPanel* panel = MakePanel(black);
  ASSERT_TRUE(black->IsTransparent());
  EXPECT_TRUE(panel->InkType().State());
  const std::uint32_t stamp = black->GetTimeStamp();
  Click(panel->InkType());
  EXPECT_FALSE(black->IsTransparent());
  EXPECT_FALSE(panel->InkType().State());
  EXPECT_NE(black->GetTimeStamp(), stamp);
  EXPECT_EQ(m_Frame.Messages(), std::vector<UINT>{WKRX_WM_SEPARATIONVISIBILITYCHANGED});
  Click(panel->InkType());
  EXPECT_TRUE(black->IsTransparent());
}

TEST_F(WKRXSeparationPanel, AClickAdvancesTheTextAndShiftTellsTheOthers) {
  WKRX_SeparationPanel* panel = MakePanel(ByInk("Proof Blue"));
  Click(panel->TextBox());
  EXPECT_EQ(panel->TextBox().TextIndex(), 1u);
  EXPECT_TRUE(m_Frame.m_Received.empty());
  {
    WKRX_KeysDown shift({VK_SHIFT});
    Click(panel->TextBox());
  }
  EXPECT_EQ(panel->TextBox().TextIndex(), 2u);
  const auto sent = m_Frame.Of(WKRX_WM_SETTEXTINDEX);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].m_wParam, 2u);
  EXPECT_EQ(sent[0].m_lParam, reinterpret_cast<LPARAM>(panel->m_hWnd));
  Click(panel->TextBox());
  EXPECT_EQ(panel->TextBox().TextIndex(), 0u);

  // A press held on the text box starts the panel's drag in its parent.
  m_Frame.m_Received.clear();
  panel->TextBox().SendMessage(WM_MOUSEHOVER, MK_LBUTTON, MAKELPARAM(3, 4));
  const auto drags = m_Frame.Of(WKRX_WM_BEGINPANELDRAG);
  ASSERT_EQ(drags.size(), 1u);
  EXPECT_EQ(drags[0].m_wParam, static_cast<WPARAM>(MAKELONG(3, 4)));
  EXPECT_EQ(drags[0].m_lParam, reinterpret_cast<LPARAM>(panel->m_hWnd));
}

TEST_F(WKRXSeparationPanel, TheReadOutShowsTheDensityOfAVisibleSeparation) {
  WKRX_TestPlate half = WKRX_Plate("Black", 4);
  half.m_Bits = [](std::uint32_t x, std::uint32_t) { return x < 128; };
  IMPN_SheetReference sheet = MakeSheet({half});
  IMPN_Separation* separation = sheet->GetFrontSurface().GetSeparations()[0];
  WKRX_SeparationPanel* panel = MakePanel(separation);
  panel->SetInfoModeEnabled(true);
  panel->RefreshInkDensity(IMPN_RectT<long>(0, 0, 512, 512));
  EXPECT_EQ(TextOf(panel->DensityReadOut()), L"  25.0 %");
  EXPECT_FLOAT_EQ(panel->GetInkDensity(), 0.25f);
  panel->HideSeparation();
  panel->RefreshInkDensity(IMPN_RectT<long>(0, 0, 512, 512));
  EXPECT_EQ(TextOf(panel->DensityReadOut()), L"-");
  EXPECT_EQ(panel->GetInkDensity(), 0.0f);
  ::DestroyWindow(panel->m_hWnd);
}

}  // namespace
