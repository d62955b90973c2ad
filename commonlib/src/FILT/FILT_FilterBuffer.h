#pragma once
#include <cstdint>

// A window of bytes between a producer and a consumer: data is [read, write), free space is
// [write, end). Counters tell the other side what happened since it last looked.
class FILT_FilterBuffer {
public:
  enum BufferOwner {
    kCallerOwnsBuffer = 0,
    kBufferOwnsBuffer = 1
  };

  // Null data with a size allocates storage that the buffer owns, whatever owner says.
  FILT_FilterBuffer(unsigned char* data, unsigned int size, BufferOwner owner);
  explicit FILT_FilterBuffer(unsigned int size);
  ~FILT_FilterBuffer();

  FILT_FilterBuffer(FILT_FilterBuffer const&) = delete;
  FILT_FilterBuffer& operator=(FILT_FilterBuffer const&) = delete;

  void SetBuffer(unsigned char* data, unsigned int size, BufferOwner owner);
  void ReleaseBuffer();

  void Empty();
  void EmptyNoReset();

  void AddBytes(unsigned int n);
  void RemoveBytes(unsigned int n);
  unsigned int CopyInto(FILT_FilterBuffer& dest);

  unsigned char* GetStart() const { return m_Start; }
  unsigned char* GetReadPtr() const { return m_Read; }
  unsigned char* GetWritePtr() const { return m_Write; }
  unsigned int GetSize() const { return static_cast<unsigned int>(m_End - m_Start); }
  unsigned int DataSize() const { return static_cast<unsigned int>(m_Write - m_Read); }
  unsigned int FreeSpace() const { return static_cast<unsigned int>(m_End - m_Write); }
  bool IsFull() const { return m_Write == m_End; }

  std::uint32_t GetRemoved() const { return m_Removed; }
  std::uint32_t GetAdded() const { return m_Added; }
  std::uint32_t GetOffset() const { return m_Offset; }
  BufferOwner GetOwner() const { return m_Owner; }

  void SetDone(bool done) { m_Done = done; }
  bool GetDoneFlag() const { return m_Done; }
  // End of data reached: no more bytes will come and none are left.
  bool IsDone() const { return m_Done && m_Read == m_Write; }

private:
  void Wrap(unsigned char* data, unsigned int size, BufferOwner owner);

  unsigned char* m_Start = nullptr;
  std::uint32_t m_Removed = 0;
  std::uint32_t m_Added = 0;
  std::uint32_t m_Offset = 0;
  bool m_Done = false;
  unsigned char* m_End = nullptr;
  unsigned char* m_Read = nullptr;
  unsigned char* m_Write = nullptr;
  BufferOwner m_Owner = kCallerOwnsBuffer;
};
