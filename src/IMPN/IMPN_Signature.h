#pragma once
#include "IMPN/IMPN_ChildList.h"
#include "IMPN/IMPN_Node.h"

#include <string>
#include <vector>

class IMPN_Sheet;
class TIFX_KRXFile;

// One signature of a job: its sheets (webs), shared through the sheets' reference counts.
class IMPN_Signature : public IMPN_Node {
public:
  // The signature's hold on a sheet: letting go drops its reference, and the last reference
  // deletes the sheet.
  struct ReleaseSheet {
    void operator()(IMPN_Sheet* sheet) const;
  };
  using SheetList = IMPN_ChildList<IMPN_Sheet, ReleaseSheet>;

  explicit IMPN_Signature(TIFX_KRXFile& file);
  ~IMPN_Signature() override;

  int GetNumber() const { return m_Number; }
  SheetList const& GetSheets() const { return m_Sheets; }
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

  SheetList m_Sheets;
  int m_Number;
};
