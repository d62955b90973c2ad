#include "FILT/FILT_DownSampler.h"

#include "FILT/FILT_DecimKernel.h"
#include "FILT/FILT_FilterBuffer.h"
#include "GLIB/GLIB_Exception.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <type_traits>

FILT_DownSampler::~FILT_DownSampler()
{
    delete m_kernel;
}

void FILT_DownSampler::SetInputSize(unsigned width, unsigned height)
{
    m_inWidth = width;
    m_inHeight = height;
}

void FILT_DownSampler::SetOutputSize(unsigned width, unsigned height)
{
    m_outWidth = width;
    m_outHeight = height;
}

void FILT_DownSampler::SetKernel(FILT_DecimKernelBase* kernel)
{
    if (kernel != m_kernel)
        delete m_kernel;
    m_kernel = kernel;
}

void FILT_DownSampler::Init()
{
    // A size of 0 (a very narrow picture scaled down) would divide by zero in the weights.
    m_samples = std::max(m_samples, 1u);
    m_inWidth = std::max(m_inWidth, 1u);
    m_inHeight = std::max(m_inHeight, 1u);
    m_outWidth = std::max(m_outWidth, 1u);
    m_outHeight = std::max(m_outHeight, 1u);
    if (m_kernel == nullptr)
        m_kernel = new FILT_BicubicKernel;

    m_state = kRunning;
    m_inputLines = m_outputLines = m_vEntriesUsed = 0;
    m_lineReader.Reset(m_samples * m_inWidth);
    m_lineWriter.Reset(m_samples * m_outWidth);

    switch (m_samples)
    {
    case 1: m_pixelRoutine = &FILT_DownSampler::FilterPixelsFixed<1>; break;
    case 2: m_pixelRoutine = &FILT_DownSampler::FilterPixelsFixed<2>; break;
    case 3: m_pixelRoutine = &FILT_DownSampler::FilterPixelsFixed<3>; break;
    case 4: m_pixelRoutine = &FILT_DownSampler::FilterPixelsFixed<4>; break;
    default: m_pixelRoutine = &FILT_DownSampler::FilterPixelsGeneral; break;
    }

    m_hFactors.CalculateScaleFactors(m_kernel, m_inWidth, m_outWidth);
    m_vFactors.CalculateScaleFactors(m_kernel, m_inHeight, m_outHeight);
    m_hCursor = m_vCursor = 0;

    m_ringLines = static_cast<unsigned>(std::max<short>(m_kernel->GetMaxPixAffected(), 1));
    m_filteredLine.assign(LineFloats(), 0.0f);
    m_accumulation.assign(static_cast<std::size_t>(LineFloats()) * m_ringLines, 0.0f);
}

// The common sample counts get the sample loop unrolled by the compiler.
template <unsigned N>
void FILT_DownSampler::FilterPixelsFixed(unsigned char const* line)
{
    // A sample count known when compiling lets the inner loop unroll.
    FilterPixels(line, std::integral_constant<unsigned, N>());
}

void FILT_DownSampler::FilterPixelsGeneral(unsigned char const* line)
{
    FilterPixels(line, m_samples);
}

template <class SampleCount>
void FILT_DownSampler::FilterPixels(unsigned char const* line, SampleCount n)
{
    std::fill(m_filteredLine.begin(), m_filteredLine.end(), 0.0f);
    FILT_DownSampleFactors::Factor const* const factors = m_hFactors.Entries();
    unsigned const count = m_hFactors.Count();
    unsigned h = 0;
    for (unsigned x = 0; x < m_inWidth; ++x)
    {
        unsigned char const* const pixel = line + x * n;
        // "<=": an entry left behind must not stall the walk.
        for (; h < count && factors[h].input <= x; ++h)
        {
            float* const target = &m_filteredLine[factors[h].output * n];
            float const weight = factors[h].weight;
            for (unsigned k = 0; k < n; ++k)
                target[k] += pixel[k] * weight;
        }
    }
    m_hCursor = h;
    ++m_inputLines;
}

void FILT_DownSampler::ProcessLine()
{
    FILT_DownSampleFactors::Factor const* const factors = m_vFactors.Entries();
    unsigned const count = m_vFactors.Count();
    unsigned const lineFloats = LineFloats();
    while (m_vCursor < count && factors[m_vCursor].input + 1u <= m_inputLines)
    {
        float* const acc = &m_accumulation[(factors[m_vCursor].output % m_ringLines) * static_cast<std::size_t>(lineFloats)];
        float const weight = factors[m_vCursor].weight;
        for (unsigned i = 0; i < lineFloats; ++i)
            acc[i] += m_filteredLine[i] * weight;
        ++m_vCursor;
        ++m_vEntriesUsed;
    }
    // The row now due still expects contributions from lines to come.
    if (m_vCursor < count && factors[m_vCursor].output <= m_outputLines)
        return;
    if (m_outputLines >= m_outHeight)
        return;
    ++m_outputLines;
    GenerateOutput(m_outputLines - 1);
}

void FILT_DownSampler::GenerateOutput(unsigned row)
{
    unsigned const lineFloats = LineFloats();
    float* const acc = &m_accumulation[(row % m_ringLines) * static_cast<std::size_t>(lineFloats)];
    unsigned char* const out = m_lineWriter.PutPtr();
    for (unsigned i = 0; i < lineFloats; ++i)
    {
        float const v = std::min(std::max(acc[i], 0.0f), 255.0f);
        out[i] = static_cast<unsigned char>(v + 0.5);
        acc[i] = 0.0f;
    }
    m_lineWriter.AddTuples(1);
}

void FILT_DownSampler::ProcessBytes(FILT_FilterBuffer& in, FILT_FilterBuffer& out)
{
    if (m_state == kFinished)
    {
        // A row split across output buffers is completed before the end is reported.
        m_lineWriter.AssignNextBuffer(&out);
        if (m_lineWriter.PendingBytes() == 0)
            out.SetDone(true);
        return;
    }
    if (m_state == kNotInitialised)
        Init();

    m_lineReader.AssignNextBuffer(&in);
    m_lineWriter.AssignNextBuffer(&out);

    while (m_lineReader.ContigTuplesAvailable() > 0 && m_lineWriter.ContigTuplesRemaining() > 0 &&
           m_inputLines < m_inHeight)
    {
        (this->*m_pixelRoutine)(m_lineReader.GetPtr());
        ProcessLine();
        m_lineReader.RemoveTuples(1);
    }

    if (m_inputLines != m_inHeight)
    {
        if (in.IsDone() && m_lineWriter.ContigTuplesRemaining() > 0)
        {
            std::ostringstream message;
            message << "Insufficient data passed to downsampler. "
                    << "Expecting " << m_inHeight << " lines, received " << m_inputLines;
            std::string const text = message.str();
            throw GLIB_Exception(1130022, text.c_str(), __FILE__, __LINE__);
        }
        return;
    }

    while (m_lineWriter.ContigTuplesRemaining() > 0 && m_outputLines < m_outHeight)
        ProcessLine();

    if (m_outputLines == m_outHeight)
    {
        m_lineWriter.SetFinished();
        m_state = kFinished;
    }
}
