#include "CKRX/CKRX_VersionLabelView.h"

#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Sheet.h"

namespace {

// The back carries the same plates as the front.
constexpr std::uint16_t kWorkAndTurn = 3;
constexpr std::uint16_t kWorkAndTumble = 4;

bool EndsWith(USTR_String const& text, char const* suffix) {
  USTR_String const tail = USTR_NStringToUString(std::string(suffix));
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void AddSeparationLabels(IMPN_Surface const& surface, USTR_StringVector& labels) {
  for (IMPN_Separation const* separation : surface.GetSeparations())
    labels.push_back(CKRX_VersionLabelView::LabelOfFileName(
        USTR_WStringToUString(separation->GetFileSpec().Name())));
}

}  // namespace

USTR_String CKRX_VersionLabelView::LabelOfFileName(USTR_String const& name) {
  for (char const* suffix : {".KRX", ".PRV", ".TIF"})
    if (EndsWith(name, suffix))
      return name.substr(0, name.size() - 4);
  return name;
}

void CKRX_VersionLabelView::SetSheet(IMPN_Sheet* sheet, bool byVersion) {
  m_Sheet = sheet;
  if (byVersion)
    ListByVersion();
  else
    ListBySeparation();
}

void CKRX_VersionLabelView::ListBySeparation() {
  m_Labels.clear();
  if (m_Sheet == nullptr)
    return;
  IMPN_Surface const& front = m_Sheet->GetFrontSurface();
  IMPN_Surface const& back = m_Sheet->GetBackSurface();
  if (front.HasSeparations())
    AddSeparationLabels(front, m_Labels);
  std::uint16_t const workStyle = m_Sheet->GetWorkStyle();
  if (back.HasSeparations() && workStyle != kWorkAndTurn && workStyle != kWorkAndTumble)
    AddSeparationLabels(back, m_Labels);
  UpdateMaximumLabelLength();
  RefreshView();
}

void CKRX_VersionLabelView::ListByVersion() {
  m_Labels.clear();
  if (m_Sheet == nullptr)
    return;
  for (USTR_String const& name : m_Sheet->GetVersionNames())
    m_Labels.push_back(name);
  UpdateMaximumLabelLength();
  RefreshView();
}
