// Narrow text on the Mac is in the application text encoding; CoreFoundation converts it.
#include "GLIB/GLIB_New.h"
#include "GLIB/GLIB_String.h"

#include <Carbon/TextCommon.h>
#include <CoreFoundation/CFString.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

namespace {

wchar_t g_emptyWide[1] = {L'\0'};
char g_emptyNarrow[1] = {'\0'};

// Releases a CF object when the scope ends.
class ScopedCFRelease {
public:
  explicit ScopedCFRelease(CFTypeRef object) : m_Object(object) {}
  ~ScopedCFRelease() {
    if (m_Object != nullptr) {
      CFRelease(m_Object);
    }
  }
  ScopedCFRelease(const ScopedCFRelease&) = delete;
  ScopedCFRelease& operator=(const ScopedCFRelease&) = delete;

private:
  CFTypeRef m_Object;
};

}  // namespace

wchar_t* GLIB_StrMaxCpy(wchar_t* dst, const char* src, std::size_t size) {
  if (size == 0) {
    g_emptyWide[0] = L'\0';
    return g_emptyWide;
  }
  dst[0] = L'\0';
  if (src == nullptr) {
    return dst;
  }
  // Bytes that are not valid in the encoding give no string, hence an empty result.
  CFStringRef text =
      CFStringCreateWithCString(kCFAllocatorDefault, src, GetApplicationTextEncoding());
  if (text == nullptr) {
    return dst;
  }
  ScopedCFRelease releaseText(text);

  const std::size_t count = std::min(static_cast<std::size_t>(CFStringGetLength(text)), size - 1);
  if (count > 0) {
    GLIB_ScratchBuffer<UniChar> units(count, __LINE__, __FILE__);
    CFStringGetCharacters(text, CFRangeMake(0, static_cast<CFIndex>(count)), units.Get());
    for (std::size_t i = 0; i < count; ++i) {
      dst[i] = static_cast<wchar_t>(units.Get()[i]);
    }
  }
  dst[count] = L'\0';
  return dst;
}

char* GLIB_StrMaxCpy(char* dst, const wchar_t* src, std::size_t size) {
  if (size == 0) {
    g_emptyNarrow[0] = '\0';
    return g_emptyNarrow;
  }
  dst[0] = '\0';
  if (src == nullptr) {
    return dst;
  }
  // One UTF-16 unit per wide character: anything above U+FFFF keeps only its low 16 bits.
  const std::size_t length = std::wcslen(src);
  GLIB_ScratchBuffer<UniChar> units(length + 1, __LINE__, __FILE__);
  for (std::size_t i = 0; i < length; ++i) {
    units.Get()[i] = static_cast<UniChar>(static_cast<std::uint32_t>(src[i]) & 0xFFFFu);
  }
  CFStringRef text =
      CFStringCreateWithCharacters(kCFAllocatorDefault, units.Get(), static_cast<CFIndex>(length));
  if (text == nullptr) {
    return dst;
  }
  ScopedCFRelease releaseText(text);

  CFIndex used = 0;
  CFStringGetBytes(text, CFRangeMake(0, static_cast<CFIndex>(length)), GetApplicationTextEncoding(),
                   '?', false, reinterpret_cast<UInt8*>(dst), static_cast<CFIndex>(size - 1),
                   &used);
  dst[used] = '\0';
  return dst;
}

GLIB_WString GLIB_NToWString(const GLIB_String& text) {
  const std::size_t size = text.length() + 1;
  GLIB_ScratchBuffer<wchar_t> buffer(size, __LINE__, __FILE__);
  return GLIB_WString(GLIB_StrMaxCpy(buffer.Get(), text.c_str(), size));
}

GLIB_String GLIB_WToNString(const GLIB_WString& text) {
  const CFIndex maximum = CFStringGetMaximumSizeForEncoding(static_cast<CFIndex>(text.length()),
                                                            GetApplicationTextEncoding());
  const std::size_t size = static_cast<std::size_t>(maximum < 0 ? 0 : maximum) + 1;
  GLIB_ScratchBuffer<char> buffer(size, __LINE__, __FILE__);
  return GLIB_String(GLIB_StrMaxCpy(buffer.Get(), text.c_str(), size));
}

int iGLIB_PlatformVsnprintf(char* buf, std::size_t size, const char* format, va_list args) {
  return std::vsnprintf(buf, size, format, args);
}

int iGLIB_PlatformVsnprintf(wchar_t* buf, std::size_t size, const wchar_t* format, va_list args) {
  return std::vswprintf(buf, size, format, args);
}
