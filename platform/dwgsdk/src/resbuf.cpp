// Result buffers: value kinds by type code, building and releasing chains.
#include "ResBuf.h"

#include <cstdarg>
#include <cstring>

#include "OdAlloc.h"

OdResBufKind odutResBufKind(int code) {
  using K = OdResBufKind;
  if (code >= 5000) {
    switch (code) {
      case RTREAL:
      case RTANG:
      case RTORINT:
        return K::kReal;
      case RTPOINT:
      case RT3DPOINT:
        return K::kPoint;
      case RTSHORT:
        return K::kInt16;
      case RTLONG:
        return K::kInt32;
      case RTSTR:
        return K::kText;
      case RTENAME:
      case RTPICKS:
        return K::kName;
      case RTNONE:
      case RTVOID:
      case RTLB:
      case RTLE:
      case RTDOTE:
      case RTNIL:
      case RTT:
        return K::kNone;
      default:
        return K::kUnknown;
    }
  }
  // DXF group codes (xrecords and xdata).
  if (code < 0) return K::kUnknown;
  if (code <= 9) return K::kText;
  if (code <= 19) return K::kPoint;
  if (code <= 59) return K::kReal;
  if (code <= 79) return K::kInt16;
  if (code <= 89) return K::kUnknown;
  if (code <= 99) return K::kInt32;
  if (code <= 109) return K::kText;
  if (code <= 119) return K::kPoint;
  if (code <= 149) return K::kReal;
  if (code <= 159) return K::kUnknown;
  if (code <= 169) return K::kInt64;
  if (code <= 179) return K::kInt16;
  if (code <= 209) return K::kUnknown;
  if (code <= 219) return K::kPoint;
  if (code <= 239) return K::kReal;
  if (code <= 269) return K::kUnknown;
  if (code <= 299) return K::kInt16;
  if (code <= 309) return K::kText;
  if (code <= 319) return K::kBinary;
  if (code <= 329) return K::kText;
  if (code <= 369) return K::kName;
  if (code <= 389) return K::kInt16;
  if (code <= 399) return K::kText;
  if (code <= 409) return K::kInt16;
  if (code <= 419) return K::kText;
  if (code <= 429) return K::kInt32;
  if (code <= 439) return K::kText;
  if (code <= 459) return K::kInt32;
  if (code <= 469) return K::kReal;
  if (code <= 481) return K::kText;
  if (code == 999) return K::kText;
  if (code < 1000) return K::kUnknown;
  if (code == 1004) return K::kBinary;
  if (code <= 1009) return K::kText;
  if (code <= 1013) return K::kPoint;
  if (code <= 1059) return K::kReal;
  if (code <= 1070) return K::kInt16;
  if (code == 1071) return K::kInt32;
  return K::kUnknown;
}

resbuf* odutNewRb(int typeCode) {
  auto* rb = static_cast<resbuf*>(odrxAlloc(sizeof(resbuf)));
  if (!rb) return nullptr;
  std::memset(rb, 0, sizeof(resbuf));
  rb->restype = static_cast<short>(typeCode);
  return rb;
}

OdChar* odutNewString(const OdChar* text) {
  std::size_t n = 0;
  if (text)
    while (text[n]) ++n;
  auto* copy = static_cast<OdChar*>(odrxAlloc((n + 1) * sizeof(OdChar)));
  if (!copy) return nullptr;
  if (n) std::memcpy(copy, text, n * sizeof(OdChar));
  copy[n] = 0;
  return copy;
}

int odutRelRb(resbuf* chain) {
  while (chain) {
    resbuf* next = chain->rbnext;
    switch (odutResBufKind(chain->restype)) {
      case OdResBufKind::kText:
        odrxFree(chain->resval.rstring);
        break;
      case OdResBufKind::kBinary:
        odrxFree(chain->resval.rbinary.buf);
        break;
      default:
        break;
    }
    odrxFree(chain);
    chain = next;
  }
  return 5100;  // RTNORM
}

resbuf* odutBuildList(int typeCode, ...) {
  va_list args;
  va_start(args, typeCode);
  resbuf* head = nullptr;
  resbuf* tail = nullptr;
  bool failed = false;
  for (int code = typeCode; code != 0 && code != RTNONE; code = va_arg(args, int)) {
    OdResBufKind kind = odutResBufKind(code);
    if (kind == OdResBufKind::kUnknown) {
      failed = true;
      break;
    }
    resbuf* rb = odutNewRb(code);
    if (!rb) {
      failed = true;
      break;
    }
    (tail ? tail->rbnext : head) = rb;
    tail = rb;
    switch (kind) {
      case OdResBufKind::kReal:
        rb->resval.rreal = va_arg(args, double);
        break;
      case OdResBufKind::kPoint: {
        const double* p = va_arg(args, const double*);
        if (p) {
          rb->resval.rpoint[0] = p[0];
          rb->resval.rpoint[1] = p[1];
          rb->resval.rpoint[2] = code == RTPOINT ? 0.0 : p[2];
        }
        break;
      }
      case OdResBufKind::kInt16:
        rb->resval.rint = static_cast<short>(va_arg(args, int));
        break;
      case OdResBufKind::kInt32:
        rb->resval.rlong = va_arg(args, OdInt32);
        break;
      case OdResBufKind::kInt64:
        rb->resval.rlname[0] = va_arg(args, OdInt64);
        break;
      case OdResBufKind::kText:
        rb->resval.rstring = odutNewString(va_arg(args, const OdChar*));
        if (!rb->resval.rstring) failed = true;
        break;
      case OdResBufKind::kBinary: {
        const ads_binary* b = va_arg(args, const ads_binary*);
        if (b && b->clen > 0) {
          rb->resval.rbinary.buf = static_cast<char*>(odrxAlloc(static_cast<std::size_t>(b->clen)));
          if (!rb->resval.rbinary.buf) {
            failed = true;
            break;
          }
          if (b->buf) std::memcpy(rb->resval.rbinary.buf, b->buf, static_cast<std::size_t>(b->clen));
          rb->resval.rbinary.clen = b->clen;
        }
        break;
      }
      case OdResBufKind::kName: {
        const OdInt64* n = va_arg(args, const OdInt64*);
        if (n) {
          rb->resval.rlname[0] = n[0];
          rb->resval.rlname[1] = n[1];
        }
        break;
      }
      case OdResBufKind::kNone:
      case OdResBufKind::kUnknown:
        break;
    }
    if (failed) break;
  }
  va_end(args);
  if (failed) {
    odutRelRb(head);
    return nullptr;
  }
  return head;
}
