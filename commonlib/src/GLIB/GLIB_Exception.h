// The program's exceptions: GLIB_Exception (a numeric code, a developer message, the place of the
// throw and detail parameters for a user-facing text), GLIB_DerivedException<Tag> for modules
// whose failures are caught apart, GLIB_BadAllocException and GLIB_FatalException.
//
// Codes are a module base times 1000 plus a number within the module (1125xxx foundation,
// 1130xxx filters, 1158xxx file system, 1205xxx timing statistics, ...).
#pragma once

#include "GLIB/GLIB_String.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <ostream>

// A value that wraps one plain function and calls it through its call operator. A null function
// stands for "none"; callers test IsNull before calling.
template <class Signature>
class GLIB_PlainFunctionPtr;

template <class Result, class... Args>
class GLIB_PlainFunctionPtr<Result(Args...)> {
public:
  using Function = Result (*)(Args...);

  GLIB_PlainFunctionPtr(Function function = nullptr) : m_Function(function) {}

  Result operator()(Args... args) const { return m_Function(args...); }
  bool IsNull() const { return m_Function == nullptr; }
  Function Get() const { return m_Function; }

  friend bool operator==(const GLIB_PlainFunctionPtr& a, const GLIB_PlainFunctionPtr& b) {
    return a.m_Function == b.m_Function;
  }
  friend bool operator!=(const GLIB_PlainFunctionPtr& a, const GLIB_PlainFunctionPtr& b) {
    return a.m_Function != b.m_Function;
  }

private:
  Function m_Function;
};

// Turns a code and its detail parameters into a user-facing text.
using GLIB_DetailMessageFormattingFunctionPtr =
    GLIB_PlainFunctionPtr<GLIB_WString(std::uint32_t code, const GLIB_WStringVector& params)>;

// "( code = N; param[i] = 'text' ... )", leaving out empty parameters.
GLIB_WString GLIB_DefaultMessageFormattingCallbackFunction(std::uint32_t code,
                                                           const GLIB_WStringVector& params);

class GLIB_Exception {
public:
  GLIB_Exception();
  // Null message or file pointers stand for empty texts; narrow texts are widened with
  // GLIB_NToWString.
  GLIB_Exception(std::uint32_t code, const char* message, const char* file, int line);
  GLIB_Exception(std::uint32_t code, const GLIB_StringVector& params, const char* message,
                 const char* file, int line);
  GLIB_Exception(std::uint32_t code, const GLIB_StringList& params, const char* message,
                 const char* file, int line);
  GLIB_Exception(std::uint32_t code, const wchar_t* message, const char* file, int line);
  GLIB_Exception(std::uint32_t code, const GLIB_WStringList& params, const wchar_t* message,
                 const char* file, int line);
  GLIB_Exception(std::uint32_t code, const GLIB_WStringVector& params, const wchar_t* message,
                 const char* file, int line);
  GLIB_Exception(const GLIB_Exception& other);
  GLIB_Exception& operator=(const GLIB_Exception& other);
  virtual ~GLIB_Exception();

  // The developer message; points into this exception's own text.
  virtual const wchar_t* message() const;
  virtual GLIB_String NMessage() const;
  virtual GLIB_WString WMessage() const;
  // "code = N; developer-speak message = '...'; source file = ...; line number = N;
  // localized Message = '...'", each piece only when it has something to say; no line break.
  virtual void print(std::ostream& out) const;
  virtual void print(std::wostream& out) const;

  std::uint32_t code() const { return m_Code; }
  const GLIB_WString& sourceFile() const { return m_File; }
  int line() const { return m_Line; }

  // An empty string when i is past the end (the list does not grow).
  GLIB_WString getDetailParameter(unsigned int i) const;
  GLIB_WStringList getDetailParametersAsList() const;
  const GLIB_WStringVector& getDetailParameters() const { return m_Params; }

  void setMessage(const wchar_t* message);
  void setMessage(const char* message);
  // Grows the list with empty parameters up to i when needed.
  void setDetailParameter(unsigned int i, const GLIB_String& param);
  void setDetailParameter(unsigned int i, const wchar_t* param);
  void setDetailParameter(unsigned int i, const char* param);
  // A different code clears the message and the parameters; the same code changes nothing.
  void setCode(std::uint32_t code);
  // Replaces the message; a different code then clears the parameters (not the new message).
  void set(std::uint32_t code, const char* message);
  void set(std::uint32_t code, const wchar_t* message);

private:
  std::uint32_t m_Code;
  GLIB_WString m_Message;
  GLIB_WString m_File;
  int m_Line;
  GLIB_WStringVector m_Params;
};

// A module's own exception type, so that its failures can be caught apart; Tag is an empty
// struct named after the module.
template <class Tag>
class GLIB_DerivedException : public GLIB_Exception {
public:
  GLIB_DerivedException(std::uint32_t code, const char* message, const char* file, int line)
      : GLIB_Exception(code, message, file, line) {}
  GLIB_DerivedException(std::uint32_t code, const GLIB_StringVector& params, const char* message,
                        const char* file, int line)
      : GLIB_Exception(code, params, message, file, line) {}
};

// A failed allocation: the requested size and the place of the allocating statement. file must
// be a static text (a literal); it is not copied.
class GLIB_BadAllocException : public std::bad_alloc {
public:
  GLIB_BadAllocException(std::size_t size, const char* file, int line)
      : m_Size(size),
        m_File(file),
        m_Line(line) {}

  std::size_t requestedSize() const { return m_Size; }
  const char* file() const { return m_File; }
  int line() const { return m_Line; }

private:
  std::size_t m_Size;
  const char* m_File;
  int m_Line;
};

// Ends a FATAL log message; carries its own copy of the text.
class GLIB_FatalException {
public:
  explicit GLIB_FatalException(const wchar_t* message) : m_Message(message ? message : L"") {}

  const GLIB_WString& message() const { return m_Message; }

private:
  GLIB_WString m_Message;
};

// Write the message only (narrow form on a narrow stream).
std::ostream& operator<<(std::ostream& out, const GLIB_FatalException& e);
std::wostream& operator<<(std::wostream& out, const GLIB_FatalException& e);

// The process-wide formatter of detail messages, kept in the globals.
class GLIB_DetailMessageFormatter {
public:
  static GLIB_DetailMessageFormattingFunctionPtr getMessageFormattingCallback();
  // A null formatter installs the default one. Returns the formatter it replaced.
  static GLIB_DetailMessageFormattingFunctionPtr
  setMessageFormattingCallback(GLIB_DetailMessageFormattingFunctionPtr formatter);
  // Calls the current formatter outside the globals lock; no formatter gives an empty text.
  static GLIB_WString getFormattedMessage(std::uint32_t code, const GLIB_WStringVector& params);

  GLIB_DetailMessageFormatter() = delete;
};
