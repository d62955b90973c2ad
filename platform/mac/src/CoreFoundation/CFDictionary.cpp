#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFString.h>

#include "iStandInCFCalls.h"

#include <unordered_map>
#include <utility>
#include <vector>

using standin_cf::Crash;

namespace {

const void* RetainObject(CFAllocatorRef, const void* value) {
  return CFRetain(static_cast<CFTypeRef>(value));
}

// The stand-in's strings are immutable, so a copy may share the object.
const void* CopyString(CFAllocatorRef, const void* value) {
  auto key = static_cast<CFTypeRef>(value);
  if (CFGetTypeID(key) != CFStringGetTypeID())
    Crash("kCFCopyStringDictionaryKeyCallBacks with a key that is no string");
  return CFRetain(key);
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

CFHashCode HashObject(const void* value) {
  return CFHash(static_cast<CFTypeRef>(value));
}

const CFDictionaryKeyCallBacks kPlainKeys = {0, nullptr, nullptr, nullptr, nullptr, nullptr};
const CFDictionaryValueCallBacks kPlainValues = {0, nullptr, nullptr, nullptr, nullptr};

std::u16string DescribeWith(CFDictionaryCopyDescriptionCallBack describe, const void* value) {
  CFStringRef text = describe ? describe(value) : nullptr;
  if (text == nullptr) {
    const std::string pointer = "<" + std::to_string(reinterpret_cast<std::uintptr_t>(value)) + ">";
    return std::u16string(pointer.begin(), pointer.end());
  }
  std::u16string units = text->Units();
  CFRelease(text);
  return units;
}

}  // namespace

const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {
    0, RetainObject, ReleaseObject, DescribeObject, EqualObjects, HashObject};
const CFDictionaryKeyCallBacks kCFCopyStringDictionaryKeyCallBacks = {
    0, CopyString, ReleaseObject, DescribeObject, EqualObjects, HashObject};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {0, RetainObject, ReleaseObject,
                                                                    DescribeObject, EqualObjects};

namespace {

class DictionaryObject final : public StandIn_CFDictionary {
public:
  struct Pair {
    const void* key;
    const void* value;
    CFHashCode hash;
  };

  DictionaryObject(const CFDictionaryKeyCallBacks* keyCallBacks,
                   const CFDictionaryValueCallBacks* valueCallBacks, bool isMutable,
                   CFIndex capacity)
      : StandIn_CFDictionary(CFDictionaryGetTypeID()),
        m_Keys(keyCallBacks ? *keyCallBacks : kPlainKeys),
        m_Values(valueCallBacks ? *valueCallBacks : kPlainValues),
        m_Mutable(isMutable),
        m_Capacity(capacity) {}

  ~DictionaryObject() override {
    for (const Pair& pair : m_Pairs)
      ReleasePair(pair);
  }

  const CFDictionaryKeyCallBacks& KeyCallBacks() const { return m_Keys; }
  const CFDictionaryValueCallBacks& ValueCallBacks() const { return m_Values; }
  const std::vector<Pair>& Pairs() const { return m_Pairs; }
  CFIndex Count() const { return static_cast<CFIndex>(m_Pairs.size()); }

  const Pair* Find(const void* key) const {
    const CFHashCode hash = HashKey(key);
    const auto range = m_Index.equal_range(hash);
    for (auto entry = range.first; entry != range.second; ++entry) {
      standin_cf::CountKeyProbe();
      const Pair& pair = m_Pairs[entry->second];
      if (pair.key == key || (m_Keys.equal && m_Keys.equal(pair.key, key)))
        return &pair;
    }
    return nullptr;
  }

  // replace: a present key gets the new value; add: a missing key gets the pair.
  void Put(const void* key, const void* value, bool replace, bool add) {
    CheckWritable();
    Pair* present = const_cast<Pair*>(Find(key));
    if (present != nullptr) {
      if (replace) {
        const void* old = present->value;
        present->value = RetainValue(value);
        ReleaseValue(old);
      }
      return;
    }
    if (add)
      Add(key, value);
  }

  void Remove(const void* key) {
    CheckWritable();
    const Pair* present = Find(key);
    if (present == nullptr)
      return;
    const Pair old = *present;
    m_Pairs.erase(m_Pairs.begin() + (present - m_Pairs.data()));
    IndexPairs();  // the later pairs moved down by one
    ReleasePair(old);
  }

  void RemoveAll() {
    CheckWritable();
    std::vector<Pair> old;
    old.swap(m_Pairs);
    m_Index.clear();
    for (const Pair& pair : old)
      ReleasePair(pair);
  }

  // Adds a pair on creation (no writability check).
  void Add(const void* key, const void* value) {
    if (m_Capacity > 0 && Count() >= m_Capacity)
      Crash("CFDictionary beyond its capacity");
    const CFHashCode hash = HashKey(key);
    // Room first (doubling, so growth stays amortised), so that a failed allocation has retained
    // nothing.
    if (m_Pairs.size() == m_Pairs.capacity())
      m_Pairs.reserve(m_Pairs.empty() ? 8 : m_Pairs.size() * 2);
    const void* keptKey = m_Keys.retain ? m_Keys.retain(nullptr, key) : key;
    m_Pairs.push_back({keptKey, RetainValue(value), hash});
    m_Index.emplace(hash, m_Pairs.size() - 1);
  }

  std::u16string Description() const override {
    std::u16string text = u"{";
    for (const Pair& pair : m_Pairs) {
      text += DescribeWith(m_Keys.copyDescription, pair.key) + u" = " +
              DescribeWith(m_Values.copyDescription, pair.value) + u"; ";
    }
    return text + u"}";
  }

  bool Equals(const StandIn_CFObject& other) const override {
    if (other.TypeID() != TypeID())
      return false;
    const auto& dict = static_cast<const DictionaryObject&>(other);
    if (dict.Count() != Count())
      return false;
    for (const Pair& pair : m_Pairs) {
      const Pair* found = dict.Find(pair.key);
      if (found == nullptr || !(found->value == pair.value ||
                                (m_Values.equal && m_Values.equal(found->value, pair.value))))
        return false;
    }
    return true;
  }

  CFHashCode Hash() const override { return static_cast<CFHashCode>(m_Pairs.size()); }

private:
  CFHashCode HashKey(const void* key) const {
    if (key == nullptr)
      Crash("CFDictionary with a NULL key");
    return m_Keys.hash ? m_Keys.hash(key)
                       : static_cast<CFHashCode>(reinterpret_cast<std::uintptr_t>(key));
  }

  void IndexPairs() {
    m_Index.clear();
    for (std::size_t i = 0; i < m_Pairs.size(); ++i)
      m_Index.emplace(m_Pairs[i].hash, i);
  }

  void CheckWritable() const {
    if (!m_Mutable)
      Crash("writing into an immutable CFDictionary");
  }

  const void* RetainValue(const void* value) const {
    return m_Values.retain ? m_Values.retain(nullptr, value) : value;
  }

  void ReleaseValue(const void* value) const {
    if (m_Values.release)
      m_Values.release(nullptr, value);
  }

  void ReleasePair(const Pair& pair) const {
    if (m_Keys.release)
      m_Keys.release(nullptr, pair.key);
    ReleaseValue(pair.value);
  }

  CFDictionaryKeyCallBacks m_Keys;
  CFDictionaryValueCallBacks m_Values;
  bool m_Mutable;
  CFIndex m_Capacity;
  std::vector<Pair> m_Pairs;
  // Positions in m_Pairs by key hash: lookups and additions take constant time.
  std::unordered_multimap<CFHashCode, std::size_t> m_Index;
};

const DictionaryObject& Checked(CFDictionaryRef theDict, const char* function) {
  if (theDict == nullptr || theDict->TypeID() != CFDictionaryGetTypeID()) {
    Crash(function);
  }
  return static_cast<const DictionaryObject&>(*theDict);
}

DictionaryObject& CheckedMutable(CFMutableDictionaryRef theDict, const char* function) {
  Checked(theDict, function);
  return static_cast<DictionaryObject&>(*theDict);
}

DictionaryObject* CopyOf(const DictionaryObject& source, bool isMutable, CFIndex capacity) {
  auto* dict =
      new DictionaryObject(&source.KeyCallBacks(), &source.ValueCallBacks(), isMutable, capacity);
  for (const DictionaryObject::Pair& pair : source.Pairs())
    dict->Add(pair.key, pair.value);
  return dict;
}

}  // namespace

CFTypeID CFDictionaryGetTypeID() {
  static const CFTypeID typeID = StandIn_CFRegisterType();
  return typeID;
}

CFDictionaryRef CFDictionaryCreate(CFAllocatorRef, const void** keys, const void** values,
                                   CFIndex numValues, const CFDictionaryKeyCallBacks* keyCallBacks,
                                   const CFDictionaryValueCallBacks* valueCallBacks) {
  if (numValues < 0 || ((keys == nullptr || values == nullptr) && numValues > 0))
    Crash("CFDictionaryCreate with bad keys or values");
  if (standin_cf::CallFails("CFDictionaryCreate"))
    return nullptr;
  auto* dict = new DictionaryObject(keyCallBacks, valueCallBacks, true, 0);
  for (CFIndex i = 0; i < numValues; ++i)
    dict->Put(keys[i], values[i], true, true);
  // Filled as a mutable one (a repeated key keeps its last value); immutable from now on.
  auto* frozen = CopyOf(*dict, false, 0);
  CFRelease(dict);
  return frozen;
}

CFDictionaryRef CFDictionaryCreateCopy(CFAllocatorRef, CFDictionaryRef theDict) {
  const DictionaryObject& source = Checked(theDict, "CFDictionaryCreateCopy with no dictionary");
  if (standin_cf::CallFails("CFDictionaryCreateCopy"))
    return nullptr;
  return CopyOf(source, false, 0);
}

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks) {
  if (capacity < 0)
    Crash("CFDictionaryCreateMutable with a negative capacity");
  if (standin_cf::CallFails("CFDictionaryCreateMutable"))
    return nullptr;
  return new DictionaryObject(keyCallBacks, valueCallBacks, true, capacity);
}

CFMutableDictionaryRef CFDictionaryCreateMutableCopy(CFAllocatorRef, CFIndex capacity,
                                                     CFDictionaryRef theDict) {
  const DictionaryObject& source =
      Checked(theDict, "CFDictionaryCreateMutableCopy with no dictionary");
  if (capacity < 0 || (capacity > 0 && capacity < source.Count()))
    Crash("CFDictionaryCreateMutableCopy with a capacity below the count");
  if (standin_cf::CallFails("CFDictionaryCreateMutableCopy"))
    return nullptr;
  return CopyOf(source, true, capacity);
}

CFIndex CFDictionaryGetCount(CFDictionaryRef theDict) {
  return Checked(theDict, "CFDictionaryGetCount with no dictionary").Count();
}

Boolean CFDictionaryContainsKey(CFDictionaryRef theDict, const void* key) {
  return Checked(theDict, "CFDictionaryContainsKey with no dictionary").Find(key) != nullptr;
}

const void* CFDictionaryGetValue(CFDictionaryRef theDict, const void* key) {
  const DictionaryObject::Pair* pair =
      Checked(theDict, "CFDictionaryGetValue with no dictionary").Find(key);
  return pair ? pair->value : nullptr;
}

Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef theDict, const void* key,
                                      const void** value) {
  const DictionaryObject::Pair* pair =
      Checked(theDict, "CFDictionaryGetValueIfPresent with no dictionary").Find(key);
  if (pair != nullptr && value != nullptr)
    *value = pair->value;
  return pair != nullptr;
}

void CFDictionaryGetKeysAndValues(CFDictionaryRef theDict, const void** keys, const void** values) {
  const auto& pairs = Checked(theDict, "CFDictionaryGetKeysAndValues with no dictionary").Pairs();
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    if (keys != nullptr)
      keys[i] = pairs[i].key;
    if (values != nullptr)
      values[i] = pairs[i].value;
  }
}

void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void* key, const void* value) {
  CheckedMutable(theDict, "CFDictionarySetValue with no dictionary").Put(key, value, true, true);
}

void CFDictionaryAddValue(CFMutableDictionaryRef theDict, const void* key, const void* value) {
  CheckedMutable(theDict, "CFDictionaryAddValue with no dictionary").Put(key, value, false, true);
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef theDict, const void* key) {
  CheckedMutable(theDict, "CFDictionaryRemoveValue with no dictionary").Remove(key);
}

void CFDictionaryRemoveAllValues(CFMutableDictionaryRef theDict) {
  CheckedMutable(theDict, "CFDictionaryRemoveAllValues with no dictionary").RemoveAll();
}
