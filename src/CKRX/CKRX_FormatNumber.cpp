#include "CKRX/CKRX_FormatNumber.h"

#include "USTR/USTR_FormatNumber.h"
#include "USTR/USTR_FormatPica.h"

USTR_StringVector CKRX_FormatNumber::sm_UnitNameAbbrev(kIMPN_UnitCount, USTR_String());
bool CKRX_FormatNumber::sm_Initialized = false;
unsigned short const CKRX_FormatNumber::sm_DegreeSymbol = 0x00B0;

namespace {

bool IsKnownUnit(IMPN_Units units) {
  return units >= kIMPN_Points && units < kIMPN_UnitCount;
}

USTR_String Text(char const* text) {
  return USTR_NStringToUString(std::string(text));
}

}  // namespace

CKRX_FormatNumber::CKRX_FormatNumber() {
  if (sm_Initialized)
    return;
  char const* const abbreviations[kIMPN_UnitCount] = {"pt", "p", "in", "mm", "cm"};
  for (long unit = 0; unit < kIMPN_UnitCount; ++unit)
    sm_UnitNameAbbrev[static_cast<std::size_t>(unit)] = Text(abbreviations[unit]);
  sm_Initialized = true;
}

void CKRX_FormatNumber::SetString(IMPN_Units units, USTR_String const& text) {
  if (IsKnownUnit(units))
    sm_UnitNameAbbrev[static_cast<std::size_t>(units)] = text;
}

USTR_String CKRX_FormatNumber::FormatLength(double value, unsigned long precision,
                                            IMPN_Units units) {
  if (units == kIMPN_Picas)
    return USTR_FormatPica(value, precision, false);
  return USTR_FormatNumber(value, precision, false);
}

USTR_String CKRX_FormatNumber::UnitSuffix(IMPN_Units units, char const* space) {
  if (units == kIMPN_Picas || !IsKnownUnit(units))
    return USTR_String();
  return Text(space) + sm_UnitNameAbbrev[static_cast<std::size_t>(units)];
}

USTR_String CKRX_FormatNumber::FormatCoordinate(double x, double y, IMPN_Units units,
                                                unsigned long precision) {
  USTR_String text = Text("( ");
  text += FormatLength(x, precision, units);
  text += L", ";
  text += FormatLength(y, precision, units);
  text += L") ";
  // The space belongs to the bracket: the unit follows it directly.
  text += UnitSuffix(units, "");
  return text;
}

USTR_String CKRX_FormatNumber::FormatDistanceAngleVector(double distance, double angle,
                                                         IMPN_Units units, unsigned long precision,
                                                         unsigned long anglePrecision) {
  USTR_String text = FormatLength(distance, precision, units);
  text += UnitSuffix(units, " ");
  text += L"  |  ";
  text += USTR_FormatNumber(angle, anglePrecision, true);
  text += sm_DegreeSymbol;
  return text;
}
