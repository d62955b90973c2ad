// A holder of a Carbon value that some call fills in after the holder is made: the holder
// disposes the value only once it has been given one.
#pragma once

template <class Value, class Disposer>
class iUMAC_AutoFilled {
public:
  iUMAC_AutoFilled() = default;
  ~iUMAC_AutoFilled() { DisposeHeld(); }
  iUMAC_AutoFilled(const iUMAC_AutoFilled&) = delete;
  iUMAC_AutoFilled& operator=(const iUMAC_AutoFilled&) = delete;

  bool IsValid() const { return m_Valid; }
  const Value& Get() const { return m_Value; }
  // Disposes the value held and takes over the one a call filled in.
  void Adopt(const Value& value) {
    DisposeHeld();
    m_Value = value;
    m_Valid = true;
  }

private:
  void DisposeHeld() {
    if (m_Valid)
      Disposer::Dispose(m_Value);
    m_Valid = false;
    m_Value = Value{};
  }

  bool m_Valid = false;
  Value m_Value{};
};
