// Holder of one CoreFoundation object with typed tests and typed access.
#pragma once

#include "GLIB/GLIB_String.h"

#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFString.h>

#include <cstdint>

enum UMAC_CFOwnershipType {
  // The holder keeps one reference and releases it when destroyed or replaced.
  kUMAC_CFOwned = 0,
  // Borrowed: never released by the holder.
  kUMAC_CFNotOwned = 1
};

class UMAC_CFType {
public:
  // Takes no extra reference.
  UMAC_CFType(CFTypeRef object, UMAC_CFOwnershipType ownership);
  // kCFBooleanTrue or kCFBooleanFalse, owned.
  explicit UMAC_CFType(bool value);
  virtual ~UMAC_CFType();
  UMAC_CFType(const UMAC_CFType&) = delete;
  UMAC_CFType& operator=(const UMAC_CFType&) = delete;

  operator CFTypeRef() const { return m_Object; }
  CFTypeRef Get() const { return m_Object; }
  UMAC_CFOwnershipType Ownership() const { return m_Ownership; }

  bool IsNull() const { return m_Object == nullptr; }
  // A number that is no float and fits 32 bits.
  bool IsInteger() const;
  bool IsDouble() const;
  bool IsBoolean() const;
  bool IsString() const;
  bool IsArray() const;
  bool IsDictionary() const;

  // Each throws 1436017 "Could not convert CFTypeRef with description "..." to ..." when the
  // matching test fails.
  std::int32_t AsInteger() const;
  double AsDouble() const;
  bool AsBoolean() const;
  GLIB_String AsString() const;
  // Not retained.
  CFArrayRef AsArray() const;
  CFDictionaryRef AsDictionary() const;
  // Retained for the caller.
  CFDictionaryRef CopyAsDictionary() const;

protected:
  // Holds a copy this holder made in place of the held object, and owns it.
  void ReplaceWithOwnedCopy(CFTypeRef copy);

private:
  [[noreturn]] void ThrowConversionError(const char* target) const;
  bool HasType(CFTypeID type) const;

  CFTypeRef m_Object;
  UMAC_CFOwnershipType m_Ownership;
};
