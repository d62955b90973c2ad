#include "UCTL/UCTL_EditText.h"
#include "UCTL/UCTL_Messages.h"
#include "UCTL/UCTL_NullControls.h"
#include "UCTL/UCTL_Validator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

USTR_String U(char const* text) {
  return USTR_NStringToUString(std::string(text));
}

// An edit text that keeps its text and records what the program put into it.
class TextField : public UCTL_NullEditText {
public:
  void SetControlText(USTR_String const& text) override {
    m_Text = text;
    ++m_TextsSet;
  }
  USTR_String ControlText() const override { return m_Text; }
  void NotifyTextChanged() override { UCTL_EditText::NotifyTextChanged(); }

  USTR_String m_Text;
  int m_TextsSet = 0;
};

// Accepts texts of at most three units; proposes the first three units instead.
class ShortTextValidator : public UCTL_StringValidator {
public:
  explicit ShortTextValidator(int* alive = nullptr) : m_Alive(alive) {
    if (m_Alive)
      ++*m_Alive;
  }
  ~ShortTextValidator() override {
    if (m_Alive)
      --*m_Alive;
  }

protected:
  bool Check(USTR_String const& value, USTR_String& text, USTR_String& replacement) const override {
    if (value.size() <= 3)
      return true;
    text = U("too long");
    replacement = value.substr(0, 3);
    return false;
  }

private:
  int* m_Alive;
};

class CountedFilter : public UCTL_DigitKeyFilter {
public:
  explicit CountedFilter(int* alive) : m_Alive(alive) { ++*m_Alive; }
  ~CountedFilter() override { --*m_Alive; }

private:
  int* m_Alive;
};

// Records the messages an edit text or validator broadcasts.
class Listener : public GLIB_MessageTarget {
public:
  void Listen(GLIB_MessageDispatcher const& sender) {
    sender.Register(new GLIB_Callback<Listener, UCTL_ValidatorFailedMessage<USTR_String>>(
        this, &Listener::TextFailed));
    sender.Register(new GLIB_Callback<Listener, UCTL_ValidatorFailedMessage<long>>(
        this, &Listener::LongFailed));
    sender.Register(new GLIB_Callback<Listener, UCTL_ValidatorFailedMessage<double>>(
        this, &Listener::DoubleFailed));
    sender.Register(
        new GLIB_Callback<Listener, UCTL_ControlTextChangedMessage>(this, &Listener::Changed));
  }

  void TextFailed(UCTL_ValidatorFailedMessage<USTR_String> const& m) {
    m_Rejected.push_back(m.RejectedValue());
    m_Texts.push_back(m.MessageText());
    m_Replacements.push_back(m.ReplacementValue());
  }
  void LongFailed(UCTL_ValidatorFailedMessage<long> const& m) {
    m_Longs.push_back(m.RejectedValue());
    m_Longs.push_back(m.ReplacementValue());
    m_Texts.push_back(m.MessageText());
  }
  void DoubleFailed(UCTL_ValidatorFailedMessage<double> const& m) {
    m_Doubles.push_back(m.RejectedValue());
    m_Doubles.push_back(m.ReplacementValue());
    m_Texts.push_back(m.MessageText());
  }
  void Changed(UCTL_ControlTextChangedMessage const&) { ++m_Changes; }

  USTR_StringVector m_Rejected, m_Texts, m_Replacements;
  std::vector<long> m_Longs;
  std::vector<double> m_Doubles;
  int m_Changes = 0;
};

TEST(UCTL_EditText, StartsWithAnAllowAllFilterNoValidatorAndBeep) {
  TextField field;
  EXPECT_TRUE(field.KeyFilter().IsKeyAllowed(0));
  EXPECT_TRUE(field.KeyFilter().IsKeyAllowed('x'));
  EXPECT_EQ(nullptr, field.Validator());
  EXPECT_TRUE(field.BeepOnReject());
  field.SetBeepOnReject(false);
  EXPECT_FALSE(field.BeepOnReject());

  field.m_Text = U("anything at all");
  EXPECT_TRUE(field.Validate(true));
  EXPECT_EQ(0, field.m_TextsSet);
}

TEST(UCTL_EditText, KeyFilterReplacement) {
  int alive = 0;
  {
    TextField field;
    CountedFilter* first = new CountedFilter(&alive);
    field.SetKeyFilter(first);
    EXPECT_EQ(first, &field.KeyFilter());
    EXPECT_FALSE(field.KeyFilter().IsKeyAllowed('x'));

    // Null keeps the filter; the filter already held stays alive and held.
    field.SetKeyFilter(nullptr);
    field.SetKeyFilter(first);
    EXPECT_EQ(first, &field.KeyFilter());
    EXPECT_EQ(1, alive);
    EXPECT_FALSE(field.KeyFilter().IsKeyAllowed('x'));

    CountedFilter* second = new CountedFilter(&alive);
    field.SetKeyFilter(second);
    EXPECT_EQ(second, &field.KeyFilter());
    EXPECT_EQ(1, alive);
  }
  EXPECT_EQ(0, alive);
}

TEST(UCTL_EditText, ValidatorReplacement) {
  int alive = 0;
  {
    TextField field;
    Listener listener;
    listener.Listen(field);
    ShortTextValidator* first = new ShortTextValidator(&alive);
    field.SetValidator(first);
    // The validator already held: no deletion, and no second forwarding callback.
    field.SetValidator(first);
    EXPECT_EQ(first, field.Validator());
    EXPECT_EQ(1, alive);
    field.m_Text = U("abcd");
    EXPECT_FALSE(field.Validate(false));
    EXPECT_EQ(1u, listener.m_Rejected.size());

    ShortTextValidator* second = new ShortTextValidator(&alive);
    field.SetValidator(second);
    EXPECT_EQ(second, field.Validator());
    EXPECT_EQ(1, alive);
    EXPECT_FALSE(field.Validate(false));
    EXPECT_EQ(2u, listener.m_Rejected.size());

    field.SetValidator(nullptr);
    EXPECT_EQ(0, alive);
    EXPECT_TRUE(field.Validate(true));
    EXPECT_EQ(2u, listener.m_Rejected.size());

    field.SetValidator(new ShortTextValidator(&alive));
  }
  EXPECT_EQ(0, alive);
}

// A listener of the field hears the validator's refusal with its fields as they were.
TEST(UCTL_EditText, RebroadcastsTheValidatorsRefusal) {
  TextField field;
  Listener fieldListener, validatorListener;
  fieldListener.Listen(field);
  ShortTextValidator* validator = new ShortTextValidator;
  field.SetValidator(validator);
  validatorListener.Listen(*validator);

  field.m_Text = U("abc");
  EXPECT_TRUE(field.Validate(false));
  EXPECT_TRUE(fieldListener.m_Rejected.empty());

  field.m_Text = U("abcdef");
  EXPECT_FALSE(field.Validate(false));
  ASSERT_EQ(1u, fieldListener.m_Rejected.size());
  EXPECT_EQ(U("abcdef"), fieldListener.m_Rejected[0]);
  EXPECT_EQ(U("too long"), fieldListener.m_Texts[0]);
  EXPECT_EQ(U("abc"), fieldListener.m_Replacements[0]);
  EXPECT_EQ(fieldListener.m_Rejected, validatorListener.m_Rejected);
  EXPECT_EQ(0, fieldListener.m_Changes);
}

TEST(UCTL_EditText, ValidateRestoresTheLastTextThatPassed) {
  TextField field;
  ShortTextValidator* validator = new ShortTextValidator;
  field.SetValidator(validator);

  // No text has passed yet: the empty text comes back.
  field.m_Text = U("abcd");
  EXPECT_FALSE(field.Validate(true));
  EXPECT_EQ(U(""), field.m_Text);
  EXPECT_FALSE(validator->HasLastValidValue());

  field.m_Text = U("ab");
  EXPECT_TRUE(field.Validate(true));
  EXPECT_EQ(1, field.m_TextsSet);
  field.m_Text = U("xyz");
  EXPECT_TRUE(field.Validate(false));
  EXPECT_EQ(U("xyz"), validator->LastValidValue());
  EXPECT_TRUE(validator->HasLastValidValue());

  field.m_Text = U("wxyz1");
  EXPECT_FALSE(field.Validate(false));
  EXPECT_EQ(U("wxyz1"), field.m_Text);
  EXPECT_FALSE(field.Validate(true));
  EXPECT_EQ(U("xyz"), field.m_Text);
  EXPECT_EQ(2, field.m_TextsSet);
}

// A listener may drop the validator while hearing its refusal.
TEST(UCTL_EditText, ValidatorRemovedByAListenerOfItsRefusal) {
  class Remover : public GLIB_MessageTarget {
  public:
    explicit Remover(UCTL_EditText& field) : m_Field(field) {}
    void Failed(UCTL_ValidatorFailedMessage<USTR_String> const&) { m_Field.SetValidator(nullptr); }
    UCTL_EditText& m_Field;
  };
  int alive = 0;
  TextField field;
  Remover remover(field);
  field.SetValidator(new ShortTextValidator(&alive));
  field.Register(new GLIB_Callback<Remover, UCTL_ValidatorFailedMessage<USTR_String>>(
      &remover, &Remover::Failed));
  field.m_Text = U("abcd");
  EXPECT_FALSE(field.Validate(true));
  EXPECT_EQ(0, alive);
  EXPECT_EQ(U("abcd"), field.m_Text);
}

TEST(UCTL_EditText, NotifyTextChangedBroadcasts) {
  TextField field;
  Listener listener;
  listener.Listen(field);
  field.NotifyTextChanged();
  field.NotifyTextChanged();
  EXPECT_EQ(2, listener.m_Changes);
}

TEST(UCTL_EditText, NullEditTextDoesNothing) {
  UCTL_NullEditText null;
  UCTL_EditText& field = null;
  Listener listener;
  listener.Listen(field);
  field.SetControlValue(12L);
  field.SetControlValue(2.5);
  field.SetControlText(U("text"));
  field.SetControlVisible(true);
  field.SetControlEnabled(true);
  field.MoveControlTo(5, 6);
  field.SelectAllText();
  field.RejectKey();
  field.NotifyTextChanged();
  EXPECT_EQ(0, field.ControlValueAsLong());
  EXPECT_EQ(0.0, field.ControlValueAsDouble());
  EXPECT_TRUE(field.ControlText().empty());
  EXPECT_EQ(IMPN_RectT<long>(0, 0, 0, 0), field.ControlBounds());
  EXPECT_FALSE(field.IsControlVisible());
  EXPECT_FALSE(field.IsControlEnabled());
  EXPECT_EQ(0, listener.m_Changes);
}

// Number validators report a refusal and keep no accepted value of their own.
class EvenValidator : public UCTL_IntegerValidator {
protected:
  bool Check(long const& value, USTR_String& text, long& replacement) const override {
    text = U("odd");
    replacement = value + 1;
    return value % 2 == 0;
  }
};

class UnitValidator : public UCTL_DoubleValidator {
protected:
  bool Check(double const& value, USTR_String& text, double& replacement) const override {
    text = U("out of range");
    replacement = value < 0.0 ? 0.0 : 1.0;
    return value >= 0.0 && value <= 1.0;
  }
};

TEST(UCTL_Validators, NumberValidatorsBroadcastRefusalsAndStoreNothing) {
  EvenValidator even;
  UnitValidator unit;
  Listener listener;
  listener.Listen(even);
  listener.Listen(unit);

  EXPECT_TRUE(even.Validate(4));
  EXPECT_FALSE(even.HasLastValidValue());
  EXPECT_FALSE(even.Validate(-7));
  EXPECT_EQ((std::vector<long>{-7, -6}), listener.m_Longs);

  EXPECT_TRUE(unit.Validate(0.5));
  EXPECT_FALSE(unit.HasLastValidValue());
  EXPECT_FALSE(unit.Validate(1.25));
  EXPECT_EQ((std::vector<double>{1.25, 1.0}), listener.m_Doubles);
  EXPECT_EQ((USTR_StringVector{U("odd"), U("out of range")}), listener.m_Texts);
  EXPECT_TRUE(listener.m_Rejected.empty());

  even.SetLastValidValue(8);
  unit.SetLastValidValue(0.75);
  EXPECT_TRUE(even.HasLastValidValue());
  EXPECT_EQ(8, even.LastValidValue());
  EXPECT_EQ(0.75, unit.LastValidValue());
}

TEST(UCTL_Validators, MessagesAnswerTheirClassNames) {
  EXPECT_EQ("UCTL_ControlTextChangedMessage", UCTL_ControlTextChangedMessage().AsString());
  EXPECT_EQ("UCTL_ValidatorFailedMessage",
            UCTL_ValidatorFailedMessage<USTR_String>(U("a"), U("b"), U("c")).AsString());
  EXPECT_EQ("UCTL_ValidatorFailedMessage",
            UCTL_ValidatorFailedMessage<long>(1, U("b"), 2).AsString());
  EXPECT_EQ("UCTL_ValidatorFailedMessage",
            UCTL_ValidatorFailedMessage<double>(1.5, U("b"), 2.5).AsString());
}

}  // namespace
