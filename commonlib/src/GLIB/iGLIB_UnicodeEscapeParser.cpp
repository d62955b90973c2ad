#include "GLIB/iGLIB_UnicodeEscapeParser.h"

#include <algorithm>

#include "GLIB/GLIB_Exception.h"

namespace {

const std::uint32_t kNoTransitionCode = 1125009;
const std::uint32_t kIllegalEscapeCode = 1125010;

int HexDigitValue(wchar_t c) {
  if (c >= L'0' && c <= L'9')
    return c - L'0';
  if (c >= L'a' && c <= L'f')
    return c - L'a' + 10;
  return c - L'A' + 10;
}

}  // namespace

iGLIB_UnicodeEscapeParser::iGLIB_UnicodeEscapeParser(const char* text)
    : m_Text(text ? text : ""),
      m_Position(m_Text),
      m_State(kText) {
  InitStateMap();
}

void iGLIB_UnicodeEscapeParser::InitStateMap() {
  typedef iGLIB_UnicodeEscapeParser P;
  m_Transitions = {
      {kText, kBackslashToken, kOddBackslashes, &P::AddCharToEscapeSequence},
      {kText, kAnyToken, kText, &P::AddCharToOuput},
      {kText, kEndToken, kDone, &P::NullSideEffect},
      {kOddBackslashes, kBackslashToken, kEvenBackslashes, &P::AddCharToEscapeSequence},
      {kOddBackslashes, kUToken, kAfterU, &P::AddCharToEscapeSequence},
      {kOddBackslashes, kAnyToken, kText, &P::FinishLiteralEscapeSequence},
      {kOddBackslashes, kEndToken, kDone, &P::NullSideEffect},
      {kEvenBackslashes, kBackslashToken, kOddBackslashes, &P::AddCharToEscapeSequence},
      {kEvenBackslashes, kAnyToken, kText, &P::FinishLiteralEscapeSequence},
      {kEvenBackslashes, kEndToken, kDone, &P::NullSideEffect},
      {kAfterU, kUToken, kAfterU, &P::AddCharToEscapeSequence},
      {kAfterU, kHexDigitToken, kOneDigit, &P::AddCharToEscapeSequence},
      {kAfterU, kAnyToken, kIllegal, &P::NullSideEffect},
      {kOneDigit, kHexDigitToken, kTwoDigits, &P::AddCharToEscapeSequence},
      {kOneDigit, kAnyToken, kIllegal, &P::NullSideEffect},
      {kTwoDigits, kHexDigitToken, kThreeDigits, &P::AddCharToEscapeSequence},
      {kTwoDigits, kAnyToken, kIllegal, &P::NullSideEffect},
      {kThreeDigits, kHexDigitToken, kText, &P::FinishEscapeSequence},
      {kThreeDigits, kAnyToken, kIllegal, &P::NullSideEffect},
  };
}

iGLIB_UnicodeEscapeParser::Token iGLIB_UnicodeEscapeParser::TokenForByte(char byte) {
  switch (byte) {
    case '\\':
      return kBackslashToken;
    case 'u':
      return kUToken;
    case '\0':
    case '\n':
    case '\r':
      return kEndToken;
    default:
      break;
  }
  const bool hex =
      (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'F') || (byte >= 'a' && byte <= 'f');
  return hex ? kHexDigitToken : kOtherToken;
}

const iGLIB_UnicodeEscapeParser::Transition&
iGLIB_UnicodeEscapeParser::TransitionForStateAndToken(State state, Token token) const {
  const Transition* fallback = nullptr;
  for (const Transition& t : m_Transitions) {
    if (t.state != state)
      continue;
    if (t.token == token)
      return t;
    if (t.token == kAnyToken && !fallback)
      fallback = &t;
  }
  if (!fallback)
    throw GLIB_Exception(kNoTransitionCode,
                         "Could not find entry for token in transition map and could not "
                         "find entry for ANY_TOKEN",
                         __FILE__, __LINE__);
  return *fallback;
}

std::size_t iGLIB_UnicodeEscapeParser::Parse(wchar_t* out, std::size_t size) {
  while (m_State != kDone) {
    const Transition& t = TransitionForStateAndToken(m_State, TokenForByte(*m_Position));
    if (t.next == kIllegal) {
      GLIB_OStringStream text;
      text << "Illegal Unicode escape sequence \"" << GLIB_WToNString(m_EscapeSequence) << "\"";
      throw GLIB_Exception(kIllegalEscapeCode, text.str().c_str(), __FILE__, __LINE__);
    }
    (this->*t.action)();
    m_State = t.next;
    ++m_Position;
  }

  if (!out)
    return m_Output.size();
  if (size == 0)
    return 0;
  // The last place of the buffer is kept for the terminator.
  const std::size_t count = std::min<std::size_t>(m_Output.size(), size - 1);
  std::copy(m_Output.begin(), m_Output.begin() + count, out);
  out[count] = 0;
  return count;
}

wchar_t iGLIB_UnicodeEscapeParser::CurrentChar() const {
  // Bytes above 0x7F are widened with their sign, as a plain char converts.
  return static_cast<wchar_t>(*m_Position);
}

void iGLIB_UnicodeEscapeParser::AddCharToOuput() {
  m_Output.push_back(CurrentChar());
}

void iGLIB_UnicodeEscapeParser::AddCharToEscapeSequence() {
  m_EscapeSequence.push_back(CurrentChar());
}

void iGLIB_UnicodeEscapeParser::FinishLiteralEscapeSequence() {
  m_EscapeSequence.push_back(CurrentChar());
  m_Output += m_EscapeSequence;
  m_EscapeSequence.clear();
}

void iGLIB_UnicodeEscapeParser::FinishEscapeSequence() {
  m_EscapeSequence.push_back(CurrentChar());
  const std::size_t n = m_EscapeSequence.size();
  int unit = 0;
  for (std::size_t i = n - 4; i < n; ++i)
    unit = unit * 16 + HexDigitValue(m_EscapeSequence[i]);
  m_Output.push_back(static_cast<wchar_t>(unit));
  m_EscapeSequence.clear();
}

void iGLIB_UnicodeEscapeParser::NullSideEffect() {}
