#include "GFIL/GFIL_FileSpec.h"

#include "GFIL/GFIL_FileSystem.h"
#include "GFIL/GFIL_Utils.h"

GFIL_FileSpec::GFIL_FileSpec() : m_fileSystem(nullptr) {}

GFIL_FileSpec::GFIL_FileSpec(GFIL_FileSystem* fileSystem) : m_fileSystem(nullptr) {
  SetFileSystemImplPtr(fileSystem);
}

GFIL_FileSpec::GFIL_FileSpec(const GFIL_FileSpec& other) : m_fileSystem(nullptr) {
  SetFileSystemImplPtr(other.m_fileSystem);
}

GFIL_FileSpec& GFIL_FileSpec::operator=(const GFIL_FileSpec& other) {
  if (&other != this) SetFileSystemImplPtr(other.m_fileSystem);
  return *this;
}

GFIL_FileSpec::~GFIL_FileSpec() { GFIL_FileSystem::RemoveReference(&m_fileSystem); }

void GFIL_FileSpec::SetFileSystemImplPtr(GFIL_FileSystem* fileSystem) {
  if (fileSystem == m_fileSystem) return;
  // Count the new object first: releasing the old one may release the last holder of the new.
  if (fileSystem) fileSystem->AddReference();
  GFIL_FileSystem::RemoveReference(&m_fileSystem);
  m_fileSystem = fileSystem;
}

bool GFIL_FileSpec::HasSpec() const { return m_fileSystem && m_fileSystem->HasFileSpec(); }

bool GFIL_FileSpec::Exists() const { return HasSpec() && m_fileSystem->FileSpecExists(); }

bool GFIL_FileSpec::IsAFolder() const { return HasSpec() && m_fileSystem->FileSpecIsAFolder(); }

bool GFIL_FileSpec::IsTheRoot() const { return HasSpec() && m_fileSystem->FileSpecIsTheRoot(); }

GLIB_WString GFIL_FileSpec::Name() const { return m_fileSystem->FileSpecName(); }

GFIL_FileSpec GFIL_FileSpec::Parent() const { return m_fileSystem->FileSpecParent(); }

GFIL_FileSpecVector GFIL_FileSpec::FolderContents() const {
  return m_fileSystem->FolderContents();
}

GFIL_FileSpec GFIL_FileSpec::Concat(const GLIB_WString& name) const {
  return m_fileSystem->FileSpecConcat(name);
}

std::ostream& operator<<(std::ostream& out, const GFIL_FileSpec& spec) {
  if (spec.HasSpec()) out << GFIL_PlatformPathFromSpec(spec).AsString();
  return out;
}
