// Conversions between the job model's geometry and colours and those of CoreGraphics and
// QuickDraw, and the system font's PostScript name and metrics for the texts the views draw.
// Main thread only.
#pragma once

#include "IMPN/IMPN_Color.h"
#include "IMPN/IMPN_Geometry.h"

#include <ATS/ATSFont.h>
#include <CoreGraphics/CGGeometry.h>
#include <QD/QuickDraw.h>

#include <string>

class MKRX_Utils {
public:
  MKRX_Utils() = delete;

  // The model's y axis points down, CoreGraphics' up: (x, -y), and a rectangle's origin is its
  // lower left corner (left, -(top + height)).
  static CGPoint IMPNToCGPoint(IMPN_PointT<long> const& point);
  static CGRect IMPNToCGRect(IMPN_RectT<long> const& rect);
  // Every coordinate and size times the factor.
  static CGPoint ScaleCGPoint(CGPoint const& point, float factor);
  static CGRect ScaleCGRect(CGRect const& rect, float factor);

  // 8-bit components c become c * 257 (alpha is dropped); back, each is divided by 257, and
  // alpha is 100 (opaque).
  static RGBColor RGB8ToRGBColor(IMPN_RGBColor8 const& color);
  static RGBColor RGBA8ToRGBColor(IMPN_RGBAColor8 const& color);
  static IMPN_RGBColor8 RGBToRGB8Color(RGBColor const& color);
  static IMPN_RGBAColor8 RGBToRGBA8Color(RGBColor const& color);

  // The pixel depth of the port and true; depth 1 and false for no port.
  static bool GetColorDepth(CGrafPtr port, short& depth);

  // The system font's PostScript name (Mac Roman) and horizontal metrics, read once.
  static std::string const& GetThemeFontPostScriptName();
  static ATSFontMetrics const& GetThemeFontMetrics();

private:
  static void InitThemeFontInfo();

  static bool sm_ThemeFontInfoInited;
  static std::string sm_ThemeFontName;
  static ATSFontMetrics sm_ThemeFontMetrics;
};
