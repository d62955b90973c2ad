// A CFDictionary holder: access by key and deep access by key paths such as {Window}{Bounds} or
// {Recent}[3], descending into arrays through UMAC_CFArray.
//
// Every call that writes first makes the holder mutable (a mutable copy it owns, when the held
// dictionary is not known to be mutable). A failed call leaves the contents as they were; the
// holder may by then hold an equal mutable copy.
#pragma once

#include "UMAC/UMAC_CFType.h"

class UMAC_CFDictionary : public UMAC_CFType {
public:
  // A new empty mutable dictionary (string keys copied, CF values retained), owned.
  UMAC_CFDictionary();
  // Not marked mutable.
  UMAC_CFDictionary(CFDictionaryRef dictionary, UMAC_CFOwnershipType ownership);

  CFIndex Size() const;
  bool HasKey(CFStringRef key) const;
  bool HasKey(const GLIB_WString& key) const;
  // Not retained. A missing key throws 1436019 "Key "..." not in dictionary.".
  CFTypeRef GetValue(CFStringRef key) const;
  CFTypeRef GetValue(const GLIB_WString& key) const;
  void SetValue(CFStringRef key, CFTypeRef value);
  void SetValue(const GLIB_WString& key, CFTypeRef value);
  void RemoveValue(CFStringRef key);
  void RemoveValue(const GLIB_WString& key);
  // A new array of all keys; the caller releases it.
  CFArrayRef Keys() const;
  void MakeMutable();

  // Reads {key} from the front of path (which keeps the rest) and returns its value. A path not
  // beginning with {key} throws 1436023.
  CFTypeRef GetParsedValue(GLIB_WString& path, GLIB_WString* key) const;
  // The value at a key path (not retained).
  CFTypeRef GetDeepValue(const GLIB_WString& path) const;
  // Stores the value at a key path whose keys all exist; containers on the way are replaced by
  // changed mutable copies, the ones read are not changed.
  void SetDeepValue(const GLIB_WString& path, CFTypeRef value);

private:
  CFMutableDictionaryRef Mutable();

  bool m_IsMutable;
};
