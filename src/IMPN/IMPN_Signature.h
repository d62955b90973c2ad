#pragma once
#include "IMPN/IMPN_Node.h"

#include <string>
#include <vector>

class IMPN_Sheet;
class TIFX_KRXFile;

// One signature of a job: its sheets (webs), shared through the sheets' reference counts.
class IMPN_Signature : public IMPN_Node {
public:
  explicit IMPN_Signature(TIFX_KRXFile& file);
  ~IMPN_Signature() override;

  int GetNumber() const { return m_Number; }
  std::vector<IMPN_Sheet*> const& GetSheets() const { return m_Sheets; }
  // Drops the sheets that hold no separation (left behind by a file that failed).
  void RemoveEmptySheets();

  void Add(TIFX_KRXFile& file) override;
  void GetAllSheets(std::vector<IMPN_Sheet*>& out) override;
  void Clear() override;
  void SelectRecent() override;
  void SelectChildren(IMPN_ButtonState state) override;
  void UpdateParentSelections() override;
  int CompareTo(IMPN_Node const* other, SortKey key) override;
  void Print(long indent) override;
  std::string ToString() const override;

private:
  IMPN_Signature(IMPN_Signature const&) = delete;
  IMPN_Signature& operator=(IMPN_Signature const&) = delete;

  static void Release(IMPN_Sheet* sheet);

  std::vector<IMPN_Sheet*> m_Sheets;
  int m_Number;
};
