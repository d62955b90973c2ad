#pragma once
#include <string>
#include <vector>

class IMPN_Sheet;
class TIFX_KRXFile;

// Check-box state of a node in the job browsers.
enum IMPN_ButtonState : int {
  kIMPN_ButtonOff = 0,
  kIMPN_ButtonOn = 1,
  kIMPN_ButtonMixed = 2
};

// Base of every level of the job tree (registry, imposition, signature, sheet, surface,
// separation): the parent link and the three-state selection.
class IMPN_Node {
public:
  // Key of CompareTo behind the sorted columns of the job browsers.
  enum SortKey {
    kIdentityOrder = 0,
    kCountOrPrintOrder = 1,
    kPrintTime = 2,
    kSelectionState = 3,
    kResolution = 4
  };

  IMPN_Node();
  virtual ~IMPN_Node();

  virtual void Clear() = 0;
  virtual void GetAllSheets(std::vector<IMPN_Sheet*>& out);
  virtual void SelectRecent() = 0;
  virtual void SelectChildren(IMPN_ButtonState state) = 0;
  virtual void UpdateParentSelections() = 0;
  // Levels answer keys 0 to 2 themselves and fall back to this for keys 3 and 4.
  virtual int CompareTo(IMPN_Node const* other, SortKey key);
  virtual void Print(long indent) = 0;
  virtual std::string ToString() const;
  virtual void Add(TIFX_KRXFile& file) = 0;

  void SetSelectedState(IMPN_ButtonState state) { m_SelectedState = state; }
  IMPN_ButtonState GetSelectedState() const { return m_SelectedState; }
  IMPN_Node* GetParent() const { return m_Parent; }

  // Called on a new child: links it to its parent, then lets the file travel on down.
  void AddChild(TIFX_KRXFile& file, IMPN_Node* parent);

protected:
  // Two spaces per level of a tree dump.
  static std::string PrintMargin(long indent);
  // Rank of a selection state for sorting: on, mixed, off.
  static int SelectionRank(IMPN_ButtonState state);

  // The rule every inner level follows: a mixed state changes nothing; otherwise each child
  // takes the state and passes it on down, depth first.
  template <typename Children>
  static void SelectEachChild(Children const& children, IMPN_ButtonState state) {
    if (state == kIMPN_ButtonMixed)
      return;
    for (auto* child : children) {
      child->SetSelectedState(state);
      child->SelectChildren(state);
    }
  }

  // The rule every inner level follows over its own children: all on gives on, some on or
  // mixed gives mixed, else off; then the parent follows.
  template <typename Children>
  void UpdateSelectionFromChildren(Children const& children) {
    std::vector<IMPN_ButtonState> states;
    for (auto* child : children)
      states.push_back(child->GetSelectedState());
    m_SelectedState = CombinedState(states);
    if (m_Parent)
      m_Parent->UpdateParentSelections();
  }

  static IMPN_ButtonState CombinedState(std::vector<IMPN_ButtonState> const& childStates);

  IMPN_Node* m_Parent;
  IMPN_ButtonState m_SelectedState;
};
