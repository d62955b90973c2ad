// Owns an alias record: copies clone it, the destructor disposes of it.
#pragma once

#include <CoreServices/Aliases.h>

#include <ostream>

class GFIL_AutoAliasHandle {
public:
  GFIL_AutoAliasHandle() : m_Handle(nullptr) {}
  GFIL_AutoAliasHandle(const GFIL_AutoAliasHandle& other);
  GFIL_AutoAliasHandle& operator=(const GFIL_AutoAliasHandle& other);
  ~GFIL_AutoAliasHandle();

  // Takes the handle (a handle held before is disposed of).
  void StoreHandle(AliasHandle handle);
  // Stores a copy of the handle; throws GLIB_BadAllocException when it cannot be copied.
  void CloneAndStoreHandle(AliasHandle handle);
  AliasHandle GetHandle() const { return m_Handle; }

private:
  void Dispose();

  AliasHandle m_Handle;
};

// "alias:" and the target's name, "<unknown>" when it cannot be had, "<null>" for no alias.
std::ostream& operator<<(std::ostream& out, const GFIL_AutoAliasHandle& alias);
