#include "FILT/FILT_TupleBuffer.h"

#include "FILT/FILT_FilterBuffer.h"

#include <algorithm>
#include <cstring>

void FILT_TupleBufferR::Reset(unsigned int tupleSize) {
  m_TupleSize = std::max(tupleSize, 1u);
  m_Spanning.assign(m_TupleSize, 0);
  m_Held = 0;
  m_Buffer = nullptr;
  m_EndSeen = false;
  m_Truncated = false;
}

void FILT_TupleBufferR::AssignNextBuffer(FILT_FilterBuffer* buffer) {
  m_Buffer = buffer;
  if (m_Buffer == nullptr)
    return;
  if (m_Buffer->GetDoneFlag())
    m_EndSeen = true;
  unsigned int const data = m_Buffer->DataSize();
  // Whole tuples are read in place; only a tuple split across buffers is copied.
  bool const readInPlace = m_Held == 0 && data >= m_TupleSize;
  if (data > 0 && !SpanningComplete() && !readInPlace)
    GatherIntoSpanningTuple();
  CheckEndAndDropEmpty();
}

void FILT_TupleBufferR::GatherIntoSpanningTuple() {
  unsigned int const n = std::min(m_TupleSize - m_Held, m_Buffer->DataSize());
  std::memcpy(m_Spanning.data() + m_Held, m_Buffer->GetReadPtr(), n);
  m_Buffer->RemoveBytes(n);
  m_Held += n;
}

void FILT_TupleBufferR::CheckEndAndDropEmpty() {
  if (m_Buffer == nullptr)
    return;
  bool const empty = m_Buffer->DataSize() == 0;
  if (m_EndSeen && empty && m_Held > 0 && m_Held < m_TupleSize)
    m_Truncated = true;
  if (empty)
    m_Buffer = nullptr;
}

unsigned int FILT_TupleBufferR::ContigTuplesAvailable() const {
  if (m_Truncated)
    return 0;
  if (SpanningComplete())
    return 1;
  if (m_Held > 0 || m_Buffer == nullptr)
    return 0;
  return m_Buffer->DataSize() / m_TupleSize;
}

unsigned char const* FILT_TupleBufferR::GetPtr() const {
  if (m_Truncated)
    return nullptr;
  if (m_Held == 0)
    return m_Buffer == nullptr ? nullptr : m_Buffer->GetReadPtr();
  return SpanningComplete() ? m_Spanning.data() : nullptr;
}

void FILT_TupleBufferR::RemoveTuples(unsigned int n) {
  if (SpanningComplete())
    m_Held = 0;
  else if (m_Buffer != nullptr)
    m_Buffer->RemoveBytes(std::min(n * m_TupleSize, m_Buffer->DataSize()));
  if (m_Buffer != nullptr && m_Held == 0 && m_Buffer->DataSize() > 0 &&
      m_Buffer->DataSize() < m_TupleSize)
    GatherIntoSpanningTuple();
  CheckEndAndDropEmpty();
}

void FILT_TupleBufferW::Reset(unsigned int tupleSize) {
  m_TupleSize = std::max(tupleSize, 1u);
  m_Spanning.assign(m_TupleSize, 0);
  m_Pending = 0;
  m_Buffer = nullptr;
  m_Finished = false;
}

void FILT_TupleBufferW::AssignNextBuffer(FILT_FilterBuffer* buffer) {
  m_Buffer = buffer;
  if (m_Buffer == nullptr || m_Pending == 0)
    return;
  FlushPending();
  if (m_Finished && m_Pending == 0)
    m_Buffer->SetDone(true);
}

void FILT_TupleBufferW::FlushPending() {
  unsigned int const n = std::min(m_Pending, m_Buffer->FreeSpace());
  std::memcpy(m_Buffer->GetWritePtr(), m_Spanning.data() + (m_TupleSize - m_Pending), n);
  m_Buffer->AddBytes(n);
  m_Pending -= n;
}

bool FILT_TupleBufferW::UseSpanningTupleBuffer() const {
  if (m_Buffer == nullptr || m_Pending > 0)
    return false;
  unsigned int const space = m_Buffer->FreeSpace();
  return space > 0 && space < m_TupleSize;
}

unsigned char* FILT_TupleBufferW::PutPtr() {
  if (m_Buffer == nullptr)
    return nullptr;
  return UseSpanningTupleBuffer() ? m_Spanning.data() : m_Buffer->GetWritePtr();
}

unsigned int FILT_TupleBufferW::ContigTuplesRemaining() const {
  if (m_Buffer == nullptr || m_Pending > 0)
    return 0;
  if (UseSpanningTupleBuffer())
    return 1;
  return m_Buffer->FreeSpace() / m_TupleSize;
}

void FILT_TupleBufferW::AddTuples(unsigned int n) {
  if (m_Buffer == nullptr || n == 0)
    return;
  if (UseSpanningTupleBuffer()) {
    m_Pending = m_TupleSize;
    FlushPending();
    return;
  }
  m_Buffer->AddBytes(std::min(n * m_TupleSize, m_Buffer->FreeSpace()));
}

void FILT_TupleBufferW::SetFinished() {
  m_Finished = true;
  if (m_Buffer != nullptr && m_Pending == 0)
    m_Buffer->SetDone(true);
}
