#include "GSTA/mac/GSTA_MacTimeStats.h"

#include "GSTA/GSTA_TimeReport.h"

#include <HIToolbox/Events.h>

#include <ostream>

namespace {

const GSTA_TimeStats& AsTimeStats(const GSTA_AccumStats* stats) {
  return GSTA_StatsAs<GSTA_TimeStats>(stats);
}

}  // namespace

GSTA_AccumStats* GSTA_TimeStats::New() {
  return new GSTA_TimeStats;
}

GSTA_AccumStats& GSTA_TimeStats::operator=(const GSTA_AccumStats& other) {
  m_Ticks = AsTimeStats(&other).m_Ticks;
  return *this;
}

GSTA_AccumStats& GSTA_TimeStats::operator-=(const GSTA_AccumStats& other) {
  m_Ticks -= AsTimeStats(&other).m_Ticks;
  return *this;
}

GSTA_AccumStats& GSTA_TimeStats::operator+=(const GSTA_AccumStats& other) {
  m_Ticks += AsTimeStats(&other).m_Ticks;
  return *this;
}

bool GSTA_TimeStats::IsAfter(const GSTA_AccumStats& other) const {
  return m_Ticks >= AsTimeStats(&other).m_Ticks;
}

void GSTA_TimeStats::SetNow() {
  m_Ticks = TickCount();
}

void GSTA_TimeStats::Reset() {
  m_Ticks = 0;
}

void GSTA_TimeStats::GenerateReport(std::ostream* os, const GSTA_Accum& accum) const {
  if (os == nullptr)
    return;
  std::uint32_t totalTicks = 0;
  for (unsigned i = 0; i < accum.GetNumCategories(); ++i)
    totalTicks += AsTimeStats(accum.GetStats(i)).m_Ticks;

  GSTA_TimeReportLayout layout;
  layout.lineEnd = "\n";
  layout.headingLines = {"%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%", "%",
                         "% Object           # Objs WallTime    % ",
                         "% ---------------- ------ -------- -----"};
  layout.rowStart = "% ";
  layout.totalRule = "%                  ------ --------";
  layout.totalLabel = "%            Total";
  GSTA_WriteTimeReport(
      *os, accum, layout,
      [&](std::ostream& out, unsigned i) {
        const GSTA_TimeStats& stats = AsTimeStats(accum.GetStats(i));
        GSTA_WriteFixed1(out, stats.GetSeconds(), 9);
        GSTA_WriteFixed1(out, GSTA_Percent(stats.m_Ticks, totalTicks), 6);
      },
      [&](std::ostream& out) {
        GSTA_WriteFixed1(out, totalTicks / 60.0, 9);
        out << "     ";
      });
}
