#pragma once
#include "FILT/FILT_DownSampleFactors.h"
#include "FILT/FILT_Filter.h"
#include "FILT/FILT_TupleBuffer.h"

#include <vector>

class FILT_DecimKernelBase;

// Shrinks an interleaved 8-bit image line by line with a separable kernel, so that neither the
// whole input nor the whole output needs to be in memory. Meant for reduction only.
class FILT_DownSampler : public FILT_Filter {
public:
  enum State {
    kNotInitialised = 0,
    kRunning = 1,
    kFinished = 2
  };

  FILT_DownSampler() = default;
  ~FILT_DownSampler() override;

  FILT_DownSampler(FILT_DownSampler const&) = delete;
  FILT_DownSampler& operator=(FILT_DownSampler const&) = delete;

  // Set before the first ProcessBytes. Sizes and the sample count of 0 are taken as 1.
  void SetSamplesPerPixel(unsigned samples) { m_Samples = samples; }
  void SetInputSize(unsigned width, unsigned height);
  void SetOutputSize(unsigned width, unsigned height);
  // Takes ownership; without a kernel the bicubic one is used.
  void SetKernel(FILT_DecimKernelBase* kernel);

  char const* Name() const override { return "Decimation Filter"; }
  void ProcessBytes(FILT_FilterBuffer& in, FILT_FilterBuffer& out) override;
  void Init();

  State GetState() const { return m_State; }
  unsigned GetSamplesPerPixel() const { return m_Samples; }
  unsigned GetInputWidth() const { return m_InWidth; }
  unsigned GetInputHeight() const { return m_InHeight; }
  unsigned GetOutputWidth() const { return m_OutWidth; }
  unsigned GetOutputHeight() const { return m_OutHeight; }
  unsigned GetInputLines() const { return m_InputLines; }
  unsigned GetOutputLines() const { return m_OutputLines; }

private:
  using PixelRoutine = void (FILT_DownSampler::*)(unsigned char const* line);

  template <unsigned N>
  void FilterPixelsFixed(unsigned char const* line);
  void FilterPixelsGeneral(unsigned char const* line);
  // The one pass both share; SampleCount is unsigned or a std::integral_constant.
  template <class SampleCount>
  void FilterPixels(unsigned char const* line, SampleCount n);
  void ProcessLine();
  void GenerateOutput(unsigned row);
  unsigned LineFloats() const { return m_Samples * m_OutWidth; }

  State m_State = kNotInitialised;
  FILT_DecimKernelBase* m_Kernel = nullptr;
  FILT_TupleBufferR m_LineReader;
  FILT_TupleBufferW m_LineWriter;
  FILT_DownSampleFactors m_HFactors;
  unsigned m_HCursor = 0;
  FILT_DownSampleFactors m_VFactors;
  unsigned m_VCursor = 0;
  unsigned m_VEntriesUsed = 0;
  unsigned m_InputLines = 0;
  unsigned m_OutputLines = 0;
  unsigned m_Samples = 0;
  unsigned m_InWidth = 0;
  unsigned m_OutWidth = 0;
  unsigned m_InHeight = 0;
  unsigned m_OutHeight = 0;
  std::vector<float> m_FilteredLine;
  std::vector<float> m_Accumulation;  // ring of GetMaxPixAffected() lines
  unsigned m_RingLines = 0;
  PixelRoutine m_PixelRoutine = nullptr;
};
