#pragma once
// Shared-ownership pointer with a separately allocated count block. Single-threaded by
// design: the count is a plain int.
//
//   TMPL_ReferenceCountPointer<Policy>  owns an object and deletes it with delete;
//   TMPL_ReferenceCountPointer<BYTE[]>  owns a buffer made with new[] and frees it with delete[].

#include "GLIB/GLIB_New.h"

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

// How the last owner disposes of the object: delete for one object, delete[] for a buffer.
template <class T>
struct TMPL_DefaultDelete {
  void operator()(T* object) const { delete object; }
};

template <class T>
struct TMPL_DefaultDelete<T[]> {
  void operator()(T* buffer) const { delete[] buffer; }
};

template <class T>
class TMPL_ReferenceCountPointer {
public:
  using element_type = std::remove_extent_t<T>;

  TMPL_ReferenceCountPointer() noexcept = default;

  // Takes ownership of object; a null object gives an empty pointer and allocates nothing.
  explicit TMPL_ReferenceCountPointer(element_type* object) { Adopt(object); }

  TMPL_ReferenceCountPointer(TMPL_ReferenceCountPointer const& other) noexcept
      : m_Block(other.m_Block) {
    if (m_Block)
      ++m_Block->count;
  }

  TMPL_ReferenceCountPointer(TMPL_ReferenceCountPointer&& other) noexcept : m_Block(other.m_Block) {
    other.m_Block = nullptr;
  }

  // Takes the new share before dropping the old one, so assigning a pointer to itself (or to
  // another pointer sharing the same block) never deletes the object.
  TMPL_ReferenceCountPointer& operator=(TMPL_ReferenceCountPointer const& other) noexcept {
    Block* const shared = other.m_Block;
    if (shared)
      ++shared->count;
    Release();
    m_Block = shared;
    return *this;
  }

  TMPL_ReferenceCountPointer& operator=(TMPL_ReferenceCountPointer&& other) noexcept {
    if (this != &other) {
      Release();
      m_Block = other.m_Block;
      other.m_Block = nullptr;
    }
    return *this;
  }

  ~TMPL_ReferenceCountPointer() { Release(); }

  // Drops this share; the last share deletes the object and the block. Empty afterwards.
  void Release() noexcept {
    Block* block = m_Block;
    m_Block = nullptr;
    if (block && --block->count == 0)
      Dispose(block);
  }

  // Releases the current object and takes ownership of object. Resetting to the object this
  // pointer already holds changes nothing: releasing first would delete what is then adopted.
  void Reset(element_type* object) {
    if (object && m_Block && object == m_Block->object)
      return;
    Release();
    Adopt(object);
  }

  element_type* Get() const noexcept { return m_Block ? m_Block->object : nullptr; }

  // Number of pointers sharing the object; 0 when empty.
  int GetReferenceCount() const noexcept { return m_Block ? m_Block->count : 0; }

  explicit operator bool() const noexcept { return m_Block != nullptr; }

  template <class U = T, class = std::enable_if_t<!std::is_array<U>::value>>
  element_type* operator->() const noexcept {
    return Get();
  }

  template <class U = T, class = std::enable_if_t<!std::is_array<U>::value>>
  element_type& operator*() const noexcept {
    return *Get();
  }

  template <class U = T, class = std::enable_if_t<std::is_array<U>::value>>
  element_type& operator[](std::size_t index) const noexcept {
    return Get()[index];
  }

private:
  struct Block {
    int count;
    element_type* object;
  };

  void Adopt(element_type* object) {
    if (!object)
      return;
    // The object was handed over to us: it must not leak when its block cannot be made.
    try {
      m_Block = new (__LINE__, __FILE__) Block{1, object};
    } catch (...) {
      DeleteObject(object);
      throw;
    }
    if (!m_Block) {
      DeleteObject(object);
      throw std::bad_alloc();
    }
  }

  // Out of line: inlined, the compiler cannot follow the count and takes the other shares' use
  // of the block for a use after free.
  [[gnu::noinline]] static void DeleteObject(element_type* object) noexcept {
    TMPL_DefaultDelete<T>()(object);
  }

  [[gnu::noinline]] static void Dispose(Block* block) noexcept {
    DeleteObject(block->object);
    delete block;
  }

  Block* m_Block = nullptr;
};

template <class T>
bool operator==(TMPL_ReferenceCountPointer<T> const& a,
                TMPL_ReferenceCountPointer<T> const& b) noexcept {
  return a.Get() == b.Get();
}

template <class T>
bool operator!=(TMPL_ReferenceCountPointer<T> const& a,
                TMPL_ReferenceCountPointer<T> const& b) noexcept {
  return !(a == b);
}
