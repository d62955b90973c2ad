#include "IMPN/IMPN_Imposition.h"

#include "IMPN/IMPN_Signature.h"
#include "IMPN/iIMPN_Selection.h"
#include "TIFX/TIFX_KRXFile.h"

#include <algorithm>
#include <cstring>
#include <iostream>

IMPN_Imposition::IMPN_Imposition(TIFX_KRXFile& file) : m_Title(file.GetPrivateDirectory().Title) {}

IMPN_Imposition::~IMPN_Imposition() {
  IMPN_Imposition::Clear();
}

IMPN_Signature* IMPN_Imposition::Find(long number) const {
  for (IMPN_Signature* signature : m_Signatures)
    if (signature->GetNumber() == number)
      return signature;
  return nullptr;
}

void IMPN_Imposition::Add(TIFX_KRXFile& file) {
  if (file.CurrentDirectory() != 0)
    file.SetDirectory(0);
  IMPN_Signature* signature = Find(file.GetPrivateDirectory().Signature);
  if (!signature) {
    signature = new IMPN_Signature(file);
    m_Signatures.push_back(signature);
  }
  signature->AddChild(file, this);
}

void IMPN_Imposition::RemoveEmptyBranches() {
  for (IMPN_Signature* signature : m_Signatures)
    signature->RemoveEmptySheets();
  auto empty = [](IMPN_Signature* s) { return s->GetSheets().empty(); };
  for (IMPN_Signature* signature : m_Signatures)
    if (empty(signature))
      delete signature;
  m_Signatures.erase(std::remove_if(m_Signatures.begin(), m_Signatures.end(), empty),
                     m_Signatures.end());
}

void IMPN_Imposition::GetAllSheets(std::vector<IMPN_Sheet*>& out) {
  for (IMPN_Signature* signature : m_Signatures)
    signature->GetAllSheets(out);
}

void IMPN_Imposition::Clear() {
  for (IMPN_Signature* signature : m_Signatures)
    delete signature;
  m_Signatures.clear();
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
