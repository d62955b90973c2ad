#pragma once
#include "USTR/USTR_String.h"

class IMPN_Sheet;

// The platform-free half of the row and column labels of a sheet's version matrix: one label per
// separation file or one per version name. The platform views measure and draw them.
class CKRX_VersionLabelView {
public:
  CKRX_VersionLabelView() = default;
  virtual ~CKRX_VersionLabelView() = default;
  CKRX_VersionLabelView(CKRX_VersionLabelView const&) = delete;
  CKRX_VersionLabelView& operator=(CKRX_VersionLabelView const&) = delete;

  // The sheet is not kept alive: its owner holds it while the labels show and calls SetSheet
  // again when the sheet or the listing changes.
  void SetSheet(IMPN_Sheet* sheet, bool byVersion);
  // Front separations in lay-down order, then the back ones unless the back carries the
  // front's plates (work and turn, work and tumble).
  void ListBySeparation();
  // The sheet's version names in their order.
  void ListByVersion();

  // The label of a preview file: its name without a ".KRX", ".PRV" or ".TIF" ending (as
  // written, upper case).
  static USTR_String LabelOfFileName(USTR_String const& name);

protected:
  virtual void RefreshView() = 0;
  // Measures the labels and stores the longest in m_MaximumLabelLength.
  virtual void UpdateMaximumLabelLength() = 0;

  IMPN_Sheet* m_Sheet = nullptr;
  long m_LabelLength = -1;
  long m_MaximumLabelLength = -1;
  USTR_StringVector m_Labels;
};
