#include "GFIL/GFIL_DataBuffer.h"

#include "GFIL/GFIL_FileSystem.h"

GFIL_DataBuffer::GFIL_DataBuffer()
    : m_owner(nullptr), m_memory(nullptr), m_capacity(0), m_dataOffset(0), m_dataSize(0),
      m_endOfFile(0) {}

GFIL_DataBuffer::GFIL_DataBuffer(GFIL_FileSystem* owner, unsigned char* memory,
                                 unsigned long capacity)
    : m_owner(owner), m_memory(memory), m_capacity(static_cast<std::uint32_t>(capacity)),
      m_dataOffset(0), m_dataSize(0), m_endOfFile(0) {
  if (m_owner) m_owner->AddReference();
}

GFIL_DataBuffer::GFIL_DataBuffer(const GFIL_DataBuffer& source) : GFIL_DataBuffer() {
  TakeFrom(source);
}

GFIL_DataBuffer& GFIL_DataBuffer::operator=(const GFIL_DataBuffer& source) {
  if (&source == this) return *this;
  Release();
  TakeFrom(source);
  return *this;
}

GFIL_DataBuffer::~GFIL_DataBuffer() { Release(); }

void GFIL_DataBuffer::TakeFrom(const GFIL_DataBuffer& source) {
  m_owner = source.m_owner;
  m_memory = source.m_memory;
  m_capacity = source.m_capacity;
  m_dataOffset = source.m_dataOffset;
  m_dataSize = source.m_dataSize;
  m_endOfFile = source.m_endOfFile;
  // The reference moves with the memory, so the source is emptied without releasing it.
  source.m_owner = nullptr;
  source.m_memory = nullptr;
  source.m_capacity = source.m_dataOffset = source.m_dataSize = 0;
  source.m_endOfFile = 0;
}

void GFIL_DataBuffer::SetDataSize(unsigned long size) {
  m_dataSize = static_cast<std::uint32_t>(size);
}

void GFIL_DataBuffer::SetData(unsigned long offset, unsigned long size) {
  m_dataOffset = static_cast<std::uint32_t>(offset);
  m_dataSize = static_cast<std::uint32_t>(size);
}

unsigned long GFIL_DataBuffer::ConsumeData(unsigned long n) {
  m_dataOffset += static_cast<std::uint32_t>(n);
  m_dataSize -= static_cast<std::uint32_t>(n);
  return n;
}

void GFIL_DataBuffer::ClearBuffer() {
  m_dataOffset = 0;
  m_dataSize = 0;
  m_endOfFile = 0;
}

void GFIL_DataBuffer::ForgetBuffer() const {
  GFIL_FileSystem* owner = m_owner;
  m_owner = nullptr;
  m_memory = nullptr;
  m_capacity = m_dataOffset = m_dataSize = 0;
  m_endOfFile = 0;
  GFIL_FileSystem::RemoveReference(&owner);
}

void GFIL_DataBuffer::Release() {
  if (m_memory != nullptr && m_owner != nullptr) {
    // Hold the owner across the call: this buffer's reference may be the last one.
    GFIL_FileSystem* owner = m_owner;
    owner->AddReference();
    owner->ReleaseBuffer(*this);
    GFIL_FileSystem::RemoveReference(&owner);
  }
  ForgetBuffer();
}
