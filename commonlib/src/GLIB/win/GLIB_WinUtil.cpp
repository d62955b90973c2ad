#include "GLIB/win/GLIB_WinUtil.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <cwchar>
#include <vector>

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_LogMessage.h"

namespace {

const std::uint32_t kIncompleteUncPathCode = 1125005;
const std::uint32_t kPathConversionCode = 1125006;
const wchar_t kOhmSign = 0x2126;
const wchar_t kCapitalOmega = 0x03A9;

int ClampToInt(std::size_t n) {
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

// The Windows code page of a selector; an unknown one is logged and gives false.
bool WindowsCodePage(GLIB_WinCodePage selector, const char* function, UINT& codePage) {
  switch (selector) {
    case WinWinLatin:
      codePage = CP_ACP;
      return true;
    case WinMacRoman:
      codePage = CP_MACCP;
      return true;
  }
  GLIB_OStringStream text;
  text << "Text conversion error: " << function << "() does not recognize the code page "
       << static_cast<int>(selector) << ". WinWinLatin and WinMacRoman are allowed.";
  GLIB_LogMessage::Log(GLIB_SEVERITY_ERROR, text.str().c_str(), __FILE__, __LINE__);
  return false;
}

// Runs convert(buffer, capacity) -> count of a terminated conversion into out. When out is too
// small, the text is converted in full into a temporary buffer and what fits is copied, so
// that out always holds a terminated beginning of the text. Returns the count written,
// terminator included, or 0 when the system cannot convert.
template <typename CharT, typename Convert>
std::size_t ConvertIntoBuffer(CharT* out, std::size_t size, Convert convert) {
  const int needed = convert(static_cast<CharT*>(nullptr), 0);
  if (needed <= 0) {
    *out = 0;
    return 0;
  }
  if (size >= static_cast<std::size_t>(needed)) {
    const int written = convert(out, ClampToInt(size));
    if (written <= 0)
      *out = 0;
    return written > 0 ? static_cast<std::size_t>(written) : 0;
  }
  std::vector<CharT> whole(static_cast<std::size_t>(needed));
  if (convert(whole.data(), needed) <= 0) {
    *out = 0;
    return 0;
  }
  std::size_t copied = 0;
  for (; copied + 1 < size && whole[copied] != 0; ++copied)
    out[copied] = whole[copied];
  out[copied] = 0;
  return copied + 1;
}

// ---------------------------------------------------------------------------------------------
// Narrow path from a wide path

// Builds the narrow ANSI form of one wide path, one segment at a time.
class NarrowPathBuilder {
public:
  NarrowPathBuilder(const wchar_t* path, char* out, int size)
      : m_Given(path),
        m_Path(path),
        m_Out(out),
        m_Room(size > 0 ? size - 1 : 0) {
    std::replace(m_Path.begin(), m_Path.end(), L'/', L'\\');
    if (size > 0)
      *m_Out = 0;
  }

  void Build() {
    if (m_Path.size() > MAX_PATH)
      Throw(kPathConversionCode, "Path is longer than MAX_PATH", m_Path, false);
    std::size_t restStart = 0;
    if (m_Path.compare(0, 2, L"\\\\") == 0) {
      restStart = AppendUncPrefix();
    } else if (m_Path.size() >= 2 && m_Path[1] == L':') {
      Append(Convert(m_Path.substr(0, 2)));
      restStart = 2;
      if (m_Path.size() > 2 && m_Path[2] == L'\\') {
        Append("\\");
        restStart = 3;
      }
    }
    if (restStart != GLIB_WString::npos)
      AppendComponents(restStart);
  }

private:
  // Appends \\server\share and the backslash after it; returns where the rest starts, or npos
  // when the path ends with the share.
  std::size_t AppendUncPrefix() {
    const std::size_t afterServer = m_Path.find(L'\\', 2);
    if (afterServer == GLIB_WString::npos) {
      GLIB_WStringVector params(1, m_Given);
      throw GLIB_Exception(kIncompleteUncPathCode, params, L"Incomplete UNC PathName", __FILE__,
                           __LINE__);
    }
    const std::size_t afterShare = m_Path.find(L'\\', afterServer + 1);
    Append(Convert(m_Path.substr(0, afterShare)));
    if (afterShare == GLIB_WString::npos)
      return GLIB_WString::npos;
    Append("\\");
    return afterShare + 1;
  }

  void AppendComponents(std::size_t start) {
    for (;;) {
      const std::size_t end = m_Path.find(L'\\', start);
      const GLIB_WString component = m_Path.substr(start, end - start);
      std::string narrow;
      if (!TryConvert(component, narrow))
        narrow = ShortNameOf(m_Path.substr(0, end));
      Append(narrow);
      if (end == GLIB_WString::npos)
        return;
      Append("\\");
      start = end + 1;
    }
  }

  // The short name of the last component of prefix, which has no exact ANSI form.
  std::string ShortNameOf(const GLIB_WString& prefix) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(prefix.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
      Throw(kPathConversionCode, "FindFirstFileW() failed", prefix, true);
    FindClose(search);
    const GLIB_WString shortName(found.cAlternateFileName);
    std::string narrow;
    if (shortName.empty() || !TryConvert(shortName, narrow))
      Throw(kPathConversionCode, "WideCharToMultiByte() failed", shortName, false);
    return narrow;
  }

  std::string Convert(const GLIB_WString& segment) {
    std::string narrow;
    if (!TryConvert(segment, narrow))
      Throw(kPathConversionCode, "WideCharToMultiByte() failed", segment, true);
    return narrow;
  }

  // True when the segment converts without the default character (at most MAX_PATH bytes).
  static bool TryConvert(const GLIB_WString& segment, std::string& narrow) {
    narrow.clear();
    if (segment.empty())
      return true;
    char buffer[MAX_PATH];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK | WC_SEPCHARS, segment.c_str(),
                                      static_cast<int>(segment.size()), buffer, MAX_PATH, nullptr,
                                      &usedDefault);
    if (n <= 0 || usedDefault)
      return false;
    narrow.assign(buffer, static_cast<std::size_t>(n));
    return true;
  }

  // Appends what fits into the room left; the output stays terminated.
  void Append(const std::string& text) {
    const std::size_t n = std::min(text.size(), m_Room - m_Length);
    std::memcpy(m_Out + m_Length, text.data(), n);
    m_Length += n;
    if (m_Room > 0)
      m_Out[m_Length] = 0;
  }

  [[noreturn]] void Throw(std::uint32_t code, const char* message, const GLIB_WString& segment,
                          bool withSystemError) {
    const DWORD error = GetLastError();
    GLIB_WStringVector params;
    params.push_back(m_Given);
    params.push_back(segment);
    if (withSystemError)
      params.push_back(GLIB_GetWinErrorWString(error));
    throw GLIB_Exception(code, params, GLIB_NToWString(message).c_str(), __FILE__, __LINE__);
  }

  const GLIB_WString m_Given;
  GLIB_WString m_Path;
  char* m_Out;
  std::size_t m_Room;
  std::size_t m_Length = 0;
};

bool ShortPathName(const GLIB_WString& path, GLIB_WString& shortPath, const wchar_t* failureText) {
  shortPath.clear();
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD n = GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  while (n > buffer.size()) {
    buffer.resize(n);
    n = GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  if (n == 0) {
    const DWORD error = GetLastError();
    GLIB_WOStringStream text;
    text << L"Failed to convert " << path << failureText << GLIB_GetWinErrorWString(error);
    GLIB_LogMessage::Log(GLIB_SEVERITY_WARNING, text.str().c_str(), __FILE__, __LINE__);
    return false;
  }
  shortPath.assign(buffer.data(), n);
  return true;
}

}  // namespace

std::size_t GLIB_StrNarrowToUTF16(const char* in, wchar_t* out, std::size_t size,
                                  GLIB_WinCodePage selector) {
  if (out == nullptr || size == 0)
    return 0;
  *out = 0;
  UINT codePage = CP_ACP;
  if (in == nullptr || size == 1 || !WindowsCodePage(selector, "GLIB_StrNarrowToUTF16", codePage))
    return 0;
  const int length = ClampToInt(std::strlen(in) + 1);
  const std::size_t count = ConvertIntoBuffer(out, size, [&](wchar_t* buffer, int capacity) {
    return MultiByteToWideChar(codePage, MB_PRECOMPOSED, in, length, buffer, capacity);
  });
  if (selector == WinMacRoman) {
    for (wchar_t* p = out; *p != 0; ++p) {
      if (*p == kOhmSign)
        *p = kCapitalOmega;
    }
  }
  return count;
}

std::size_t GLIB_StrUTF16ToNarrow(const wchar_t* in, char* out, std::size_t size,
                                  GLIB_WinCodePage selector) {
  if (out == nullptr || size == 0)
    return 0;
  *out = 0;
  UINT codePage = CP_ACP;
  if (in == nullptr || size == 1 || !WindowsCodePage(selector, "GLIB_StrUTF16ToNarrow", codePage))
    return 0;
  // The system's Mac Roman table knows the Omega only as the OHM SIGN.
  std::vector<wchar_t> copy(in, in + std::wcslen(in) + 1);
  if (selector == WinMacRoman)
    std::replace(copy.begin(), copy.end(), kCapitalOmega, kOhmSign);
  const int length = ClampToInt(copy.size());
  return ConvertIntoBuffer(out, size, [&](char* buffer, int capacity) {
    return WideCharToMultiByte(codePage, 0, copy.data(), length, buffer, capacity, nullptr,
                               nullptr);
  });
}

GLIB_WString GLIB_GetWinErrorWString(unsigned long code) {
  wchar_t* buffer = nullptr;
  // System texts may hold inserts (%1) for which no arguments exist here.
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                      reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  GLIB_WString text = length > 0 && buffer != nullptr
                          ? GLIB_WString(buffer, length)
                          : GLIB_WString(L"The error string could not be translated");
  if (buffer != nullptr && LocalFree(buffer) != nullptr) {
    GLIB_OStringStream warning;
    warning << "Failed to free buffer returned by FormatMessage() with LocalFree() - memory was "
               "leaked. Error = "
            << GetLastError();
    GLIB_LogMessage::Log(GLIB_SEVERITY_WARNING, warning.str().c_str(), __FILE__, __LINE__);
  }
  GLIB_WOStringStream result;
  result << text << L" (code: " << code << L")";
  return GLIB_WString(result.str());
}

GLIB_String GLIB_GetWinErrorString(unsigned long code) {
  return GLIB_WToNString(GLIB_GetWinErrorWString(code));
}

bool GLIB_GetShortPathName(const GLIB_WString& path, GLIB_WString* shortPath) {
  if (shortPath == nullptr)
    return false;
  return ShortPathName(path, *shortPath, L" to an equivalent full path: ");
}

bool GLIB_GetShortPathName(const GLIB_WString& path, GLIB_String* shortPath) {
  if (shortPath == nullptr)
    return false;
  shortPath->clear();
  GLIB_WString wide;
  if (!ShortPathName(path, wide, L" to an equivalent DOS 8.3 path: "))
    return false;
  *shortPath = GLIB_WToNString(wide);
  return true;
}

char* GLIB_NarrowPathFromWidePath(char* out, const wchar_t* path, int size) {
  if (out == nullptr || size <= 0)
    return out;
  NarrowPathBuilder(path != nullptr ? path : L"", out, size).Build();
  return out;
}
