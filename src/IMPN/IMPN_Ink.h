#pragma once
#include "IMPN/IMPN_Color.h"

#include <cstdint>
#include <string>

// The colour a separation is shown in: its colour at full strength, an opacity in percent and
// the paper under it. The two static blends are all the colour arithmetic of the compositor.
class IMPN_Ink {
public:
  IMPN_Ink();
  IMPN_Ink(IMPN_RGBColor8 const& colour, long opacity);
  IMPN_Ink(IMPN_Ink const& other) = default;
  IMPN_Ink& operator=(IMPN_Ink const& other) = default;

  void SetColor(char const* name, IMPN_RGBColor8 const& colour, long opacity);

  // The ink at its opacity over its paper.
  void GetColor(IMPN_RGBColor8& out) const;

  // Transparent ink: multiplies over what lies below (255 acts as one). below may be out.
  static void Blend(IMPN_Ink const& ink, IMPN_RGBColor8 const& below, IMPN_RGBColor8& out);
  // Opaque ink: mixes its colour with what lies below by its opacity.
  static void OpaqueAlphaBlend(IMPN_Ink const& ink, IMPN_RGBColor8 const& below,
                               IMPN_RGBColor8& out);

  IMPN_RGBColor8 const& GetInkColor() const { return m_Color; }
  void SetInkColor(IMPN_RGBColor8 const& colour) { m_Color = colour; }
  long GetOpacity() const { return m_Opacity; }
  void SetOpacity(long opacity) { m_Opacity = opacity; }
  IMPN_RGBColor8 const& GetPaperColor() const { return m_PaperColor; }
  std::string const& GetName() const { return m_Name; }
  void SetName(std::string const& name) { m_Name = name; }
  bool IsUnknown() const { return m_Unknown; }
  void SetUnknown(bool unknown) { m_Unknown = unknown; }

  // [v][p]: p percent of byte value v, truncated.
  static std::uint8_t sm_OpacityTable[256][101];
  static bool sm_TableInitialized;
  // Colour of inks no colour source knows; the application sets the preferred spot colour.
  static IMPN_RGBColor8 sm_DefaultColor;

private:
  static void InitOpacityTable();
  // p percent of v as the platform's program computes it (the two differ in the last bit).
  static double OpacityProduct(int value, int percent);
  // Opacity as a table column; values outside 0..100 would index past the table.
  long ClampedOpacity() const;

  IMPN_RGBColor8 m_Color;
  long m_Opacity;
  IMPN_RGBColor8 m_PaperColor;
  std::string m_Name;
  bool m_Unknown;
};
