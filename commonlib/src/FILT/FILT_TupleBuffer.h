#ifndef FILT_TUPLEBUFFER_H
#define FILT_TUPLEBUFFER_H

#include <vector>

class FILT_FilterBuffer;

// Reads fixed-size records (tuples) from a chain of buffers whose chunks need not hold whole
// tuples: a tuple split across two buffers is gathered in a spanning copy.
class FILT_TupleBufferR
{
public:
    FILT_TupleBufferR() { Reset(1); }

    // A size of 0 is taken as 1: a tuple always holds at least one byte.
    void Reset(unsigned int tupleSize);
    void AssignNextBuffer(FILT_FilterBuffer* buffer);

    unsigned int ContigTuplesAvailable() const;
    unsigned char const* GetPtr() const;
    void RemoveTuples(unsigned int n);

    bool IsTruncated() const { return m_truncated; }
    bool EndSeen() const { return m_endSeen; }
    unsigned int TupleSize() const { return m_tupleSize; }

private:
    bool SpanningComplete() const { return m_held == m_tupleSize; }
    void GatherIntoSpanningTuple();
    void CheckEndAndDropEmpty();

    FILT_FilterBuffer* m_buffer = nullptr;
    std::vector<unsigned char> m_spanning;
    unsigned int m_held = 0;
    unsigned int m_tupleSize = 1;
    bool m_endSeen = false;
    bool m_truncated = false;
};

// Writes fixed-size records into a chain of buffers: a tuple that does not fit into the space
// left is written into a spanning copy and flushed as far as it fits, the rest into the next buffer.
class FILT_TupleBufferW
{
public:
    FILT_TupleBufferW() { Reset(1); }

    // A size of 0 is taken as 1.
    void Reset(unsigned int tupleSize);
    void AssignNextBuffer(FILT_FilterBuffer* buffer);

    bool UseSpanningTupleBuffer() const;
    unsigned char* PutPtr();
    unsigned int ContigTuplesRemaining() const;
    void AddTuples(unsigned int n);

    // The producer is done: the current buffer is marked done once nothing is pending.
    void SetFinished();
    bool IsFinished() const { return m_finished; }
    unsigned int PendingBytes() const { return m_pending; }
    unsigned int TupleSize() const { return m_tupleSize; }

private:
    void FlushPending();

    FILT_FilterBuffer* m_buffer = nullptr;
    std::vector<unsigned char> m_spanning;
    unsigned int m_pending = 0;
    unsigned int m_tupleSize = 1;
    bool m_finished = false;
};

#endif
