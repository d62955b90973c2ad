#ifndef FILT_DOWNSAMPLER_H
#define FILT_DOWNSAMPLER_H

#include "FILT/FILT_DownSampleFactors.h"
#include "FILT/FILT_Filter.h"
#include "FILT/FILT_TupleBuffer.h"

#include <vector>

class FILT_DecimKernelBase;

// Shrinks an interleaved 8-bit image line by line with a separable kernel, so that neither the
// whole input nor the whole output needs to be in memory. Meant for reduction only.
class FILT_DownSampler : public FILT_Filter
{
public:
    enum State
    {
        kNotInitialised = 0,
        kRunning = 1,
        kFinished = 2
    };

    FILT_DownSampler() = default;
    ~FILT_DownSampler() override;

    FILT_DownSampler(FILT_DownSampler const&) = delete;
    FILT_DownSampler& operator=(FILT_DownSampler const&) = delete;

    // Set before the first ProcessBytes. Sizes and the sample count of 0 are taken as 1.
    void SetSamplesPerPixel(unsigned samples) { m_samples = samples; }
    void SetInputSize(unsigned width, unsigned height);
    void SetOutputSize(unsigned width, unsigned height);
    // Takes ownership; without a kernel the bicubic one is used.
    void SetKernel(FILT_DecimKernelBase* kernel);

    char const* Name() const override { return "Decimation Filter"; }
    void ProcessBytes(FILT_FilterBuffer& in, FILT_FilterBuffer& out) override;
    void Init();

    State GetState() const { return m_state; }
    unsigned GetSamplesPerPixel() const { return m_samples; }
    unsigned GetInputWidth() const { return m_inWidth; }
    unsigned GetInputHeight() const { return m_inHeight; }
    unsigned GetOutputWidth() const { return m_outWidth; }
    unsigned GetOutputHeight() const { return m_outHeight; }
    unsigned GetInputLines() const { return m_inputLines; }
    unsigned GetOutputLines() const { return m_outputLines; }

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
    unsigned LineFloats() const { return m_samples * m_outWidth; }

    State m_state = kNotInitialised;
    FILT_DecimKernelBase* m_kernel = nullptr;
    FILT_TupleBufferR m_lineReader;
    FILT_TupleBufferW m_lineWriter;
    FILT_DownSampleFactors m_hFactors;
    unsigned m_hCursor = 0;
    FILT_DownSampleFactors m_vFactors;
    unsigned m_vCursor = 0;
    unsigned m_vEntriesUsed = 0;
    unsigned m_inputLines = 0;
    unsigned m_outputLines = 0;
    unsigned m_samples = 0;
    unsigned m_inWidth = 0;
    unsigned m_outWidth = 0;
    unsigned m_inHeight = 0;
    unsigned m_outHeight = 0;
    std::vector<float> m_filteredLine;
    std::vector<float> m_accumulation; // ring of GetMaxPixAffected() lines
    unsigned m_ringLines = 0;
    PixelRoutine m_pixelRoutine = nullptr;
};

#endif
