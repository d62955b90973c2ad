#include "IMPN/IMPN_Node.h"

#include <typeinfo>

IMPN_Node::IMPN_Node() : m_Parent(nullptr), m_SelectedState(kIMPN_ButtonOff) {}

IMPN_Node::~IMPN_Node() = default;

void IMPN_Node::GetAllSheets(std::vector<IMPN_Sheet*>& out) {
  out.clear();
}

std::string IMPN_Node::PrintMargin(long indent) {
  return std::string(static_cast<std::size_t>(indent > 0 ? indent * 2 : 0), ' ');
}

int IMPN_Node::SelectionRank(IMPN_ButtonState state) {
  switch (state) {
    case kIMPN_ButtonOn:
      return 1;
    case kIMPN_ButtonMixed:
      return 2;
    case kIMPN_ButtonOff:
      return 3;
  }
  return 0;
}

int IMPN_Node::CompareTo(IMPN_Node const* other, SortKey key) {
  if (!other || typeid(*other) != typeid(*this))
    return 0;
  if (key == kSelectionState)
    return SelectionRank(m_SelectedState) - SelectionRank(other->m_SelectedState);
  return 0;
}

std::string IMPN_Node::ToString() const {
  return "IMPN_Node";
}

void IMPN_Node::AddChild(TIFX_KRXFile& file, IMPN_Node* parent) {
  m_Parent = parent;
  Add(file);
}

IMPN_ButtonState IMPN_Node::CombinedState(std::vector<IMPN_ButtonState> const& childStates) {
  std::size_t on = 0;
  std::size_t mixed = 0;
  for (IMPN_ButtonState s : childStates) {
    if (s == kIMPN_ButtonOn)
      ++on;
    else if (s == kIMPN_ButtonMixed)
      ++mixed;
  }
  if (childStates.empty())
    return kIMPN_ButtonOff;
  if (on == childStates.size())
    return kIMPN_ButtonOn;
  if (on > 0 || mixed > 0)
    return kIMPN_ButtonMixed;
  return kIMPN_ButtonOff;
}
