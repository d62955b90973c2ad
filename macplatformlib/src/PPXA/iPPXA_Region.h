// A QuickDraw region the PowerPlant X additions own: made empty, disposed of when the holder goes.
#pragma once

#include <PPx/PPxExceptions.h>
#include <QD/QuickDraw.h>

namespace PPXA {

class iPPXA_Region {
public:
  // Throws PPx::OSError when no region can be made.
  iPPXA_Region() : m_Region(NewRgn()) {
    if (m_Region == nullptr)
      throw PPx::OSError(memFullErr, "NewRgn() failed");
  }
  ~iPPXA_Region() { DisposeRgn(m_Region); }
  iPPXA_Region(iPPXA_Region const&) = delete;
  iPPXA_Region& operator=(iPPXA_Region const&) = delete;

  RgnHandle Get() const { return m_Region; }

private:
  RgnHandle m_Region;
};

}  // namespace PPXA
