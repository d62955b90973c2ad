#pragma once
#include <string>

class IMPN_Separation;

// Two separations of the same ink whose coverage is compared: the reference and the candidate.
// Neither is owned; the users fill all three fields before use.
struct CKRX_InkPair {
  std::string m_InkName;
  IMPN_Separation* m_Reference = nullptr;
  IMPN_Separation* m_Candidate = nullptr;
};
