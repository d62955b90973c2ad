// A block of memory lent by a GFIL_FileSystem, with the stretch of valid data in it and an
// end-of-file flag. Ownership moves on copy and assignment (the source is left empty); the
// destructor gives the memory back to the lending file system.
#pragma once

#include <cstdint>

class GFIL_FileSystem;

class GFIL_DataBuffer {
public:
  GFIL_DataBuffer();
  // Counts the owner.
  GFIL_DataBuffer(GFIL_FileSystem* owner, unsigned char* memory, unsigned long capacity);
  // Both move: the source gives up owner, memory and every field.
  GFIL_DataBuffer(const GFIL_DataBuffer& source);
  GFIL_DataBuffer& operator=(const GFIL_DataBuffer& source);
  ~GFIL_DataBuffer();

  GFIL_FileSystem* Owner() const { return m_Owner; }
  unsigned char* Memory() const { return m_Memory; }
  std::uint32_t Capacity() const { return m_Capacity; }
  std::uint32_t DataOffset() const { return m_DataOffset; }
  std::uint32_t DataSize() const { return m_DataSize; }
  // The first byte of valid data.
  unsigned char* Data() const { return m_Memory + m_DataOffset; }
  bool IsEndOfFile() const { return m_EndOfFile != 0; }
  void SetEndOfFile(bool endOfFile) { m_EndOfFile = endOfFile ? 1 : 0; }

  void SetDataSize(unsigned long size);
  void SetData(unsigned long offset, unsigned long size);
  // Drops n bytes from the front of the data; returns n.
  unsigned long ConsumeData(unsigned long n);
  // Offset, data size and end-of-file flag to 0.
  void ClearBuffer();
  // Releases the owner and zeroes every field without freeing the memory.
  void ForgetBuffer() const;
  // Gives the memory back to its owner, releases the owner and zeroes every field.
  void Release();

private:
  void TakeFrom(const GFIL_DataBuffer& source);

  mutable GFIL_FileSystem* m_Owner;
  mutable unsigned char* m_Memory;
  mutable std::uint32_t m_Capacity;
  mutable std::uint32_t m_DataOffset;
  mutable std::uint32_t m_DataSize;
  mutable std::uint8_t m_EndOfFile;
};
