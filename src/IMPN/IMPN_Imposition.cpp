#include "IMPN/IMPN_Imposition.h"

#include "IMPN/IMPN_Signature.h"
#include "IMPN/iIMPN_Selection.h"
#include "TIFX/TIFX_KRXFile.h"

#include <cstring>
#include <iostream>
#include <memory>

IMPN_Imposition::IMPN_Imposition(TIFX_KRXFile& file) : m_Title(file.GetPrivateDirectory().Title) {}

IMPN_Imposition::~IMPN_Imposition() {
  IMPN_Imposition::Clear();
}

IMPN_Signature* IMPN_Imposition::Find(long number) const {
  return m_Signatures.FindFirst(
      [number](IMPN_Signature const& s) { return s.GetNumber() == number; });
}

void IMPN_Imposition::Add(TIFX_KRXFile& file) {
  file.SelectImageDirectory();
  long const number = file.GetPrivateDirectory().Signature;
  m_Signatures
      .FindOrAppend([number](IMPN_Signature const& s) { return s.GetNumber() == number; },
                    [&file] { return std::make_unique<IMPN_Signature>(file); })
      ->AddChild(file, this);
}

void IMPN_Imposition::RemoveEmptyBranches() {
  for (IMPN_Signature* signature : m_Signatures)
    signature->RemoveEmptySheets();
  m_Signatures.RemoveIf([](IMPN_Signature const& s) { return s.GetSheets().empty(); });
}

void IMPN_Imposition::GetAllSheets(std::vector<IMPN_Sheet*>& out) {
  for (IMPN_Signature* signature : m_Signatures)
    signature->GetAllSheets(out);
}

void IMPN_Imposition::Clear() {
  m_Signatures.Clear();
}

void IMPN_Imposition::SelectRecent() {
  for (IMPN_Signature* signature : m_Signatures)
    signature->SelectRecent();
  m_SelectedState = iIMPN_RecentSelectionState(m_Signatures);
}

void IMPN_Imposition::SelectChildren(IMPN_ButtonState state) {
  SelectEachChild(m_Signatures, state);
}

void IMPN_Imposition::UpdateParentSelections() {
  UpdateSelectionFromChildren(m_Signatures);
}

int IMPN_Imposition::CompareTo(IMPN_Node const* other, SortKey key) {
  IMPN_Imposition const* that = dynamic_cast<IMPN_Imposition const*>(other);
  if (!that)
    return 0;
  switch (key) {
    case kIdentityOrder:
      return std::strcmp(m_Title.c_str(), that->m_Title.c_str());
    case kCountOrPrintOrder:
      return static_cast<int>(m_Signatures.size()) - static_cast<int>(that->m_Signatures.size());
    case kPrintTime:
      return 0;
    default:
      return IMPN_Node::CompareTo(other, key);
  }
}

void IMPN_Imposition::Print(long indent) {
  std::cout << PrintMargin(indent) << "Imposition<" << m_Title << ">\n";
  for (IMPN_Signature* signature : m_Signatures)
    signature->Print(indent + 1);
}

std::string IMPN_Imposition::ToString() const {
  return m_Title + " [" + std::to_string(m_Signatures.size()) +
         (m_Signatures.size() == 1 ? " Signature]" : " Signatures]");
}
