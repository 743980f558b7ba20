#include <string>

#include "afxstr.h"
#include "misuse.h"

using winsim::mfc::reportMisuse;

void CStringArray::checkIndex(const char* operation, INT_PTR index) const {
  if (index < 0 || index >= GetSize())
    reportMisuse(std::string("CStringArray::") + operation + "(" + std::to_string(index) + ") on an array of " +
                 std::to_string(GetSize()));
}

void CStringArray::SetSize(INT_PTR newSize, INT_PTR) {
  if (newSize < 0) reportMisuse("CStringArray::SetSize(" + std::to_string(newSize) + ")");
  m_items.resize(static_cast<std::size_t>(newSize));
}

const CString& CStringArray::GetAt(INT_PTR index) const {
  checkIndex("GetAt", index);
  return m_items[static_cast<std::size_t>(index)];
}

void CStringArray::SetAt(INT_PTR index, const CString& text) {
  checkIndex("SetAt", index);
  m_items[static_cast<std::size_t>(index)] = text;
}

CString& CStringArray::ElementAt(INT_PTR index) {
  checkIndex("ElementAt", index);
  return m_items[static_cast<std::size_t>(index)];
}

const CString& CStringArray::ElementAt(INT_PTR index) const {
  checkIndex("ElementAt", index);
  return m_items[static_cast<std::size_t>(index)];
}

INT_PTR CStringArray::Add(const CString& text) {
  m_items.push_back(text);
  return GetSize() - 1;
}

INT_PTR CStringArray::Append(const CStringArray& other) {
  const INT_PTR first = GetSize();
  const std::vector<CString> added(other.m_items);  // `other` may be this array
  m_items.insert(m_items.end(), added.begin(), added.end());
  return first;
}

void CStringArray::Copy(const CStringArray& other) {
  if (&other != this) m_items = other.m_items;
}

void CStringArray::InsertAt(INT_PTR index, const CString& text, INT_PTR count) {
  if (index < 0 || count < 0)
    reportMisuse("CStringArray::InsertAt(" + std::to_string(index) + ", " + std::to_string(count) + ")");
  const CString copy(text);  // `text` may be an element that moves
  if (index > GetSize()) m_items.resize(static_cast<std::size_t>(index));
  m_items.insert(m_items.begin() + index, static_cast<std::size_t>(count), copy);
}

void CStringArray::InsertAt(INT_PTR startIndex, const CStringArray* other) {
  if (startIndex < 0 || !other) reportMisuse("CStringArray::InsertAt(" + std::to_string(startIndex) + ", array)");
  const std::vector<CString> added(other->m_items);
  if (startIndex > GetSize()) m_items.resize(static_cast<std::size_t>(startIndex));
  m_items.insert(m_items.begin() + startIndex, added.begin(), added.end());
}

void CStringArray::RemoveAt(INT_PTR index, INT_PTR count) {
  if (index < 0 || count < 0 || index > GetSize() - count)
    reportMisuse("CStringArray::RemoveAt(" + std::to_string(index) + ", " + std::to_string(count) +
                 ") on an array of " + std::to_string(GetSize()));
  m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
}
