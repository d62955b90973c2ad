// The object behind one item of the tree control: it owns one cell per column the control had
// when the row was initialised, carries the row's drawing state into them and draws a column's
// cell on request. The control makes rows through registered factories, keeps each in its item's
// lParam and deletes it with the item. Applications derive their row kinds from it. UI thread
// only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <map>
#include <memory>

#include "GLIB/GLIB_String.h"
#include "WMCT/WMCT_Cells.h"
#include "WMCT/WMCT_TreeItem.h"

class WMCT_MultiColumnTreeCtrl;

using WMCT_CellFactory = std::unique_ptr<WMCT_CellBase> (*)();
using WMCT_CellFactoryMap = std::map<int, WMCT_CellFactory>;

constexpr std::uint32_t kWMCT_CellCreationFailed = 1449001;

class WMCT_RowBase {
public:
  WMCT_RowBase() = default;
  WMCT_RowBase(const WMCT_RowBase&) = delete;
  WMCT_RowBase& operator=(const WMCT_RowBase&) = delete;
  virtual ~WMCT_RowBase();

  // Makes one cell per column of owner, from the factory of the column's id.
  virtual void Initialise(const GLIB_WString& label, const WMCT_CellFactoryMap& factories,
                          const WMCT_TreeItem& item, WMCT_MultiColumnTreeCtrl* owner);
  virtual void OnExpanding() {}
  // The cell of a column id; null for an id the row has no cell for.
  virtual WMCT_CellBase* Cell(int columnId) const;
  // Negative, 0 or positive against other by the column at header position column.
  virtual int Compare(const WMCT_RowBase& other, int column) const;
  virtual WMCT_TreeItem GetTreeItem() const { return m_Item; }
  virtual void InsertPlaceholderChild();
  virtual void DeleteChildren();
  // Stores a copy of cell under columnId and returns it; the caller keeps cell.
  virtual WMCT_CellBase* CellAdd(int columnId, const WMCT_CellBase& cell);

  std::uint32_t GetRowState() const { return m_RowState; }
  // Passes a state 0..5 to every cell; another state is logged FATAL once the state is stored.
  std::uint32_t SetRowState(std::uint32_t state);
  WMCT_MultiColumnTreeCtrl* GetOwner() const { return m_Owner; }
  int GetColumnCount() const;
  int GetColumnId(int position) const;
  bool IsColumnHiddenWhenExpanded(int position) const;
  void HideCellsForExpandedRow();
  void ShowAllCells();
  bool IsExpanded() const;
  bool SortChildren(PFNTVCOMPARE compare);
  GLIB_WString GetLabel() const { return m_Label; }
  std::size_t GetCellCount() const { return m_Cells.size(); }
  // Draws the column's cell when the rectangle is 0 to 1000 pixels high.
  void DrawCell(int columnId, HDC dc, const RECT& rect) const;

private:
  GLIB_WString m_Label;
  std::map<int, std::unique_ptr<WMCT_CellBase>> m_Cells;
  WMCT_TreeItem m_Item;
  WMCT_MultiColumnTreeCtrl* m_Owner = nullptr;
  std::uint32_t m_RowState = 0;
};

using WMCT_RowFactory = std::unique_ptr<WMCT_RowBase> (*)();
