#include "FILT/FILT_FilterBuffer.h"

#include <algorithm>
#include <cstring>

FILT_FilterBuffer::FILT_FilterBuffer(unsigned char* data, unsigned int size, BufferOwner owner) {
  Wrap(data, size, owner);
}

FILT_FilterBuffer::FILT_FilterBuffer(unsigned int size) {
  Wrap(nullptr, size, kBufferOwnsBuffer);
}

FILT_FilterBuffer::~FILT_FilterBuffer() {
  ReleaseBuffer();
}

void FILT_FilterBuffer::Wrap(unsigned char* data, unsigned int size, BufferOwner owner) {
  if (data == nullptr && size > 0) {
    data = new unsigned char[size];
    owner = kBufferOwnsBuffer;
  }
  m_Start = data;
  m_End = data == nullptr ? nullptr : data + size;
  m_Read = m_Write = m_Start;
  m_Removed = m_Added = m_Offset = 0;
  m_Done = false;
  m_Owner = owner;
}

void FILT_FilterBuffer::SetBuffer(unsigned char* data, unsigned int size, BufferOwner owner) {
  ReleaseBuffer();
  Wrap(data, size, owner);
}

void FILT_FilterBuffer::ReleaseBuffer() {
  if (m_Owner == kBufferOwnsBuffer) {
    delete[] m_Start;
    m_Start = m_End = m_Read = m_Write = nullptr;
  }
  m_Removed = m_Added = m_Offset = 0;
}

void FILT_FilterBuffer::Empty() {
  EmptyNoReset();
  m_Removed = m_Added = 0;
}

void FILT_FilterBuffer::EmptyNoReset() {
  m_Offset += static_cast<std::uint32_t>(m_Read - m_Start);
  m_Read = m_Write = m_Start;
  m_Done = false;
}

void FILT_FilterBuffer::AddBytes(unsigned int n) {
  m_Write += n;
  m_Added += n;
  m_Removed = 0;
}

void FILT_FilterBuffer::RemoveBytes(unsigned int n) {
  m_Read += n;
  m_Removed += n;
  m_Added = 0;
}

unsigned int FILT_FilterBuffer::CopyInto(FILT_FilterBuffer& dest) {
  unsigned int const n = std::min(DataSize(), dest.FreeSpace());
  if (n == 0)
    return 0;
  std::memcpy(dest.m_Write, m_Read, n);
  RemoveBytes(n);
  dest.AddBytes(n);
  return n;
}
