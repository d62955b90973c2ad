// A report list view whose rows are item objects that compare themselves: a click on a column
// header sorts by that column, ascending first and reversed on each further click, and the header
// shows the sort mark (on Windows 2000 the shell's arrow bitmaps). The application's browsers
// derive from the list and their rows from the item class. UI thread only.
//
// The list owns the item objects in its rows' lParams, and deletes each in one place only: the
// reflected LVN_DELETEITEM of its row. Whatever removes a row (the delete functions, LVM_DELETEITEM
// from elsewhere, the window's destruction) therefore deletes its object once; the parent must
// reflect notifications (REFLECT_NOTIFICATIONS), as it must for the column clicks.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atlbase.h>
#include <atlwin.h>
#include <atlctrls.h>

#include <exception>
#include <memory>
#include <type_traits>

class WTLU_SortableListViewItem {
public:
  virtual ~WTLU_SortableListViewItem() = default;
  // Negative, 0 or positive. sortParameter is the packed parameter of the sort: the column is
  // WTLU_SortableListView::SortColumnOf(sortParameter).
  virtual int Compare(const WTLU_SortableListViewItem& other, LPARAM sortParameter) const = 0;
};

class WTLU_SortableListView
    : public ATL::CWindowImpl<WTLU_SortableListView, WTL::CListViewCtrlT<ATL::CWindow>,
                              ATL::CControlWinTraits>,
      public WTL::CCustomDraw<WTLU_SortableListView> {
public:
  WTLU_SortableListView();
  ~WTLU_SortableListView() override;

  BEGIN_MSG_MAP(WTLU_SortableListView)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  REFLECTED_NOTIFY_CODE_HANDLER(LVN_COLUMNCLICK, OnColumnClick)
  REFLECTED_NOTIFY_CODE_HANDLER(LVN_BEGINDRAG, OnBeginDragNotify)
  REFLECTED_NOTIFY_CODE_HANDLER(LVN_DELETEITEM, OnDeleteItem)
  REFLECTED_NOTIFY_CODE_HANDLER(LVN_DELETEALLITEMS, OnDeleteAllItems)
  REFLECTED_NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

  // Inserts a row showing text whose lParam holds item; the list owns item from now on. Returns
  // the row's index, or -1 when no row could be made (item is then deleted).
  int InsertItemObject(int index, const wchar_t* text,
                       std::unique_ptr<WTLU_SortableListViewItem> item);
  WTLU_SortableListViewItem* GetItemObject(int index) const;

  // Sorts by column; direction 1 ascending, -1 descending, 0 leaves every comparison equal. The
  // previous sort column loses its mark. An exception from an item's Compare ends the comparing
  // (the rest compare equal) and leaves this call once the control has finished.
  void SortByColumn(int column, int direction);
  int GetSortColumn() const { return m_SortColumn; }
  int GetSortDirection() const { return m_SortDirection; }

  // Remove the selected rows, or all rows, with their item objects; return how many went.
  int DeleteSelectedItems();
  int DeleteAllItems();

  // The sort parameter: direction in the high word, column in the low word.
  static LPARAM SortParameter(int column, int direction);
  static int SortColumnOf(LPARAM sortParameter);
  // The comparison LVM_SORTITEMS runs: by the first item for direction 1, by the second for
  // direction -1 (high word 0xFFFF), else equal.
  static int CALLBACK CompareItems(LPARAM first, LPARAM second, LPARAM sortParameter) noexcept;

protected:
  friend class WTL::CCustomDraw<WTLU_SortableListView>;
  // Custom-draw hooks by drawing stage, virtual so that the browsers can draw their rows. The
  // defaults leave the message unhandled and answer CDRF_DODEFAULT; an override that handles a
  // stage returns its answer.
  virtual DWORD OnPrePaint(int idCtrl, LPNMCUSTOMDRAW customDraw);
  virtual DWORD OnItemPrePaint(int idCtrl, LPNMCUSTOMDRAW customDraw);
  virtual DWORD OnItemPostPaint(int idCtrl, LPNMCUSTOMDRAW customDraw);
  // The drag start of the application's browsers; by default nothing.
  virtual LRESULT OnBeginDrag(int idCtrl, LPNMHDR header, BOOL& bHandled);

private:
  struct BitmapDeleter {
    void operator()(HBITMAP bitmap) const { ::DeleteObject(bitmap); }
  };
  using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

  LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnColumnClick(int idCtrl, LPNMHDR header, BOOL& bHandled);
  LRESULT OnBeginDragNotify(int idCtrl, LPNMHDR header, BOOL& bHandled);
  LRESULT OnDeleteItem(int idCtrl, LPNMHDR header, BOOL& bHandled);
  LRESULT OnDeleteAllItems(int idCtrl, LPNMHDR header, BOOL& bHandled);
  LRESULT OnCustomDraw(int idCtrl, LPNMHDR header, BOOL& bHandled);

  bool IsOwnNotification(LPNMHDR header) const { return header->hwndFrom == m_hWnd; }
  void LoadArrowBitmaps();
  // Sets or clears the sort mark of a column's header item.
  void SetHeaderMark(int column, int direction);

  int m_SortColumn = 0;
  int m_SortDirection = 1;
  bool m_UseArrowBitmaps;
  OwnedBitmap m_AscendingArrow;
  OwnedBitmap m_DescendingArrow;
};
