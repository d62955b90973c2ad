#include "TIFX/TIFX_Exception.h"

#include <cstdio>

TIFX_Exception::TIFX_Exception(unsigned int code, char const* message, char const* file, int line)
    : m_Code(code),
      m_Message(message ? message : ""),
      m_File(file ? file : ""),
      m_Line(line) {}

TIFX_Exception::~TIFX_Exception() = default;

char const* TIFX_Exception::what() const noexcept {
  return m_Message.c_str();
}

std::uint32_t TIFX_Exception::code() const {
  return m_Code;
}

TIFX_FileIOException::TIFX_FileIOException(char const*, char const* message, char const* file,
                                           int line)
    : TIFX_Exception(kTIFX_FileIOError, message, file, line) {}

TIFX_FileIOException::~TIFX_FileIOException() = default;

namespace {

std::string TagNotFoundText(unsigned long tag, unsigned short directory) {
  char text[96];
  std::snprintf(text, sizeof text, "Tag #%u not found in current directory (%u)",
                static_cast<unsigned>(tag), static_cast<unsigned>(directory));
  return text;
}

}  // namespace

TIFX_TagNotFoundException::TIFX_TagNotFoundException(unsigned long tag, unsigned short directory,
                                                     char const* file, int line)
    : TIFX_Exception(kTIFX_TagNotFound, TagNotFoundText(tag, directory).c_str(), file, line) {}

TIFX_TagNotFoundException::~TIFX_TagNotFoundException() = default;
