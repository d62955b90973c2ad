#pragma once

#include <vector>

#include "GLIB/GLIB_String.h"

// Decodes an ASCII text in which backslash-u escapes (\u00e9) stand for UTF-16 units.
// A table of transitions drives it; one parser serves one text.
class iGLIB_UnicodeEscapeParser {
public:
  enum State {
    kText = 0,
    kEvenBackslashes = 1,
    kOddBackslashes = 2,
    kAfterU = 3,
    kOneDigit = 4,
    kTwoDigits = 5,
    kThreeDigits = 6,
    kIllegal = 7,
    kDone = 8
  };
  enum Token {
    kOtherToken = 0,
    kBackslashToken = 1,
    kUToken = 2,
    kHexDigitToken = 3,
    kEndToken = 4,
    kAnyToken = 5
  };

  // A null text reads as an empty one.
  explicit iGLIB_UnicodeEscapeParser(const char* text);

  // With a null out: the length of the decoded text. Otherwise copies what fits into out,
  // always terminated when size > 0, and returns the number of characters copied.
  // Throws GLIB_Exception 1125010 for a malformed escape; out is then untouched.
  std::size_t Parse(wchar_t* out, std::size_t size);

private:
  typedef void (iGLIB_UnicodeEscapeParser::*Action)();
  struct Transition {
    State state;
    Token token;
    State next;
    Action action;
  };

  void InitStateMap();
  const Transition& TransitionForStateAndToken(State state, Token token) const;
  static Token TokenForByte(char byte);

  void AddCharToOuput();
  void AddCharToEscapeSequence();
  void FinishLiteralEscapeSequence();
  void FinishEscapeSequence();
  void NullSideEffect();

  wchar_t CurrentChar() const;

  const char* m_Text;
  const char* m_Position;
  std::vector<Transition> m_Transitions;
  State m_State;
  GLIB_WString m_Output;
  GLIB_WString m_EscapeSequence;
};
