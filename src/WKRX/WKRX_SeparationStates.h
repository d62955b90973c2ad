// What the user set on a sheet's separations and surfaces (visibility, ink, opacity, lay-down
// order), kept by file, so that a sheet rebuilt from the same files with more added shows them
// as before.
#pragma once

#include "GLIB/GLIB_String.h"
#include "IMPN/IMPN_Ink.h"

#include <cstdint>
#include <map>
#include <vector>

class IMPN_Sheet;
class IMPN_Surface;

class WKRX_SeparationStates {
public:
  void Capture(IMPN_Sheet& sheet);
  // Gives the separations of the same files their former states, and the surfaces their
  // opacity and order (files new to the sheet after the others); then forgets what it kept.
  void ApplyTo(IMPN_Sheet& sheet);
  bool IsEmpty() const { return m_Surfaces[0].m_Files.empty() && m_Surfaces[1].m_Files.empty(); }
  void Clear();

private:
  struct Separation {
    bool m_Visible = true;
    IMPN_Ink m_Ink;
  };
  struct Surface {
    std::uint32_t m_Opacity = 100;
    // In lay-down order.
    std::vector<GLIB_WString> m_Order;
    std::map<GLIB_WString, Separation> m_Files;
  };

  static void Capture(IMPN_Surface& surface, Surface& state);
  static void Apply(const Surface& state, IMPN_Surface& surface);

  Surface m_Surfaces[2];
};

// A file's path as the states and drops compare them: the platform path, case folded.
GLIB_WString WKRX_FileKey(const class GFIL_FileSpec& spec);
