// Mac statistics: one wall-clock tick count (1/60 s).
#pragma once

#include "GSTA/GSTA_Accum.h"

#include <cstdint>

class GSTA_TimeStats : public GSTA_AccumStats {
public:
  explicit GSTA_TimeStats(std::uint32_t ticks = 0) : m_Ticks(ticks) {}
  GSTA_TimeStats(const GSTA_TimeStats&) = default;
  GSTA_TimeStats& operator=(const GSTA_TimeStats& other) {
    m_Ticks = other.m_Ticks;
    return *this;
  }

  // The factory handed to GSTA_Accum::Initialize.
  static GSTA_AccumStats* New();

  // Arithmetic is modulo 2^32; a sample of another class throws GSTA_Exception 1205001.
  GSTA_AccumStats& operator=(const GSTA_AccumStats& other) override;
  GSTA_AccumStats& operator-=(const GSTA_AccumStats& other) override;
  GSTA_AccumStats& operator+=(const GSTA_AccumStats& other) override;
  bool IsAfter(const GSTA_AccumStats& other) const override;
  void SetNow() override;
  void Reset() override;
  void GenerateReport(std::ostream* os, const GSTA_Accum& accum) const override;

  std::uint32_t GetTicks() const { return m_Ticks; }
  double GetSeconds() const { return m_Ticks / 60.0; }

private:
  std::uint32_t m_Ticks;
};
