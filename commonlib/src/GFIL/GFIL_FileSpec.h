// A GFIL_FileSpec names one file or folder without saying how the platform names it: it holds a
// counted reference to the platform's GFIL_FileSystem object. Specs are values; copies share
// the object.
#pragma once

#include "GLIB/GLIB_String.h"

#include <ostream>
#include <vector>

class GFIL_FileSystem;
class GFIL_FileSpec;

using GFIL_FileSpecVector = std::vector<GFIL_FileSpec>;

class GFIL_FileSpec {
public:
  GFIL_FileSpec();
  // Takes the object and counts it.
  explicit GFIL_FileSpec(GFIL_FileSystem* fileSystem);
  GFIL_FileSpec(const GFIL_FileSpec& other);
  GFIL_FileSpec& operator=(const GFIL_FileSpec& other);
  ~GFIL_FileSpec();

  // Releases the held object and counts the new one (nothing when it is already held).
  void SetFileSystemImplPtr(GFIL_FileSystem* fileSystem);
  GFIL_FileSystem* FileSystemImplPtr() const { return m_FileSystem; }

  // These answer false for a spec without file system.
  bool HasSpec() const;
  bool Exists() const;
  bool IsAFolder() const;
  bool IsTheRoot() const;

  // These need a file system.
  GLIB_WString Name() const;
  GFIL_FileSpec Parent() const;
  GFIL_FileSpecVector FolderContents() const;
  // The spec of the child of that name (which need not exist).
  GFIL_FileSpec Concat(const GLIB_WString& name) const;

private:
  GFIL_FileSystem* m_FileSystem;
};

// Writes the platform path (narrow); nothing for a spec that names nothing.
std::ostream& operator<<(std::ostream& out, const GFIL_FileSpec& spec);
