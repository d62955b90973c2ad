#pragma once
#include <cstdint>
#include <vector>

class FILT_DecimKernelBase;

// The weights of one axis of a down-sampling: which input pixel contributes how much to which
// output pixel, ordered by input index so that a single pass over the input walks them.
class FILT_DownSampleFactors {
public:
  struct Factor {
    float weight;
    std::uint16_t input;
    std::uint16_t output;
  };

  // Sizes of 0 are taken as 1. Always returns true.
  bool CalculateScaleFactors(FILT_DecimKernelBase* kernel, unsigned long inSize,
                             unsigned long outSize);

  // Entries in use; a zero entry follows them.
  unsigned int Count() const { return m_Count; }
  Factor const* Entries() const { return m_Entries.data(); }
  Factor const& operator[](unsigned int i) const { return m_Entries[i]; }

private:
  std::vector<Factor> m_Entries;  // capacity = size()
  unsigned int m_Count = 0;
};
