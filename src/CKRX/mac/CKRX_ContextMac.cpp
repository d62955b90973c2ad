#include "CKRX/CKRX_Context.h"

namespace {

float Channel(std::uint8_t value) {
  return static_cast<float>(value) / 255.0f;
}

}  // namespace

CKRX_Context::CKRX_Context() : m_Fill{0.0f, 0.0f, 0.0f, 1.0f}, m_Stroke{0.0f, 0.0f, 0.0f, 1.0f} {}

CKRX_ColorComponents CKRX_Context::Components(IMPN_RGBColor8 const& colour) {
  return {Channel(colour.red), Channel(colour.green), Channel(colour.blue), 1.0f};
}

CKRX_ColorComponents CKRX_Context::Components(IMPN_RGBAColor8 const& colour) {
  // The alpha byte is a percentage.
  return {Channel(colour.red), Channel(colour.green), Channel(colour.blue),
          static_cast<float>(colour.alpha) / 100.0f};
}

void CKRX_Context::SetFillColor(IMPN_RGBColor8 const& colour) {
  m_Fill = Components(colour);
}

void CKRX_Context::SetFillColor(IMPN_RGBAColor8 const& colour) {
  m_Fill = Components(colour);
}

void CKRX_Context::SetStrokeColor(IMPN_RGBColor8 const& colour) {
  m_Stroke = Components(colour);
}

void CKRX_Context::SetStrokeColor(IMPN_RGBAColor8 const& colour) {
  m_Stroke = Components(colour);
}
