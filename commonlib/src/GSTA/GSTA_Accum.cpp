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
  m_Names = names;
  m_Count = static_cast<unsigned>(names.size());
  m_Accumulated.resize(m_Count);
  m_Started.resize(m_Count);
  m_PushCounts.assign(m_Count, 0);
  for (unsigned i = 0; i < m_Count; ++i) {
    m_Accumulated[i].reset(factory());
    m_Started[i].reset(factory());
  }
  m_Now.reset(factory());
}

void GSTA_Accum::Finalize() {
  m_Accumulated.clear();
  m_Started.clear();
  m_PushCounts.clear();
  m_Now.reset();
  m_Top = -1;
  m_IgnoredPushes = 0;
  m_Count = 0;
  m_Names.clear();
}

void GSTA_Accum::Reset() {
  for (unsigned i = 0; i < m_Count; ++i) {
    m_Accumulated[i]->Reset();
    m_Started[i]->Reset();
    m_PushCounts[i] = 0;
  }
  m_Top = -1;
  m_IgnoredPushes = 0;
}

GLIB_String GSTA_Accum::NameForLog(unsigned category) const {
  if (category < m_Count)
    return m_Names[category];
  std::ostringstream unknown;
  unknown << "#" << category;
  return GLIB_String(unknown.str());
}

void GSTA_Accum::Push(unsigned category) {
  if (category >= m_Count) {
    GLIB_LogMessage::Log(GLIB_SEVERITY_WARNING,
                         ("GSTA_Accum::Push unknown category " + NameForLog(category)).c_str(),
                         __FILE__, __LINE__);
    return;
  }
  if (m_Top + 1 >= kStackDepth) {
    ++m_IgnoredPushes;
    GLIB_LogMessage::Log(GLIB_SEVERITY_WARNING,
                         ("GSTA_Accum::Push stack full, not pushing " + m_Names[category]).c_str(),
                         __FILE__, __LINE__);
    return;
  }
  m_Now->SetNow();
  if (m_Top >= 0)
    PauseAt(*m_Now);
  ++m_Top;
  m_Stack[m_Top] = category;
  ++m_PushCounts[category];
  *m_Started[category] = *m_Now;
}

void GSTA_Accum::Pop(unsigned category) {
  if (m_IgnoredPushes > 0) {
    --m_IgnoredPushes;
    return;
  }
  if (m_Top < 0) {
    GLIB_LogMessage::Log(
        GLIB_SEVERITY_WARNING,
        ("GSTA_Accum::Pop on an empty stack, not popping " + NameForLog(category)).c_str(),
        __FILE__, __LINE__);
    return;
  }
  if (m_Stack[m_Top] != category) {
    GLIB_LogMessage::Log(GLIB_SEVERITY_WARNING,
                         ("GSTA_Accum::Pop expecting to pop " + NameForLog(category)).c_str(),
                         __FILE__, __LINE__);
    DumpStack();
  }
  m_Now->SetNow();
  PauseAt(*m_Now);
  --m_Top;
  if (m_Top >= 0)
    *m_Started[m_Stack[m_Top]] = *m_Now;
}

void GSTA_Accum::PauseAt(const GSTA_AccumStats& now) {
  if (m_Top < 0)
    return;
  const unsigned category = m_Stack[m_Top];
  *m_Accumulated[category] += now;
  *m_Accumulated[category] -= *m_Started[category];
  *m_Started[category] = now;
}

void GSTA_Accum::DumpStack() const {
  std::ostringstream header;
  header << "  Accum stack contains " << (m_Top + 1) << " items.";
  GLIB_LogMessage::Log(GLIB_SEVERITY_INFO, header.str().c_str(), __FILE__, __LINE__);
  for (int i = m_Top; i >= 0; --i) {
    std::ostringstream entry;
    entry << "  Accum[ " << i << " ] = " << m_Names[m_Stack[i]];
    GLIB_LogMessage::Log(GLIB_SEVERITY_INFO, entry.str().c_str(), __FILE__, __LINE__);
  }
}

void GSTA_Accum::GenerateReport(std::ostream* os) const {
  if (m_Count == 0 || os == nullptr)
    return;
  m_Accumulated[0]->GenerateReport(os, *this);
}

void GSTA_WriteFixed1(std::ostream& os, double value, int width) {
  os << std::setw(width) << std::fixed << std::setprecision(1) << value;
  os.unsetf(std::ios_base::floatfield);
  os.precision(6);
}

double GSTA_Percent(double part, double total) {
  return total == 0.0 ? 0.0 : part * 100.0 / total;
}
