// CMemFile: a file held in memory.
#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "afxgdi.h"
#include "win32/errors.h"

CMemFile::CMemFile(UINT nGrowBytes) : m_nGrowBytes(nGrowBytes == 0 ? 1024 : nGrowBytes) {}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize)
    : m_nGrowBytes(0), m_buffer(lpBuffer), m_bufferSize(lpBuffer ? nBufferSize : 0), m_length(m_bufferSize) {}

BOOL CMemFile::Open(LPCWSTR, UINT, CFileException* pError) {
  if (pError != nullptr) pError->m_cause = CFileException::genericException;
  ::SetLastError(ERROR_INVALID_FUNCTION);
  return FALSE;
}

void CMemFile::Close() {
  m_storage.clear();
  m_storage.shrink_to_fit();
  m_buffer = nullptr;
  m_bufferSize = 0;
  m_length = 0;
  m_position = 0;
}

bool CMemFile::reserve(std::size_t size) {
  if (m_buffer != nullptr || m_nGrowBytes == 0) return size <= m_bufferSize;
  if (size <= m_storage.size()) return true;
  // Whole steps of the grow size, as the platform's memory file grows.
  std::size_t const steps = (size + m_nGrowBytes - 1) / m_nGrowBytes;
  try {
    m_storage.resize(steps * m_nGrowBytes);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount) {
  if (nCount == 0 || m_position >= m_length) return 0;
  if (lpBuf == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::size_t const count = std::min<std::size_t>(nCount, m_length - m_position);
  std::memcpy(lpBuf, data() + m_position, count);
  m_position += count;
  return static_cast<UINT>(count);
}

BOOL CMemFile::Write(const void* lpBuf, UINT nCount) {
  if (nCount == 0) return TRUE;
  if (lpBuf == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::size_t const end = m_position + nCount;
  if (!reserve(end)) {
    ::SetLastError(m_buffer != nullptr ? ERROR_DISK_FULL : ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  // A position past the end leaves a gap of zeros.
  if (m_position > m_length) std::memset(data() + m_length, 0, m_position - m_length);
  std::memcpy(data() + m_position, lpBuf, nCount);
  m_position = end;
  m_length = std::max(m_length, end);
  return TRUE;
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom) {
  if (nFrom > end) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return kSeekFailed;
  }
  auto const base = static_cast<LONGLONG>(nFrom == begin ? 0 : nFrom == current ? m_position : m_length);
  if ((lOff < 0 && lOff < -base) || (lOff > 0 && lOff > std::numeric_limits<LONGLONG>::max() - base)) {
    ::SetLastError(lOff < 0 ? ERROR_NEGATIVE_SEEK : ERROR_INVALID_PARAMETER);
    return kSeekFailed;
  }
  LONGLONG const target = base + lOff;
  // Memory positions stay within what one write can address.
  if (static_cast<ULONGLONG>(target) > std::numeric_limits<UINT>::max()) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return kSeekFailed;
  }
  m_position = static_cast<std::size_t>(target);
  return static_cast<ULONGLONG>(target);
}
