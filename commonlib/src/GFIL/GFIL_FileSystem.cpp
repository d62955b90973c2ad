#include "GFIL/GFIL_FileSystem.h"

unsigned long GFIL_FileSystem::sm_DefaultBufferSize = 32768;

unsigned long GFIL_FileSystem::DefaultDataBufferSize() {
  return sm_DefaultBufferSize;
}

void GFIL_FileSystem::SetDefaultDataBufferSize(unsigned long size) {
  sm_DefaultBufferSize = size;
}

GFIL_FileSystem::GFIL_FileSystem()
    : m_ReferenceCount(0),
      m_OpenHandleCount(0),
      m_IsOpen(0),
      m_Flags(0),
      m_DataBufferSize(0) {}

GFIL_FileSystem::~GFIL_FileSystem() = default;

void GFIL_FileSystem::RemoveReference(GFIL_FileSystem** holder) {
  GFIL_FileSystem* fileSystem = *holder;
  if (fileSystem == nullptr)
    return;
  if (--fileSystem->m_ReferenceCount == 0) {
    *holder = nullptr;
    delete fileSystem;
  }
}

void GFIL_FileSystem::DecrementHandleCount() {
  if (--m_OpenHandleCount != 0)
    return;
  Close();
  if (m_Flags & CREATE_TEMPORARY)
    RemoveFile();
}

unsigned long GFIL_FileSystem::EffectiveDataBufferSize() const {
  return m_DataBufferSize != 0 ? m_DataBufferSize : DefaultDataBufferSize();
}

GFIL_DataBuffer GFIL_FileSystem::MakeDataBuffer(unsigned char* memory, unsigned long size) {
  return GFIL_DataBuffer(this, memory, size);
}

void GFIL_FileSystem::ClearDataBuffer(const GFIL_DataBuffer& buffer) {
  buffer.ForgetBuffer();
}

unsigned char* GFIL_FileSystem::BufferMemoryPtr(const GFIL_DataBuffer& buffer) const {
  return buffer.Memory();
}

void GFIL_FileSystem::NoteCreateFlags(unsigned long flags) {
  m_Flags =
      static_cast<std::uint32_t>((flags & MASK_ALL_CREATE_FLAGS) | (m_Flags & MASK_ALL_OPEN_FLAGS));
}

void GFIL_FileSystem::NoteOpened(unsigned long flags) {
  m_Flags =
      static_cast<std::uint32_t>((m_Flags & MASK_ALL_CREATE_FLAGS) | (flags & MASK_ALL_OPEN_FLAGS));
  m_IsOpen = 1;
}
