#include "GFIL/GFIL_FileSystem.h"

unsigned long GFIL_FileSystem::sm_DefaultBufferSize = 32768;

unsigned long GFIL_FileSystem::DefaultDataBufferSize() { return sm_DefaultBufferSize; }

void GFIL_FileSystem::SetDefaultDataBufferSize(unsigned long size) { sm_DefaultBufferSize = size; }

GFIL_FileSystem::GFIL_FileSystem()
    : m_referenceCount(0), m_openHandleCount(0), m_isOpen(0), m_flags(0), m_dataBufferSize(0) {}

GFIL_FileSystem::~GFIL_FileSystem() = default;

void GFIL_FileSystem::RemoveReference(GFIL_FileSystem** holder) {
  GFIL_FileSystem* fileSystem = *holder;
  if (fileSystem == nullptr) return;
  if (--fileSystem->m_referenceCount == 0) {
    *holder = nullptr;
    delete fileSystem;
  }
}

void GFIL_FileSystem::DecrementHandleCount() {
  if (--m_openHandleCount != 0) return;
  Close();
  if (m_flags & CREATE_TEMPORARY) RemoveFile();
}

unsigned long GFIL_FileSystem::EffectiveDataBufferSize() const {
  return m_dataBufferSize != 0 ? m_dataBufferSize : DefaultDataBufferSize();
}

GFIL_DataBuffer GFIL_FileSystem::MakeDataBuffer(unsigned char* memory, unsigned long size) {
  return GFIL_DataBuffer(this, memory, size);
}

void GFIL_FileSystem::ClearDataBuffer(const GFIL_DataBuffer& buffer) { buffer.ForgetBuffer(); }

unsigned char* GFIL_FileSystem::BufferMemoryPtr(const GFIL_DataBuffer& buffer) const {
  return buffer.Memory();
}

void GFIL_FileSystem::NoteCreateFlags(unsigned long flags) {
  m_flags = static_cast<std::uint32_t>((flags & MASK_ALL_CREATE_FLAGS) |
                                       (m_flags & MASK_ALL_OPEN_FLAGS));
}

void GFIL_FileSystem::NoteOpened(unsigned long flags) {
  m_flags = static_cast<std::uint32_t>((m_flags & MASK_ALL_CREATE_FLAGS) |
                                       (flags & MASK_ALL_OPEN_FLAGS));
  m_isOpen = 1;
}
