// Holder of one Icon Services reference: releases it when replaced or destroyed. It never
// retains what it is given.
#pragma once

#include <HIServices/Icons.h>

class UMAC_IconRef {
public:
  UMAC_IconRef() = default;
  // Takes over the reference.
  explicit UMAC_IconRef(IconRef icon) : m_Icon(icon) {}
  ~UMAC_IconRef();
  UMAC_IconRef(const UMAC_IconRef&) = delete;
  UMAC_IconRef& operator=(const UMAC_IconRef&) = delete;

  IconRef Get() const { return m_Icon; }
  // Releases the held reference and takes over icon (which may be null); the reference already
  // held is kept as it is.
  void Reset(IconRef icon);

private:
  IconRef m_Icon = nullptr;
};
