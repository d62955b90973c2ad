#include "GSTA/mac/GSTA_MacTimeStats.h"

#include <HIToolbox/Events.h>

#include <iomanip>
#include <ostream>

namespace {

const GSTA_TimeStats& AsTimeStats(const GSTA_AccumStats* stats) {
  const auto* timeStats = dynamic_cast<const GSTA_TimeStats*>(stats);
  if (timeStats == nullptr)
    throw GSTA_Exception(GSTA_ERR_DYNAMIC_CAST_FAILED, "Dynamic cast failed", __FILE__, __LINE__);
  return *timeStats;
}

}  // namespace

GSTA_AccumStats* GSTA_TimeStats::New() {
  return new GSTA_TimeStats;
}

GSTA_AccumStats& GSTA_TimeStats::operator=(const GSTA_AccumStats& other) {
  m_ticks = AsTimeStats(&other).m_ticks;
  return *this;
}

GSTA_AccumStats& GSTA_TimeStats::operator-=(const GSTA_AccumStats& other) {
  m_ticks -= AsTimeStats(&other).m_ticks;
  return *this;
}

GSTA_AccumStats& GSTA_TimeStats::operator+=(const GSTA_AccumStats& other) {
  m_ticks += AsTimeStats(&other).m_ticks;
  return *this;
}

bool GSTA_TimeStats::IsAfter(const GSTA_AccumStats& other) const {
  return m_ticks >= AsTimeStats(&other).m_ticks;
}

void GSTA_TimeStats::SetNow() {
  m_ticks = TickCount();
}

void GSTA_TimeStats::Reset() {
  m_ticks = 0;
}

void GSTA_TimeStats::GenerateReport(std::ostream* os, const GSTA_Accum& accum) const {
  if (os == nullptr)
    return;
  const unsigned count = accum.GetNumCategories();
  std::uint32_t totalTicks = 0;
  unsigned totalCount = 0;
  for (unsigned i = 0; i < count; ++i) {
    totalTicks += AsTimeStats(accum.GetStats(i)).m_ticks;
    totalCount += accum.GetCategoryCount(i);
  }

  std::ostream& out = *os;
  const char fill = out.fill(' ');
  out << "\n"
      << "%%%%%%%%%%%%%%%%%%%%%%%%%" << "%%%%%%%%%%%%%%%%" << "\n"
      << "%" << "\n"
      << "% Object           # Objs" << " WallTime    % " << "\n"
      << "% ---------------- ------" << " -------- -----" << "\n";
  for (unsigned i = 0; i < count; ++i) {
    const GSTA_TimeStats& stats = AsTimeStats(accum.GetStats(i));
    out << "% " << std::right << std::setw(16)
        << static_cast<const std::string&>(accum.GetCategoryStr(i)) << std::setw(7)
        << accum.GetCategoryCount(i);
    GSTA_WriteFixed1(out, stats.GetSeconds(), 9);
    GSTA_WriteFixed1(out, GSTA_Percent(stats.m_ticks, totalTicks), 6);
    out << "\n";
  }
  out << "%                  ------" << " --------" << "\n";
  out << "%            Total" << std::setw(7) << totalCount;
  GSTA_WriteFixed1(out, totalTicks / 60.0, 9);
  out << "     " << "\n";
  out.fill(fill);
}
