// Checks that the program's nib windows hold the views its code looks up: a table of rows (nib,
// window, ControlID), one per view the code finds by id. The subsystems that bring nib windows add
// their rows to ProgramNibTable.
#pragma once

#include <HIToolbox/HIView.h>

#include <string>
#include <vector>

namespace PPXA {

struct NibCheckRow {
  const char* nib;
  const char* window;
  ControlID id;
};

// What is wrong, one text per problem ("<nib>: <window>: status <n>" for a window that does not
// load, "<nib>: <window>: no view 'SIGN' <id>" for a missing view); empty when all is well.
std::vector<std::string> CheckNibViews(std::vector<NibCheckRow> const& rows);

// The rows of the program's own nib windows.
std::vector<NibCheckRow> const& ProgramNibTable();

}  // namespace PPXA
