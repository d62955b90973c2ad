// Exceptions of the preview-file reader. They form their own family on std::exception, apart
// from GLIB_Exception, so that callers can tell a bad preview file from other failures.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

enum : std::uint32_t {
  kTIFX_TagNotFound = 1500001,
  kTIFX_FileIOError = 1500005
};

class TIFX_Exception : public std::exception {
public:
  // file must be a static text (a literal); it is not copied.
  TIFX_Exception(unsigned int code, char const* message, char const* file, int line);
  ~TIFX_Exception() override;

  char const* what() const noexcept override;
  virtual std::uint32_t code() const;

  char const* file() const { return m_File; }
  int line() const { return m_Line; }

private:
  std::uint32_t m_Code;
  std::string m_Message;
  char const* m_File;
  int m_Line;
};

// A file that cannot be opened or read; the message is the TIFF library's error text.
class TIFX_FileIOException : public TIFX_Exception {
public:
  // fileName is accepted for the caller's convenience and not kept.
  TIFX_FileIOException(char const* fileName, char const* message, char const* file, int line);
  ~TIFX_FileIOException() override;
};

class TIFX_TagNotFoundException : public TIFX_Exception {
public:
  TIFX_TagNotFoundException(unsigned long tag, unsigned short directory, char const* file,
                            int line);
  ~TIFX_TagNotFoundException() override;
};
