// PowerPlant X of the Mac stand-in: the framework's exception for a failed system call.
#pragma once
#include <MacTypes.h>

#include <stdexcept>
#include <string>

namespace PPx {

class OSError : public std::runtime_error {
public:
  OSError(OSStatus status, const std::string& text) : std::runtime_error(text), m_Status(status) {}
  OSStatus GetStatus() const { return m_Status; }

private:
  OSStatus m_Status;
};

// A call made out of order (such as making a second system object where one is held); its code
// is the four-character 'logc'.
class LogicError : public std::logic_error {
public:
  static constexpr SInt32 kCode = 0x6c6f6763;  // 'logc'
  explicit LogicError(const std::string& text, SInt32 code = kCode)
      : std::logic_error(text),
        m_Code(code) {}
  SInt32 GetCode() const { return m_Code; }

private:
  SInt32 m_Code;
};

// The framework's exception for a failure of the program's own logic, with a four-character
// code.
class RuntimeError : public std::runtime_error {
public:
  RuntimeError(OSType code, const std::string& text) : std::runtime_error(text), m_Code(code) {}
  OSType GetCode() const { return m_Code; }

private:
  OSType m_Code;
};

// Throws OSError(status, text) when status is not noErr.
inline void ThrowIfOSStatus(OSStatus status, const char* text) {
  if (status != noErr)
    throw OSError(status, text);
}

}  // namespace PPx
