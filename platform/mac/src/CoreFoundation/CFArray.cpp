#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFString.h>

#include "iStandInCFCalls.h"

#include <vector>

using standin_cf::Crash;

namespace {

const void* RetainObject(CFAllocatorRef, const void* value) {
  return CFRetain(static_cast<CFTypeRef>(value));
}

void ReleaseObject(CFAllocatorRef, const void* value) {
  CFRelease(static_cast<CFTypeRef>(value));
}

CFStringRef DescribeObject(const void* value) {
  return CFCopyDescription(static_cast<CFTypeRef>(value));
}

Boolean EqualObjects(const void* value1, const void* value2) {
  return CFEqual(static_cast<CFTypeRef>(value1), static_cast<CFTypeRef>(value2));
}

const CFArrayCallBacks kPlainCallBacks = {0, nullptr, nullptr, nullptr, nullptr};

}  // namespace

const CFArrayCallBacks kCFTypeArrayCallBacks = {0, RetainObject, ReleaseObject, DescribeObject,
                                                EqualObjects};

namespace {

class ArrayObject final : public StandIn_CFArray {
public:
  ArrayObject(const CFArrayCallBacks* callBacks, bool isMutable, CFIndex capacity)
      : StandIn_CFArray(CFArrayGetTypeID()),
        m_CallBacks(callBacks ? *callBacks : kPlainCallBacks),
        m_Mutable(isMutable),
        m_Capacity(capacity) {}

  ~ArrayObject() override {
    for (const void* value : m_Values)
      ReleaseValue(value);
  }

  const CFArrayCallBacks& CallBacks() const { return m_CallBacks; }
  const std::vector<const void*>& Values() const { return m_Values; }

  const void* At(CFIndex idx) const {
    CheckIndex(idx, Count() - 1, "CFArray index out of bounds");
    return m_Values[static_cast<std::size_t>(idx)];
  }

  CFIndex Count() const { return static_cast<CFIndex>(m_Values.size()); }

  void CheckRange(CFRange range) const {
    if (range.location < 0 || range.length < 0 || range.location + range.length > Count())
      Crash("CFArray range out of bounds");
  }

  void Insert(CFIndex idx, const void* value) {
    CheckWritable();
    CheckIndex(idx, Count(), "CFArray index out of bounds");
    if (m_Capacity > 0 && Count() >= m_Capacity)
      Crash("CFArray beyond its capacity");
    m_Values.reserve(m_Values.size() + 1);
    m_Values.insert(m_Values.begin() + idx, RetainValue(value));
  }

  void Set(CFIndex idx, const void* value) {
    CheckWritable();
    if (idx == Count()) {
      Insert(idx, value);
      return;
    }
    CheckIndex(idx, Count() - 1, "CFArray index out of bounds");
    const void* old = m_Values[static_cast<std::size_t>(idx)];
    m_Values[static_cast<std::size_t>(idx)] = RetainValue(value);
    ReleaseValue(old);
  }

  void Remove(CFIndex idx) {
    CheckWritable();
    CheckIndex(idx, Count() - 1, "CFArray index out of bounds");
    const void* old = m_Values[static_cast<std::size_t>(idx)];
    m_Values.erase(m_Values.begin() + idx);
    ReleaseValue(old);
  }

  void RemoveAll() {
    CheckWritable();
    std::vector<const void*> old;
    old.swap(m_Values);
    for (const void* value : old)
      ReleaseValue(value);
  }

  // The values of another array, appended on creation (no writability check).
  void Fill(const void* const* values, CFIndex count) {
    m_Values.reserve(static_cast<std::size_t>(count));
    for (CFIndex i = 0; i < count; ++i)
      m_Values.push_back(RetainValue(values[i]));
  }

  bool SameValue(const void* a, const void* b) const {
    return a == b || (m_CallBacks.equal != nullptr && m_CallBacks.equal(a, b));
  }

  std::u16string Description() const override {
    std::u16string text = u"(";
    for (std::size_t i = 0; i < m_Values.size(); ++i) {
      if (i > 0)
        text += u", ";
      text += DescribeValue(m_Values[i]);
    }
    return text + u")";
  }

  bool Equals(const StandIn_CFObject& other) const override {
    if (other.TypeID() != TypeID())
      return false;
    const auto& array = static_cast<const ArrayObject&>(other);
    if (array.m_Values.size() != m_Values.size())
      return false;
    for (std::size_t i = 0; i < m_Values.size(); ++i) {
      if (!SameValue(m_Values[i], array.m_Values[i]))
        return false;
    }
    return true;
  }

  CFHashCode Hash() const override { return static_cast<CFHashCode>(m_Values.size()); }

private:
  static void CheckIndex(CFIndex idx, CFIndex last, const char* what) {
    if (idx < 0 || idx > last)
      Crash(what);
  }

  void CheckWritable() const {
    if (!m_Mutable)
      Crash("writing into an immutable CFArray");
  }

  const void* RetainValue(const void* value) const {
    return m_CallBacks.retain ? m_CallBacks.retain(nullptr, value) : value;
  }

  void ReleaseValue(const void* value) const {
    if (m_CallBacks.release)
      m_CallBacks.release(nullptr, value);
  }

  std::u16string DescribeValue(const void* value) const {
    CFStringRef text = m_CallBacks.copyDescription ? m_CallBacks.copyDescription(value) : nullptr;
    if (text == nullptr) {
      const std::string pointer =
          "<" + std::to_string(reinterpret_cast<std::uintptr_t>(value)) + ">";
      return std::u16string(pointer.begin(), pointer.end());
    }
    std::u16string units = text->Units();
    CFRelease(text);
    return units;
  }

  CFArrayCallBacks m_CallBacks;
  bool m_Mutable;
  CFIndex m_Capacity;
  std::vector<const void*> m_Values;
};

const ArrayObject& Checked(CFArrayRef theArray, const char* function) {
  if (theArray == nullptr || theArray->TypeID() != CFArrayGetTypeID()) {
    Crash(function);
  }
  return static_cast<const ArrayObject&>(*theArray);
}

ArrayObject& CheckedMutable(CFMutableArrayRef theArray, const char* function) {
  Checked(theArray, function);
  return static_cast<ArrayObject&>(*theArray);
}

}  // namespace

CFTypeID CFArrayGetTypeID() {
  static const CFTypeID typeID = StandIn_CFRegisterType();
  return typeID;
}

CFArrayRef CFArrayCreate(CFAllocatorRef, const void** values, CFIndex numValues,
                         const CFArrayCallBacks* callBacks) {
  if (numValues < 0 || (values == nullptr && numValues > 0))
    Crash("CFArrayCreate with bad values");
  if (standin_cf::CallFails("CFArrayCreate"))
    return nullptr;
  auto* array = new ArrayObject(callBacks, false, 0);
  array->Fill(values, numValues);
  return array;
}

CFArrayRef CFArrayCreateCopy(CFAllocatorRef, CFArrayRef theArray) {
  const ArrayObject& source = Checked(theArray, "CFArrayCreateCopy with no array");
  if (standin_cf::CallFails("CFArrayCreateCopy"))
    return nullptr;
  auto* array = new ArrayObject(&source.CallBacks(), false, 0);
  array->Fill(source.Values().data(), source.Count());
  return array;
}

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef, CFIndex capacity,
                                       const CFArrayCallBacks* callBacks) {
  if (capacity < 0)
    Crash("CFArrayCreateMutable with a negative capacity");
  if (standin_cf::CallFails("CFArrayCreateMutable"))
    return nullptr;
  return new ArrayObject(callBacks, true, capacity);
}

CFMutableArrayRef CFArrayCreateMutableCopy(CFAllocatorRef, CFIndex capacity, CFArrayRef theArray) {
  const ArrayObject& source = Checked(theArray, "CFArrayCreateMutableCopy with no array");
  if (capacity < 0 || (capacity > 0 && capacity < source.Count()))
    Crash("CFArrayCreateMutableCopy with a capacity below the count");
  if (standin_cf::CallFails("CFArrayCreateMutableCopy"))
    return nullptr;
  auto* array = new ArrayObject(&source.CallBacks(), true, capacity);
  array->Fill(source.Values().data(), source.Count());
  return array;
}

CFIndex CFArrayGetCount(CFArrayRef theArray) {
  return Checked(theArray, "CFArrayGetCount with no array").Count();
}

const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx) {
  return Checked(theArray, "CFArrayGetValueAtIndex with no array").At(idx);
}

void CFArrayGetValues(CFArrayRef theArray, CFRange range, const void** values) {
  const ArrayObject& array = Checked(theArray, "CFArrayGetValues with no array");
  array.CheckRange(range);
  for (CFIndex i = 0; i < range.length; ++i)
    values[i] = array.At(range.location + i);
}

CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef theArray, CFRange range, const void* value) {
  const ArrayObject& array = Checked(theArray, "CFArrayGetFirstIndexOfValue with no array");
  array.CheckRange(range);
  for (CFIndex i = range.location; i < range.location + range.length; ++i) {
    if (array.SameValue(array.At(i), value))
      return i;
  }
  return kCFNotFound;
}

Boolean CFArrayContainsValue(CFArrayRef theArray, CFRange range, const void* value) {
  return CFArrayGetFirstIndexOfValue(theArray, range, value) != kCFNotFound;
}

void CFArrayAppendValue(CFMutableArrayRef theArray, const void* value) {
  ArrayObject& array = CheckedMutable(theArray, "CFArrayAppendValue with no array");
  array.Insert(array.Count(), value);
}

void CFArrayInsertValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value) {
  CheckedMutable(theArray, "CFArrayInsertValueAtIndex with no array").Insert(idx, value);
}

void CFArraySetValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value) {
  CheckedMutable(theArray, "CFArraySetValueAtIndex with no array").Set(idx, value);
}

void CFArrayRemoveValueAtIndex(CFMutableArrayRef theArray, CFIndex idx) {
  CheckedMutable(theArray, "CFArrayRemoveValueAtIndex with no array").Remove(idx);
}

void CFArrayRemoveAllValues(CFMutableArrayRef theArray) {
  CheckedMutable(theArray, "CFArrayRemoveAllValues with no array").RemoveAll();
}
