#include "FILT/FILT_TupleBuffer.h"

#include "FILT/FILT_FilterBuffer.h"

#include <algorithm>
#include <cstring>

void FILT_TupleBufferR::Reset(unsigned int tupleSize)
{
    m_tupleSize = std::max(tupleSize, 1u);
    m_spanning.assign(m_tupleSize, 0);
    m_held = 0;
    m_buffer = nullptr;
    m_endSeen = false;
    m_truncated = false;
}

void FILT_TupleBufferR::AssignNextBuffer(FILT_FilterBuffer* buffer)
{
    m_buffer = buffer;
    if (m_buffer == nullptr)
        return;
    if (m_buffer->GetDoneFlag())
        m_endSeen = true;
    unsigned int const data = m_buffer->DataSize();
    // Whole tuples are read in place; only a tuple split across buffers is copied.
    bool const readInPlace = m_held == 0 && data >= m_tupleSize;
    if (data > 0 && !SpanningComplete() && !readInPlace)
        GatherIntoSpanningTuple();
    CheckEndAndDropEmpty();
}

void FILT_TupleBufferR::GatherIntoSpanningTuple()
{
    unsigned int const n = std::min(m_tupleSize - m_held, m_buffer->DataSize());
    std::memcpy(m_spanning.data() + m_held, m_buffer->GetReadPtr(), n);
    m_buffer->RemoveBytes(n);
    m_held += n;
}

void FILT_TupleBufferR::CheckEndAndDropEmpty()
{
    if (m_buffer == nullptr)
        return;
    bool const empty = m_buffer->DataSize() == 0;
    if (m_endSeen && empty && m_held > 0 && m_held < m_tupleSize)
        m_truncated = true;
    if (empty)
        m_buffer = nullptr;
}

unsigned int FILT_TupleBufferR::ContigTuplesAvailable() const
{
    if (m_truncated)
        return 0;
    if (SpanningComplete())
        return 1;
    if (m_held > 0 || m_buffer == nullptr)
        return 0;
    return m_buffer->DataSize() / m_tupleSize;
}

unsigned char const* FILT_TupleBufferR::GetPtr() const
{
    if (m_truncated)
        return nullptr;
    if (m_held == 0)
        return m_buffer == nullptr ? nullptr : m_buffer->GetReadPtr();
    return SpanningComplete() ? m_spanning.data() : nullptr;
}

void FILT_TupleBufferR::RemoveTuples(unsigned int n)
{
    if (SpanningComplete())
        m_held = 0;
    else if (m_buffer != nullptr)
        m_buffer->RemoveBytes(std::min(n * m_tupleSize, m_buffer->DataSize()));
    if (m_buffer != nullptr && m_held == 0 && m_buffer->DataSize() > 0 && m_buffer->DataSize() < m_tupleSize)
        GatherIntoSpanningTuple();
    CheckEndAndDropEmpty();
}

void FILT_TupleBufferW::Reset(unsigned int tupleSize)
{
    m_tupleSize = std::max(tupleSize, 1u);
    m_spanning.assign(m_tupleSize, 0);
    m_pending = 0;
    m_buffer = nullptr;
    m_finished = false;
}

void FILT_TupleBufferW::AssignNextBuffer(FILT_FilterBuffer* buffer)
{
    m_buffer = buffer;
    if (m_buffer == nullptr || m_pending == 0)
        return;
    FlushPending();
    if (m_finished && m_pending == 0)
        m_buffer->SetDone(true);
}

void FILT_TupleBufferW::FlushPending()
{
    unsigned int const n = std::min(m_pending, m_buffer->FreeSpace());
    std::memcpy(m_buffer->GetWritePtr(), m_spanning.data() + (m_tupleSize - m_pending), n);
    m_buffer->AddBytes(n);
    m_pending -= n;
}

bool FILT_TupleBufferW::UseSpanningTupleBuffer() const
{
    if (m_buffer == nullptr || m_pending > 0)
        return false;
    unsigned int const space = m_buffer->FreeSpace();
    return space > 0 && space < m_tupleSize;
}

unsigned char* FILT_TupleBufferW::PutPtr()
{
    if (m_buffer == nullptr)
        return nullptr;
    return UseSpanningTupleBuffer() ? m_spanning.data() : m_buffer->GetWritePtr();
}

unsigned int FILT_TupleBufferW::ContigTuplesRemaining() const
{
    if (m_buffer == nullptr || m_pending > 0)
        return 0;
    if (UseSpanningTupleBuffer())
        return 1;
    return m_buffer->FreeSpace() / m_tupleSize;
}

void FILT_TupleBufferW::AddTuples(unsigned int n)
{
    if (m_buffer == nullptr || n == 0)
        return;
    if (UseSpanningTupleBuffer())
    {
        m_pending = m_tupleSize;
        FlushPending();
        return;
    }
    m_buffer->AddBytes(std::min(n * m_tupleSize, m_buffer->FreeSpace()));
}

void FILT_TupleBufferW::SetFinished()
{
    m_finished = true;
    if (m_buffer != nullptr && m_pending == 0)
        m_buffer->SetDone(true);
}
