#pragma once
#include "FILT/FILT_Filter.h"

#include <memory>
#include <vector>

class FILT_FilterBuffer;

// A chain of filters joined by intermediate buffers of its own; itself a filter.
class FILT_FilterPipe : public FILT_Filter {
public:
  static constexpr unsigned long DEFAULT_BUFFER_SIZE = 16384;

  // bufferSize: the bytes of each intermediate buffer between two filters, at least one (a
  // buffer without room would stall the chain) and at most what a buffer can hold.
  explicit FILT_FilterPipe(unsigned long bufferSize = DEFAULT_BUFFER_SIZE);
  ~FILT_FilterPipe() override;

  FILT_FilterPipe(FILT_FilterPipe const&) = delete;
  FILT_FilterPipe& operator=(FILT_FilterPipe const&) = delete;

  char const* Name() const override { return "FILT_FilterPipe"; }
  void ProcessBytes(FILT_FilterBuffer& in, FILT_FilterBuffer& out) override;

  // The pipe takes ownership of the filter, and deletes it when inserting it fails by an
  // exception. An index outside 0..FilterCount() is refused (false) and the caller keeps the
  // filter.
  bool InsertAt(int index, FILT_Filter* filter);
  bool AddToTail(FILT_Filter* filter);

  int FilterCount() const { return static_cast<int>(m_Filters.size()); }
  FILT_FilterBuffer* GetInputBufferForFilter(int i) const { return Slot(i); }
  FILT_FilterBuffer* GetOutputBufferForFilter(int i) const { return Slot(i + 1); }
  int CurrentFilterIndex() const { return m_Current; }

private:
  // Slot i is filter i's input and slot i + 1 its output: the first and the last are the
  // caller's buffers during ProcessBytes and null otherwise, the others the pipe's own.
  FILT_FilterBuffer* Slot(int i) const;

  FILT_FilterBuffer* m_In = nullptr;
  FILT_FilterBuffer* m_Out = nullptr;
  // Entry i lies between filter i and filter i + 1.
  std::vector<std::unique_ptr<FILT_FilterBuffer>> m_Intermediate;
  unsigned int m_IntermediateSize;
  std::vector<std::unique_ptr<FILT_Filter>> m_Filters;
  int m_Current = 0;
};
