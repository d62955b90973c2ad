// A CF reference the PowerPlant X additions own: released when the holder goes.
#pragma once

#include <CoreFoundation/CFBase.h>

namespace PPXA {

template <class Ref>
class iPPXA_CFHolder {
public:
  iPPXA_CFHolder() = default;
  // Adopts a reference the caller owned.
  explicit iPPXA_CFHolder(Ref ref) : m_Ref(ref) {}
  ~iPPXA_CFHolder() { Reset(nullptr); }
  iPPXA_CFHolder(iPPXA_CFHolder const&) = delete;
  iPPXA_CFHolder& operator=(iPPXA_CFHolder const&) = delete;

  // Keeps its own reference to ref.
  static iPPXA_CFHolder Retaining(Ref ref) {
    if (ref)
      CFRetain(ref);
    return iPPXA_CFHolder(ref);
  }
  iPPXA_CFHolder(iPPXA_CFHolder&& other) noexcept : m_Ref(other.Release()) {}

  Ref Get() const { return m_Ref; }
  // Hands the reference to the caller.
  Ref Release() {
    Ref ref = m_Ref;
    m_Ref = nullptr;
    return ref;
  }
  void Reset(Ref ref) {
    Ref old = m_Ref;
    m_Ref = ref;
    if (old)
      CFRelease(old);
  }

private:
  Ref m_Ref = nullptr;
};

}  // namespace PPXA
