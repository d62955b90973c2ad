#include "WMCT/WMCT_Decorators.h"

std::unique_ptr<WMCT_RowDecoratorBase> WMCT_RowDecoratorChain::Clone() const {
  return std::make_unique<WMCT_RowDecoratorChain>(*this);
}

void WMCT_RowDecoratorChain::Decorate(const WMCT_TreeItem& item, HDC dc) {
  for (const WMCT_RowDecoratorPtr& decorator : m_Decorators) {
    decorator->Decorate(item, dc);
  }
}

void WMCT_RowDecoratorChain::Add(const WMCT_RowDecoratorBase& decorator) {
  std::unique_ptr<WMCT_RowDecoratorBase> copy = decorator.Clone();
  WMCT_RowDecoratorPtr shared(copy.get());
  copy.release();
  m_Decorators.push_back(shared);
}

WMCT_RowDecoratorDropCursor::WMCT_RowDecoratorDropCursor()
    : m_Position(new std::pair<HTREEITEM, HTREEITEM>(Unset(), Unset())) {}

std::unique_ptr<WMCT_RowDecoratorBase> WMCT_RowDecoratorDropCursor::Clone() const {
  return std::make_unique<WMCT_RowDecoratorDropCursor>(*this);
}

namespace {

struct OwnedPen {
  HPEN m_Pen;
  ~OwnedPen() { ::DeleteObject(m_Pen); }
};

}  // namespace

void WMCT_RowDecoratorDropCursor::Decorate(const WMCT_TreeItem& item, HDC dc) {
  RECT rect = {};
  if (!WMCT_GetItemRect(item.GetTree(), item.GetItem(), false, &rect)) {
    return;
  }
  const OwnedPen text{::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_WINDOWTEXT))};
  const OwnedPen window{::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_WINDOW))};
  const HGDIOBJ old =
      ::SelectObject(dc, item.GetItem() == GetLineAbove() ? text.m_Pen : window.m_Pen);
  ::MoveToEx(dc, rect.left, rect.top, nullptr);
  ::LineTo(dc, rect.right, rect.top);
  ::SelectObject(dc, item.GetItem() == GetLineBelow() ? text.m_Pen : window.m_Pen);
  ::MoveToEx(dc, rect.right, rect.bottom - 1, nullptr);
  ::LineTo(dc, rect.left, rect.bottom - 1);
  ::SelectObject(dc, old);
}
