// Holder of a new QuickDraw region: disposes it when destroyed.
#pragma once

#include <QD/QuickDraw.h>

class UMAC_AutoRgnHandle {
public:
  // Throws 1436009 when no region can be made.
  UMAC_AutoRgnHandle();
  ~UMAC_AutoRgnHandle();
  UMAC_AutoRgnHandle(const UMAC_AutoRgnHandle&) = delete;
  UMAC_AutoRgnHandle& operator=(const UMAC_AutoRgnHandle&) = delete;

  RgnHandle Get() const { return m_Region; }

private:
  RgnHandle m_Region;
};
