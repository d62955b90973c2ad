#include "FILT/FILT_FilterBuffer.h"

#include <algorithm>
#include <cstring>

FILT_FilterBuffer::FILT_FilterBuffer(unsigned char* data, unsigned int size, BufferOwner owner)
{
    Wrap(data, size, owner);
}

FILT_FilterBuffer::FILT_FilterBuffer(unsigned int size)
{
    Wrap(nullptr, size, kBufferOwnsBuffer);
}

FILT_FilterBuffer::~FILT_FilterBuffer()
{
    ReleaseBuffer();
}

void FILT_FilterBuffer::Wrap(unsigned char* data, unsigned int size, BufferOwner owner)
{
    if (data == nullptr && size > 0)
    {
        data = new unsigned char[size];
        owner = kBufferOwnsBuffer;
    }
    m_start = data;
    m_end = data == nullptr ? nullptr : data + size;
    m_read = m_write = m_start;
    m_removed = m_added = m_offset = 0;
    m_done = false;
    m_owner = owner;
}

void FILT_FilterBuffer::SetBuffer(unsigned char* data, unsigned int size, BufferOwner owner)
{
    ReleaseBuffer();
    Wrap(data, size, owner);
}

void FILT_FilterBuffer::ReleaseBuffer()
{
    if (m_owner == kBufferOwnsBuffer)
    {
        delete[] m_start;
        m_start = m_end = m_read = m_write = nullptr;
    }
    m_removed = m_added = m_offset = 0;
}

void FILT_FilterBuffer::Empty()
{
    EmptyNoReset();
    m_removed = m_added = 0;
}

void FILT_FilterBuffer::EmptyNoReset()
{
    m_offset += static_cast<std::uint32_t>(m_read - m_start);
    m_read = m_write = m_start;
    m_done = false;
}

void FILT_FilterBuffer::AddBytes(unsigned int n)
{
    m_write += n;
    m_added += n;
    m_removed = 0;
}

void FILT_FilterBuffer::RemoveBytes(unsigned int n)
{
    m_read += n;
    m_removed += n;
    m_added = 0;
}

unsigned int FILT_FilterBuffer::CopyInto(FILT_FilterBuffer& dest)
{
    unsigned int const n = std::min(DataSize(), dest.FreeSpace());
    if (n == 0)
        return 0;
    std::memcpy(dest.m_write, m_read, n);
    RemoveBytes(n);
    dest.AddBytes(n);
    return n;
}
