#pragma once
#include "FILT/FILT_Filter.h"

#include <vector>

class FILT_FilterBuffer;

// A chain of filters joined by intermediate buffers of its own; itself a filter.
class FILT_FilterPipe : public FILT_Filter {
public:
  static constexpr unsigned long DEFAULT_BUFFER_SIZE = 16384;

  // The argument is kept for callers that name a size; the intermediate buffers always hold
  // DEFAULT_BUFFER_SIZE bytes.
  explicit FILT_FilterPipe(unsigned long bufferSize = DEFAULT_BUFFER_SIZE);
  ~FILT_FilterPipe() override;

  FILT_FilterPipe(FILT_FilterPipe const&) = delete;
  FILT_FilterPipe& operator=(FILT_FilterPipe const&) = delete;

  char const* Name() const override { return "FILT_FilterPipe"; }
  void ProcessBytes(FILT_FilterBuffer& in, FILT_FilterBuffer& out) override;

  // The pipe takes ownership of the filter. An index outside 0..FilterCount() is refused
  // (false) and the caller keeps the filter.
  bool InsertAt(int index, FILT_Filter* filter);
  bool AddToTail(FILT_Filter* filter);

  int FilterCount() const { return static_cast<int>(m_Filters.size()); }
  FILT_FilterBuffer* GetInputBufferForFilter(int i) const { return m_Buffers[i]; }
  FILT_FilterBuffer* GetOutputBufferForFilter(int i) const { return m_Buffers[i + 1]; }
  int CurrentFilterIndex() const { return m_Current; }

private:
  // Entry i is filter i's input and entry i + 1 its output; the outer two are the caller's
  // buffers during ProcessBytes and null otherwise.
  std::vector<FILT_FilterBuffer*> m_Buffers;
  unsigned long m_IntermediateSize = DEFAULT_BUFFER_SIZE;
  std::vector<FILT_Filter*> m_Filters;
  int m_Current = 0;
};
