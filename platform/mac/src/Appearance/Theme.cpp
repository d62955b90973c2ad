// The stand-in's plain theme (see iStandInTheme.h).
#include "iStandInTheme.h"

#include "../CoreGraphics/iStandInCG.h"
#include "../Files/iStandInFiles.h"
#include "../Fonts/iStandInFonts.h"

#include <cmath>
#include <vector>

namespace {

cairo_font_face_t* Face() {
  return standin_fonts::FaceOf(standin_fonts::kSystemFamily);
}

}  // namespace

namespace standin_theme {

void SetFill(CGContextRef context, UInt32 rgb) {
  CGContextSetRGBFillColor(context, (rgb >> 16 & 0xFF) / 255.0f, (rgb >> 8 & 0xFF) / 255.0f,
                           (rgb & 0xFF) / 255.0f, 1);
}

void Fill(CGContextRef context, const CGRect& rect, UInt32 rgb) {
  SetFill(context, rgb);
  CGContextFillRect(context, rect);
}

void Frame(CGContextRef context, const CGRect& rect, UInt32 rgb, CGFloat width) {
  if (rect.size.width <= 0 || rect.size.height <= 0)
    return;
  SetFill(context, rgb);
  CGContextBeginPath(context);
  CGContextAddRect(context, rect);
  const CGRect inner = CGRectInset(rect, width, width);
  if (inner.size.width > 0 && inner.size.height > 0)
    CGContextAddRect(context, inner);
  CGContextEOFillPath(context);
}

void Bevel(CGContextRef context, const CGRect& rect, Look look) {
  const UInt32 face = look == Look::kPressed    ? kFacePressed
                      : look == Look::kDisabled ? kFaceDisabled
                                                : kFace;
  Fill(context, rect, face);
  Frame(context, rect, kFrame);
}

void FocusRing(CGContextRef context, const CGRect& rect) {
  Frame(context, CGRectInset(rect, -2, -2), kFocus, 2);
}

void Triangle(CGContextRef context, const CGRect& box, Direction direction, UInt32 rgb) {
  const CGFloat left = CGRectGetMinX(box), right = CGRectGetMaxX(box);
  const CGFloat top = CGRectGetMinY(box), bottom = CGRectGetMaxY(box);
  const CGFloat midX = CGRectGetMidX(box), midY = CGRectGetMidY(box);
  SetFill(context, rgb);
  CGContextBeginPath(context);
  switch (direction) {
    case Direction::kDown:
      CGContextMoveToPoint(context, left, top);
      CGContextAddLineToPoint(context, right, top);
      CGContextAddLineToPoint(context, midX, bottom);
      break;
    case Direction::kUp:
      CGContextMoveToPoint(context, left, bottom);
      CGContextAddLineToPoint(context, right, bottom);
      CGContextAddLineToPoint(context, midX, top);
      break;
    case Direction::kLeft:
      CGContextMoveToPoint(context, right, top);
      CGContextAddLineToPoint(context, right, bottom);
      CGContextAddLineToPoint(context, left, midY);
      break;
    case Direction::kRight:
      CGContextMoveToPoint(context, left, top);
      CGContextAddLineToPoint(context, left, bottom);
      CGContextAddLineToPoint(context, right, midY);
      break;
  }
  CGContextClosePath(context);
  CGContextFillPath(context);
}

void Disc(CGContextRef context, const CGRect& box, UInt32 rgb) {
  const CGFloat radius = std::min(box.size.width, box.size.height) / 2;
  SetFill(context, rgb);
  CGContextBeginPath(context);
  CGContextAddArc(context, CGRectGetMidX(box), CGRectGetMidY(box), radius, 0, 2 * M_PI, 0);
  CGContextClosePath(context);
  CGContextFillPath(context);
}

void Picture(CGContextRef context, CGImageRef image, const CGRect& place, bool dimmed) {
  if (image == nullptr)
    return;
  CGContextSaveGState(context);
  CGContextTranslateCTM(context, 0, CGRectGetMaxY(place));
  CGContextScaleCTM(context, 1, -1);
  if (dimmed)
    CGContextSetAlpha(context, 0.5f);
  CGContextDrawImage(context, CGRectMake(place.origin.x, 0, place.size.width, place.size.height),
                     image);
  CGContextRestoreGState(context);
}

double TextWidth(const std::u16string& text, double size) {
  return standin_fonts::Measure(Face(), size, standin_files::Utf16ToUtf8(text)).advance;
}

void Text(CGContextRef context, const std::u16string& text, const CGRect& box, double size,
          UInt32 rgb, Align align) {
  if (text.empty() || box.size.width <= 0)
    return;
  const std::u16string shown =
      standin_fonts::Truncate(Face(), size, text, box.size.width, standin_fonts::Cut::kEnd);
  const std::string utf8 = standin_files::Utf16ToUtf8(shown);
  const standin_fonts::TextMetrics m = standin_fonts::Measure(Face(), size, utf8);
  double x = CGRectGetMinX(box);
  if (align == Align::kCentre)
    x += (box.size.width - m.advance) / 2;
  else if (align == Align::kRight)
    x = CGRectGetMaxX(box) - m.advance;
  // Centred on the line: ascent above the baseline, descent below.
  const double baseline =
      std::round(CGRectGetMidY(box) + (std::ceil(m.ascent) - std::ceil(m.descent)) / 2);
  SetFill(context, rgb);
  standin_cg::ShowTextIn(context, std::round(x), baseline, utf8, Face(), size, true);
}

void WrappedText(CGContextRef context, const std::u16string& text, const CGRect& box, double size,
                 UInt32 rgb, CGFloat lineHeight) {
  std::vector<std::u16string> lines;
  std::u16string line;
  std::u16string word;
  auto endWord = [&] {
    const std::u16string longer = line.empty() ? word : line + u" " + word;
    if (!line.empty() && TextWidth(longer, size) > box.size.width) {
      lines.push_back(line);
      line = word;
    } else {
      line = longer;
    }
    word.clear();
  };
  for (char16_t unit : text) {
    if (unit == u' ') {
      endWord();
    } else if (unit == u'\n' || unit == u'\r') {
      endWord();
      lines.push_back(line);
      line.clear();
    } else {
      word += unit;
    }
  }
  endWord();
  lines.push_back(line);
  CGFloat top = CGRectGetMinY(box);
  for (const std::u16string& shown : lines) {
    if (top + lineHeight > CGRectGetMaxY(box) + 0.5)
      break;
    Text(context, shown, CGRectMake(box.origin.x, top, box.size.width, lineHeight), size, rgb);
    top += lineHeight;
  }
}

}  // namespace standin_theme
