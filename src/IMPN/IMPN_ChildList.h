// The children of one level of the job tree, owned in order of arrival. Callers see plain
// pointers: indexing and iterating give Child*, which stay valid while the child is listed.
#pragma once
#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

template <class Child, class Deleter = std::default_delete<Child>>
class IMPN_ChildList {
public:
  using Owner = std::unique_ptr<Child, Deleter>;

  class const_iterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Child*;
    using difference_type = std::ptrdiff_t;
    using pointer = Child* const*;
    using reference = Child*;

    explicit const_iterator(typename std::vector<Owner>::const_iterator at) : m_At(at) {}
    Child* operator*() const { return m_At->get(); }
    const_iterator& operator++() {
      ++m_At;
      return *this;
    }
    const_iterator operator++(int) { return const_iterator(m_At++); }
    bool operator==(const_iterator const& other) const { return m_At == other.m_At; }
    bool operator!=(const_iterator const& other) const { return m_At != other.m_At; }

  private:
    typename std::vector<Owner>::const_iterator m_At;
  };

  IMPN_ChildList() = default;
  IMPN_ChildList(IMPN_ChildList const&) = delete;
  IMPN_ChildList& operator=(IMPN_ChildList const&) = delete;

  std::size_t size() const { return m_Children.size(); }
  bool empty() const { return m_Children.empty(); }
  Child* operator[](std::size_t index) const { return m_Children[index].get(); }
  const_iterator begin() const { return const_iterator(m_Children.begin()); }
  const_iterator end() const { return const_iterator(m_Children.end()); }

  // The first child that matches; null when none does.
  template <class Match>
  Child* FindFirst(Match match) const {
    auto found = std::find_if(m_Children.begin(), m_Children.end(),
                              [&match](Owner const& child) { return match(*child); });
    return found == m_Children.end() ? nullptr : found->get();
  }

  // The first child that matches, else the one make() returns (an Owner), appended. A child
  // that cannot be appended is freed.
  template <class Match, class Make>
  Child* FindOrAppend(Match match, Make make) {
    if (Child* found = FindFirst(match))
      return found;
    Owner made = make();
    m_Children.push_back(std::move(made));
    return m_Children.back().get();
  }

  // Frees and unlists the children that match, keeping the order of the rest.
  template <class Match>
  void RemoveIf(Match match) {
    m_Children.erase(std::remove_if(m_Children.begin(), m_Children.end(),
                                    [&match](Owner const& child) { return match(*child); }),
                     m_Children.end());
  }

  void Clear() { m_Children.clear(); }

private:
  std::vector<Owner> m_Children;
};
