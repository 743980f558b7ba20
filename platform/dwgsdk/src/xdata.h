// Extended entity data and xrecord items: checked conversion between result
// buffer chains and the items objects keep.
#pragma once

#include "ResBuf.h"
#include "internals.h"

struct OdDbObject::XData {
  std::vector<OdDbXDataApp> apps;
};

/// Converts one node's value into an item by the kind of its code.
OdResult itemFromNode(const resbuf* node, OdDbDataItem& item);
/// A fresh node of an item; null when out of memory.
resbuf* nodeFromItem(const OdDbDataItem& item);
/// Whether an xdata item is well formed (code, chunk size, control string).
OdResult checkXDataItem(const OdDbDataItem& item);
/// Whether a code may appear in an xrecord.
bool isXrecordCode(int code);
