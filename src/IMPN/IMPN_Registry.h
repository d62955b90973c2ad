#pragma once
#include "GFIL/GFIL_FileSpec.h"
#include "IMPN/IMPN_ChildList.h"
#include "IMPN/IMPN_Node.h"

#include <cstdint>
#include <string>
#include <vector>

class IMPN_Imposition;

// Root of the job tree. It also hands out the process-wide time stamps with which
// separations, colour tables and tiles mark their age.
class IMPN_Registry : public IMPN_Node {
public:
  IMPN_Registry();
  ~IMPN_Registry() override;

  // Sorts the preview files among specs into the tree and selects the most recent print run
  // of every surface. A file that cannot be opened or read, or is no preview file, is skipped
  // and counted (GetRejectedFileCount); nothing is thrown for one file. Returns the number
  // added. The same file registered twice gives two separations.
  int RegisterFiles(GFIL_FileSpecVector& specs, bool clearFirst);
  int GetRejectedFileCount() const { return m_RejectedFileCount; }

  IMPN_Imposition* Find(std::string const& title) const;
  IMPN_ChildList<IMPN_Imposition> const& GetImpositions() const { return m_Impositions; }

  void Add(TIFX_KRXFile& file) override;
  void GetAllSheets(std::vector<IMPN_Sheet*>& out) override;
  void Clear() override;
  void SelectRecent() override;
  void SelectChildren(IMPN_ButtonState state) override;
  void UpdateParentSelections() override {}
  void Print(long indent) override;

  // Increasing stamps, the first is 1. A plain counter: the job model lives on one thread.
  static std::uint32_t GetNewTimeStamp();

  static std::uint32_t sm_NextTimeStamp;

private:
  IMPN_Registry(IMPN_Registry const&) = delete;
  IMPN_Registry& operator=(IMPN_Registry const&) = delete;

  bool RegisterFile(GFIL_FileSpec const& spec);
  void RemoveEmptyBranches();

  IMPN_ChildList<IMPN_Imposition> m_Impositions;
  int m_RejectedFileCount;
};
