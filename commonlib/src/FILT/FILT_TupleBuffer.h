#pragma once
#include <vector>

class FILT_FilterBuffer;

// Reads fixed-size records (tuples) from a chain of buffers whose chunks need not hold whole
// tuples: a tuple split across two buffers is gathered in a spanning copy.
class FILT_TupleBufferR {
public:
  FILT_TupleBufferR() { Reset(1); }

  // A size of 0 is taken as 1: a tuple always holds at least one byte.
  void Reset(unsigned int tupleSize);
  void AssignNextBuffer(FILT_FilterBuffer* buffer);

  unsigned int ContigTuplesAvailable() const;
  unsigned char const* GetPtr() const;
  void RemoveTuples(unsigned int n);

  bool IsTruncated() const { return m_Truncated; }
  bool EndSeen() const { return m_EndSeen; }
  unsigned int TupleSize() const { return m_TupleSize; }

private:
  bool SpanningComplete() const { return m_Held == m_TupleSize; }
  void GatherIntoSpanningTuple();
  void CheckEndAndDropEmpty();

  FILT_FilterBuffer* m_Buffer = nullptr;
  std::vector<unsigned char> m_Spanning;
  unsigned int m_Held = 0;
  unsigned int m_TupleSize = 1;
  bool m_EndSeen = false;
  bool m_Truncated = false;
};

// Writes fixed-size records into a chain of buffers: a tuple that does not fit into the space
// left is written into a spanning copy and flushed as far as it fits, the rest into the next
// buffer.
class FILT_TupleBufferW {
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
  bool IsFinished() const { return m_Finished; }
  unsigned int PendingBytes() const { return m_Pending; }
  unsigned int TupleSize() const { return m_TupleSize; }

private:
  void FlushPending();

  FILT_FilterBuffer* m_Buffer = nullptr;
  std::vector<unsigned char> m_Spanning;
  unsigned int m_Pending = 0;
  unsigned int m_TupleSize = 1;
  bool m_Finished = false;
};
