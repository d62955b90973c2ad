#include "GFIL/GFIL_FileSpec.h"

#include "GFIL/GFIL_FileSystem.h"
#include "GFIL/GFIL_Utils.h"

GFIL_FileSpec::GFIL_FileSpec() : m_FileSystem(nullptr) {}

GFIL_FileSpec::GFIL_FileSpec(GFIL_FileSystem* fileSystem) : m_FileSystem(nullptr) {
  SetFileSystemImplPtr(fileSystem);
}

GFIL_FileSpec::GFIL_FileSpec(const GFIL_FileSpec& other) : m_FileSystem(nullptr) {
  SetFileSystemImplPtr(other.m_FileSystem);
}

GFIL_FileSpec& GFIL_FileSpec::operator=(const GFIL_FileSpec& other) {
  if (&other != this)
    SetFileSystemImplPtr(other.m_FileSystem);
  return *this;
}

GFIL_FileSpec::~GFIL_FileSpec() {
  GFIL_FileSystem::RemoveReference(&m_FileSystem);
}

void GFIL_FileSpec::SetFileSystemImplPtr(GFIL_FileSystem* fileSystem) {
  if (fileSystem == m_FileSystem)
    return;
  // Count the new object first: releasing the old one may release the last holder of the new.
  if (fileSystem)
    fileSystem->AddReference();
  GFIL_FileSystem::RemoveReference(&m_FileSystem);
  m_FileSystem = fileSystem;
}

bool GFIL_FileSpec::HasSpec() const {
  return m_FileSystem && m_FileSystem->HasFileSpec();
}

bool GFIL_FileSpec::Exists() const {
  return HasSpec() && m_FileSystem->FileSpecExists();
}

bool GFIL_FileSpec::IsAFolder() const {
  return HasSpec() && m_FileSystem->FileSpecIsAFolder();
}

bool GFIL_FileSpec::IsTheRoot() const {
  return HasSpec() && m_FileSystem->FileSpecIsTheRoot();
}

GLIB_WString GFIL_FileSpec::Name() const {
  return m_FileSystem->FileSpecName();
}

GFIL_FileSpec GFIL_FileSpec::Parent() const {
  return m_FileSystem->FileSpecParent();
}

GFIL_FileSpecVector GFIL_FileSpec::FolderContents() const {
  return m_FileSystem->FolderContents();
}

GFIL_FileSpec GFIL_FileSpec::Concat(const GLIB_WString& name) const {
  return m_FileSystem->FileSpecConcat(name);
}

std::ostream& operator<<(std::ostream& out, const GFIL_FileSpec& spec) {
  if (spec.HasSpec())
    out << GFIL_PlatformPathFromSpec(spec).AsString();
  return out;
}
