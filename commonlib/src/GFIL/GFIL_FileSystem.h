// The platform's side of a GFIL_FileSpec: one reference-counted object that knows the item, answers
// questions about it, opens it and moves bytes in GFIL_DataBuffers. The Mac implementation is
// GFIL_FileSystemMacOS, the Windows one GFIL_FileSystemWin32; both are synchronous.
#pragma once

#include "GFIL/GFIL_DataBuffer.h"
#include "GFIL/GFIL_Exception.h"
#include "GFIL/GFIL_FileSpec.h"
#include "GLIB/GLIB_String.h"

#include <atomic>
#include <cstdint>

class GFIL_FileSystem {
public:
  static const unsigned long CREATE_OVERWRITE = 0x1;
  static const unsigned long CREATE_TEMPORARY = 0x2;
  static const unsigned long MASK_ALL_CREATE_FLAGS = 0xFF;
  static const unsigned long OPEN_READABLE = 0x10000;
  static const unsigned long OPEN_WRITABLE = 0x20000;
  static const unsigned long OPEN_SHARED = 0x100000;
  static const unsigned long MASK_ALL_OPEN_FLAGS = 0xFF0000;

  static unsigned long DefaultDataBufferSize();
  static void SetDefaultDataBufferSize(unsigned long size);

  GFIL_FileSystem(const GFIL_FileSystem&) = delete;
  GFIL_FileSystem& operator=(const GFIL_FileSystem&) = delete;
  virtual ~GFIL_FileSystem();

  // The platform's own name of the item (Mac: the CFURLRef field; Windows: the full path).
  virtual const void* PlatformSpecPtr() const = 0;
  // The open file's platform handle (Mac: pointer to the fork number; Windows: the HANDLE).
  virtual void* PlatformHandle() const = 0;
  virtual bool HasFileSpec() const = 0;
  virtual bool FileSpecExists() const = 0;
  virtual bool FileSpecIsAFolder() const = 0;
  virtual bool FileSpecIsAFile() const = 0;
  virtual bool FileSpecIsTheRoot() const = 0;
  virtual GLIB_WString FileSpecName() const = 0;
  // A root throws GFIL_ERR_BAD_SPEC.
  virtual GFIL_FileSpec FileSpecParent() const = 0;
  virtual bool FileSpecContains(const GLIB_WString& name) const = 0;
  virtual GFIL_FileSpec FileSpecConcat(const GLIB_WString& name) const = 0;
  // Replaces an existing file only with CREATE_OVERWRITE; opens the new file with the flags.
  virtual void Create(unsigned long flags) = 0;
  virtual void Open(unsigned long flags) = 0;
  // Never throws; failures are logged.
  virtual void Close() = 0;
  virtual void RemoveFile() = 0;
  virtual long long FileSize() const = 0;
  virtual void SetFileSize(const long long& size) = 0;
  // At most one buffer of data from the offset; end-of-file flag set when the end was reached.
  virtual GFIL_DataBuffer ReadBuffer(const long long& offset) = 0;
  virtual void PrimeForReading(const long long& offset, const long long& length) = 0;
  virtual void CancelOutstandingReads() = 0;
  virtual GFIL_DataBuffer AcquireWriteBuffer() = 0;
  // Frees the buffer's memory and makes the buffer forget it.
  virtual void ReleaseBuffer(const GFIL_DataBuffer& buffer) = 0;
  virtual void WriteBuffer(const GFIL_DataBuffer& buffer, const long long& offset) = 0;
  virtual bool AreWritesPending() const = 0;
  virtual void WaitForWriteCompletion() = 0;
  // Never throws; failures are logged.
  virtual void FlushToDisk() = 0;
  // The folder's items, one level, no particular order.
  virtual GFIL_FileSpecVector FolderContents() const = 0;

  // The counts are atomic: specs naming one file are copied and released on the tile workers
  // while other threads hold them too.
  // Releases one reference held at *holder; the last one deletes the object and nulls *holder.
  static void RemoveReference(GFIL_FileSystem** holder);
  void AddReference() { m_ReferenceCount.fetch_add(1, std::memory_order_relaxed); }
  std::uint32_t ReferenceCount() const { return m_ReferenceCount.load(); }

  void IncrementHandleCount() { m_OpenHandleCount.fetch_add(1, std::memory_order_relaxed); }
  // The last handle closes the file, and removes it when it was created temporary.
  void DecrementHandleCount();
  std::uint32_t OpenHandleCount() const { return m_OpenHandleCount.load(); }

  bool IsOpen() const { return m_IsOpen != 0; }
  std::uint32_t Flags() const { return m_Flags; }
  // 0 means DefaultDataBufferSize().
  std::uint32_t DataBufferSize() const { return m_DataBufferSize; }
  void SetDataBufferSize(std::uint32_t size) { m_DataBufferSize = size; }

protected:
  GFIL_FileSystem();

  // The buffer size in effect for this item.
  unsigned long EffectiveDataBufferSize() const;
  GFIL_DataBuffer MakeDataBuffer(unsigned char* memory, unsigned long size);
  void ClearDataBuffer(const GFIL_DataBuffer& buffer);
  unsigned char* BufferMemoryPtr(const GFIL_DataBuffer& buffer) const;

  // After a successful Create: the create byte becomes the flags', the open bits stay (the Open
  // that follows sets them).
  void NoteCreateFlags(unsigned long flags);
  // After a successful Open: the create byte stays, the open bits become the flags'.
  void NoteOpened(unsigned long flags);
  void NoteClosed() { m_IsOpen = 0; }

private:
  static unsigned long sm_DefaultBufferSize;

  std::atomic<std::uint32_t> m_ReferenceCount;
  std::atomic<std::uint32_t> m_OpenHandleCount;
  std::uint32_t m_IsOpen;
  std::uint32_t m_Flags;
  std::uint32_t m_DataBufferSize;
};
