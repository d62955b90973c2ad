// Keeps a file open while it exists: every handle on a file system counts as one open handle,
// and the last one to go closes the file (and removes a file created with CREATE_TEMPORARY).
// Reading and writing through a handle is sequential from its position.
#pragma once

#include "GFIL/GFIL_DataBuffer.h"
#include "GFIL/GFIL_FileSpec.h"

class GFIL_FileHandle {
public:
  GFIL_FileHandle();
  explicit GFIL_FileHandle(const GFIL_FileSpec& spec);
  // A new handle on the same file, at position 0.
  GFIL_FileHandle(const GFIL_FileHandle& other);
  // Takes the other's file; the position stays as it was.
  GFIL_FileHandle& operator=(const GFIL_FileHandle& other);
  ~GFIL_FileHandle();

  void SetFileSpec(const GFIL_FileSpec& spec);
  GFIL_FileSystem* FileSystem() const { return m_FileSystem; }

  void Create(unsigned long flags);
  void Open(unsigned long flags);

  long long Position() const { return m_Position; }
  void SetPosition(long long position) { m_Position = position; }

  // The next buffer from the position; the position moves on by its data size.
  GFIL_DataBuffer ReadBuffer();
  // Writes the buffer's data at the position and moves on by its data size.
  void WriteBuffer(const GFIL_DataBuffer& buffer);

private:
  void GiveUpFile();

  long long m_Position;
  GFIL_FileSystem* m_FileSystem;
};
