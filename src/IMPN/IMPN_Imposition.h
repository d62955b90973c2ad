#pragma once
#include "IMPN/IMPN_ChildList.h"
#include "IMPN/IMPN_Node.h"

#include <string>
#include <vector>

class IMPN_Signature;
class TIFX_KRXFile;

// One job, known by its title: its signatures in order of arrival.
class IMPN_Imposition : public IMPN_Node {
public:
  explicit IMPN_Imposition(TIFX_KRXFile& file);
  ~IMPN_Imposition() override;

  std::string GetTitle() const { return m_Title; }
  IMPN_Signature* Find(long number) const;
  IMPN_ChildList<IMPN_Signature> const& GetSignatures() const { return m_Signatures; }
  // Drops the signatures and sheets that hold no separation.
  void RemoveEmptyBranches();

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
  IMPN_Imposition(IMPN_Imposition const&) = delete;
  IMPN_Imposition& operator=(IMPN_Imposition const&) = delete;

  IMPN_ChildList<IMPN_Signature> m_Signatures;
  std::string m_Title;
};
