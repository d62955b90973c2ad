// A statistics class of another kind, to check that mixing kinds is refused.
#pragma once

#include "GSTA/GSTA_Accum.h"

class OtherStats : public GSTA_AccumStats {
public:
  GSTA_AccumStats& operator=(const GSTA_AccumStats&) override { return *this; }
  GSTA_AccumStats& operator-=(const GSTA_AccumStats&) override { return *this; }
  GSTA_AccumStats& operator+=(const GSTA_AccumStats&) override { return *this; }
  bool IsAfter(const GSTA_AccumStats&) const override { return true; }
  void SetNow() override {}
  void Reset() override {}
};
