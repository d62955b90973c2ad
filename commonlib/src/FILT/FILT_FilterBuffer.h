#ifndef FILT_FILTERBUFFER_H
#define FILT_FILTERBUFFER_H

#include <cstdint>

// A window of bytes between a producer and a consumer: data is [read, write), free space is
// [write, end). Counters tell the other side what happened since it last looked.
class FILT_FilterBuffer
{
public:
    enum BufferOwner
    {
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

    unsigned char* GetStart() const { return m_start; }
    unsigned char* GetReadPtr() const { return m_read; }
    unsigned char* GetWritePtr() const { return m_write; }
    unsigned int GetSize() const { return static_cast<unsigned int>(m_end - m_start); }
    unsigned int DataSize() const { return static_cast<unsigned int>(m_write - m_read); }
    unsigned int FreeSpace() const { return static_cast<unsigned int>(m_end - m_write); }
    bool IsFull() const { return m_write == m_end; }

    std::uint32_t GetRemoved() const { return m_removed; }
    std::uint32_t GetAdded() const { return m_added; }
    std::uint32_t GetOffset() const { return m_offset; }
    BufferOwner GetOwner() const { return m_owner; }

    void SetDone(bool done) { m_done = done; }
    bool GetDoneFlag() const { return m_done; }
    // End of data reached: no more bytes will come and none are left.
    bool IsDone() const { return m_done && m_read == m_write; }

private:
    void Wrap(unsigned char* data, unsigned int size, BufferOwner owner);

    unsigned char* m_start = nullptr;
    std::uint32_t m_removed = 0;
    std::uint32_t m_added = 0;
    std::uint32_t m_offset = 0;
    bool m_done = false;
    unsigned char* m_end = nullptr;
    unsigned char* m_read = nullptr;
    unsigned char* m_write = nullptr;
    BufferOwner m_owner = kCallerOwnsBuffer;
};

#endif
