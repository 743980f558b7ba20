// OdString helpers, status texts and the SDK allocator.
#include <cstdlib>
#include <cstring>

#include "OdAlloc.h"
#include "OdResult.h"
#include "OdString.h"
#include "winsim/text.h"

const OdString OdString::kEmpty;

int OdString::iCompare(const OdChar* other) const {
  return winsim::compareNoCase(m_text, other ? std::u16string_view(other) : std::u16string_view());
}

OdString& OdString::makeUpper() {
  for (auto& c : m_text) c = winsim::upperCase(c);
  return *this;
}

OdString& OdString::makeLower() {
  for (auto& c : m_text) c = winsim::lowerCase(c);
  return *this;
}

OdString OdString::left(int count) const {
  if (count <= 0) return {};
  return OdString(m_text.substr(0, static_cast<std::size_t>(count)));
}

OdString OdString::right(int count) const {
  if (count <= 0) return {};
  std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), m_text.size());
  return OdString(m_text.substr(m_text.size() - n));
}

OdString OdString::mid(int start, int count) const {
  if (start < 0) start = 0;
  if (static_cast<std::size_t>(start) >= m_text.size()) return {};
  if (count < 0) return OdString(m_text.substr(static_cast<std::size_t>(start)));
  return OdString(m_text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count)));
}

int OdString::find(const OdChar* text, int start) const {
  if (!text || start < 0) return -1;
  auto at = m_text.find(text, static_cast<std::size_t>(start));
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int OdString::find(OdChar c, int start) const {
  if (start < 0) return -1;
  auto at = m_text.find(c, static_cast<std::size_t>(start));
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int OdString::reverseFind(OdChar c) const {
  auto at = m_text.rfind(c);
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

static bool isSpace(OdChar c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

OdString& OdString::trimLeft() {
  std::size_t i = 0;
  while (i < m_text.size() && isSpace(m_text[i])) ++i;
  m_text.erase(0, i);
  return *this;
}

OdString& OdString::trimRight() {
  while (!m_text.empty() && isSpace(m_text.back())) m_text.pop_back();
  return *this;
}

void* odrxAlloc(std::size_t size) { return std::malloc(size ? size : 1); }

void* odrxRealloc(void* memory, std::size_t newSize, std::size_t) {
  return std::realloc(memory, newSize ? newSize : 1);
}

void odrxFree(void* memory) { std::free(memory); }

const OdChar* odResultText(OdResult result) {
  switch (result) {
#define TEXT_OF(code) \
  case code:          \
    return u## #code;
    TEXT_OF(eOk)
    TEXT_OF(eNotImplementedYet)
    TEXT_OF(eNotApplicable)
    TEXT_OF(eInvalidInput)
    TEXT_OF(eAmbiguousInput)
    TEXT_OF(eAmbiguousOutput)
    TEXT_OF(eOutOfMemory)
    TEXT_OF(eBufferTooSmall)
    TEXT_OF(eInvalidOpenState)
    TEXT_OF(eInvalidIndex)
    TEXT_OF(eNotAnEntity)
    TEXT_OF(eIllegalEntityType)
    TEXT_OF(eNoDatabase)
    TEXT_OF(eNotInDatabase)
    TEXT_OF(eAlreadyInDb)
    TEXT_OF(eWrongDatabase)
    TEXT_OF(eWrongObjectType)
    TEXT_OF(eNullObjectPointer)
    TEXT_OF(eNullObjectId)
    TEXT_OF(eNullHandle)
    TEXT_OF(eInvalidKey)
    TEXT_OF(eKeyNotFound)
    TEXT_OF(eDuplicateKey)
    TEXT_OF(eDuplicateRecordName)
    TEXT_OF(eInvalidSymbolTableName)
    TEXT_OF(eWasErased)
    TEXT_OF(eNotOpenForRead)
    TEXT_OF(eNotOpenForWrite)
    TEXT_OF(eWasNotOpenForWrite)
    TEXT_OF(eHadMultipleReaders)
    TEXT_OF(eAtMaxReaders)
    TEXT_OF(eWasOpenForRead)
    TEXT_OF(eWasOpenForNotify)
    TEXT_OF(eInvalidOwnerObject)
    TEXT_OF(eSelfReference)
    TEXT_OF(eRegappIdNotFound)
    TEXT_OF(eInvalidExtents)
    TEXT_OF(eDegenerateGeometry)
    TEXT_OF(eUndefinedLineType)
    TEXT_OF(eNotThatKindOfClass)
    TEXT_OF(eWasOpenForWrite)
    TEXT_OF(eFileNotFound)
    TEXT_OF(eCantOpenFile)
    TEXT_OF(eFileAccessErr)
    TEXT_OF(eFileWriteError)
    TEXT_OF(eDwgFormatNotSupported)
    TEXT_OF(eUnsupportedFileFormat)
    TEXT_OF(eEndOfFile)
    TEXT_OF(eBadDxfSequence)
    TEXT_OF(eInvalidDxfCode)
    TEXT_OF(eInvalidDxfValue)
    TEXT_OF(eDxfCountMismatch)
    TEXT_OF(eHandleInUse)
    TEXT_OF(eUnknownHandle)
    TEXT_OF(eInvalidBlockName)
    TEXT_OF(eBadLinetypeFile)
#undef TEXT_OF
  }
  return u"eUnknownResult";
}
