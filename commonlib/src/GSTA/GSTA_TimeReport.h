// The frame of the flavours' time reports: a heading, a row a category with its name and count,
// and a total row. Each flavour writes its own time columns into it.
#pragma once

#include "GSTA/GSTA_Accum.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

struct GSTA_TimeReportLayout {
  std::string lineEnd;
  std::vector<std::string> headingLines;  // after one empty line
  std::string rowStart;
  bool namesLeftAligned = false;
  std::string totalRule;
  std::string totalLabel;
};

// Writes the report of every category of accum; the stream's fill comes back as it was.
// writeRowTimes writes the time columns of one category, writeTotalTimes those of the total.
void GSTA_WriteTimeReport(std::ostream& out, const GSTA_Accum& accum,
                          const GSTA_TimeReportLayout& layout,
                          const std::function<void(std::ostream&, unsigned)>& writeRowTimes,
                          const std::function<void(std::ostream&)>& writeTotalTimes);
