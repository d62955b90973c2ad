#include "UCTL/UCTL_Control.h"
#include "UCTL/UCTL_Messages.h"
#include "UCTL/UCTL_NullControls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

USTR_String U(char const* text) {
  return USTR_NStringToUString(std::string(text));
}

USTR_StringVector Items(std::vector<char const*> const& texts) {
  USTR_StringVector items;
  for (char const* text : texts)
    items.push_back(U(text));
  return items;
}

// A pop-up button that keeps its items and records the values it is given.
class RecordingPopupButton : public UCTL_NullPopupButton {
public:
  void SetMenuItems(USTR_StringVector const& items) override { m_Items = items; }
  USTR_StringVector MenuItems() override { return m_Items; }
  void SetControlValue(long index) override { m_Values.push_back(index); }

  std::vector<long> m_Values;

private:
  USTR_StringVector m_Items;
};

TEST(UCTL_NullControls, NullPopupButtonReportsNothingWhateverWasSet) {
  UCTL_NullPopupButton button;
  UCTL_PopupButton& popup = button;
  popup.SetMenuItems(Items({"Points", "Picas"}));
  popup.SetControlValue(1);
  popup.SetControlTitle(U("Units"));
  popup.SetMenuItemEnabled(1, true);
  popup.SetControlVisible(true);
  popup.SetControlEnabled(true);
  popup.MoveControlTo(10, 20);
  popup.SetControlSize(30, 40);

  EXPECT_EQ(0, popup.ControlValue());
  EXPECT_TRUE(popup.MenuItems().empty());
  EXPECT_TRUE(popup.ControlTitle().empty());
  EXPECT_TRUE(popup.ControlValueAsText().empty());
  EXPECT_EQ(IMPN_RectT<long>(0, 0, 0, 0), popup.ControlBounds());
  EXPECT_FALSE(popup.IsControlVisible());
  EXPECT_FALSE(popup.IsControlEnabled());
  EXPECT_EQ(-1, popup.IndexOfMenuItem(U("Points")));
}

TEST(UCTL_NullControls, NullCheckBoxReportsOffAndEmpty) {
  UCTL_NullCheckBox box;
  UCTL_CheckBox& check = box;
  check.SetControlValue(kUCTL_ButtonMixed);
  check.SetControlText(U("Show guides"));
  check.SetControlVisible(true);
  check.MoveControlBy(5, 5);

  EXPECT_EQ(kUCTL_ButtonOff, check.ControlValue());
  EXPECT_TRUE(check.ControlText().empty());
  EXPECT_EQ(IMPN_RectT<long>(0, 0, 0, 0), check.ControlBounds());
  EXPECT_FALSE(check.IsControlVisible());
  EXPECT_FALSE(check.IsControlEnabled());
}

TEST(UCTL_PopupButton, IndexOfMenuItemFindsTheFirstEqualItem) {
  RecordingPopupButton button;
  button.SetMenuItems(Items({"Front", "Back", "Front", "front"}));
  struct Case {
    char const* text;
    long index;
  };
  Case const cases[] = {
      {"Front", 0},                // occurs twice: the first
      {"Back", 1},  {"front", 3},  // case matters
      {"Fron", -1},                // no prefix match
      {"", -1},
  };
  for (Case const& c : cases)
    EXPECT_EQ(c.index, button.IndexOfMenuItem(U(c.text))) << c.text;
}

TEST(UCTL_PopupButton, SelectMenuItemSetsTheIndexOrMinusOne) {
  RecordingPopupButton button;
  button.SetMenuItems(Items({"pt", "p", "in"}));
  button.SelectMenuItem(U("in"));
  button.SelectMenuItem(U("mm"));
  EXPECT_EQ((std::vector<long>{2, -1}), button.m_Values);
}

class MessageListener : public GLIB_MessageTarget {
public:
  void OnClicked(UCTL_ControlClickedMessage const& m) {
    clicks.push_back({m.ControlID(), m.Modifiers()});
  }
  void OnValue(UCTL_ControlValueChangedMessage const& m) {
    values.push_back({m.ControlID(), m.Value()});
  }
  void OnSelection(UCTL_RowItemSelectionChangedMessage const& m) {
    selections.push_back(m.Selected());
  }
  void OnOrder(UCTL_RowItemOrderChangedMessage const&) { ++orderChanges; }

  std::vector<std::pair<std::uint32_t, std::uint32_t>> clicks;
  std::vector<std::pair<std::uint32_t, std::int32_t>> values;
  std::vector<bool> selections;
  int orderChanges = 0;
};

TEST(UCTL_Messages, ReachOnlyTheirOwnListenersWithTheirFields) {
  UCTL_NullPopupButton button;
  MessageListener listener;
  button.Register(new GLIB_Callback<MessageListener, UCTL_ControlClickedMessage>(
      &listener, &MessageListener::OnClicked));
  button.Register(new GLIB_Callback<MessageListener, UCTL_ControlValueChangedMessage>(
      &listener, &MessageListener::OnValue));
  button.Register(new GLIB_Callback<MessageListener, UCTL_RowItemSelectionChangedMessage>(
      &listener, &MessageListener::OnSelection));
  button.Register(new GLIB_Callback<MessageListener, UCTL_RowItemOrderChangedMessage>(
      &listener, &MessageListener::OnOrder));

  button.BroadcastMessage(
      UCTL_ControlClickedMessage(0x756E6974u, kUCTL_ShiftKey | kUCTL_OptionKey));
  button.BroadcastMessage(UCTL_ControlValueChangedMessage(7, -1));
  button.BroadcastMessage(UCTL_RowItemSelectionChangedMessage(false));
  button.BroadcastMessage(UCTL_RowItemOrderChangedMessage());

  ASSERT_EQ(1u, listener.clicks.size());
  EXPECT_EQ(0x756E6974u, listener.clicks[0].first);
  EXPECT_EQ(9u, listener.clicks[0].second);
  ASSERT_EQ(1u, listener.values.size());
  EXPECT_EQ(7u, listener.values[0].first);
  EXPECT_EQ(-1, listener.values[0].second);
  EXPECT_EQ(std::vector<bool>{false}, listener.selections);
  EXPECT_EQ(1, listener.orderChanges);
}

TEST(UCTL_Messages, AnswerTheirClassNames) {
  EXPECT_EQ("UCTL_ControlClickedMessage", UCTL_ControlClickedMessage(1, 0).AsString());
  EXPECT_EQ("UCTL_ControlValueChangedMessage", UCTL_ControlValueChangedMessage(1, 0).AsString());
  EXPECT_EQ("UCTL_RowItemSelectionChangedMessage",
            UCTL_RowItemSelectionChangedMessage(true).AsString());
  EXPECT_EQ("UCTL_RowItemOrderChangedMessage", UCTL_RowItemOrderChangedMessage().AsString());
}

}  // namespace
