// Extended entity data on objects, and xrecords.
#include "xdata.h"

#include <cstring>

#include "OdAlloc.h"
#include "winsim/text.h"

OdResult itemFromNode(const resbuf* node, OdDbDataItem& item) {
  item = OdDbDataItem{};
  item.code = node->restype;
  switch (odutResBufKind(node->restype)) {
    case OdResBufKind::kReal:
      item.v[0] = node->resval.rreal;
      break;
    case OdResBufKind::kPoint:
      std::memcpy(item.v, node->resval.rpoint, sizeof(item.v));
      break;
    case OdResBufKind::kInt16:
      item.i = node->resval.rint;
      break;
    case OdResBufKind::kInt32:
      item.i = node->resval.rlong;
      break;
    case OdResBufKind::kInt64:
      item.i = node->resval.rlname[0];
      break;
    case OdResBufKind::kText:
      if (node->resval.rstring) item.text = node->resval.rstring;
      break;
    case OdResBufKind::kBinary:
      if (node->resval.rbinary.clen < 0) return eInvalidInput;
      if (node->resval.rbinary.clen > 0) {
        if (!node->resval.rbinary.buf) return eInvalidInput;
        item.bytes.assign(node->resval.rbinary.buf, static_cast<std::size_t>(node->resval.rbinary.clen));
      }
      break;
    default:
      return eInvalidInput;
  }
  for (double d : item.v)
    if (!std::isfinite(d)) return eInvalidInput;
  return eOk;
}

resbuf* nodeFromItem(const OdDbDataItem& item) {
  resbuf* rb = odutNewRb(item.code);
  if (!rb) return nullptr;
  switch (odutResBufKind(item.code)) {
    case OdResBufKind::kReal:
      rb->resval.rreal = item.v[0];
      break;
    case OdResBufKind::kPoint:
      std::memcpy(rb->resval.rpoint, item.v, sizeof(item.v));
      break;
    case OdResBufKind::kInt16:
      rb->resval.rint = static_cast<short>(item.i);
      break;
    case OdResBufKind::kInt32:
      rb->resval.rlong = static_cast<OdInt32>(item.i);
      break;
    case OdResBufKind::kInt64:
      rb->resval.rlname[0] = item.i;
      break;
    case OdResBufKind::kText:
      rb->resval.rstring = odutNewString(item.text.c_str());
      if (!rb->resval.rstring) {
        odrxFree(rb);
        return nullptr;
      }
      break;
    case OdResBufKind::kBinary:
      if (!item.bytes.empty()) {
        rb->resval.rbinary.buf = static_cast<char*>(odrxAlloc(item.bytes.size()));
        if (!rb->resval.rbinary.buf) {
          odrxFree(rb);
          return nullptr;
        }
        std::memcpy(rb->resval.rbinary.buf, item.bytes.data(), item.bytes.size());
        rb->resval.rbinary.clen = static_cast<short>(item.bytes.size());
      }
      break;
    default:
      break;
  }
  return rb;
}

OdResult checkXDataItem(const OdDbDataItem& item) {
  switch (item.code) {
    case 1000:
    case 1003:
      return eOk;
    case 1002:
      return item.text == u"{" || item.text == u"}" ? eOk : eInvalidInput;
    case 1004:
      // DXF keeps a chunk on one line of at most 127 bytes.
      return item.bytes.size() <= 127 ? eOk : eInvalidInput;
    case 1005:
      if (item.text.empty() || item.text.size() > 16) return eInvalidInput;
      for (char16_t c : item.text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f'))) return eInvalidInput;
      return eOk;
    case 1010:
    case 1011:
    case 1012:
    case 1013:
    case 1040:
    case 1041:
    case 1042:
    case 1070:
    case 1071:
      return eOk;
    default:
      return eInvalidInput;
  }
}

bool isXrecordCode(int code) {
  if (code < 1 || code > 999) return false;
  if (code == 5 || code == 100 || code == 102 || code == 105) return false;
  if (code >= 330 && code <= 369) return false;
  auto kind = odutResBufKind(code);
  return kind != OdResBufKind::kUnknown && kind != OdResBufKind::kNone && kind != OdResBufKind::kName;
}

const std::vector<OdDbXDataApp>* OdDbInternals::xdata(const OdDbObject* o) {
  return o->m_xdata ? &o->m_xdata->apps : nullptr;
}

std::vector<OdDbXDataApp>& OdDbInternals::xdataForWrite(OdDbObject* o) {
  if (!o->m_xdata) o->m_xdata = std::make_unique<OdDbObject::XData>();
  return o->m_xdata->apps;
}

static resbuf* chainOf(const OdDbXDataApp& app, resbuf**& tail, bool& failed) {
  resbuf* first = nullptr;
  OdDbDataItem head;
  head.code = 1001;
  head.text = app.name.str();
  for (std::size_t i = 0; i <= app.items.size(); ++i) {
    resbuf* rb = nodeFromItem(i == 0 ? head : app.items[i - 1]);
    if (!rb) {
      failed = true;
      return first;
    }
    if (!first) first = rb;
    *tail = rb;
    tail = &rb->rbnext;
  }
  return first;
}

resbuf* OdDbObject::xData(const OdChar* regappName) const {
  if (!m_xdata) return nullptr;
  resbuf* head = nullptr;
  resbuf** tail = &head;
  bool failed = false;
  for (const OdDbXDataApp& app : m_xdata->apps) {
    if (regappName && !winsim::equalsNoCase(app.name.view(), regappName)) continue;
    chainOf(app, tail, failed);
    if (failed) {
      odutRelRb(head);
      return nullptr;
    }
  }
  return head;
}

OdResult OdDbObject::setXData(const resbuf* xdata) {
  if (OdResult r = assertWriteEnabled(); r != eOk) return r;
  if (!xdata) return eInvalidInput;
  // Read and check the whole list before changing anything.
  std::vector<OdDbXDataApp> groups;
  int depth = 0;
  for (const resbuf* rb = xdata; rb; rb = rb->rbnext) {
    if (rb->restype == 1001) {
      if (!groups.empty() && depth != 0) return eInvalidInput;
      depth = 0;
      if (!rb->resval.rstring || !rb->resval.rstring[0]) return eInvalidInput;
      groups.push_back(OdDbXDataApp{OdString(rb->resval.rstring), {}});
      continue;
    }
    if (groups.empty()) return eInvalidInput;
    OdDbDataItem item;
    if (OdResult r = itemFromNode(rb, item); r != eOk) return r;
    if (OdResult r = checkXDataItem(item); r != eOk) return r;
    if (item.code == 1002) {
      depth += item.text == u"{" ? 1 : -1;
      if (depth < 0) return eInvalidInput;
    }
    groups.back().items.push_back(std::move(item));
  }
  if (depth != 0) return eInvalidInput;
  if (m_stub) {
    OdDbDatabaseImpl* db = m_stub->database;
    auto* table = db->regAppTable ? OdDbSymbolTable::cast(db->regAppTable->object) : nullptr;
    for (const auto& g : groups)
      if (!table || !OdDbInternals::tableFind(table, g.name.view())) return eRegappIdNotFound;
  }
  auto& apps = OdDbInternals::xdataForWrite(this);
  for (auto& g : groups) {
    auto it = std::find_if(apps.begin(), apps.end(),
                           [&](const OdDbXDataApp& a) { return winsim::equalsNoCase(a.name.view(), g.name.view()); });
    if (g.items.empty()) {
      if (it != apps.end()) apps.erase(it);
    } else if (it != apps.end()) {
      it->items = std::move(g.items);
    } else {
      apps.push_back(std::move(g));
    }
  }
  if (apps.empty()) m_xdata.reset();
  return eOk;
}

// Xrecords.
ODDB_DEFINE_MEMBERS(OdDbXrecord, OdDbObject, u"AcDbXrecord", u"XRECORD")

struct OdDbXrecord::Items {
  std::vector<OdDbDataItem> items;
};

OdDbXrecord::OdDbXrecord() : m_items(std::make_unique<Items>()) {}
OdDbXrecord::~OdDbXrecord() = default;
OdDbXrecord::OdDbXrecord(const OdDbXrecord& other)
    : OdDbObject(other), m_items(std::make_unique<Items>(*other.m_items)) {}

std::vector<OdDbDataItem>& OdDbInternals::xrecordItems(const OdDbXrecord* x) { return x->m_items->items; }

OdResult OdDbXrecord::rbChain(resbuf** chain) const {
  if (!chain) return eInvalidInput;
  *chain = nullptr;
  if (OdResult r = assertReadEnabled(); r != eOk) return r;
  resbuf** tail = chain;
  for (const auto& item : m_items->items) {
    resbuf* rb = nodeFromItem(item);
    if (!rb) {
      odutRelRb(*chain);
      *chain = nullptr;
      return eOutOfMemory;
    }
    *tail = rb;
    tail = &rb->rbnext;
  }
  return eOk;
}

OdResult OdDbXrecord::setFromRbChain(const resbuf* chain) {
  if (OdResult r = assertWriteEnabled(); r != eOk) return r;
  std::vector<OdDbDataItem> items;
  for (const resbuf* rb = chain; rb; rb = rb->rbnext) {
    if (!isXrecordCode(rb->restype)) return eInvalidInput;
    OdDbDataItem item;
    if (OdResult r = itemFromNode(rb, item); r != eOk) return r;
    if (odutResBufKind(item.code) == OdResBufKind::kBinary && item.bytes.size() > 127) return eInvalidInput;
    items.push_back(std::move(item));
  }
  m_items->items = std::move(items);
  return eOk;
}
