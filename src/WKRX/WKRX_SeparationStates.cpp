#include "WKRX/WKRX_SeparationStates.h"

#include "GFIL/GFIL_FileSpec.h"
#include "GFIL/GFIL_Utils.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Sheet.h"
#include "IMPN/IMPN_Surface.h"

#include <windows.h>

#include <algorithm>

GLIB_WString WKRX_FileKey(const GFIL_FileSpec& spec) {
  GLIB_WString key = GFIL_PlatformPathFromSpec(spec);
  if (!key.empty())
    CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

void WKRX_SeparationStates::Clear() {
  m_Surfaces[0] = Surface();
  m_Surfaces[1] = Surface();
}

void WKRX_SeparationStates::Capture(IMPN_Sheet& sheet) {
  Clear();
  Capture(sheet.GetFrontSurface(), m_Surfaces[0]);
  Capture(sheet.GetBackSurface(), m_Surfaces[1]);
}

void WKRX_SeparationStates::Capture(IMPN_Surface& surface, Surface& state) {
  state.m_Opacity = surface.GetOpacity();
  for (IMPN_Separation* separation : surface.GetSeparations()) {
    const GLIB_WString key = WKRX_FileKey(separation->GetFileSpec());
    state.m_Order.push_back(key);
    state.m_Files[key] = Separation{separation->IsVisible(), separation->GetInk()};
  }
}

void WKRX_SeparationStates::ApplyTo(IMPN_Sheet& sheet) {
  Apply(m_Surfaces[0], sheet.GetFrontSurface());
  Apply(m_Surfaces[1], sheet.GetBackSurface());
  Clear();
}

void WKRX_SeparationStates::Apply(const Surface& state, IMPN_Surface& surface) {
  if (state.m_Files.empty() || !surface.HasSeparations())
    return;
  surface.SetOpacity(state.m_Opacity);
  auto rank = [&state](IMPN_Separation* separation) {
    const GLIB_WString key = WKRX_FileKey(separation->GetFileSpec());
    const auto found = std::find(state.m_Order.begin(), state.m_Order.end(), key);
    return static_cast<std::size_t>(found - state.m_Order.begin());
  };
  std::vector<IMPN_Separation*> order = surface.GetSeparations();
  std::stable_sort(order.begin(), order.end(),
                   [&rank](IMPN_Separation* a, IMPN_Separation* b) { return rank(a) < rank(b); });
  for (IMPN_Separation* separation : order) {
    const auto found = state.m_Files.find(WKRX_FileKey(separation->GetFileSpec()));
    if (found == state.m_Files.end())
      continue;
    separation->SetInk(found->second.m_Ink);
    separation->SetVisible(found->second.m_Visible);
  }
  // New time stamps: the tiles are made again with the states just given.
  surface.ResetLayDownOrder(order);
}
