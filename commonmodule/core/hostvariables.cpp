#include "core/hostvariables.h"

#include "ResBuf.h"
#include "kxed.h"

namespace mwcommon {

namespace {

resbuf readVariable(const OdChar* name) {
  resbuf value{};
  kxedGetVar(name, &value);
  return value;
}

}  // namespace

OdGePoint3d pointVariable(const OdChar* name) {
  const resbuf value = readVariable(name);
  if (value.restype != RTPOINT && value.restype != RT3DPOINT) return OdGePoint3d::kOrigin;
  return {value.resval.rpoint[0], value.resval.rpoint[1], value.restype == RTPOINT ? 0.0 : value.resval.rpoint[2]};
}

double realVariable(const OdChar* name) {
  const resbuf value = readVariable(name);
  return value.restype == RTREAL ? value.resval.rreal : 0.0;
}

OdInt16 shortVariable(const OdChar* name) {
  const resbuf value = readVariable(name);
  return value.restype == RTSHORT ? value.resval.rint : 0;
}

}  // namespace mwcommon
