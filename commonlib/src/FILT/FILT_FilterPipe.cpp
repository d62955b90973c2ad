#include "FILT/FILT_FilterPipe.h"

#include "FILT/FILT_FilterBuffer.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>

FILT_FilterPipe::FILT_FilterPipe(unsigned long bufferSize)
    : m_IntermediateSize(static_cast<unsigned int>(
          std::clamp<unsigned long>(bufferSize, 1, std::numeric_limits<unsigned int>::max()))) {}

FILT_FilterPipe::~FILT_FilterPipe() = default;

FILT_FilterBuffer* FILT_FilterPipe::Slot(int i) const {
  if (i == 0)
    return m_In;
  if (i == FilterCount())
    return m_Out;
  return m_Intermediate[static_cast<std::size_t>(i - 1)].get();
}

bool FILT_FilterPipe::InsertAt(int index, FILT_Filter* filter) {
  int const count = FilterCount();
  if (filter == nullptr || index < 0 || index > count)
    return false;
  std::unique_ptr<FILT_Filter> owned(filter);
  // Everything that can fail comes first: once both vectors have room, inserting cannot throw
  // and the chain never holds a filter without its buffer.
  m_Filters.reserve(m_Filters.size() + 1);
  if (count > 0) {
    // A filter placed before another needs a buffer after itself; one appended needs a buffer
    // before itself; the first filter uses the caller's two buffers.
    auto buffer = std::make_unique<FILT_FilterBuffer>(m_IntermediateSize);
    m_Intermediate.reserve(m_Intermediate.size() + 1);
    int const bufferIndex = index < count ? index : index - 1;
    m_Intermediate.insert(m_Intermediate.begin() + bufferIndex, std::move(buffer));
  }
  m_Filters.insert(m_Filters.begin() + index, std::move(owned));
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
    FILT_FilterPipe& pipe;
    ~CallerBuffers() { pipe.m_In = pipe.m_Out = nullptr; }
  } callerBuffers{*this};
  m_In = &in;
  m_Out = &out;

  m_Current = std::clamp(m_Current, 0, count - 1);
  while (m_Current >= 0 && m_Current < count) {
    FILT_FilterBuffer& input = *Slot(m_Current);
    FILT_FilterBuffer& output = *Slot(m_Current + 1);
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
