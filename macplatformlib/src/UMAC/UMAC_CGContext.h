// A CoreGraphics context held with an ownership flag, with colour setting from QuickDraw colours,
// mirroring, rounded rectangles and text measuring; and a bitmap context made over the caller's
// memory.
#pragma once

#include <CoreGraphics/CoreGraphics.h>
#include <QD/QuickDraw.h>

class UMAC_CGContext {
public:
  UMAC_CGContext() = default;
  UMAC_CGContext(CGContextRef context, bool owned) : m_Context(context), m_Owned(owned) {}
  // Releases the context only when it is owned.
  virtual ~UMAC_CGContext();
  UMAC_CGContext(const UMAC_CGContext&) = delete;
  UMAC_CGContext& operator=(const UMAC_CGContext&) = delete;

  CGContextRef Get() const { return m_Context; }
  operator CGContextRef() const { return m_Context; }
  bool IsOwned() const { return m_Owned; }

  // Each component and the alpha over 65535.
  void SetRGBFillColor(const RGBColor& color, UInt16 alpha);
  void SetRGBStrokeColor(const RGBColor& color, UInt16 alpha);
  // Scale the CTM by (1, -1) and (-1, 1).
  void MirrorAboutXAxis();
  void MirrorAboutYAxis();
  // A closed path of the rectangle with corners rounded by tangent arcs of the radius.
  void CreateRoundRectPath(const CGRect& r, float radius);
  void FillRoundRect(const CGRect& r, float radius);
  // The width of the zero-terminated text in the selected font (drawn invisibly).
  float MeasureTextWidth(const char* text);

protected:
  CGContextRef m_Context = nullptr;
  bool m_Owned = false;
};

class UMAC_CGBitmapContext : public UMAC_CGContext {
public:
  UMAC_CGBitmapContext() = default;
  // Releases a context it owns, then makes one with exactly these parameters; owns it when it
  // was made. Null on failure.
  CGContextRef Create(void* data, size_t width, size_t height, size_t bitsPerComponent,
                      size_t bytesPerRow, CGColorSpaceRef space, CGImageAlphaInfo alphaInfo);
};
