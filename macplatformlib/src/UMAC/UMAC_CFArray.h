// A CFArray holder: bounds-checked access and deep access by key paths such as [2]{Name},
// descending into dictionaries through UMAC_CFDictionary.
//
// Every call that writes first makes the holder mutable (a mutable copy it owns, when the held
// array is not known to be mutable). A failed call leaves the contents as they were; the holder
// may by then hold an equal mutable copy.
#pragma once

#include "UMAC/UMAC_CFType.h"

class UMAC_CFArray : public UMAC_CFType {
public:
  // Not marked mutable.
  UMAC_CFArray(CFArrayRef array, UMAC_CFOwnershipType ownership);

  // Throws the conversion error when the held object is no array.
  CFIndex Size() const;
  void MakeMutable();
  // Not retained; an index out of range throws 1436018.
  CFTypeRef GetValueAtIndex(int index) const;
  // Retains the new element and releases the old; an index out of range throws 1436018.
  void PutValueAtIndex(CFTypeRef value, int index);

  // Reads [n] from the front of path (which keeps the rest), stores n in index when given and
  // returns that element. A path not beginning with [n] throws 1436023.
  CFTypeRef GetParsedValue(GLIB_WString* path, int* index) const;
  // The value at a key path (not retained).
  CFTypeRef GetDeepValue(const GLIB_WString& path) const;
  // Stores the value at a key path; containers on the way are replaced by changed mutable copies,
  // the ones read are not changed.
  void SetDeepValue(const GLIB_WString& path, CFTypeRef value);

private:
  bool m_IsMutable;
};
