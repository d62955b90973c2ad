#include "GFIL/GFIL_DataBuffer.h"

#include "GFIL/GFIL_FileSystem.h"

GFIL_DataBuffer::GFIL_DataBuffer()
    : m_Owner(nullptr),
      m_Memory(nullptr),
      m_Capacity(0),
      m_DataOffset(0),
      m_DataSize(0),
      m_EndOfFile(0) {}

GFIL_DataBuffer::GFIL_DataBuffer(GFIL_FileSystem* owner, unsigned char* memory,
                                 unsigned long capacity)
    : m_Owner(owner),
      m_Memory(memory),
      m_Capacity(static_cast<std::uint32_t>(capacity)),
      m_DataOffset(0),
      m_DataSize(0),
      m_EndOfFile(0) {
  if (m_Owner)
    m_Owner->AddReference();
}

GFIL_DataBuffer::GFIL_DataBuffer(const GFIL_DataBuffer& source) : GFIL_DataBuffer() {
  TakeFrom(source);
}

GFIL_DataBuffer& GFIL_DataBuffer::operator=(const GFIL_DataBuffer& source) {
  if (&source == this)
    return *this;
  Release();
  TakeFrom(source);
  return *this;
}

GFIL_DataBuffer::~GFIL_DataBuffer() {
  Release();
}

void GFIL_DataBuffer::TakeFrom(const GFIL_DataBuffer& source) {
  m_Owner = source.m_Owner;
  m_Memory = source.m_Memory;
  m_Capacity = source.m_Capacity;
  m_DataOffset = source.m_DataOffset;
  m_DataSize = source.m_DataSize;
  m_EndOfFile = source.m_EndOfFile;
  // The reference moves with the memory, so the source is emptied without releasing it.
  source.m_Owner = nullptr;
  source.m_Memory = nullptr;
  source.m_Capacity = source.m_DataOffset = source.m_DataSize = 0;
  source.m_EndOfFile = 0;
}

void GFIL_DataBuffer::SetDataSize(unsigned long size) {
  m_DataSize = static_cast<std::uint32_t>(size);
}

void GFIL_DataBuffer::SetData(unsigned long offset, unsigned long size) {
  m_DataOffset = static_cast<std::uint32_t>(offset);
  m_DataSize = static_cast<std::uint32_t>(size);
}

unsigned long GFIL_DataBuffer::ConsumeData(unsigned long n) {
  m_DataOffset += static_cast<std::uint32_t>(n);
  m_DataSize -= static_cast<std::uint32_t>(n);
  return n;
}

void GFIL_DataBuffer::ClearBuffer() {
  m_DataOffset = 0;
  m_DataSize = 0;
  m_EndOfFile = 0;
}

void GFIL_DataBuffer::ForgetBuffer() const {
  GFIL_FileSystem* owner = m_Owner;
  m_Owner = nullptr;
  m_Memory = nullptr;
  m_Capacity = m_DataOffset = m_DataSize = 0;
  m_EndOfFile = 0;
  GFIL_FileSystem::RemoveReference(&owner);
}

void GFIL_DataBuffer::Release() {
  if (m_Memory != nullptr && m_Owner != nullptr) {
    // Hold the owner across the call: this buffer's reference may be the last one.
    GFIL_FileSystem* owner = m_Owner;
    owner->AddReference();
    owner->ReleaseBuffer(*this);
    GFIL_FileSystem::RemoveReference(&owner);
  }
  ForgetBuffer();
}
