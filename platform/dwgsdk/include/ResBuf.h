// Result buffers: the host's singly linked value nodes. Extended entity data
// uses DXF group codes 1000-1071 as type codes, LISP values the codes
// 5001-5018. A node owns its text and its binary bytes; both are allocated
// with odrxAlloc and released by odutRelRb with odrxFree.
#pragma once

#include "OdTypes.h"

// Value type codes of LISP values.
constexpr short RTNONE = 5000;
constexpr short RTREAL = 5001;
constexpr short RTPOINT = 5002;
constexpr short RTSHORT = 5003;
constexpr short RTANG = 5004;
constexpr short RTSTR = 5005;
constexpr short RTENAME = 5006;
constexpr short RTPICKS = 5007;
constexpr short RTORINT = 5008;
constexpr short RT3DPOINT = 5009;
constexpr short RTLONG = 5010;
constexpr short RTVOID = 5014;
constexpr short RTLB = 5016;
constexpr short RTLE = 5017;
constexpr short RTDOTE = 5018;
constexpr short RTNIL = 5019;
constexpr short RTT = 5021;

struct ads_binary {
  short clen;
  char* buf;
};

union ads_u_val {
  double rreal;
  double rpoint[3];
  short rint;
  OdChar* rstring;
  OdInt32 rlong;
  OdInt64 rlname[2];
  ads_binary rbinary;
};

struct resbuf {
  resbuf* rbnext;
  short restype;
  ads_u_val resval;
};

/// The kind of value a type code carries (kUnknown for a code that is none).
enum class OdResBufKind { kUnknown, kNone, kReal, kPoint, kInt16, kInt32, kInt64, kText, kBinary, kName };
OdResBufKind odutResBufKind(int typeCode);

/// A new zeroed node of a type (its text or bytes are null); null when out of memory.
resbuf* odutNewRb(int typeCode);
/// A chain of nodes from pairs of a type code and a value, ended by 0 or
/// RTNONE. The value is read by the kind of the code: a double for reals, a
/// `const double*` (three values; two for RTPOINT, z 0) for points, an int for
/// 16-bit values, an OdInt32 for 32-bit values, an OdInt64 for 64-bit values,
/// a `const OdChar*` for texts (copied), a `const ads_binary*` for binary
/// chunks (copied), a `const OdInt64*` (two words) for enames; the list codes
/// RTLB, RTLE, RTDOTE, RTNIL and RTT take no value. Null when a code is not
/// known or memory runs out (nothing is leaked).
resbuf* odutBuildList(int typeCode, ...);
/// Releases a whole chain with its texts and bytes.
int odutRelRb(resbuf* chain);
/// A copy of a NUL-terminated text allocated with odrxAlloc, for a node's rstring.
OdChar* odutNewString(const OdChar* text);
