#include "IMPN/IMPN_Signature.h"

#include "IMPN/IMPN_Sheet.h"
#include "IMPN/iIMPN_Selection.h"
#include "TIFX/TIFX_KRXFile.h"

#include <iostream>
#include <memory>

IMPN_Signature::IMPN_Signature(TIFX_KRXFile& file)
    : m_Number(file.GetPrivateDirectory().Signature) {}

IMPN_Signature::~IMPN_Signature() {
  IMPN_Signature::Clear();
}

void IMPN_Signature::ReleaseSheet::operator()(IMPN_Sheet* sheet) const {
  if (sheet->RemoveReference() < 1)
    delete sheet;
}

void IMPN_Signature::Add(TIFX_KRXFile& file) {
  file.SelectImageDirectory();
  std::uint32_t const web = file.GetPrivateDirectory().Surface / 2 + 1;
  m_Sheets
      .FindOrAppend([web](IMPN_Sheet const& s) { return s.GetWeb() == web; },
                    [&file] {
                      SheetList::Owner sheet(new IMPN_Sheet(file));
                      sheet->AddReference();
                      return sheet;
                    })
      ->AddChild(file, this);
}

void IMPN_Signature::RemoveEmptySheets() {
  m_Sheets.RemoveIf([](IMPN_Sheet const& s) {
    return !s.GetFrontSurface().HasSeparations() && !s.GetBackSurface().HasSeparations();
  });
}

void IMPN_Signature::GetAllSheets(std::vector<IMPN_Sheet*>& out) {
  for (IMPN_Sheet* sheet : m_Sheets) {
    std::vector<IMPN_Sheet*> made;
    sheet->GetAllSheets(made);
    if (made.empty())
      continue;
    // A sheet makes at most one; it is held until out holds it.
    std::unique_ptr<IMPN_Sheet> first(made.front());
    out.push_back(first.get());
    first.release();
  }
}

void IMPN_Signature::Clear() {
  m_Sheets.Clear();
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
