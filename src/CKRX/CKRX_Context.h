// The drawing context a platform view makes for one paint. The portable views only hand it on to
// their drawing hooks; what it carries belongs to the platform.
#pragma once
#include "IMPN/IMPN_Color.h"

#if defined(_WIN32)
#include <windows.h>

// The device context of the paint or timer handler; not owned.
class CKRX_Context {
public:
  explicit CKRX_Context(HDC dc) : m_DC(dc) {}
  HDC GetHDC() const { return m_DC; }

private:
  HDC m_DC;
};

#else

// Fill or stroke colour as the graphics system takes it: each channel 0..1.
struct CKRX_ColorComponents {
  float red;
  float green;
  float blue;
  float alpha;

  bool operator==(CKRX_ColorComponents const& o) const {
    return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
  }
};

// The colours for the next fill and stroke, set from the model's 8-bit colours: opaque for an
// IMPN_RGBColor8, the alpha percentage for an IMPN_RGBAColor8.
class CKRX_Context {
public:
  CKRX_Context();
  virtual ~CKRX_Context() = default;

  void SetFillColor(IMPN_RGBColor8 const& colour);
  void SetFillColor(IMPN_RGBAColor8 const& colour);
  void SetStrokeColor(IMPN_RGBColor8 const& colour);
  void SetStrokeColor(IMPN_RGBAColor8 const& colour);

  CKRX_ColorComponents const& FillColor() const { return m_Fill; }
  CKRX_ColorComponents const& StrokeColor() const { return m_Stroke; }

  static CKRX_ColorComponents Components(IMPN_RGBColor8 const& colour);
  static CKRX_ColorComponents Components(IMPN_RGBAColor8 const& colour);

private:
  CKRX_ColorComponents m_Fill;
  CKRX_ColorComponents m_Stroke;
};

#endif
