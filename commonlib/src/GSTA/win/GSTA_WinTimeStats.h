// Windows statistics: wall-clock time and the process's kernel and user time, each in units
// of 100 ns.
#pragma once

#include "GSTA/GSTA_Accum.h"

#include <cstdint>

class GSTA_TimeStats : public GSTA_AccumStats {
public:
  GSTA_TimeStats() = default;
  GSTA_TimeStats(std::int64_t wall, std::int64_t user, std::int64_t kernel)
      : m_Wall(wall),
        m_User(user),
        m_Kernel(kernel) {}
  GSTA_TimeStats(const GSTA_TimeStats&) = default;
  GSTA_TimeStats& operator=(const GSTA_TimeStats& other) {
    m_Wall = other.m_Wall;
    m_User = other.m_User;
    m_Kernel = other.m_Kernel;
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

  std::int64_t GetWallTime() const { return m_Wall; }
  std::int64_t GetUserTime() const { return m_User; }
  std::int64_t GetKernelTime() const { return m_Kernel; }
  double GetWallSeconds() const { return ToSeconds(m_Wall); }
  double GetUserSeconds() const { return ToSeconds(m_User); }
  double GetKernelSeconds() const { return ToSeconds(m_Kernel); }

  static double ToSeconds(std::int64_t time) { return static_cast<double>(time) * 1e-7; }

private:
  std::int64_t m_Wall = 0;
  std::int64_t m_User = 0;
  std::int64_t m_Kernel = 0;
};
