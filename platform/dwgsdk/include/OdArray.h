// OdArray: the SDK's growable array, with value semantics.
#pragma once

#include <algorithm>
#include <vector>

template <class T>
class OdArray {
 public:
  using size_type = unsigned int;
  using iterator = typename std::vector<T>::iterator;
  using const_iterator = typename std::vector<T>::const_iterator;

  OdArray() = default;
  explicit OdArray(size_type physicalLength) { m_items.reserve(physicalLength); }

  size_type size() const { return static_cast<size_type>(m_items.size()); }
  size_type length() const { return size(); }
  size_type logicalLength() const { return size(); }
  size_type physicalLength() const { return static_cast<size_type>(m_items.capacity()); }
  bool isEmpty() const { return m_items.empty(); }
  bool empty() const { return m_items.empty(); }

  T& operator[](size_type index) { return m_items[index]; }
  const T& operator[](size_type index) const { return m_items[index]; }
  T& at(size_type index) { return m_items.at(index); }
  const T& at(size_type index) const { return m_items.at(index); }
  const T& getAt(size_type index) const { return m_items.at(index); }
  OdArray& setAt(size_type index, const T& value) {
    m_items.at(index) = value;
    return *this;
  }
  T& first() { return m_items.front(); }
  const T& first() const { return m_items.front(); }
  T& last() { return m_items.back(); }
  const T& last() const { return m_items.back(); }

  /// Appends and returns the new element's index.
  size_type append(const T& value) {
    m_items.push_back(value);
    return size() - 1;
  }
  void push_back(const T& value) { m_items.push_back(value); }
  OdArray& insertAt(size_type index, const T& value) {
    m_items.insert(m_items.begin() + std::min<std::size_t>(index, m_items.size()), value);
    return *this;
  }
  OdArray& removeAt(size_type index) {
    if (index < m_items.size()) m_items.erase(m_items.begin() + index);
    return *this;
  }
  OdArray& removeFirst() { return removeAt(0); }
  OdArray& removeLast() {
    if (!m_items.empty()) m_items.pop_back();
    return *this;
  }
  bool remove(const T& value) {
    auto it = std::find(m_items.begin(), m_items.end(), value);
    if (it == m_items.end()) return false;
    m_items.erase(it);
    return true;
  }
  void clear() { m_items.clear(); }
  OdArray& setLogicalLength(size_type length) {
    m_items.resize(length);
    return *this;
  }
  OdArray& setPhysicalLength(size_type length) {
    if (length < m_items.size()) m_items.resize(length);
    m_items.reserve(length);
    return *this;
  }
  void reserve(size_type length) { m_items.reserve(length); }
  void resize(size_type length) { m_items.resize(length); }
  void resize(size_type length, const T& value) { m_items.resize(length, value); }

  bool contains(const T& value, size_type start = 0) const {
    size_type index = 0;
    return find(value, index, start);
  }
  bool find(const T& value, size_type& index, size_type start = 0) const {
    for (size_type i = start; i < size(); ++i) {
      if (m_items[i] == value) {
        index = i;
        return true;
      }
    }
    return false;
  }

  T* asArrayPtr() { return m_items.data(); }
  const T* asArrayPtr() const { return m_items.data(); }
  const T* getPtr() const { return m_items.data(); }

  iterator begin() { return m_items.begin(); }
  iterator end() { return m_items.end(); }
  const_iterator begin() const { return m_items.begin(); }
  const_iterator end() const { return m_items.end(); }

  friend bool operator==(const OdArray& a, const OdArray& b) { return a.m_items == b.m_items; }

 private:
  std::vector<T> m_items;
};
