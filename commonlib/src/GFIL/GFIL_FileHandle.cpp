#include "GFIL/GFIL_FileHandle.h"

#include "GFIL/GFIL_FileSystem.h"
#include "GLIB/GLIB_LogMessage.h"

GFIL_FileHandle::GFIL_FileHandle() : m_Position(0), m_FileSystem(nullptr) {}

GFIL_FileHandle::GFIL_FileHandle(const GFIL_FileSpec& spec) : GFIL_FileHandle() {
  SetFileSpec(spec);
}

GFIL_FileHandle::GFIL_FileHandle(const GFIL_FileHandle& other)
    : m_Position(0),
      m_FileSystem(other.m_FileSystem) {
  if (m_FileSystem) {
    m_FileSystem->AddReference();
    m_FileSystem->IncrementHandleCount();
  }
}

GFIL_FileHandle& GFIL_FileHandle::operator=(const GFIL_FileHandle& other) {
  if (&other == this)
    return *this;
  GFIL_FileSystem* taken = other.m_FileSystem;
  if (taken) {
    taken->AddReference();
    taken->IncrementHandleCount();
  }
  GiveUpFile();
  m_FileSystem = taken;
  return *this;
}

GFIL_FileHandle::~GFIL_FileHandle() {
  // A destructor must not throw: a temporary file that cannot be removed is only logged.
  try {
    GiveUpFile();
  } catch (const GLIB_Exception& e) {
    GLIB_LogMessage::Log(GLIB_SEVERITY_ERROR, e.message(), __FILE__, __LINE__);
  }
}

void GFIL_FileHandle::GiveUpFile() {
  if (m_FileSystem == nullptr)
    return;
  GFIL_FileSystem* fileSystem = m_FileSystem;
  m_FileSystem = nullptr;
  // Release the reference even when removing a temporary file throws.
  struct Releaser {
    GFIL_FileSystem* fs;
    ~Releaser() { GFIL_FileSystem::RemoveReference(&fs); }
  } releaser{fileSystem};
  fileSystem->DecrementHandleCount();
}

void GFIL_FileHandle::SetFileSpec(const GFIL_FileSpec& spec) {
  GFIL_FileSystem* taken = spec.FileSystemImplPtr();
  if (taken) {
    taken->AddReference();
    taken->IncrementHandleCount();
  }
  GiveUpFile();
  m_FileSystem = taken;
}

void GFIL_FileHandle::Create(unsigned long flags) {
  m_FileSystem->Create(flags);
}

void GFIL_FileHandle::Open(unsigned long flags) {
  m_FileSystem->Open(flags);
}

GFIL_DataBuffer GFIL_FileHandle::ReadBuffer() {
  GFIL_DataBuffer buffer = m_FileSystem->ReadBuffer(m_Position);
  m_Position += buffer.DataSize();
  return buffer;
}

void GFIL_FileHandle::WriteBuffer(const GFIL_DataBuffer& buffer) {
  // Read the size first: a platform may give the buffer back once written.
  long long size = buffer.DataSize();
  m_FileSystem->WriteBuffer(buffer, m_Position);
  m_Position += size;
}
