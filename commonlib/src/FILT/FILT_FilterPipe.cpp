#include "FILT/FILT_FilterPipe.h"

#include "FILT/FILT_FilterBuffer.h"

#include <algorithm>

FILT_FilterPipe::FILT_FilterPipe(unsigned long /*bufferSize*/) : m_Buffers(2, nullptr) {}

FILT_FilterPipe::~FILT_FilterPipe() {
  for (FILT_Filter* filter : m_Filters)
    delete filter;
  for (std::size_t i = 1; i + 1 < m_Buffers.size(); ++i)
    delete m_Buffers[i];
}

bool FILT_FilterPipe::InsertAt(int index, FILT_Filter* filter) {
  int const count = FilterCount();
  if (filter == nullptr || index < 0 || index > count)
    return false;
  // A filter placed before another needs a buffer after itself; one appended needs a buffer
  // before itself; the first filter uses the caller's two buffers.
  if (count > 0) {
    auto* buffer = new FILT_FilterBuffer(static_cast<unsigned int>(m_IntermediateSize));
    int const bufferIndex = index < count ? index + 1 : index;
    m_Buffers.insert(m_Buffers.begin() + bufferIndex, buffer);
  }
  m_Filters.insert(m_Filters.begin() + index, filter);
  return true;
}

bool FILT_FilterPipe::AddToTail(FILT_Filter* filter) {
  return InsertAt(FilterCount(), filter);
}

void FILT_FilterPipe::ProcessBytes(FILT_FilterBuffer& in, FILT_FilterBuffer& out) {
  int const count = FilterCount();
  if (count == 0) {
    in.CopyInto(out);
    if (in.IsDone())
      out.SetDone(true);
    return;
  }

  struct CallerBuffers  // the outer slots only hold the caller's buffers during this call
  {
    std::vector<FILT_FilterBuffer*>& slots;
    ~CallerBuffers() { slots.front() = slots.back() = nullptr; }
  } callerBuffers{m_Buffers};
  m_Buffers.front() = &in;
  m_Buffers.back() = &out;

  m_Current = std::clamp(m_Current, 0, count - 1);
  while (m_Current >= 0 && m_Current < count) {
    FILT_FilterBuffer& input = *m_Buffers[m_Current];
    FILT_FilterBuffer& output = *m_Buffers[m_Current + 1];
    m_Filters[m_Current]->ProcessBytes(input, output);
    if (input.DataSize() == 0 && !input.GetDoneFlag() && !output.IsFull()) {
      // Starved: ask the previous stage for more, into the space just freed.
      input.EmptyNoReset();
      --m_Current;
    } else {
      ++m_Current;
    }
  }
}
