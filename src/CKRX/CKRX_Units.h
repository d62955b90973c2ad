#pragma once
// Length units of measurements, rulers and the unit origin.
enum IMPN_Units : long {
  kIMPN_Points = 0,
  kIMPN_Picas = 1,
  kIMPN_Inches = 2,
  kIMPN_Millimeters = 3,
  kIMPN_Centimeters = 4,
  kIMPN_UnitCount = 5
};

// Units per inch, indexed by IMPN_Units.
inline constexpr double kIMPN_UnitConversions[kIMPN_UnitCount] = {72.0, 6.0, 1.0, 25.4, 2.54};
