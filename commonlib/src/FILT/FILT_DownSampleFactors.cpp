#include "FILT/FILT_DownSampleFactors.h"

#include "FILT/FILT_DecimKernel.h"

#include <algorithm>
#include <cmath>

namespace {

struct Sample {
  float weight;
  long input;  // may lie outside the image at its edges
};

}  // namespace

bool FILT_DownSampleFactors::CalculateScaleFactors(FILT_DecimKernelBase* kernel,
                                                   unsigned long inSize, unsigned long outSize) {
  // A zero size (an extreme aspect ratio rounded down) would divide by zero below.
  inSize = std::max(inSize, 1ul);
  outSize = std::max(outSize, 1ul);

  double const s = static_cast<double>(outSize) / static_cast<double>(inSize);
  int const width = kernel->GetWidth();
  int const slotsPerInput = kernel->GetMaxPixAffected();

  // One group of slots per input index, with room for the indices beyond both edges.
  std::size_t const groups = static_cast<std::size_t>(std::trunc(slotsPerInput / s)) + inSize;
  std::size_t const needed = groups * static_cast<std::size_t>(slotsPerInput) + 1;  // + terminator
  if (needed > m_Entries.size())
    m_Entries.resize(needed);
  std::fill(m_Entries.begin(), m_Entries.end(), Factor{0.0f, 0, 0});
  m_Count = 0;

  long offset = 0;
  std::vector<Sample> samples;
  for (unsigned long o = 0; o < outSize; ++o) {
    double const c = (o + 0.5) / s;
    double const w = width / s;
    float x = static_cast<float>(std::ceil(c - w / 2 - 0.5) + 0.5);
    double const h = std::floor(c + w / 2 + 0.5);
    if (o == 0 && x < 0)
      offset = static_cast<long>(std::trunc(-x));

    samples.clear();
    float sum = 0.0f;
    for (; x <= h - 0.5; x += 1.0f) {
      float const weight = kernel->CalculateWeight(static_cast<float>((x - c) * s));
      if (std::fabs(static_cast<double>(weight)) <= 1e-5)
        continue;
      samples.push_back(Sample{weight, static_cast<long>(std::trunc(x))});
      sum += weight;
    }
    if (sum == 0.0f)
      continue;

    for (Sample const& sample : samples) {
      long const group = offset + sample.input;
      if (group < 0 || static_cast<std::size_t>(group) >= groups)
        continue;
      Factor* slot = &m_Entries[static_cast<std::size_t>(group) * slotsPerInput];
      Factor* const last = slot + slotsPerInput;
      while (slot != last && slot->weight != 0.0f)
        ++slot;
      if (slot == last)  // only when enlarging: more contributions than the kernel allows
        continue;
      long const input = std::clamp(sample.input, 0l, static_cast<long>(inSize) - 1);
      *slot = Factor{sample.weight / sum, static_cast<std::uint16_t>(input),
                     static_cast<std::uint16_t>(o)};
    }
  }

  for (Factor const& entry : m_Entries)
    if (entry.weight != 0.0f)
      m_Entries[m_Count++] = entry;
  std::fill(m_Entries.begin() + m_Count, m_Entries.end(), Factor{0.0f, 0, 0});
  return true;
}
