// Narrow text on Windows is in the ANSI code page.
#include "GLIB/GLIB_New.h"
#include "GLIB/GLIB_String.h"

#include <windows.h>

#include <climits>
#include <cstdio>
#include <cwchar>

namespace {

wchar_t g_emptyWide[1] = {L'\0'};
char g_emptyNarrow[1] = {'\0'};

int ClampToInt(std::size_t size) {
  return size > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
}

}  // namespace

wchar_t* GLIB_StrMaxCpy(wchar_t* dst, const char* src, std::size_t size) {
  if (size == 0) {
    g_emptyWide[0] = L'\0';
    return g_emptyWide;
  }
  if (src == nullptr) {
    dst[0] = L'\0';
    return dst;
  }
  const int capacity = ClampToInt(size);
  if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, src, -1, dst, capacity) == 0) {
    if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
      dst[capacity - 1] = L'\0';
    } else {
      dst[0] = L'\0';
    }
  }
  return dst;
}

char* GLIB_StrMaxCpy(char* dst, const wchar_t* src, std::size_t size) {
  if (size == 0) {
    g_emptyNarrow[0] = '\0';
    return g_emptyNarrow;
  }
  if (src == nullptr) {
    dst[0] = '\0';
    return dst;
  }
  const int capacity = ClampToInt(size);
  BOOL usedDefault = FALSE;
  if (WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK | WC_SEPCHARS, src, -1, dst, capacity, "?",
                          &usedDefault) == 0) {
    if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
      dst[capacity - 1] = '\0';
    } else {
      dst[0] = '\0';
    }
  }
  return dst;
}

GLIB_WString GLIB_NToWString(const GLIB_String& text) {
  const std::size_t size = text.length() + 1;
  GLIB_ScratchBuffer<wchar_t> buffer(size, __LINE__, __FILE__);
  wchar_t* out = buffer.Get();
  const int capacity = ClampToInt(size);
  if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.c_str(), capacity, out, capacity) == 0) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
      return GLIB_WString();
    }
    out[capacity - 1] = L'\0';
  }
  return GLIB_WString(out);
}

GLIB_String GLIB_WToNString(const GLIB_WString& text) {
  // Enough for any code page's longest form of each unit.
  const std::size_t size = 6 * text.length() + 1;
  GLIB_ScratchBuffer<char> buffer(size, __LINE__, __FILE__);
  return GLIB_String(GLIB_StrMaxCpy(buffer.Get(), text.c_str(), size));
}

int iGLIB_PlatformVsnprintf(char* buf, std::size_t size, const char* format, va_list args) {
  return _vsnprintf(buf, size, format, args);
}

int iGLIB_PlatformVsnprintf(wchar_t* buf, std::size_t size, const wchar_t* format, va_list args) {
  return _vsnwprintf(buf, size, format, args);
}
