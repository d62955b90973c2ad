// One column of the tree control: its title, justification, id, width limits and margins. The
// control keeps a counted pointer to it in the header item's lParam.
#pragma once

#include "GLIB/GLIB_String.h"
#include "TMPL/TMPL_ReferenceCountPointer.h"

class WMCT_HeaderItem;
using WMCT_HeaderItemPtr = TMPL_ReferenceCountPointer<WMCT_HeaderItem>;

class WMCT_HeaderItem {
public:
  enum Justification {
    kLeft = 0,
    kCentre = 1,
    kRight = 2
  };

  WMCT_HeaderItem(GLIB_WString title, int justification, int columnId, int width, int maximumWidth,
                  int minimumWidth, bool hideWhenExpanded, bool secondFlag, int order,
                  bool sortable, int leftMargin, int rightMargin, int extra1, int extra2)
      : m_Title(std::move(title)),
        m_Justification(justification),
        m_ColumnId(columnId),
        m_Width(width),
        m_MaximumWidth(maximumWidth),
        m_MinimumWidth(minimumWidth),
        m_HideWhenExpanded(hideWhenExpanded),
        m_SecondFlag(secondFlag),
        m_Order(order),
        m_Sortable(sortable),
        m_LeftMargin(leftMargin),
        m_RightMargin(rightMargin),
        m_Extra1(extra1),
        m_Extra2(extra2) {}

  static WMCT_HeaderItemPtr Create(GLIB_WString title, int justification, int columnId, int width,
                                   int maximumWidth, int minimumWidth, bool hideWhenExpanded,
                                   bool secondFlag, int order, bool sortable, int leftMargin,
                                   int rightMargin, int extra1, int extra2) {
    return WMCT_HeaderItemPtr(new WMCT_HeaderItem(
        std::move(title), justification, columnId, width, maximumWidth, minimumWidth,
        hideWhenExpanded, secondFlag, order, sortable, leftMargin, rightMargin, extra1, extra2));
  }

  GLIB_WString m_Title;
  int m_Justification;
  int m_ColumnId;
  int m_Width;
  int m_MaximumWidth;
  int m_MinimumWidth;
  bool m_HideWhenExpanded;
  // Stored for the client; the control gives them no meaning.
  bool m_SecondFlag;
  int m_Order;
  bool m_Sortable;
  int m_LeftMargin;
  int m_RightMargin;
  int m_Extra1;
  int m_Extra2;
};
