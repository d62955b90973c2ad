// A small profiler: named categories, a stack of the open ones, and per category the time spent
// while it was on top of the stack and how often it was opened. Time is measured by an
// exchangeable statistics class (GSTA_TimeStats in each flavour).
#pragma once

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_String.h"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <vector>

struct Tag_GSTA_Exception {};
using GSTA_Exception = GLIB_DerivedException<Tag_GSTA_Exception>;

// Statistics of different classes were combined.
constexpr std::uint32_t GSTA_ERR_DYNAMIC_CAST_FAILED = 1205001;

class GSTA_Accum;

// One sample of the measure; the arithmetic works only between samples of one class.
class GSTA_AccumStats {
public:
  GSTA_AccumStats() = default;
  GSTA_AccumStats(const GSTA_AccumStats&) = default;
  virtual ~GSTA_AccumStats() = default;

  virtual GSTA_AccumStats& operator=(const GSTA_AccumStats& other) = 0;
  virtual GSTA_AccumStats& operator-=(const GSTA_AccumStats& other) = 0;
  virtual GSTA_AccumStats& operator+=(const GSTA_AccumStats& other) = 0;
  virtual bool IsAfter(const GSTA_AccumStats& other) const = 0;
  virtual void SetNow() = 0;
  virtual void Reset() = 0;
  // Writes the report of a whole accumulator; this base writes nothing.
  virtual void GenerateReport(std::ostream* os, const GSTA_Accum& accum) const;
};

using GSTA_AccumStatsFactory = GSTA_AccumStats* (*)();

class GSTA_Accum {
public:
  static constexpr int kStackDepth = 16;

  GSTA_Accum();
  ~GSTA_Accum();
  GSTA_Accum(const GSTA_Accum&) = delete;
  GSTA_Accum& operator=(const GSTA_Accum&) = delete;

  // One accumulated and one started sample per category, made by the factory.
  void Initialize(const GLIB_StringVector& names, GSTA_AccumStatsFactory factory);
  void Finalize();
  // Zeroes every sample and count, keeping the categories.
  void Reset();

  // Opening a category pauses the one on top; closing it resumes the one below, so nested
  // categories are never charged twice. Unknown categories and a push beyond kStackDepth are
  // logged and ignored (the matching pop then only undoes the ignored push); a pop on an empty
  // stack is logged and ignored.
  void Push(unsigned category);
  void Pop(unsigned category);
  // Charges the category on top with the time from its start to now.
  void PauseAt(const GSTA_AccumStats& now);

  void DumpStack() const;
  // Written by the statistics class of the samples; nothing without categories.
  void GenerateReport(std::ostream* os) const;

  unsigned GetNumCategories() const { return m_Count; }
  unsigned GetCategoryCount(unsigned category) const { return m_PushCounts[category]; }
  const GSTA_AccumStats* GetStats(unsigned category) const { return m_Accumulated[category].get(); }
  const GLIB_String& GetCategoryStr(unsigned category) const { return m_Names[category]; }
  // Number of open categories.
  int GetStackDepth() const { return m_Top + 1; }

private:
  GLIB_String NameForLog(unsigned category) const;

  GLIB_StringVector m_Names;
  std::vector<std::unique_ptr<GSTA_AccumStats>> m_Accumulated;
  std::vector<std::unique_ptr<GSTA_AccumStats>> m_Started;
  unsigned m_Stack[kStackDepth] = {};
  int m_Top = -1;
  unsigned m_Count = 0;
  std::vector<unsigned> m_PushCounts;
  std::unique_ptr<GSTA_AccumStats> m_Now;
  unsigned m_IgnoredPushes = 0;  // pushes refused on a full stack, still awaiting their pop
};

// Report helpers shared by the flavours' statistics classes: a number in a column in fixed
// notation with one decimal, after which the stream is back at precision 6, not fixed.
void GSTA_WriteFixed1(std::ostream& os, double value, int width);
// part as a percentage of total; 0 when the total is 0.
double GSTA_Percent(double part, double total);

// A flavour's own statistics class out of a sample; a sample of another class throws.
template <class Stats>
const Stats& GSTA_StatsAs(const GSTA_AccumStats* stats) {
  const auto* own = dynamic_cast<const Stats*>(stats);
  if (own == nullptr)
    throw GSTA_Exception(GSTA_ERR_DYNAMIC_CAST_FAILED, "Dynamic cast failed", __FILE__, __LINE__);
  return *own;
}
