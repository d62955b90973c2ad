// Row decorators draw over or under a row in the tree control's custom draw. A chain draws its
// members in order; the drop cursor draws the lines that show where dragged rows will land.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <utility>
#include <vector>

#include "TMPL/TMPL_ReferenceCountPointer.h"
#include "WMCT/WMCT_TreeItem.h"

class WMCT_RowDecoratorBase;
using WMCT_RowDecoratorPtr = TMPL_ReferenceCountPointer<WMCT_RowDecoratorBase>;

class WMCT_RowDecoratorBase {
public:
  virtual ~WMCT_RowDecoratorBase() = default;
  virtual std::unique_ptr<WMCT_RowDecoratorBase> Clone() const = 0;
  virtual void Decorate(const WMCT_TreeItem& item, HDC dc) = 0;
};

class WMCT_RowDecoratorChain : public WMCT_RowDecoratorBase {
public:
  // A new chain sharing the same decorators.
  std::unique_ptr<WMCT_RowDecoratorBase> Clone() const override;
  void Decorate(const WMCT_TreeItem& item, HDC dc) override;
  // Appends a clone of decorator.
  void Add(const WMCT_RowDecoratorBase& decorator);
  std::size_t GetCount() const { return m_Decorators.size(); }

private:
  std::vector<WMCT_RowDecoratorPtr> m_Decorators;
};

// The drop position: the row with a line above it and the row with a line below it; copies of
// the cursor share one position.
class WMCT_RowDecoratorDropCursor : public WMCT_RowDecoratorBase {
public:
  static HTREEITEM Unset() { return reinterpret_cast<HTREEITEM>(static_cast<INT_PTR>(-1)); }

  WMCT_RowDecoratorDropCursor();

  std::unique_ptr<WMCT_RowDecoratorBase> Clone() const override;
  void Decorate(const WMCT_TreeItem& item, HDC dc) override;

  void SetLines(HTREEITEM lineAbove, HTREEITEM lineBelow) const {
    m_Position->first = lineAbove;
    m_Position->second = lineBelow;
  }
  HTREEITEM GetLineAbove() const { return m_Position->first; }
  HTREEITEM GetLineBelow() const { return m_Position->second; }

private:
  TMPL_ReferenceCountPointer<std::pair<HTREEITEM, HTREEITEM>> m_Position;
};
