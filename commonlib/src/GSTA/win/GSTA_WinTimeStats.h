// Windows statistics: wall-clock time and the process's kernel and user time, each in units
// of 100 ns.
#pragma once

#include "GSTA/GSTA_Accum.h"

#include <cstdint>

class GSTA_TimeStats : public GSTA_AccumStats {
public:
  GSTA_TimeStats() = default;
  GSTA_TimeStats(std::int64_t wall, std::int64_t user, std::int64_t kernel)
      : m_wall(wall), m_user(user), m_kernel(kernel) {}
  GSTA_TimeStats(const GSTA_TimeStats&) = default;
  GSTA_TimeStats& operator=(const GSTA_TimeStats& other) {
    m_wall = other.m_wall;
    m_user = other.m_user;
    m_kernel = other.m_kernel;
    return *this;
  }

  // The factory handed to GSTA_Accum::Initialize.
  static GSTA_AccumStats* New();

  // A sample of another class throws GSTA_Exception 1205001.
  GSTA_AccumStats& operator=(const GSTA_AccumStats& other) override;
  GSTA_AccumStats& operator-=(const GSTA_AccumStats& other) override;
  GSTA_AccumStats& operator+=(const GSTA_AccumStats& other) override;
  // Later or equal in all three times.
  bool IsAfter(const GSTA_AccumStats& other) const override;
  void SetNow() override;
  void Reset() override;
  void GenerateReport(std::ostream* os, const GSTA_Accum& accum) const override;

  std::int64_t GetWallTime() const { return m_wall; }
  std::int64_t GetUserTime() const { return m_user; }
  std::int64_t GetKernelTime() const { return m_kernel; }
  double GetWallSeconds() const { return ToSeconds(m_wall); }
  double GetUserSeconds() const { return ToSeconds(m_user); }
  double GetKernelSeconds() const { return ToSeconds(m_kernel); }

  static double ToSeconds(std::int64_t time) { return static_cast<double>(time) * 1e-7; }

private:
  std::int64_t m_wall = 0;
  std::int64_t m_user = 0;
  std::int64_t m_kernel = 0;
};
