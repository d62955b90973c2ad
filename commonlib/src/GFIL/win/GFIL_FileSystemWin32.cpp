#include "GFIL/win/GFIL_FileSystemWin32.h"

#include "GFIL/win/GFIL_FileSpecWin32.h"
#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_New.h"
#include "GLIB/win/GLIB_WinUtil.h"

#include <cstdio>
#include <cwctype>
#include <string>

namespace {

constexpr DWORD kPathBufferLength = 260;

GLIB_String Quoted(const GLIB_String& text) {
  return "\"" + text + "\"";
}

GLIB_String ErrorText(DWORD error) {
  return GLIB_GetWinErrorString(error);
}

GLIB_String LastErrorText() {
  return ErrorText(GetLastError());
}

bool IsReservedDeviceName(const GLIB_WString& name) {
  // The device is reserved whatever follows a dot (con.txt opens the console too).
  GLIB_WString base = name.substr(0, name.find(L'.'));
  while (!base.empty() && base.back() == L' ')
    base.pop_back();
  GLIB_WString lower;
  for (wchar_t c : base)
    lower += static_cast<wchar_t>(std::towlower(c));
  if (lower == L"aux" || lower == L"con" || lower == L"prn" || lower == L"nul")
    return true;
  return lower.size() == 4 &&
         (lower.compare(0, 3, L"lpt") == 0 || lower.compare(0, 3, L"com") == 0) &&
         std::iswdigit(lower[3]);
}

// Trailing backslashes go; a drive root keeps its one.
GLIB_WString WithoutTrailingBackslashes(GLIB_WString path) {
  while (!path.empty() && path.back() == L'\\')
    path.pop_back();
  if (path.size() == 2 && path[1] == L':')
    path += L'\\';
  return path;
}

// A drive root already ends in a backslash; a second one would make an empty component.
GLIB_WString WithSeparator(const GLIB_WString& folder) {
  bool endsInSeparator = !folder.empty() && folder.back() == L'\\';
  return folder + (endsInSeparator ? L"" : L"\\");
}

// What CreateFileW is asked for, from the open flags Create and Open share.
struct OpenRequest {
  DWORD access = 0;
  DWORD share = 0;
  DWORD attributes = 0;
};

OpenRequest RequestFor(unsigned long flags) {
  OpenRequest request;
  if (flags & GFIL_FileSystem::OPEN_READABLE)
    request.access |= GENERIC_READ;
  if (flags & GFIL_FileSystem::OPEN_WRITABLE)
    request.access |= GENERIC_WRITE;
  const bool shared = (flags & GFIL_FileSystem::OPEN_SHARED) != 0;
  if (shared) {
    if (flags & GFIL_FileSystem::OPEN_READABLE)
      request.share |= FILE_SHARE_READ;
    if (flags & GFIL_FileSystem::OPEN_WRITABLE)
      request.share |= FILE_SHARE_WRITE;
  }
  request.attributes = shared ? FILE_FLAG_RANDOM_ACCESS : FILE_FLAG_SEQUENTIAL_SCAN;
  return request;
}

// The failures every call naming a file can meet: it is missing, or someone else holds it.
void ThrowIfMissingOrBusy(DWORD error, const GLIB_String& path) {
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
    GFIL_THROW(GFIL_ERR_NOT_FOUND, "Unable to find the file " + path + "; " + ErrorText(error));
  if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
      error == ERROR_LOCK_VIOLATION)
    GFIL_THROW(GFIL_ERR_BUSY_OR_LOCKED,
               "The file " + path + " is busy or locked; " + ErrorText(error));
}

[[noreturn]] void ThrowUnknownFileError(const char* verb, DWORD error, const GLIB_String& path) {
  GFIL_THROW(GFIL_ERR_PLATFORM, GLIB_String("Unable to ") + verb + " the file " + path +
                                    ". An unknown error occured; " + ErrorText(error));
}

// GetFullPathNameW into a buffer of 261; false when it fails or does not fit.
bool FullPathName(const GLIB_WString& path, GLIB_WString* full, std::size_t* filePart) {
  wchar_t buffer[kPathBufferLength + 1];
  wchar_t* part = nullptr;
  DWORD length = GetFullPathNameW(path.c_str(), kPathBufferLength, buffer, &part);
  if (length == 0 || length > kPathBufferLength)
    return false;
  *full = GLIB_WString(buffer, length);
  if (filePart)
    *filePart = part ? static_cast<std::size_t>(part - buffer) : length;
  return true;
}

}  // namespace

GFIL_FileSystemWin32::GFIL_FileSystemWin32(const wchar_t* path) : m_Handle(nullptr) {
  Normalise(path ? path : L"");
}

void GFIL_FileSystemWin32::Normalise(const wchar_t* path) {
  GLIB_WString full;
  if (!FullPathName(path, &full, nullptr))
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "The path " + Quoted(GLIB_WToNString(path)) +
                                      " cannot be expanded;" + LastErrorText());
  const GLIB_String shown = full.AsString();
  for (wchar_t& c : full) {
    if (c == L'/')
      c = L'\\';
    if (c == L'<' || c == L'>' || c == L'*' || c == L'"' || c == L'|')
      GFIL_THROW(GFIL_ERR_BAD_SPEC, "The path " + Quoted(shown) +
                                        " contains the invalid character \"" +
                                        GLIB_WString(1, c).AsString() + "\"");
    if (c < 32) {
      char code[16];
      std::snprintf(code, sizeof code, "%x", static_cast<unsigned>(c));
      GFIL_THROW(GFIL_ERR_BAD_SPEC, "The path " + Quoted(shown) +
                                        " contains the invalid character 0x" + GLIB_String(code));
    }
  }
  for (std::size_t i = 0; i < full.size(); ++i) {
    if (full[i] == L':' && i != 1)
      GFIL_THROW(GFIL_ERR_BAD_SPEC, "The path " + Quoted(shown) + " cannot contain \":\"");
  }
  std::size_t start = 0;
  if (full.size() > 1 && full[1] == L':') {
    if (!std::iswalpha(full[0]) || full.size() < 3 || full[2] != L'\\')
      GFIL_THROW(GFIL_ERR_BAD_SPEC,
                 "The path " + Quoted(shown) + " isn't using the \"[A-Z]:\\\" format");
    start = 3;
  } else if (!full.empty() && full[0] == L'\\') {
    if (full.size() < 2 || full[1] != L'\\')
      GFIL_THROW(GFIL_ERR_BAD_SPEC,
                 "The path " + Quoted(shown) + " isn't using the \"\\\" UNC format");
    start = 2;
  }
  while (true) {
    std::size_t end = full.find(L'\\', start);
    GLIB_WString component =
        full.substr(start, end == GLIB_WString::npos ? GLIB_WString::npos : end - start);
    if (end != GLIB_WString::npos && component.empty())
      GFIL_THROW(GFIL_ERR_BAD_SPEC, "The path " + Quoted(shown) +
                                        " contains an empty name component at pos " +
                                        GLIB_String(std::to_string(start)));
    if (!IsPlatformNameValid(component))
      GFIL_THROW(GFIL_ERR_BAD_SPEC, "The path " + Quoted(shown) +
                                        " contains an invalid name component " +
                                        Quoted(component.AsString()));
    if (end == GLIB_WString::npos)
      break;
    start = end + 1;
  }
  m_FullPath = WithoutTrailingBackslashes(full);
}

GFIL_FileSystemWin32::~GFIL_FileSystemWin32() = default;

bool GFIL_FileSystemWin32::IsPlatformNameValid(const GLIB_WString& name) const {
  for (wchar_t c : name) {
    if (c < 32 || GLIB_WString(L"<>*:/\"\\").find(c) != GLIB_WString::npos)
      return false;
  }
  return !IsReservedDeviceName(name);
}

bool GFIL_FileSystemWin32::QueryAttributes(const GLIB_WString& path, DWORD* attributes) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(path.c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    if (attributes)
      *attributes = data.dwFileAttributes;
    FindClose(find);
    return true;
  }
  // Roots cannot be found by themselves; one that holds something is a folder.
  GLIB_WString pattern = path + (!path.empty() && path.back() == L'\\' ? L"*" : L"\\*");
  find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE)
    return false;
  if (attributes)
    *attributes = FILE_ATTRIBUTE_DIRECTORY;
  FindClose(find);
  return true;
}

const void* GFIL_FileSystemWin32::PlatformSpecPtr() const {
  return &m_FullPath;
}

void* GFIL_FileSystemWin32::PlatformHandle() const {
  return m_Handle;
}

bool GFIL_FileSystemWin32::HasFileSpec() const {
  return !m_FullPath.empty();
}

bool GFIL_FileSystemWin32::FileSpecExists() const {
  return QueryAttributes(m_FullPath, nullptr);
}

bool GFIL_FileSystemWin32::FileSpecIsAFolder() const {
  DWORD attributes = 0;
  return QueryAttributes(m_FullPath, &attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool GFIL_FileSystemWin32::FileSpecIsAFile() const {
  DWORD attributes = 0;
  return QueryAttributes(m_FullPath, &attributes) && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool GFIL_FileSystemWin32::FileSpecIsTheRoot() const {
  const GLIB_WString& p = m_FullPath;
  if (p.size() == 3 && std::iswalpha(p[0]) && p[1] == L':' && p[2] == L'\\')
    return true;
  if (p.size() >= 2 && p[0] == L'\\' && p[1] == L'\\') {
    std::size_t backslashes = 0;
    for (wchar_t c : p)
      backslashes += c == L'\\';
    return backslashes <= 3;
  }
  return false;
}

GLIB_WString GFIL_FileSystemWin32::SplitFullPath(std::size_t* filePart) const {
  GLIB_WString full;
  if (!FullPathName(m_FullPath, &full, filePart))
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "The path " + Quoted(PathText()) +
                                      " cannot be divided into its parent and child parts; " +
                                      LastErrorText());
  return full;
}

GLIB_WString GFIL_FileSystemWin32::FileSpecName() const {
  if (FileSpecIsTheRoot())
    return m_FullPath;
  std::size_t filePart = 0;
  const GLIB_WString full = SplitFullPath(&filePart);
  return full.substr(filePart);
}

GFIL_FileSpec GFIL_FileSystemWin32::FileSpecParent() const {
  if (FileSpecIsTheRoot())
    GFIL_THROW(GFIL_ERR_BAD_SPEC,
               "The spec " + Quoted(PathText()) + " is the root object; cannot retrieve a parent.");
  std::size_t filePart = 0;
  const GLIB_WString full = SplitFullPath(&filePart);
  return GFIL_FileSpecWin32(WithoutTrailingBackslashes(full.substr(0, filePart)));
}

GLIB_WString GFIL_FileSystemWin32::ChildPath(const GLIB_WString& name) const {
  if (!IsPlatformNameValid(name))
    GFIL_THROW(GFIL_ERR_BAD_SPEC,
               "The name " + Quoted(name.AsString()) + " is invalid for the Win32 platform.");
  return WithSeparator(m_FullPath) + name;
}

bool GFIL_FileSystemWin32::FileSpecContains(const GLIB_WString& name) const {
  return QueryAttributes(ChildPath(name), nullptr);
}

GFIL_FileSpec GFIL_FileSystemWin32::FileSpecConcat(const GLIB_WString& name) const {
  return GFIL_FileSpecWin32(ChildPath(name));
}

void GFIL_FileSystemWin32::Create(unsigned long flags) {
  OpenRequest request = RequestFor(flags);
  if (flags & CREATE_TEMPORARY)
    request.attributes |= FILE_ATTRIBUTE_TEMPORARY;
  HANDLE handle = CreateFileW(m_FullPath.c_str(), request.access, request.share, nullptr,
                              (flags & CREATE_OVERWRITE) ? CREATE_ALWAYS : CREATE_NEW,
                              request.attributes, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    const GLIB_String path = Quoted(PathText());
    ThrowIfMissingOrBusy(error, path);
    if (error == ERROR_FILE_EXISTS)
      GFIL_THROW(GFIL_ERR_ALREADY_EXISTS, "Unable to create the file " + path +
                                              " because it already exists; " + ErrorText(error));
    ThrowUnknownFileError("create", error, path);
  }
  m_Handle = handle;
  NoteCreateFlags(flags);
  NoteOpened(flags);
}

void GFIL_FileSystemWin32::Open(unsigned long flags) {
  OpenRequest request = RequestFor(flags);
  HANDLE handle = CreateFileW(m_FullPath.c_str(), request.access, request.share, nullptr,
                              OPEN_EXISTING, request.attributes, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    const GLIB_String path = Quoted(PathText());
    ThrowIfMissingOrBusy(error, path);
    if (error == ERROR_INVALID_NAME)
      GFIL_THROW(GFIL_ERR_BAD_SPEC, "Invalid file name " + path + "; " + ErrorText(error));
    ThrowUnknownFileError("open", error, path);
  }
  m_Handle = handle;
  NoteOpened(flags);
}

void GFIL_FileSystemWin32::Close() {
  if (!IsOpen())
    return;
  if (!CloseHandle(m_Handle)) {
    GLIB_String message = "CloseHandle() caused an internal error; " + LastErrorText();
    GLIB_LogMessage::Log(GLIB_SEVERITY_ERROR, message.c_str(), __FILE__, __LINE__);
  }
  m_Handle = nullptr;
  NoteClosed();
}

void GFIL_FileSystemWin32::RemoveFile() {
  if (DeleteFileW(m_FullPath.c_str()))
    return;
  DWORD error = GetLastError();
  const GLIB_String path = Quoted(PathText());
  ThrowIfMissingOrBusy(error, path);
  ThrowUnknownFileError("delete", error, path);
}

long long GFIL_FileSystemWin32::FileSize() const {
  DWORD high = 0;
  SetLastError(NO_ERROR);
  DWORD low = GetFileSize(m_Handle, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
    GFIL_THROW(GFIL_ERR_PLATFORM, "An unknown error occured; " + LastErrorText());
  return static_cast<long long>((static_cast<unsigned long long>(high) << 32) | low);
}

void GFIL_FileSystemWin32::MoveTo(const long long& offset) const {
  if (static_cast<unsigned long long>(offset) > (1ULL << 63))
    GLIB_LogMessage::Log(GLIB_SEVERITY_FATAL, "Win32 cannot support file offsets greater than 2^63",
                         __FILE__, __LINE__);
  auto position = static_cast<unsigned long long>(offset);
  LONG high = static_cast<LONG>(position >> 32);
  SetLastError(NO_ERROR);
  DWORD result =
      SetFilePointer(m_Handle, static_cast<LONG>(position & 0xFFFFFFFFu), &high, FILE_BEGIN);
  if (result == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
    GFIL_THROW(GFIL_ERR_PLATFORM, GLIB_String("An unknown error occured during ") +
                                      "SetFilePointer(); " + LastErrorText());
}

void GFIL_FileSystemWin32::SetFileSize(const long long& size) {
  MoveTo(size);
  if (SetEndOfFile(m_Handle))
    return;
  DWORD error = GetLastError();
  if (error == ERROR_HANDLE_DISK_FULL || error == ERROR_DISK_FULL)
    GFIL_THROW(GFIL_ERR_DISK_FULL, "The target disk is full; " + ErrorText(error));
  GFIL_THROW(GFIL_ERR_PLATFORM, "An unknown error occured; " + ErrorText(error));
}

GFIL_DataBuffer GFIL_FileSystemWin32::ReadBuffer(const long long& offset) {
  GFIL_DataBuffer buffer = AcquireWriteBuffer();  // given back by its destructor on a throw
  buffer.ClearBuffer();
  MoveTo(offset);
  DWORD wanted = buffer.Capacity() - buffer.DataOffset();
  DWORD read = 0;
  if (!ReadFile(m_Handle, buffer.Data(), wanted, &read, nullptr)) {
    DWORD error = GetLastError();
    if (error != ERROR_HANDLE_EOF)
      GFIL_THROW(GFIL_ERR_PLATFORM, GLIB_String("An unknown error occured during ") +
                                        "ReadFile() ; " + ErrorText(error));
    buffer.SetEndOfFile(true);
  }
  buffer.SetDataSize(read);
  if (read < wanted)
    buffer.SetEndOfFile(true);
  return buffer;
}

void GFIL_FileSystemWin32::PrimeForReading(const long long&, const long long&) {}

void GFIL_FileSystemWin32::CancelOutstandingReads() {}

GFIL_DataBuffer GFIL_FileSystemWin32::AcquireWriteBuffer() {
  unsigned long size = EffectiveDataBufferSize();
  auto* memory = static_cast<unsigned char*>(operator new(size, __LINE__, __FILE__));
  return MakeDataBuffer(memory, size);
}

void GFIL_FileSystemWin32::ReleaseBuffer(const GFIL_DataBuffer& buffer) {
  operator delete(BufferMemoryPtr(buffer));
  ClearDataBuffer(buffer);
}

void GFIL_FileSystemWin32::CheckWriteResult(bool succeeded, DWORD written, DWORD size, DWORD error,
                                            const GLIB_WString& path) {
  if (succeeded && written == size)
    return;
  if (error == ERROR_HANDLE_DISK_FULL || error == ERROR_DISK_FULL)
    GFIL_THROW(GFIL_ERR_DISK_FULL, "The target disk is full; " + ErrorText(error));
  if (!succeeded)
    GFIL_THROW(GFIL_ERR_PLATFORM, GLIB_String("An unknown error occured during ") +
                                      "WriteFile(); " + ErrorText(error));
  GFIL_THROW(GFIL_ERR_PLATFORM, "Only " + GLIB_String(std::to_string(written)) + " of " +
                                    GLIB_String(std::to_string(size)) +
                                    " bytes were written to the file " + Quoted(path.AsString()) +
                                    "; " + ErrorText(error));
}

void GFIL_FileSystemWin32::WriteBuffer(const GFIL_DataBuffer& buffer, const long long& offset) {
  MoveTo(offset);
  const DWORD size = buffer.DataSize();
  DWORD written = 0;
  SetLastError(NO_ERROR);
  bool succeeded = WriteFile(m_Handle, buffer.Data(), size, &written, nullptr) != 0;
  DWORD error = GetLastError();
  // The buffer goes back in either case; a short write is a failure.
  ReleaseBuffer(buffer);
  CheckWriteResult(succeeded, written, size, error, m_FullPath);
}

bool GFIL_FileSystemWin32::AreWritesPending() const {
  return false;
}

void GFIL_FileSystemWin32::WaitForWriteCompletion() {}

void GFIL_FileSystemWin32::FlushToDisk() {
  if (FlushFileBuffers(m_Handle))
    return;
  GLIB_String message = "FlushFileBuffers() generated an error; " + LastErrorText();
  GLIB_LogMessage::Log(GLIB_SEVERITY_ERROR, message.c_str(), __FILE__, __LINE__);
}

GFIL_FileSpecVector GFIL_FileSystemWin32::FolderContents() const {
  GFIL_FileSpecVector contents;
  GLIB_WString prefix = WithSeparator(m_FullPath);
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((prefix + L"*.*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE)
    return contents;
  struct FindCloser {
    HANDLE find;
    ~FindCloser() { FindClose(find); }
  } closer{find};
  do {
    const DWORD flags = NORM_IGNORECASE | NORM_IGNOREWIDTH;
    if (CompareStringW(LOCALE_SYSTEM_DEFAULT, flags, data.cFileName, -1, L"..", -1) == CSTR_EQUAL ||
        CompareStringW(LOCALE_SYSTEM_DEFAULT, flags, data.cFileName, -1, L".", -1) == CSTR_EQUAL)
      continue;
    contents.push_back(GFIL_FileSpecWin32(prefix + data.cFileName));
  } while (FindNextFileW(find, &data));
  return contents;
}
