#include "UMAC/UMAC_IconRef.h"

UMAC_IconRef::~UMAC_IconRef() {
  if (m_Icon)
    ReleaseIconRef(m_Icon);
}

void UMAC_IconRef::Reset(IconRef icon) {
  if (icon == m_Icon)
    return;
  if (m_Icon)
    ReleaseIconRef(m_Icon);
  m_Icon = icon;
}
