#include "UMAC/UMAC_AutoRgnHandle.h"

#include "UMAC/UMAC_Exception.h"

UMAC_AutoRgnHandle::UMAC_AutoRgnHandle() : m_Region(NewRgn()) {
  if (m_Region == nullptr)
    UMAC_THROW(UMAC_ERR_REGION, "Unable to create RgnHandle.");
}

UMAC_AutoRgnHandle::~UMAC_AutoRgnHandle() {
  DisposeRgn(m_Region);
}
