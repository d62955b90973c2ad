#include "WCTL/WCTL_EditText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "UCTL/UCTL_KeyFilter.h"
#include "UCTL/UCTL_Validator.h"
#include "support/WCTL_TestDialog.h"

namespace {

constexpr int kEditID = 3001;
constexpr int kOtherID = 3002;

// Counts refusals instead of beeping, and the times it got the focus: other test programs may
// take the activation at any time, so where the focus is afterwards proves nothing.
class CountingEditText : public WCTL_EditText {
public:
  int m_Rejected = 0;
  int m_FocusGained = 0;

  void RejectKey() override { ++m_Rejected; }

  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                            DWORD dwMsgMapID) override {
    if (uMsg == WM_SETFOCUS) {
      ++m_FocusGained;
    }
    return WCTL_EditText::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, dwMsgMapID);
  }
};

// Accepts texts of at most three characters.
class ShortTextValidator : public UCTL_StringValidator {
protected:
  bool Check(USTR_String const& value, USTR_String& text, USTR_String& replacement) const override {
    if (value.size() <= 3) {
      return true;
    }
    text = U(L"too long");
    replacement = value.substr(0, 3);
    return false;
  }
};

class EditTextTest : public WCTL_DialogTest {
protected:
  void SetUp() override {
    WCTL_DialogTest::SetUp();
    RECT edit = {10, 10, 200, 30};
    RECT other = {10, 50, 200, 70};
    ASSERT_TRUE(m_Edit.SubclassWindow(
        m_Dialog.AddChild(L"EDIT", WS_BORDER | ES_AUTOHSCROLL, kEditID, edit, L"12")));
    m_Other = m_Dialog.AddChild(L"EDIT", WS_BORDER, kOtherID, other);
    m_Listener.Listen(m_Edit);
  }

  void Type(wchar_t ch) { m_Edit.SendMessage(WM_CHAR, ch, 1); }

  void Select(int start, int end) { m_Edit.SendMessage(EM_SETSEL, start, end); }

  std::pair<DWORD, DWORD> Selection() {
    DWORD start = 0;
    DWORD end = 0;
    m_Edit.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }

  std::wstring Text() { return W(m_Edit.ControlText()); }

  // Puts text on the clipboard and pastes it into the edit control.
  void Paste(std::wstring const& text) {
    bool opened = false;
    for (int attempt = 0; attempt < 50 && !opened; ++attempt) {
      opened = OpenClipboard(m_Dialog) != FALSE;
      if (!opened) {
        Sleep(20);
      }
    }
    ASSERT_TRUE(opened);
    EmptyClipboard();
    std::size_t const bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    ASSERT_NE(memory, nullptr);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
    CloseClipboard();
    m_Edit.SendMessage(WM_PASTE);
  }

  CountingEditText m_Edit;
  HWND m_Other = nullptr;
  WCTL_TestListener m_Listener;
};

TEST_F(EditTextTest, ARefusedKeyPutsBackTheTextAndTheSelection) {
  m_Edit.SetKeyFilter(new UCTL_DigitKeyFilter);
  Select(1, 1);
  Type(L'5');
  EXPECT_EQ(Text(), L"152");
  EXPECT_EQ(m_Edit.m_Rejected, 0);

  Select(1, 1);
  Type(L'a');
  EXPECT_EQ(Text(), L"152");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{1}, DWORD{1}));
  EXPECT_EQ(m_Edit.m_Rejected, 1);

  // Typed over a selection: the selected characters come back, still selected.
  Select(0, 2);
  Type(L'x');
  EXPECT_EQ(Text(), L"152");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, DWORD{2}));
  EXPECT_EQ(m_Edit.m_Rejected, 2);
}

TEST_F(EditTextTest, AnAltGrKeyIsRefusedLikeAnyOther) {
  m_Edit.SetKeyFilter(new UCTL_DigitKeyFilter);
  m_Edit.SetControlText(U(L"12 34"));
  // AltGr reaches programs as Control and Alt held down.
  SetKeys({VK_CONTROL, VK_MENU, VK_RMENU});
  Select(4, 4);
  Type(L'@');
  EXPECT_EQ(Text(), L"12 34");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{4}, DWORD{4}));
  EXPECT_EQ(m_Edit.m_Rejected, 1);
}

TEST_F(EditTextTest, TextsTheProgramSetsAreNotFiltered) {
  m_Edit.SetKeyFilter(new UCTL_DigitKeyFilter);
  m_Edit.SetControlValue(3.5);
  EXPECT_EQ(Text(), L"3.500000");
  m_Edit.SetControlText(U(L"abc"));
  EXPECT_EQ(Text(), L"abc");
  SetWindowTextW(m_Edit, L"x-1");
  EXPECT_EQ(Text(), L"x-1");
  Select(0, 1);
  m_Edit.ReplaceSel(L"y");
  EXPECT_EQ(Text(), L"y-1");
  EXPECT_EQ(m_Edit.m_Rejected, 0);
  // The program's text is the one a refused key puts back.
  Select(3, 3);
  Type(L'z');
  EXPECT_EQ(Text(), L"y-1");
  EXPECT_EQ(m_Edit.m_Rejected, 1);
}

TEST_F(EditTextTest, APasteKeepsTheAllowedCharactersWithTheCaretAfterThem) {
  m_Edit.SetKeyFilter(new UCTL_DigitKeyFilter);
  m_Edit.SetControlText(U(L"1299"));
  Select(2, 2);
  Paste(L"3a4b");
  EXPECT_EQ(Text(), L"123499");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{4}, DWORD{4}));
  EXPECT_EQ(m_Edit.m_Rejected, 1) << "one beep for the paste";

  // A long text is left with the caret after the paste, nothing selected.
  std::wstring const digits(300, L'7');
  m_Edit.SetControlText(U(digits.c_str()));
  Select(300, 300);
  Paste(L"1x2");
  EXPECT_EQ(Text(), digits + L"12");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{302}, DWORD{302}));
}

TEST_F(EditTextTest, APasteTheFilterStillRefusesPutsBackTheText) {
  m_Edit.SetKeyFilter(new UCTL_RealKeyFilter);
  m_Edit.SetControlText(U(L"3.5"));
  Select(3, 3);
  Paste(L".25");
  EXPECT_EQ(Text(), L"3.5");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{3}, DWORD{3}));
  EXPECT_EQ(m_Edit.m_Rejected, 1);
}

TEST_F(EditTextTest, AnAcceptedPasteLeavesTypingAsTyping) {
  m_Edit.SetKeyFilter(new UCTL_DigitKeyFilter);
  m_Edit.SetControlText(U(L"19"));
  Select(1, 1);
  Paste(L"55");
  EXPECT_EQ(Text(), L"1559");
  EXPECT_EQ(m_Edit.m_Rejected, 0);
  Select(2, 2);
  Type(L'z');
  EXPECT_EQ(Text(), L"1559");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{2}, DWORD{2})) << "the caret stays where it was";
  EXPECT_EQ(m_Edit.m_Rejected, 1);
}

TEST_F(EditTextTest, NumbersAreDecimalAndKeepTheirPrecision) {
  m_Edit.SetControlText(U(L"010"));
  EXPECT_EQ(m_Edit.ControlValueAsLong(), 10);
  m_Edit.SetControlText(U(L"08"));
  EXPECT_EQ(m_Edit.ControlValueAsLong(), 8);
  m_Edit.SetControlText(U(L"3,5"));
  EXPECT_EQ(m_Edit.ControlValueAsDouble(), 3.5);
  m_Edit.SetControlText(U(L"16777217.25"));
  EXPECT_EQ(m_Edit.ControlValueAsDouble(), 16777217.25);
  m_Edit.SetControlText(U(L"none"));
  EXPECT_EQ(m_Edit.ControlValueAsLong(), 0);
  EXPECT_EQ(m_Edit.ControlValueAsDouble(), 0.0);

  m_Edit.SetControlValue(-42L);
  EXPECT_EQ(Text(), L"-42");
  m_Edit.SetControlValue(1e300);
  EXPECT_EQ(Text().size(), 301u + 7u);
  EXPECT_EQ(m_Edit.ControlValueAsDouble(), 1e300);
}

TEST_F(EditTextTest, LeavingARefusedTextBringsTheFocusBackWithTheRestoredTextSelected) {
  m_Edit.SetValidator(new ShortTextValidator);
  m_Edit.SetControlText(U(L"abc"));
  m_Edit.Validate(true);
  m_Edit.SetFocus();
  m_Edit.SetControlText(U(L"abcdef"));
  DWORD const left = GetTickCount();
  m_Edit.m_FocusGained = 0;
  ::SetFocus(m_Other);
  AtlPumpWaitingMessages();
  if (GetTickCount() - left < 90) {
    EXPECT_EQ(m_Listener.m_TextChanges, 0) << "not before 100 ms";
  }
  PumpUntil([&] { return m_Listener.m_TextChanges > 0; });
  EXPECT_GE(GetTickCount() - left, 90u);
  EXPECT_EQ(m_Listener.m_TextChanges, 1);
  EXPECT_EQ(m_Listener.m_RejectedTexts, std::vector<std::wstring>{L"abcdef"});
  EXPECT_EQ(Text(), L"abc");
  EXPECT_EQ(m_Edit.m_FocusGained, 1);
  EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, DWORD{3}));

  // An accepted text: the focus is not taken back, the change is still reported.
  m_Edit.SetControlText(U(L"xy"));
  ::SetFocus(m_Other);
  m_Edit.m_FocusGained = 0;
  PumpUntil([&] { return m_Listener.m_TextChanges > 1; });
  EXPECT_EQ(m_Listener.m_TextChanges, 2);
  EXPECT_EQ(m_Edit.m_FocusGained, 0);
  EXPECT_EQ(Text(), L"xy");
}

TEST_F(EditTextTest, OnlyTheValidationTimerValidates) {
  m_Edit.SetValidator(new ShortTextValidator);
  m_Edit.SetControlText(U(L"abcdef"));
  // The edit control's own timers go to the edit control.
  m_Edit.PostMessage(WM_TIMER, 2);
  m_Edit.PostMessage(WM_TIMER, 0x7FFF);
  AtlPumpWaitingMessages();
  EXPECT_EQ(m_Listener.m_TextChanges, 0);
  EXPECT_EQ(Text(), L"abcdef");
  m_Edit.PostMessage(WM_TIMER, 1);
  AtlPumpWaitingMessages();
  EXPECT_EQ(m_Listener.m_TextChanges, 1);
  EXPECT_EQ(Text(), L"") << "nothing ever passed: the empty text comes back";
}

TEST_F(EditTextTest, AControlItMakesItselfFiltersLikeAnAttachedOne) {
  CountingEditText made;
  RECT r = {10, 100, 200, 120};
  ASSERT_NE(made.Create(m_Dialog, r, L"7", 0, 0, 3003U), nullptr);
  made.SetKeyFilter(new UCTL_DigitKeyFilter);
  made.SendMessage(EM_SETSEL, 1, 1);
  made.SendMessage(WM_CHAR, L'k', 1);
  EXPECT_EQ(W(made.ControlText()), L"7");
  EXPECT_EQ(made.m_Rejected, 1);
  made.DestroyWindow();
}

TEST_F(EditTextTest, AControlGoneFirstLeavesAPlainEditControl) {
  HWND edit = nullptr;
  {
    CountingEditText temporary;
    m_Edit.UnsubclassWindow();
    edit = GetDlgItem(m_Dialog, kEditID);
    ASSERT_TRUE(temporary.SubclassWindow(edit));
    temporary.SetKeyFilter(new UCTL_DigitKeyFilter);
    temporary.SetValidator(new ShortTextValidator);
    SendMessageW(edit, WM_KILLFOCUS, 0, 0);
  }
  SetWindowTextW(edit, L"");
  SendMessageW(edit, WM_CHAR, L'q', 1);
  wchar_t text[8] = {};
  GetWindowTextW(edit, text, 8);
  EXPECT_EQ(std::wstring(text), L"q") << "no filter any more";
  // The validation the control had started does not outlive it.
  PumpFor(200);
  GetWindowTextW(edit, text, 8);
  EXPECT_EQ(std::wstring(text), L"q");
}

}  // namespace
