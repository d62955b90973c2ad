#include "WCTL/WCTL_PushButton.h"
#include "WCTL/WCTL_StaticText.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "support/WCTL_TestDialog.h"

namespace {

constexpr int kButtonID = 1001;
constexpr int kLabelID = 1002;

class ControlsTest : public WCTL_DialogTest {
protected:
  void SetUp() override {
    WCTL_DialogTest::SetUp();
    RECT button = {10, 20, 110, 45};
    RECT label = {10, 60, 110, 80};
    ASSERT_TRUE(m_Button.SubclassWindow(
        m_Dialog.AddChild(L"BUTTON", BS_PUSHBUTTON, kButtonID, button, L"Press")));
    ASSERT_TRUE(
        m_Label.SubclassWindow(m_Dialog.AddChild(L"STATIC", WS_BORDER, kLabelID, label, L"label")));
    m_Listener.Listen(m_Button);
  }

  void Click() {
    m_Dialog.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonID, BN_CLICKED),
                         reinterpret_cast<LPARAM>(m_Button.m_hWnd));
  }

  WCTL_PushButton m_Button;
  WCTL_StaticText m_Label;
  WCTL_TestListener m_Listener;
};

TEST_F(ControlsTest, BoundsAndMovesAreInTheParentsClientCoordinates) {
  EXPECT_EQ(m_Button.ControlBounds(), IMPN_RectT<long>(20, 10, 100, 25));
  m_Button.MoveControlBy(0, 0);
  EXPECT_EQ(m_Button.ControlBounds(), IMPN_RectT<long>(20, 10, 100, 25)) << "nothing moves";
  m_Button.MoveControlBy(5, -3);
  EXPECT_EQ(m_Button.ControlBounds(), IMPN_RectT<long>(17, 15, 100, 25));
  m_Button.MoveControlTo(30, 40);
  EXPECT_EQ(m_Button.ControlBounds(), IMPN_RectT<long>(40, 30, 100, 25));
}

TEST_F(ControlsTest, SizesAreClientSizesAndMinusOneKeepsADimension) {
  // The label's border adds to its window size.
  RECT client;
  m_Label.SetControlSize(50, 30);
  m_Label.GetClientRect(&client);
  EXPECT_EQ(client.right, 50);
  EXPECT_EQ(client.bottom, 30);
  EXPECT_GT(m_Label.ControlBounds().width, 50);
  m_Label.SetControlSize(-1, 12);
  m_Label.GetClientRect(&client);
  EXPECT_EQ(client.right, 50);
  EXPECT_EQ(client.bottom, 12);
  m_Label.SetControlSize(70, -1);
  m_Label.GetClientRect(&client);
  EXPECT_EQ(client.right, 70);
  EXPECT_EQ(client.bottom, 12);
}

TEST_F(ControlsTest, VisibilityEnablingAndTexts) {
  m_Label.SetControlVisible(false);
  EXPECT_FALSE(m_Label.IsControlVisible());
  m_Label.SetControlVisible(true);
  EXPECT_TRUE(m_Label.IsControlVisible());
  m_Button.SetControlEnabled(false);
  EXPECT_FALSE(m_Button.IsControlEnabled());
  m_Button.SetControlEnabled(true);
  EXPECT_TRUE(m_Button.IsControlEnabled());

  EXPECT_EQ(W(m_Label.ControlText()), L"label");
  m_Label.SetControlText(U(L"Density \x00B1 0.02"));
  EXPECT_EQ(W(m_Label.ControlText()), L"Density \x00B1 0.02");
  m_Label.SetControlText(USTR_String());
  EXPECT_TRUE(m_Label.ControlText().empty());
}

struct ModifierCase {
  std::vector<int> m_Keys;
  std::uint32_t m_Modifiers;
};

TEST_F(ControlsTest, AClickReportsTheButtonAndTheModifiersAltAsOption) {
  for (ModifierCase const& c :
       {ModifierCase{{}, 0}, ModifierCase{{VK_SHIFT}, 0x01}, ModifierCase{{VK_CONTROL}, 0x02},
        ModifierCase{{VK_MENU}, 0x08}, ModifierCase{{VK_SHIFT, VK_MENU}, 0x09},
        ModifierCase{{VK_SHIFT, VK_CONTROL, VK_MENU}, 0x0B}}) {
    m_Listener.m_Clicks.clear();
    SetKeys(c.m_Keys);
    Click();
    ASSERT_EQ(m_Listener.m_Clicks.size(), 1u);
    EXPECT_EQ(m_Listener.m_Clicks[0].m_ControlID, static_cast<std::uint32_t>(kButtonID));
    EXPECT_EQ(m_Listener.m_Clicks[0].m_Modifiers, c.m_Modifiers);
  }
}

TEST_F(ControlsTest, OnlyTheButtonsOwnNotificationsCount) {
  // A reflected notification naming another window is left alone.
  EXPECT_EQ(m_Button.SendMessage(OCM_COMMAND, MAKEWPARAM(kButtonID, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(m_Label.m_hWnd)),
            1);
  // Other notifications of the button get the system's default.
  m_Dialog.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonID, BN_SETFOCUS),
                       reinterpret_cast<LPARAM>(m_Button.m_hWnd));
  EXPECT_TRUE(m_Listener.m_Clicks.empty());
  // A real click arrives through the parent.
  m_Button.SendMessage(BM_CLICK);
  EXPECT_EQ(m_Listener.m_Clicks.size(), 1u);
}

// Throws from the click's broadcast.
class ThrowingListener : public GLIB_MessageTarget {
public:
  void OnClicked(UCTL_ControlClickedMessage const&) { throw std::runtime_error("listener"); }
};

TEST_F(ControlsTest, TheGuardNamesTheControlClass) {
  ThrowingListener throwing;
  m_Button.Register(new GLIB_Callback<ThrowingListener, UCTL_ControlClickedMessage>(
      &throwing, &ThrowingListener::OnClicked));
  Click();
  ASSERT_EQ(sm_Logged.size(), 1u);
  EXPECT_EQ(sm_Logged[0].m_Severity, GLIB_SEVERITY_ASSERT);
  EXPECT_EQ(sm_Logged[0].m_Text, L"Class WCTL_PushButton caught unhandled CRT exception: listener");
  EXPECT_EQ(sm_Logged[0].m_File, "WCTL_PushButton.h");
  EXPECT_EQ(sm_ExitCodes, std::vector<int>{1});
}

TEST_F(ControlsTest, AControlGoneFirstLeavesItsWindowToTheDialog) {
  HWND button = m_Button.m_hWnd;
  {
    auto other = std::make_unique<WCTL_PushButton>();
    m_Button.UnsubclassWindow();
    ASSERT_TRUE(other->SubclassWindow(button));
    m_Listener.Listen(*other);
  }
  EXPECT_TRUE(IsWindow(button));
  SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_TRUE(m_Listener.m_Clicks.empty());
  wchar_t text[16] = {};
  GetWindowTextW(button, text, 16);
  EXPECT_EQ(std::wstring(text), L"Press");
}

}  // namespace
