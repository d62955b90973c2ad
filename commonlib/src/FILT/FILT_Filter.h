#pragma once
class FILT_FilterBuffer;

// A stage that consumes bytes from one buffer and produces bytes into another, in chunks of
// whatever size the buffers allow; called again with more input or more output space.
class FILT_Filter {
public:
  virtual ~FILT_Filter() = default;

  virtual char const* Name() const = 0;
  virtual void ProcessBytes(FILT_FilterBuffer& in, FILT_FilterBuffer& out) = 0;
  virtual unsigned MinOutputBufferSize() const { return 0; }
};
