#include "WTLU/WTLU_FileDialog.h"

#include <algorithm>
#include <cstdio>

#include "GFIL/win/GFIL_FileSpecWin32.h"

namespace {

// The length of a filter list including its final extra 0, or 0 for none.
std::size_t FilterLength(const wchar_t* filter) {
  if (filter == nullptr || filter[0] == L'\0') {
    return 0;
  }
  std::size_t i = 0;
  while (filter[i] != L'\0' || filter[i + 1] != L'\0') {
    ++i;
  }
  return i + 2;
}

const wchar_t* TextOrNull(const std::wstring& text, const wchar_t* given) {
  return given ? text.c_str() : nullptr;
}

// The string starting at start, ending at its 0 or at the end of the buffer.
std::wstring StringAt(const wchar_t* buffer, std::size_t size, std::size_t start) {
  std::size_t end = start;
  while (end < size && buffer[end] != L'\0') {
    ++end;
  }
  return std::wstring(buffer + start, end - start);
}

}  // namespace

void WTLU_ParseFileList(const wchar_t* buffer, std::size_t size, GFIL_FileSpecVector& files) {
  files.clear();
  if (buffer == nullptr || size == 0) {
    return;
  }
  const std::wstring first = StringAt(buffer, size, 0);
  if (first.empty()) {
    return;
  }
  std::size_t next = first.size() + 1;
  if (next >= size || buffer[next] == L'\0') {
    files.push_back(GFIL_FileSpecWin32(first.c_str()));
    return;
  }
  // A folder, then the names in it.
  std::wstring folder = first;
  if (folder.back() == L'\\') {
    folder.pop_back();
  }
  while (next < size && buffer[next] != L'\0') {
    const std::wstring name = StringAt(buffer, size, next);
    files.push_back(GFIL_FileSpecWin32((folder + L'\\' + name).c_str()));
    next += name.size() + 1;
  }
}

WTLU_OpenFileName::WTLU_OpenFileName(HWND owner, const wchar_t* title, const wchar_t* initialFolder,
                                     const wchar_t* filter, const wchar_t* defaultExtension,
                                     DWORD flags, std::size_t bufferSize)
    : m_Owner(owner),
      m_Title(title ? title : L""),
      m_InitialFolder(initialFolder ? initialFolder : L""),
      m_Filter(filter ? filter : L"", FilterLength(filter)),
      m_DefaultExtension(defaultExtension ? defaultExtension : L""),
      m_BufferSize(std::max<std::size_t>(bufferSize, 1)),
      m_Buffer(std::make_unique<wchar_t[]>(m_BufferSize)) {
  // The structure's own size: 88 bytes is the 32-bit layout only.
  m_Ofn.lStructSize = sizeof(OPENFILENAMEW);
  m_Ofn.hwndOwner = owner;
  m_Ofn.hInstance = ATL::_AtlBaseModule.GetResourceInstance();
  m_Ofn.lpstrFilter = m_Filter.empty() ? nullptr : m_Filter.c_str();
  m_Ofn.lpstrCustomFilter = nullptr;
  m_Ofn.nFilterIndex = 0;
  m_Ofn.lpstrFile = m_Buffer.get();
  m_Ofn.nMaxFile = static_cast<DWORD>(std::min<std::size_t>(m_BufferSize, MAXDWORD));
  m_Ofn.lpstrFileTitle = nullptr;
  m_Ofn.lpstrInitialDir = TextOrNull(m_InitialFolder, initialFolder);
  m_Ofn.lpstrTitle = TextOrNull(m_Title, title);
  m_Ofn.lpstrDefExt = TextOrNull(m_DefaultExtension, defaultExtension);
  m_Ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
}

void WTLU_OpenFileName::PrepareRun(HWND parent) {
  m_Ofn.hwndOwner = m_Owner ? m_Owner : parent;
  std::fill(m_Buffer.get(), m_Buffer.get() + m_BufferSize, L'\0');
}

INT_PTR WTLU_OpenFileName::Outcome(BOOL confirmed, DWORD error) const {
  if (confirmed) {
    return IDOK;
  }
  if (error == 0) {
    return IDCANCEL;
  }
  char message[128] = {};
  if (error == FNERR_BUFFERTOOSMALL) {
    // The system put the size it needs in the buffer's first unit.
    std::snprintf(message, sizeof(message),
                  "GetOpenFileName() buffer too small (was %d, needed %d)",
                  static_cast<int>(m_Ofn.nMaxFile),
                  static_cast<int>(static_cast<unsigned short>(m_Buffer[0])));
  } else {
    std::snprintf(message, sizeof(message), "GetOpenFileName() failed with error code: %d",
                  static_cast<int>(error));
  }
  throw WTLU_Exception(error, message, __FILE__, __LINE__);
}

void WTLU_OpenFileName::GetFileSpecs(GFIL_FileSpecVector& files) const {
  WTLU_ParseFileList(m_Buffer.get(), m_BufferSize, files);
}
