// Stands in for the system's message box while it lives: keeps every box asked for and answers
// each with the next of its answers (IDOK once they run out).
#pragma once

#include "WKRX/WKRX_MessageDialog.h"

#include <deque>
#include <utility>
#include <vector>

class WKRX_MessageBoxRecorder {
public:
  explicit WKRX_MessageBoxRecorder(std::deque<int> answers = {}) : m_Answers(std::move(answers)) {
    m_Previous = WKRX_MessageDialog::ReplaceMessageBox([this](const WKRX_MessageBoxCall& call) {
      m_Calls.push_back(call);
      if (m_Answers.empty())
        return IDOK;
      const int answer = m_Answers.front();
      m_Answers.pop_front();
      return answer;
    });
  }
  ~WKRX_MessageBoxRecorder() { WKRX_MessageDialog::ReplaceMessageBox(std::move(m_Previous)); }
  WKRX_MessageBoxRecorder(const WKRX_MessageBoxRecorder&) = delete;
  WKRX_MessageBoxRecorder& operator=(const WKRX_MessageBoxRecorder&) = delete;

  const std::vector<WKRX_MessageBoxCall>& Calls() const { return m_Calls; }

private:
  std::deque<int> m_Answers;
  std::vector<WKRX_MessageBoxCall> m_Calls;
  WKRX_MessageBoxHandler m_Previous;
};
