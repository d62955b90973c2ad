// Holder of a new Collection Manager collection: disposes it when destroyed.
#pragma once

#include <CoreServices/Collections.h>

class UMAC_AutoCollection {
public:
  // Throws 1436011 when no collection can be made.
  UMAC_AutoCollection();
  ~UMAC_AutoCollection();
  UMAC_AutoCollection(const UMAC_AutoCollection&) = delete;
  UMAC_AutoCollection& operator=(const UMAC_AutoCollection&) = delete;

  Collection Get() const { return m_Collection; }

private:
  Collection m_Collection;
};
