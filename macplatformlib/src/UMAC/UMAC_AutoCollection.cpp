#include "UMAC/UMAC_AutoCollection.h"

#include "UMAC/UMAC_Exception.h"

UMAC_AutoCollection::UMAC_AutoCollection() : m_Collection(NewCollection()) {
  if (m_Collection == nullptr)
    UMAC_THROW(UMAC_ERR_COLLECTION, "::NewCollection() returned NULL");
}

UMAC_AutoCollection::~UMAC_AutoCollection() {
  if (CountCollectionOwners(m_Collection) >= 1)
    DisposeCollection(m_Collection);
}
