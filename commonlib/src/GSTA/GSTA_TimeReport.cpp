#include "GSTA/GSTA_TimeReport.h"

#include <iomanip>
#include <ostream>

void GSTA_WriteTimeReport(std::ostream& out, const GSTA_Accum& accum,
                          const GSTA_TimeReportLayout& layout,
                          const std::function<void(std::ostream&, unsigned)>& writeRowTimes,
                          const std::function<void(std::ostream&)>& writeTotalTimes) {
  const unsigned count = accum.GetNumCategories();
  unsigned totalCount = 0;
  for (unsigned i = 0; i < count; ++i)
    totalCount += accum.GetCategoryCount(i);

  const char fill = out.fill(' ');
  out << layout.lineEnd;
  for (const std::string& line : layout.headingLines)
    out << line << layout.lineEnd;
  for (unsigned i = 0; i < count; ++i) {
    out << layout.rowStart << (layout.namesLeftAligned ? std::left : std::right) << std::setw(16)
        << static_cast<const std::string&>(accum.GetCategoryStr(i)) << std::right << std::setw(7)
        << accum.GetCategoryCount(i);
    writeRowTimes(out, i);
    out << layout.lineEnd;
  }
  out << layout.totalRule << layout.lineEnd;
  out << layout.totalLabel << std::setw(7) << totalCount;
  writeTotalTimes(out);
  out << layout.lineEnd;
  out.fill(fill);
}
