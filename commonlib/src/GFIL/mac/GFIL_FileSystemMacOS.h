// The Mac file system: names its item by a CFURL, converts to an FSRef whenever the File
// Manager needs one, and works synchronously on the item's data fork. Platform error numbers
// are mapped to the GFIL error codes.
#pragma once

#include "GFIL/GFIL_FileSystem.h"

#include <CoreFoundation/CFURL.h>
#include <CoreServices/Files.h>

class GFIL_FileSystemMacOS : public GFIL_FileSystem {
public:
  // Takes over the caller's reference to the URL.
  explicit GFIL_FileSystemMacOS(const CFURLRef& url);
  explicit GFIL_FileSystemMacOS(const FSRef& ref);
  // An FSSpec may name a file that does not exist yet.
  explicit GFIL_FileSystemMacOS(const FSSpec& spec);
  ~GFIL_FileSystemMacOS() override;

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

  // Throws GFIL_ERR_BAD_SPEC for an item that does not exist (it has no FSRef).
  FSRef AsFSRef() const;
  // The URL's string; messages name the item by it.
  GLIB_WString AsString() const;
  // At most 255 UTF-16 units and no ':'.
  bool IsPlatformNameValid(const GLIB_WString& name) const;
  bool IsPlatformNameValid(const GLIB_String& name) const;

private:
  // fnfErr when the item does not exist.
  OSErr FindFSRef(FSRef* ref) const;
  GLIB_String ItemText() const;

  CFURLRef m_Url;
  SInt16 m_ForkRefNum;
};
