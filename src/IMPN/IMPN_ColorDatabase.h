#pragma once
#include "IMPN/IMPN_ColorDBFile.h"
#include "IMPN/IMPN_ColorRecipe.h"

#include <string>

// The process-wide store that turns ink names into screen colours: the read-only Pantone
// recipes (the shipped file plus the process colours) and the user's custom recipes. All use
// belongs to the user-interface thread: lookups update the cached screen colours.
class IMPN_ColorDatabase {
public:
  // Load the Pantone colours first: inserting custom colours consults them.
  static void LoadPantoneColors(std::string const& path);
  static void LoadCustomColors(std::string const& path);
  // Writes the custom colours to the path they were loaded from.
  static IMPN_ColorFileStatus SaveCustomColors();

  // Stores an RGB recipe under the name, unless a Pantone colour has that name.
  static void InsertCustomColor(IMPN_RGBColor8& colour, std::string name);

  // True with the screen colour when the name is known; out is untouched otherwise.
  static bool GetPantoneRecipe(IMPN_RGBColor8& out, std::string name);
  static bool GetUserRecipe(IMPN_RGBColor8& out, std::string name);

  // Normalises the suffix of a Pantone name (CVC to C, CVU to U, ...) in place.
  static void ResolvePantoneName(std::string& name);

  // The fixed formulas.
  static IMPN_RGBColor8 CMYKToRGB(impn_CMYKColor8& percentages);
  static IMPN_RGBColor8 LabToRGB(impn_LabColor16& lab);
#if !defined(_WIN32)
  // The system's colour management; 0 on success.
  static long ColorSyncCMYKToRGB(impn_CMYKColor16& cmyk, IMPN_RGBColor8& out);
  static long ColorSyncLabToRGB(impn_LabColor16& lab, IMPN_RGBColor8& out);
#endif
  // System colour management where there is one, the formulas when it fails.
  static IMPN_RGBColor8 IMPNCMYKToRGB(impn_CMYKColor16& cmyk);
  static IMPN_RGBColor8 IMPNCMYKToRGB(impn_CMYKColor8& percentages);
  static IMPN_RGBColor8 IMPNLabToRGB(impn_LabColor16& lab);

  static IMPN_ColorMap sm_PantoneColorMap;
  static IMPN_ColorMap sm_CustomColorMap;
  static std::string sm_PantoneColorFilePath;
  static std::string sm_CustomColorFilePath;

private:
  static bool IsPantoneName(std::string const& name);
  static bool LookUp(IMPN_ColorMap& map, IMPN_RGBColor8& out, std::string const& name);
  // 0 on success; no system colour management gives a non-zero status.
  static long SystemCMYKToRGB(impn_CMYKColor16& cmyk, IMPN_RGBColor8& out);
  static long SystemLabToRGB(impn_LabColor16& lab, IMPN_RGBColor8& out);
};
