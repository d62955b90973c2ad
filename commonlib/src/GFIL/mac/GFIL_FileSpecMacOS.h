// Specs made from the Mac's own file references, and their conversions back.
#pragma once

#include "GFIL/mac/GFIL_AutoAliasHandle.h"
#include "GFIL/GFIL_FileSpec.h"

#include <CoreFoundation/CFURL.h>
#include <CoreServices/Files.h>

class GFIL_FileSpecMacOS : public GFIL_FileSpec {
public:
  GFIL_FileSpecMacOS();
  GFIL_FileSpecMacOS(const GFIL_FileSpec& spec);
  GFIL_FileSpecMacOS(const GFIL_FileSpecMacOS& spec);
  GFIL_FileSpecMacOS& operator=(const GFIL_FileSpecMacOS& spec) = default;
  // Takes over the caller's reference to the URL.
  explicit GFIL_FileSpecMacOS(const CFURLRef& url);
  explicit GFIL_FileSpecMacOS(const FSRef& ref);
  explicit GFIL_FileSpecMacOS(const FSSpec& spec);
  // A null pointer makes a spec that names nothing.
  explicit GFIL_FileSpecMacOS(FSSpec* spec);
  explicit GFIL_FileSpecMacOS(const GFIL_AutoAliasHandle& alias);

  // Borrowed from the file system, not retained for the caller.
  CFURLRef AsURLRef() const;
  // Throws GFIL_ERR_BAD_SPEC for an item that does not exist.
  FSRef AsFSRef() const;
  // Also for a file that does not exist yet, in an existing folder.
  FSSpec AsFSSpec() const;

  // Existing items are equal when they are the same item; others when their URLs are equal.
  bool operator==(const GFIL_FileSpecMacOS& other) const;
};

// Predicate for a search over specs: is this the held spec's item?
class GFIL_HasFileSpecMacOS {
public:
  explicit GFIL_HasFileSpecMacOS(const GFIL_FileSpec& spec) : m_Spec(spec) {}
  bool operator()(const GFIL_FileSpec& other) const { return GFIL_FileSpecMacOS(other) == m_Spec; }

private:
  GFIL_FileSpecMacOS m_Spec;
};
