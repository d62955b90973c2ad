#include "GLIB/GLIB_Exception.h"

#include "GLIB/GLIB_Globals.h"

namespace {

GLIB_WString Widen(const char* text) {
  return GLIB_NToWString(text);
}
GLIB_WString Copy(const wchar_t* text) {
  return text != nullptr ? GLIB_WString(text) : GLIB_WString();
}

template <class NarrowStrings>
void AppendWidened(const NarrowStrings& params, GLIB_WStringVector* wide) {
  for (const GLIB_String& param : params)
    wide->push_back(GLIB_NToWString(param));
}

// Writes the record with one function that makes a wide text fit the stream.
template <class Stream, class Convert>
void PrintRecord(const GLIB_Exception& e, Stream& out, Convert convert) {
  out << "code = " << e.code();
  const GLIB_WString message = e.WMessage();
  if (!message.empty()) {
    out << "; developer-speak message = '" << convert(message) << "'";
  }
  if (!e.sourceFile().empty()) {
    out << "; source file = " << convert(e.sourceFile());
  }
  if (e.line() > 0) {
    out << "; line number = " << e.line();
  }
  const GLIB_WString formatted =
      GLIB_DetailMessageFormatter::getFormattedMessage(e.code(), e.getDetailParameters());
  if (!formatted.empty()) {
    out << "; localized Message = '" << convert(formatted) << "'";
  }
}

}  // namespace

GLIB_WString GLIB_DefaultMessageFormattingCallbackFunction(std::uint32_t code,
                                                           const GLIB_WStringVector& params) {
  GLIB_WOStringStream text;
  text << L"( code = " << code;
  for (std::size_t i = 0; i < params.size(); ++i) {
    if (!params[i].empty()) {
      text << L"; param[" << i << L"] = '" << params[i] << L"'";
    }
  }
  text << L" )";
  return text.str();
}

GLIB_Exception::GLIB_Exception() : m_Code(0), m_Line(0) {}

GLIB_Exception::GLIB_Exception(std::uint32_t code, const char* message, const char* file, int line)
    : m_Code(code),
      m_Message(Widen(message)),
      m_File(Widen(file)),
      m_Line(line) {}

GLIB_Exception::GLIB_Exception(std::uint32_t code, const GLIB_StringVector& params,
                               const char* message, const char* file, int line)
    : GLIB_Exception(code, message, file, line) {
  AppendWidened(params, &m_Params);
}

GLIB_Exception::GLIB_Exception(std::uint32_t code, const GLIB_StringList& params,
                               const char* message, const char* file, int line)
    : GLIB_Exception(code, message, file, line) {
  AppendWidened(params, &m_Params);
}

GLIB_Exception::GLIB_Exception(std::uint32_t code, const wchar_t* message, const char* file,
                               int line)
    : m_Code(code),
      m_Message(Copy(message)),
      m_File(Widen(file)),
      m_Line(line) {}

GLIB_Exception::GLIB_Exception(std::uint32_t code, const GLIB_WStringList& params,
                               const wchar_t* message, const char* file, int line)
    : GLIB_Exception(code, message, file, line) {
  m_Params.assign(params.begin(), params.end());
}

GLIB_Exception::GLIB_Exception(std::uint32_t code, const GLIB_WStringVector& params,
                               const wchar_t* message, const char* file, int line)
    : GLIB_Exception(code, message, file, line) {
  m_Params = params;
}

GLIB_Exception::GLIB_Exception(const GLIB_Exception& other) = default;
GLIB_Exception& GLIB_Exception::operator=(const GLIB_Exception& other) = default;
GLIB_Exception::~GLIB_Exception() = default;

const wchar_t* GLIB_Exception::message() const {
  return m_Message.c_str();
}
GLIB_String GLIB_Exception::NMessage() const {
  return GLIB_WToNString(m_Message);
}
GLIB_WString GLIB_Exception::WMessage() const {
  return m_Message;
}

void GLIB_Exception::print(std::ostream& out) const {
  PrintRecord(*this, out, [](const GLIB_WString& text) { return GLIB_WToNString(text); });
}

void GLIB_Exception::print(std::wostream& out) const {
  PrintRecord(*this, out, [](const GLIB_WString& text) -> const GLIB_WString& { return text; });
}

GLIB_WString GLIB_Exception::getDetailParameter(unsigned int i) const {
  return i < m_Params.size() ? m_Params[i] : GLIB_WString();
}

GLIB_WStringList GLIB_Exception::getDetailParametersAsList() const {
  GLIB_WStringList list;
  list.assign(m_Params.begin(), m_Params.end());
  return list;
}

void GLIB_Exception::setMessage(const wchar_t* message) {
  m_Message = Copy(message);
}
void GLIB_Exception::setMessage(const char* message) {
  m_Message = Widen(message);
}

void GLIB_Exception::setDetailParameter(unsigned int i, const GLIB_String& param) {
  setDetailParameter(i, GLIB_NToWString(param).c_str());
}

void GLIB_Exception::setDetailParameter(unsigned int i, const wchar_t* param) {
  if (i >= m_Params.size()) {
    m_Params.resize(static_cast<std::size_t>(i) + 1);
  }
  m_Params[i] = Copy(param);
}

void GLIB_Exception::setDetailParameter(unsigned int i, const char* param) {
  setDetailParameter(i, Widen(param).c_str());
}

void GLIB_Exception::setCode(std::uint32_t code) {
  if (code != m_Code) {
    m_Code = code;
    m_Message.clear();
    m_Params.clear();
  }
}

void GLIB_Exception::set(std::uint32_t code, const char* message) {
  set(code, Widen(message).c_str());
}

void GLIB_Exception::set(std::uint32_t code, const wchar_t* message) {
  m_Message = Copy(message);
  if (code != m_Code) {
    m_Code = code;
    m_Params.clear();
  }
}

std::ostream& operator<<(std::ostream& out, const GLIB_FatalException& e) {
  return out << e.message().AsString();
}

std::wostream& operator<<(std::wostream& out, const GLIB_FatalException& e) {
  return out << e.message();
}

GLIB_DetailMessageFormattingFunctionPtr
GLIB_DetailMessageFormatter::getMessageFormattingCallback() {
  return GLIB_GlobalsInst().GetDetailMsgFmtPtr();
}

GLIB_DetailMessageFormattingFunctionPtr GLIB_DetailMessageFormatter::setMessageFormattingCallback(
    GLIB_DetailMessageFormattingFunctionPtr formatter) {
  if (formatter.IsNull()) {
    formatter = GLIB_DefaultMessageFormattingCallbackFunction;
  }
  GLIB_GlobalsInst globals;
  const GLIB_DetailMessageFormattingFunctionPtr previous = globals.GetDetailMsgFmtPtr();
  globals.SetDetailMsgFmtPtr(formatter);
  return previous;
}

GLIB_WString GLIB_DetailMessageFormatter::getFormattedMessage(std::uint32_t code,
                                                              const GLIB_WStringVector& params) {
  const GLIB_DetailMessageFormattingFunctionPtr formatter = GLIB_GlobalsInst().GetDetailMsgFmtPtr();
  if (formatter.IsNull()) {
    return GLIB_WString();
  }
  return formatter(code, params);
}
