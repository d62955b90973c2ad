#include "FILT/FILT_DownSampler.h"

#include "FILT/FILT_DecimKernel.h"
#include "FILT/FILT_FilterBuffer.h"
#include "GLIB/GLIB_Exception.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <type_traits>

FILT_DownSampler::~FILT_DownSampler() {
  delete m_Kernel;
}

void FILT_DownSampler::SetInputSize(unsigned width, unsigned height) {
  m_InWidth = width;
  m_InHeight = height;
}

void FILT_DownSampler::SetOutputSize(unsigned width, unsigned height) {
  m_OutWidth = width;
  m_OutHeight = height;
}

void FILT_DownSampler::SetKernel(FILT_DecimKernelBase* kernel) {
  if (kernel != m_Kernel)
    delete m_Kernel;
  m_Kernel = kernel;
}

void FILT_DownSampler::Init() {
  // A size of 0 (a very narrow picture scaled down) would divide by zero in the weights.
  m_Samples = std::max(m_Samples, 1u);
  m_InWidth = std::max(m_InWidth, 1u);
  m_InHeight = std::max(m_InHeight, 1u);
  m_OutWidth = std::max(m_OutWidth, 1u);
  m_OutHeight = std::max(m_OutHeight, 1u);
  if (m_Kernel == nullptr)
    m_Kernel = new FILT_BicubicKernel;

  m_State = kRunning;
  m_InputLines = m_OutputLines = m_VEntriesUsed = 0;
  m_LineReader.Reset(m_Samples * m_InWidth);
  m_LineWriter.Reset(m_Samples * m_OutWidth);

  switch (m_Samples) {
    case 1:
      m_PixelRoutine = &FILT_DownSampler::FilterPixelsFixed<1>;
      break;
    case 2:
      m_PixelRoutine = &FILT_DownSampler::FilterPixelsFixed<2>;
      break;
    case 3:
      m_PixelRoutine = &FILT_DownSampler::FilterPixelsFixed<3>;
      break;
    case 4:
      m_PixelRoutine = &FILT_DownSampler::FilterPixelsFixed<4>;
      break;
    default:
      m_PixelRoutine = &FILT_DownSampler::FilterPixelsGeneral;
      break;
  }

  m_HFactors.CalculateScaleFactors(m_Kernel, m_InWidth, m_OutWidth);
  m_VFactors.CalculateScaleFactors(m_Kernel, m_InHeight, m_OutHeight);
  m_HCursor = m_VCursor = 0;

  m_RingLines = static_cast<unsigned>(std::max<short>(m_Kernel->GetMaxPixAffected(), 1));
  m_FilteredLine.assign(LineFloats(), 0.0f);
  m_Accumulation.assign(static_cast<std::size_t>(LineFloats()) * m_RingLines, 0.0f);
}

// The common sample counts get the sample loop unrolled by the compiler.
template <unsigned N>
void FILT_DownSampler::FilterPixelsFixed(unsigned char const* line) {
  // A sample count known when compiling lets the inner loop unroll.
  FilterPixels(line, std::integral_constant<unsigned, N>());
}

void FILT_DownSampler::FilterPixelsGeneral(unsigned char const* line) {
  FilterPixels(line, m_Samples);
}

template <class SampleCount>
void FILT_DownSampler::FilterPixels(unsigned char const* line, SampleCount n) {
  std::fill(m_FilteredLine.begin(), m_FilteredLine.end(), 0.0f);
  FILT_DownSampleFactors::Factor const* const factors = m_HFactors.Entries();
  unsigned const count = m_HFactors.Count();
  unsigned h = 0;
  for (unsigned x = 0; x < m_InWidth; ++x) {
    unsigned char const* const pixel = line + x * n;
    // "<=": an entry left behind must not stall the walk.
    for (; h < count && factors[h].input <= x; ++h) {
      float* const target = &m_FilteredLine[factors[h].output * n];
      float const weight = factors[h].weight;
      for (unsigned k = 0; k < n; ++k)
        target[k] += pixel[k] * weight;
    }
  }
  m_HCursor = h;
  ++m_InputLines;
}

void FILT_DownSampler::ProcessLine() {
  FILT_DownSampleFactors::Factor const* const factors = m_VFactors.Entries();
  unsigned const count = m_VFactors.Count();
  unsigned const lineFloats = LineFloats();
  while (m_VCursor < count && factors[m_VCursor].input + 1u <= m_InputLines) {
    float* const acc = &m_Accumulation[(factors[m_VCursor].output % m_RingLines) *
                                       static_cast<std::size_t>(lineFloats)];
    float const weight = factors[m_VCursor].weight;
    for (unsigned i = 0; i < lineFloats; ++i)
      acc[i] += m_FilteredLine[i] * weight;
    ++m_VCursor;
    ++m_VEntriesUsed;
  }
  // The row now due still expects contributions from lines to come.
  if (m_VCursor < count && factors[m_VCursor].output <= m_OutputLines)
    return;
  if (m_OutputLines >= m_OutHeight)
    return;
  ++m_OutputLines;
  GenerateOutput(m_OutputLines - 1);
}

void FILT_DownSampler::GenerateOutput(unsigned row) {
  unsigned const lineFloats = LineFloats();
  float* const acc = &m_Accumulation[(row % m_RingLines) * static_cast<std::size_t>(lineFloats)];
  unsigned char* const out = m_LineWriter.PutPtr();
  for (unsigned i = 0; i < lineFloats; ++i) {
    float const v = std::min(std::max(acc[i], 0.0f), 255.0f);
    out[i] = static_cast<unsigned char>(v + 0.5);
    acc[i] = 0.0f;
  }
  m_LineWriter.AddTuples(1);
}

void FILT_DownSampler::ProcessBytes(FILT_FilterBuffer& in, FILT_FilterBuffer& out) {
  if (m_State == kFinished) {
    // A row split across output buffers is completed before the end is reported.
    m_LineWriter.AssignNextBuffer(&out);
    if (m_LineWriter.PendingBytes() == 0)
      out.SetDone(true);
    return;
  }
  if (m_State == kNotInitialised)
    Init();

  m_LineReader.AssignNextBuffer(&in);
  m_LineWriter.AssignNextBuffer(&out);

  while (m_LineReader.ContigTuplesAvailable() > 0 && m_LineWriter.ContigTuplesRemaining() > 0 &&
         m_InputLines < m_InHeight) {
    (this->*m_PixelRoutine)(m_LineReader.GetPtr());
    ProcessLine();
    m_LineReader.RemoveTuples(1);
  }

  if (m_InputLines != m_InHeight) {
    if (in.IsDone() && m_LineWriter.ContigTuplesRemaining() > 0) {
      std::ostringstream message;
      message << "Insufficient data passed to downsampler. "
              << "Expecting " << m_InHeight << " lines, received " << m_InputLines;
      std::string const text = message.str();
      throw GLIB_Exception(1130022, text.c_str(), __FILE__, __LINE__);
    }
    return;
  }

  while (m_LineWriter.ContigTuplesRemaining() > 0 && m_OutputLines < m_OutHeight)
    ProcessLine();

  if (m_OutputLines == m_OutHeight) {
    m_LineWriter.SetFinished();
    m_State = kFinished;
  }
}
