#pragma once
#include "IMPN/IMPN_Node.h"

// State of a job or signature after its children selected their most recent run: mixed as
// soon as one child is mixed, on when every child is on, else off.
template <typename Children>
IMPN_ButtonState iIMPN_RecentSelectionState(Children const& children) {
  bool allOn = !children.empty();
  for (auto const* child : children) {
    if (child->GetSelectedState() == kIMPN_ButtonMixed)
      return kIMPN_ButtonMixed;
    allOn = allOn && child->GetSelectedState() == kIMPN_ButtonOn;
  }
  return allOn ? kIMPN_ButtonOn : kIMPN_ButtonOff;
}
