// Result-buffer chains of the extended-entity-data functions: ownership,
// text storage and the conversions between LISP lists and xdata groups.
#include "tables/xdatachain.h"

#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <utility>

#include "OdAlloc.h"
#include "core/expresstext.h"
#include "kxed.h"
#include "kxut.h"
#include "win32/codepage.h"

namespace mwcommon {

namespace {

constexpr const OdChar* kOpenGroup = u"{";
constexpr const OdChar* kCloseGroup = u"}";

resbuf* newText(short code, const OdChar* text) {
  resbuf* node = odutNewRb(code);
  if (!node) return nullptr;
  node->resval.rstring = odutNewString(text);
  if (!node->resval.rstring) {
    odrxFree(node);
    return nullptr;
  }
  return node;
}

resbuf* newReal(short code, double value) {
  resbuf* node = odutNewRb(code);
  if (node) node->resval.rreal = value;
  return node;
}

resbuf* newPoint(short code, const double (&point)[3]) {
  resbuf* node = odutNewRb(code);
  if (node) std::memcpy(node->resval.rpoint, point, sizeof(point));
  return node;
}

resbuf* newChunk(const char* bytes, int count) {
  resbuf* node = odutNewRb(1004);
  if (!node || count == 0) return node;
  node->resval.rbinary.buf = static_cast<char*>(odrxAlloc(static_cast<std::size_t>(count)));
  if (!node->resval.rbinary.buf) {
    odrxFree(node);
    return nullptr;
  }
  std::memcpy(node->resval.rbinary.buf, bytes, static_cast<std::size_t>(count));
  node->resval.rbinary.clen = static_cast<short>(count);
  return node;
}

std::size_t textLength(const OdChar* text) {
  std::size_t length = 0;
  if (text)
    while (text[length]) ++length;
  return length;
}

// Frees what a node's value owns, by the kind of its type code, and clears it.
void clearValue(resbuf* node) {
  switch (odutResBufKind(node->restype)) {
    case OdResBufKind::kText:
      odrxFree(node->resval.rstring);
      break;
    case OdResBufKind::kBinary:
      odrxFree(node->resval.rbinary.buf);
      break;
    default:
      break;
  }
  std::memset(&node->resval, 0, sizeof(node->resval));
}

// Whether a node of code 1004 states a size that its bytes can have.
bool isSoundChunk(const resbuf* node) {
  const ads_binary& chunk = node->resval.rbinary;
  return chunk.clen >= 0 && chunk.clen <= kChunkBytes && (chunk.clen == 0 || chunk.buf);
}

bool isOpening(const resbuf* node) {
  const OdChar* text = node->resval.rstring;
  return text && text[0] == u'{' && text[1] == 0;
}

}  // namespace

ResbufChain::ResbufChain(resbuf* head) { reset(head); }

ResbufChain::ResbufChain(ResbufChain&& other) noexcept
    : m_head(std::exchange(other.m_head, nullptr)), m_tail(std::exchange(other.m_tail, nullptr)) {}

ResbufChain& ResbufChain::operator=(ResbufChain&& other) noexcept {
  if (this != &other) {
    odutRelRb(m_head);
    m_head = std::exchange(other.m_head, nullptr);
    m_tail = std::exchange(other.m_tail, nullptr);
  }
  return *this;
}

ResbufChain::~ResbufChain() { odutRelRb(m_head); }

bool ResbufChain::append(resbuf* node) {
  if (!node) return false;
  (m_tail ? m_tail->rbnext : m_head) = node;
  m_tail = node;
  while (m_tail->rbnext) m_tail = m_tail->rbnext;
  return true;
}

void ResbufChain::append(ResbufChain&& other) { append(other.release()); }

resbuf* ResbufChain::release() {
  m_tail = nullptr;
  return std::exchange(m_head, nullptr);
}

void ResbufChain::reset(resbuf* head) {
  odutRelRb(m_head);
  m_head = nullptr;
  m_tail = nullptr;
  append(head);
}

bool ansiText(const char* bytes, std::size_t count, OdString& text) {
  text = OdString();
  if (count == 0) return true;
  if (count > static_cast<std::size_t>(std::numeric_limits<int>::max())) return false;
  const int size = static_cast<int>(count);
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes, size, nullptr, 0);
  if (needed <= 0) return false;
  std::unique_ptr<WCHAR[]> wide(new (std::nothrow) WCHAR[static_cast<std::size_t>(needed)]);
  if (!wide) return false;
  const int made = MultiByteToWideChar(CP_ACP, 0, bytes, size, wide.get(), needed);
  if (made <= 0) return false;
  text = OdString(wide.get(), made);
  return true;
}

XdataBuild appendStoredText(ResbufChain& chain, const OdChar* text) {
  if (!text) text = u"";
  const std::size_t length = textLength(text);
  // Two bytes a character and two more: room for the ANSI form in any of the
  // machine's code pages (one or two bytes a UTF-16 unit).
  if (length > static_cast<std::size_t>(std::numeric_limits<int>::max() / 2 - 1)) return XdataBuild::kOutOfMemory;
  const int room = static_cast<int>(length) * 2 + 2;
  std::unique_ptr<char[]> bytes(new (std::nothrow) char[static_cast<std::size_t>(room)]);
  if (!bytes) return XdataBuild::kOutOfMemory;
  BOOL lacking = FALSE;
  int count = 0;
  if (length > 0) {
    count = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), bytes.get(), room, nullptr, &lacking);
    if (count <= 0) return XdataBuild::kNotAnsi;
  }
  if (count <= kMaxStringItemBytes)
    return chain.append(newText(1000, text)) ? XdataBuild::kDone : XdataBuild::kOutOfMemory;
  if (lacking) return XdataBuild::kNotAnsi;

  ResbufChain run;
  int offset = 0;
  for (; count - offset >= kChunkBytes; offset += kChunkBytes)
    if (!run.append(newChunk(bytes.get() + offset, kChunkBytes))) return XdataBuild::kOutOfMemory;
  if (!run.append(newChunk(bytes.get() + offset, count - offset))) return XdataBuild::kOutOfMemory;
  chain.append(std::move(run));
  return XdataBuild::kDone;
}

XdataBuild listToXdata(const resbuf* list, ResbufChain& group) {
  ResbufChain out;
  if (!out.append(newText(1002, kOpenGroup))) return XdataBuild::kOutOfMemory;
  int depth = 1;
  for (const resbuf* node = list ? list->rbnext : nullptr; node; node = node->rbnext) {
    resbuf* item = nullptr;
    bool made = true;
    switch (node->restype) {
      case RTREAL:
      case RTANG:
        made = out.append(item = newReal(1040, node->resval.rreal));
        break;
      case RTPOINT:
      case RT3DPOINT:
        made = out.append(item = newPoint(1010, node->resval.rpoint));
        break;
      case RTSHORT:
        if ((item = odutNewRb(1070))) item->resval.rint = node->resval.rint;
        made = out.append(item);
        break;
      case RTLONG:
        if ((item = odutNewRb(1071))) item->resval.rlong = node->resval.rlong;
        made = out.append(item);
        break;
      case RTSTR:
        if (XdataBuild stored = appendStoredText(out, node->resval.rstring); stored != XdataBuild::kDone) return stored;
        break;
      case RTLB:
        made = out.append(newText(1002, kOpenGroup));
        ++depth;
        break;
      case RTLE:
        made = out.append(newText(1002, kCloseGroup));
        --depth;
        break;
      case RTDOTE:
        made = out.append(newText(1002, kCloseGroup));
        break;
      default:
        break;  // no xdata item for this type
    }
    if (!made) return XdataBuild::kOutOfMemory;
    if (depth == 0) break;
  }
  group.append(std::move(out));
  return XdataBuild::kDone;
}

bool xdataToList(resbuf* start) {
  if (!start) return true;
  int depth = 1;
  resbuf* previous = start;
  for (resbuf* node = start->rbnext; node; previous = node, node = node->rbnext) {
    switch (node->restype) {
      case 1000:
        node->restype = RTSTR;
        break;
      case 1002: {
        const bool opening = isOpening(node);
        clearValue(node);
        node->restype = opening ? RTLB : RTLE;
        depth += opening ? 1 : -1;
        break;
      }
      case 1004: {
        // The run goes on while the chunk before holds a full 127 bytes.
        std::size_t total = 0;
        resbuf* last = node;
        for (resbuf* chunk = node;; chunk = chunk->rbnext) {
          if (!isSoundChunk(chunk)) {
            reportIllegalEntry();
            return false;
          }
          total += static_cast<std::size_t>(chunk->resval.rbinary.clen);
          last = chunk;
          if (chunk->resval.rbinary.clen < kChunkBytes || !chunk->rbnext || chunk->rbnext->restype != 1004) break;
        }
        std::unique_ptr<char[]> joined(new (std::nothrow) char[total + 1]);
        OdString text;
        if (!joined) {
          reportInsufficientMemory();
          return false;
        }
        std::size_t offset = 0;
        for (resbuf* chunk = node;; chunk = chunk->rbnext) {
          if (chunk->resval.rbinary.clen > 0)
            std::memcpy(joined.get() + offset, chunk->resval.rbinary.buf,
                        static_cast<std::size_t>(chunk->resval.rbinary.clen));
          offset += static_cast<std::size_t>(chunk->resval.rbinary.clen);
          if (chunk == last) break;
        }
        OdChar* copy = nullptr;
        if (!ansiText(joined.get(), total, text) || !(copy = odutNewString(text.c_str()))) {
          reportInsufficientMemory();
          return false;
        }
        clearValue(node);
        node->restype = RTSTR;
        node->resval.rstring = copy;
        resbuf* rest = last->rbnext;
        last->rbnext = nullptr;
        if (last != node) odutRelRb(node->rbnext);
        node->rbnext = rest;
        break;
      }
      case 1010:
      case 1011:
      case 1012:
        node->restype = RT3DPOINT;
        break;
      case 1040:
      case 1041:
      case 1042:
        node->restype = RTREAL;
        break;
      case 1070:
        node->restype = RTSHORT;
        break;
      case 1071:
        node->restype = RTLONG;
        break;
      default:
        reportIllegalEntry();
        return false;
    }
    if (depth == 0) {
      // The group ends here: its closing item and what follows are dropped.
      previous->rbnext = nullptr;
      odutRelRb(node);
      return true;
    }
  }
  return true;
}

void reportIllegalEntry() { kxutPrintf(LoadExpressText(kIllegalEntry).text()); }

void reportInsufficientMemory() { kxedAlert(LoadExpressText(kInsufficientMemory).text()); }

void reportBuildFailure(XdataBuild result) {
  if (result == XdataBuild::kOutOfMemory) reportInsufficientMemory();
  if (result == XdataBuild::kNotAnsi) reportIllegalEntry();
}

}  // namespace mwcommon
