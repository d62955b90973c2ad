#pragma once
#include "CKRX/CKRX_Units.h"
#include "USTR/USTR_String.h"

// Lengths, points and distance-angle pairs as the user reads them: locale-formatted, in picas
// and points for picas, with the unit's abbreviation otherwise. The abbreviations are shared by
// the whole program; callers make a local object and format through it.
class CKRX_FormatNumber {
public:
  // The first construction sets the English abbreviations; later ones leave them, so
  // localised ones set through SetString stay.
  CKRX_FormatNumber();

  // Replaces the abbreviation of one unit; a value outside the units is ignored.
  void SetString(IMPN_Units units, USTR_String const& text);

  // The number alone, without unit.
  USTR_String FormatLength(double value, unsigned long precision, IMPN_Units units);
  // "( x, y) " and the unit's abbreviation (none for picas).
  USTR_String FormatCoordinate(double x, double y, IMPN_Units units, unsigned long precision);
  // The distance with its unit, "  |  ", then the signed angle and the degree sign.
  USTR_String FormatDistanceAngleVector(double distance, double angle, IMPN_Units units,
                                        unsigned long precision, unsigned long anglePrecision);

  static USTR_StringVector sm_UnitNameAbbrev;
  static bool sm_Initialized;
  static unsigned short const sm_DegreeSymbol;

private:
  // The abbreviation with the space that parts it from the number; empty for picas and for
  // values outside the units.
  static USTR_String UnitSuffix(IMPN_Units units, char const* space);
};
