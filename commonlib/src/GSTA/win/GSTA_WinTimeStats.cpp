#include "GSTA/win/GSTA_WinTimeStats.h"

#include "GSTA/GSTA_TimeReport.h"

#include <windows.h>

#include <ostream>

namespace {

const GSTA_TimeStats& AsTimeStats(const GSTA_AccumStats* stats) {
  return GSTA_StatsAs<GSTA_TimeStats>(stats);
}

std::int64_t FromFileTime(const FILETIME& time) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime);
}

}  // namespace

GSTA_AccumStats* GSTA_TimeStats::New() {
  return new GSTA_TimeStats;
}

GSTA_AccumStats& GSTA_TimeStats::operator=(const GSTA_AccumStats& other) {
  return *this = AsTimeStats(&other);
}

GSTA_AccumStats& GSTA_TimeStats::operator-=(const GSTA_AccumStats& other) {
  const GSTA_TimeStats& o = AsTimeStats(&other);
  m_Wall -= o.m_Wall;
  m_User -= o.m_User;
  m_Kernel -= o.m_Kernel;
  return *this;
}

GSTA_AccumStats& GSTA_TimeStats::operator+=(const GSTA_AccumStats& other) {
  const GSTA_TimeStats& o = AsTimeStats(&other);
  m_Wall += o.m_Wall;
  m_User += o.m_User;
  m_Kernel += o.m_Kernel;
  return *this;
}

bool GSTA_TimeStats::IsAfter(const GSTA_AccumStats& other) const {
  const GSTA_TimeStats& o = AsTimeStats(&other);
  return m_Wall >= o.m_Wall && m_User >= o.m_User && m_Kernel >= o.m_Kernel;
}

void GSTA_TimeStats::SetNow() {
  SYSTEMTIME systemTime;
  ::GetSystemTime(&systemTime);
  FILETIME wall = {};
  ::SystemTimeToFileTime(&systemTime, &wall);
  m_Wall = FromFileTime(wall);

  FILETIME creation = {};
  FILETIME exit = {};
  FILETIME kernel = {};
  FILETIME user = {};
  if (::GetProcessTimes(::GetCurrentProcess(), &creation, &exit, &kernel, &user)) {
    m_Kernel = FromFileTime(kernel);
    m_User = FromFileTime(user);
  }
}

void GSTA_TimeStats::Reset() {
  m_Wall = m_User = m_Kernel = 0;
}

void GSTA_TimeStats::GenerateReport(std::ostream* os, const GSTA_Accum& accum) const {
  if (os == nullptr)
    return;
  GSTA_TimeStats total;
  for (unsigned i = 0; i < accum.GetNumCategories(); ++i)
    total += AsTimeStats(accum.GetStats(i));

  GSTA_TimeReportLayout layout;
  layout.lineEnd = "\r\n";
  layout.headingLines = {"......................................................................",
                         ".",
                         ". Object           # Objs WallTime  Perc  KrnlTime Perc UserTime  Perc",
                         ". ---------------- ------ -------- ----- -------- ----- -------- -----"};
  layout.rowStart = ". ";
  layout.namesLeftAligned = true;
  layout.totalRule = ".                  ------ --------       --------       --------      ";
  layout.totalLabel = ". TOTAL           ";
  GSTA_WriteTimeReport(
      *os, accum, layout,
      [&](std::ostream& out, unsigned i) {
        const GSTA_TimeStats& stats = AsTimeStats(accum.GetStats(i));
        const std::int64_t times[3][2] = {{stats.m_Wall, total.m_Wall},
                                          {stats.m_Kernel, total.m_Kernel},
                                          {stats.m_User, total.m_User}};
        for (const auto& time : times) {
          GSTA_WriteFixed1(out, ToSeconds(time[0]), 9);
          GSTA_WriteFixed1(
              out, GSTA_Percent(static_cast<double>(time[0]), static_cast<double>(time[1])), 6);
        }
      },
      [&](std::ostream& out) {
        for (std::int64_t time : {total.m_Wall, total.m_Kernel, total.m_User}) {
          GSTA_WriteFixed1(out, ToSeconds(time), 9);
          out << "      ";
        }
      });
}
