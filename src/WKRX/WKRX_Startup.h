// Start and end of the Windows program: the language library, the single running instance, the
// system gate, the help viewer and GDI+, the splash and application window, the colour
// databases and preferences, the hand-over of the program's own command line to itself, the
// message loop, and the boxes for errors that reach the top.
#pragma once

#include "GLIB/GLIB_String.h"

#include <windows.h>

#include <atlapp.h>
#include <atlbase.h>

#include <functional>

class WKRX_Startup {
public:
  // The steps of a run that tests replace; the program runs the real ones.
  struct Steps {
    std::function<void()> loadColorDatabases;
    UINT splashId;
    static Steps Program();
  };

  // The program's module object: its instance, its resource search, the loop of its thread.
  static WTL::CAppModule& Module();

  // The whole program around Run: COM and OLE, the common controls, the module object.
  static int ProgramMain(HINSTANCE instance);

  // The exit code of the message loop; 0 when the program ends early (another instance runs,
  // the system is too old, an error reached the top).
  static int Run(const Steps& steps = Steps::Program());

  // The resource library for a language and country (ISO 639 and ISO 3166 names, any case):
  // empty for English and every language without one.
  static GLIB_WString LanguageLibraryName(const GLIB_WString& language,
                                          const GLIB_WString& country);

  // Loads, from folder, the library of the user's language as a resource-only module and makes
  // it the resource instance; then sets the unit abbreviations from the (perhaps translated)
  // texts. A missing or broken library leaves the program in English. Returns the library, never
  // freed, or null.
  static HMODULE LoadLanguageResources(const GLIB_WString& folder);

  // Windows 2000 with service pack 1 or later.
  static bool CheckWindowsVersion();
};
