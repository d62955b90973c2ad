// A Navigation dialog as a window that a user at a display answers (see HIToolbox/Navigation.h).
#pragma once
#include <HIToolbox/Navigation.h>

#include <functional>
#include <string>

namespace standin_tb {

// Shows the dialog's window on the folder at start and takes the input of the current source
// until the user chooses or cancels: the folder's items one a row (folders first, hidden items
// left out; those the filter hides, and files in a folder dialog, greyed and not chosen), a click
// selecting a row and a double click opening a folder or choosing an item, the "Up" button going
// to the enclosing folder, the action button choosing the selection (a folder dialog: the
// selected folder, else the one shown), Return and Escape as the action and cancel buttons. The
// answer names every item shown as browsed; a source that runs out cancels.
StandIn_NavAnswer RunNavWindow(const StandIn_NavDialogTexts& texts, const std::string& start,
                               const std::function<bool(const std::string&)>& filterShows);

}  // namespace standin_tb
