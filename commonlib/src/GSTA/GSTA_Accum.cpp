#include "GSTA/GSTA_Accum.h"

#include "GLIB/GLIB_LogMessage.h"

#include <ios>
#include <iomanip>
#include <ostream>
#include <sstream>

void GSTA_AccumStats::GenerateReport(std::ostream*, const GSTA_Accum&) const {}

GSTA_Accum::GSTA_Accum() {
  Initialize(GLIB_StringVector(), nullptr);
}

GSTA_Accum::~GSTA_Accum() {
  Finalize();
}

void GSTA_Accum::Initialize(const GLIB_StringVector& names, GSTA_AccumStatsFactory factory) {
  Finalize();
  if (names.empty() || factory == nullptr)
    return;
  m_names = names;
  m_count = static_cast<unsigned>(names.size());
  m_accumulated.resize(m_count);
  m_started.resize(m_count);
  m_pushCounts.assign(m_count, 0);
  for (unsigned i = 0; i < m_count; ++i) {
    m_accumulated[i].reset(factory());
    m_started[i].reset(factory());
  }
  m_now.reset(factory());
}

void GSTA_Accum::Finalize() {
  m_accumulated.clear();
  m_started.clear();
  m_pushCounts.clear();
  m_now.reset();
  m_top = -1;
  m_ignoredPushes = 0;
  m_count = 0;
  m_names.clear();
}

void GSTA_Accum::Reset() {
  for (unsigned i = 0; i < m_count; ++i) {
    m_accumulated[i]->Reset();
    m_started[i]->Reset();
    m_pushCounts[i] = 0;
  }
  m_top = -1;
  m_ignoredPushes = 0;
}

GLIB_String GSTA_Accum::NameForLog(unsigned category) const {
  if (category < m_count)
    return m_names[category];
  std::ostringstream unknown;
  unknown << "#" << category;
  return GLIB_String(unknown.str());
}

void GSTA_Accum::Push(unsigned category) {
  if (category >= m_count) {
    GLIB_LogMessage::Log(GLIB_SEVERITY_WARNING,
                         ("GSTA_Accum::Push unknown category " + NameForLog(category)).c_str(),
                         __FILE__, __LINE__);
    return;
  }
  if (m_top + 1 >= kStackDepth) {
    ++m_ignoredPushes;
    GLIB_LogMessage::Log(GLIB_SEVERITY_WARNING,
                         ("GSTA_Accum::Push stack full, not pushing " + m_names[category]).c_str(),
                         __FILE__, __LINE__);
    return;
  }
  m_now->SetNow();
  if (m_top >= 0)
    PauseAt(*m_now);
  ++m_top;
  m_stack[m_top] = category;
  ++m_pushCounts[category];
  *m_started[category] = *m_now;
}

void GSTA_Accum::Pop(unsigned category) {
  if (m_ignoredPushes > 0) {
    --m_ignoredPushes;
    return;
  }
  if (m_top < 0) {
    GLIB_LogMessage::Log(GLIB_SEVERITY_WARNING,
                         ("GSTA_Accum::Pop on an empty stack, not popping " + NameForLog(category)).c_str(),
                         __FILE__, __LINE__);
    return;
  }
  if (m_stack[m_top] != category) {
    GLIB_LogMessage::Log(GLIB_SEVERITY_WARNING,
                         ("GSTA_Accum::Pop expecting to pop " + NameForLog(category)).c_str(),
                         __FILE__, __LINE__);
    DumpStack();
  }
  m_now->SetNow();
  PauseAt(*m_now);
  --m_top;
  if (m_top >= 0)
    *m_started[m_stack[m_top]] = *m_now;
}

void GSTA_Accum::PauseAt(const GSTA_AccumStats& now) {
  if (m_top < 0)
    return;
  const unsigned category = m_stack[m_top];
  *m_accumulated[category] += now;
  *m_accumulated[category] -= *m_started[category];
  *m_started[category] = now;
}

void GSTA_Accum::DumpStack() const {
  std::ostringstream header;
  header << "  Accum stack contains " << (m_top + 1) << " items.";
  GLIB_LogMessage::Log(GLIB_SEVERITY_INFO, header.str().c_str(), __FILE__, __LINE__);
  for (int i = m_top; i >= 0; --i) {
    std::ostringstream entry;
    entry << "  Accum[ " << i << " ] = " << m_names[m_stack[i]];
    GLIB_LogMessage::Log(GLIB_SEVERITY_INFO, entry.str().c_str(), __FILE__, __LINE__);
  }
}

void GSTA_Accum::GenerateReport(std::ostream* os) const {
  if (m_count == 0 || os == nullptr)
    return;
  m_accumulated[0]->GenerateReport(os, *this);
}

void GSTA_WriteFixed1(std::ostream& os, double value, int width) {
  os << std::setw(width) << std::fixed << std::setprecision(1) << value;
  os.unsetf(std::ios_base::floatfield);
  os.precision(6);
}

double GSTA_Percent(double part, double total) {
  return total == 0.0 ? 0.0 : part * 100.0 / total;
}
