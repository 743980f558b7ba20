#include "core/hostpoints.h"

#include "ResBuf.h"
#include "kxed.h"

namespace mwcommon {

namespace {

resbuf systemCode(int code) {
  resbuf system{};
  system.restype = RTSHORT;
  system.resval.rint = static_cast<short>(code);
  return system;
}

}  // namespace

OdGePoint3d hostTrans(const OdGePoint3d& point, int from, int to, Displacement displacement) {
  const resbuf fromSystem = systemCode(from);
  const resbuf toSystem = systemCode(to);
  ads_point in;
  toAdsPoint(point, in);
  // kxedTrans leaves the result alone when it refuses: start from the input.
  ads_point out = {in[0], in[1], in[2]};
  kxedTrans(in, &fromSystem, &toSystem, static_cast<int>(displacement), out);
  return toPoint(out);
}

}  // namespace mwcommon
