#include "IMPN/IMPN_Signature.h"

#include "IMPN/IMPN_Sheet.h"
#include "IMPN/iIMPN_Selection.h"
#include "TIFX/TIFX_KRXFile.h"

#include <algorithm>
#include <iostream>

IMPN_Signature::IMPN_Signature(TIFX_KRXFile& file)
    : m_Number(file.GetPrivateDirectory().Signature) {}

IMPN_Signature::~IMPN_Signature() {
  IMPN_Signature::Clear();
}

void IMPN_Signature::Release(IMPN_Sheet* sheet) {
  if (sheet->RemoveReference() < 1)
    delete sheet;
}

void IMPN_Signature::Add(TIFX_KRXFile& file) {
  if (file.CurrentDirectory() != 0)
    file.SetDirectory(0);
  std::uint32_t const web = file.GetPrivateDirectory().Surface / 2 + 1;
  auto found = std::find_if(m_Sheets.begin(), m_Sheets.end(),
                            [web](IMPN_Sheet const* s) { return s->GetWeb() == web; });
  IMPN_Sheet* sheet = nullptr;
  if (found != m_Sheets.end()) {
    sheet = *found;
  } else {
    sheet = new IMPN_Sheet(file);
    sheet->AddReference();
    m_Sheets.push_back(sheet);
  }
  sheet->AddChild(file, this);
}

void IMPN_Signature::RemoveEmptySheets() {
  auto empty = [](IMPN_Sheet* s) {
    return !s->GetFrontSurface().HasSeparations() && !s->GetBackSurface().HasSeparations();
  };
  for (IMPN_Sheet* sheet : m_Sheets)
    if (empty(sheet))
      Release(sheet);
  m_Sheets.erase(std::remove_if(m_Sheets.begin(), m_Sheets.end(), empty), m_Sheets.end());
}

void IMPN_Signature::GetAllSheets(std::vector<IMPN_Sheet*>& out) {
  for (IMPN_Sheet* sheet : m_Sheets) {
    std::vector<IMPN_Sheet*> made;
    sheet->GetAllSheets(made);
    if (!made.empty())
      out.push_back(made.front());
  }
}

void IMPN_Signature::Clear() {
  for (IMPN_Sheet* sheet : m_Sheets)
    Release(sheet);
  m_Sheets.clear();
}

void IMPN_Signature::SelectRecent() {
  for (IMPN_Sheet* sheet : m_Sheets)
    sheet->SelectRecent();
  m_SelectedState = iIMPN_RecentSelectionState(m_Sheets);
}

void IMPN_Signature::SelectChildren(IMPN_ButtonState state) {
  SelectEachChild(m_Sheets, state);
}

void IMPN_Signature::UpdateParentSelections() {
  UpdateSelectionFromChildren(m_Sheets);
}

int IMPN_Signature::CompareTo(IMPN_Node const* other, SortKey key) {
  IMPN_Signature const* that = dynamic_cast<IMPN_Signature const*>(other);
  if (!that)
    return 0;
  switch (key) {
    case kIdentityOrder:
      return m_Number - that->m_Number;
    case kCountOrPrintOrder:
      return static_cast<int>(m_Sheets.size()) - static_cast<int>(that->m_Sheets.size());
    case kPrintTime:
      return 0;
    default:
      return IMPN_Node::CompareTo(other, key);
  }
}

void IMPN_Signature::Print(long indent) {
  std::cout << PrintMargin(indent) << "Signature<" << m_Number << ">\n";
  for (IMPN_Sheet* sheet : m_Sheets)
    sheet->Print(indent + 1);
}

std::string IMPN_Signature::ToString() const {
  return "Signature " + std::to_string(m_Number) + " [" + std::to_string(m_Sheets.size()) +
         (m_Sheets.size() == 1 ? " Web]" : " Webs]");
}
