// The Windows file system: one absolute, normalised path and, while a file is open, its Win32
// handle. All I/O is synchronous.
#pragma once

#if defined(_WIN32)

#include "GFIL/GFIL_FileSystem.h"

#include <windows.h>

class GFIL_FileSystemWin32 : public GFIL_FileSystem {
public:
  // Validates and normalises the path; throws GFIL_ERR_BAD_SPEC for a bad one.
  explicit GFIL_FileSystemWin32(const wchar_t* path);
  ~GFIL_FileSystemWin32() override;

  const void* PlatformSpecPtr() const override;
  void* PlatformHandle() const override;
  bool HasFileSpec() const override;
  bool FileSpecExists() const override;
  bool FileSpecIsAFolder() const override;
  bool FileSpecIsAFile() const override;
  bool FileSpecIsTheRoot() const override;
  GLIB_WString FileSpecName() const override;
  GFIL_FileSpec FileSpecParent() const override;
  bool FileSpecContains(const GLIB_WString& name) const override;
  GFIL_FileSpec FileSpecConcat(const GLIB_WString& name) const override;
  void Create(unsigned long flags) override;
  void Open(unsigned long flags) override;
  void Close() override;
  void RemoveFile() override;
  long long FileSize() const override;
  void SetFileSize(const long long& size) override;
  GFIL_DataBuffer ReadBuffer(const long long& offset) override;
  void PrimeForReading(const long long& offset, const long long& length) override;
  void CancelOutstandingReads() override;
  GFIL_DataBuffer AcquireWriteBuffer() override;
  void ReleaseBuffer(const GFIL_DataBuffer& buffer) override;
  void WriteBuffer(const GFIL_DataBuffer& buffer, const long long& offset) override;
  bool AreWritesPending() const override;
  void WaitForWriteCompletion() override;
  void FlushToDisk() override;
  GFIL_FileSpecVector FolderContents() const override;

  // False for names with characters Windows refuses and for device names (con, prn, aux, nul,
  // com<digit>, lpt<digit>) in any case, with or without an extension. The empty name is valid.
  bool IsPlatformNameValid(const GLIB_WString& name) const;
  // Whether something exists at the path; drive and share roots read as folders.
  static bool QueryAttributes(const GLIB_WString& path, DWORD* attributes);

  // Throws for a write that failed or wrote fewer bytes than asked (1158004 when the disk is
  // full, else 1158007).
  static void CheckWriteResult(bool succeeded, DWORD written, DWORD size, DWORD error,
                               const GLIB_WString& path);

private:
  void Normalise(const wchar_t* path);
  // The path of a child: one backslash between, none added after a root's own.
  GLIB_WString ChildPath(const GLIB_WString& name) const;
  // The full path, and where its last component starts in it.
  GLIB_WString SplitFullPath(std::size_t* filePart) const;
  void MoveTo(const long long& offset) const;
  GLIB_String PathText() const { return m_FullPath.AsString(); }

  GLIB_WString m_FullPath;
  HANDLE m_Handle;
};

#endif
