// System variables: the view of the current document, the header values of
// its database, and the host's own settings (see kxed.h for the list).
#include <cmath>

#include "DbSymbolTable.h"
#include "OdAlloc.h"
#include "hoststate.h"
#include "kxed.h"
#include "winsim/text.h"

namespace kxhost {

HostVariables& hostVariables() {
  static HostVariables variables;
  return variables;
}

void resetHostVariables() { hostVariables() = HostVariables(); }

namespace {

// Reading a value of a kind from a caller's buffer.

bool shortValue(const resbuf& value, OdInt16& out) {
  long long v = 0;
  if (value.restype == RTSHORT) {
    v = value.resval.rint;
  } else if (value.restype == RTLONG) {
    v = value.resval.rlong;
  } else {
    return false;
  }
  if (v < -32768 || v > 32767) return false;
  out = static_cast<OdInt16>(v);
  return true;
}

bool realValue(const resbuf& value, double& out) {
  double v = 0;
  switch (value.restype) {
    case RTREAL:
    case RTANG:
      v = value.resval.rreal;
      break;
    case RTSHORT:
      v = value.resval.rint;
      break;
    case RTLONG:
      v = value.resval.rlong;
      break;
    default:
      return false;
  }
  if (!std::isfinite(v)) return false;
  out = v;
  return true;
}

bool pointValue(const resbuf& value, OdGePoint3d& out) {
  if (value.restype != RTPOINT && value.restype != RT3DPOINT) return false;
  const double z = value.restype == RTPOINT ? 0.0 : value.resval.rpoint[2];
  out.set(value.resval.rpoint[0], value.resval.rpoint[1], z);
  return std::isfinite(out.x) && std::isfinite(out.y) && std::isfinite(out.z);
}

bool textValue(const resbuf& value, OdString& out) {
  if (value.restype != RTSTR || !value.resval.rstring) return false;
  out = value.resval.rstring;
  return true;
}

// Writing a value into the caller's buffer.

void putShort(resbuf& result, OdInt16 v) {
  result.restype = RTSHORT;
  result.resval.rint = v;
}
void putReal(resbuf& result, double v) {
  result.restype = RTREAL;
  result.resval.rreal = v;
}
void putPoint(resbuf& result, short type, const OdGePoint3d& p) {
  result.restype = type;
  result.resval.rpoint[0] = p.x;
  result.resval.rpoint[1] = p.y;
  result.resval.rpoint[2] = type == RTPOINT ? 0.0 : p.z;
}
bool putText(resbuf& result, const OdString& text) {
  OdChar* copy = odutNewString(text.c_str());
  if (!copy) return false;
  result.restype = RTSTR;
  result.resval.rstring = copy;
  return true;
}

// Names of symbol-table records.

OdString recordName(const OdDbObjectId& id) {
  OdDbSymbolTableRecord* record = nullptr;
  if (oddbOpenObject(record, id, OdDb::kForRead) != eOk) return OdString();
  OdString name = record->getName();
  record->close();
  return name;
}

template <class Table>
OdDbObjectId recordId(OdDbDatabase* database, OdResult (OdDbDatabase::*getTable)(Table*&, OdDb::OpenMode) const,
                      const OdString& name) {
  Table* table = nullptr;
  if ((database->*getTable)(table, OdDb::kForRead) != eOk) return OdDbObjectId::kNull;
  OdDbObjectId id;
  if (table->getAt(name, id) != eOk) id = OdDbObjectId::kNull;
  table->close();
  return id;
}

// The view in the UCS.

OdGeMatrix3d wcsToUcs() { return currentUcsToWcs().inverse(); }

OdGePoint3d viewCenterUcs(const ViewState& view) {
  return wcsToUcs() * (dcsToWcs(view) * OdGePoint3d(view.center.x, view.center.y, 0));
}

OdGePoint3d asPoint(const OdGeVector3d& v) { return {v.x, v.y, v.z}; }

/// Changes what the DCS hangs on (target, direction, twist) and keeps the
/// view's centre where it is in the drawing: a script that sets one view
/// variable changes no other.
template <class Change>
void keepingCenter(ViewState& view, Change change) {
  const OdGePoint3d center = dcsToWcs(view) * OdGePoint3d(view.center.x, view.center.y, 0);
  change(view);
  const OdGePoint3d display = dcsToWcs(view).inverse() * center;
  view.center.set(display.x, display.y);
}
OdGeVector3d asVector(const OdGePoint3d& p) { return {p.x, p.y, p.z}; }

/// What a variable works on; null members where there is none.
struct Context {
  KxApDocument* document;
  OdDbDatabase* database;
  ViewState* view;
};

Context context() {
  KxApDocument* document = currentDocument();
  return {document, document ? document->database() : nullptr, document ? &document->state().view : nullptr};
}

enum class Scope { Host, View, Database };

struct Variable {
  const char16_t* name;
  Scope scope;
  bool (*get)(const Context&, resbuf&);
  bool (*set)(const Context&, const resbuf&);  // null: read-only
};

const Variable kVariables[] = {
    {u"VIEWCTR", Scope::View,
     [](const Context& c, resbuf& r) {
       putPoint(r, RT3DPOINT, viewCenterUcs(*c.view));
       return true;
     },
     [](const Context& c, const resbuf& v) {
       OdGePoint3d p;
       if (!pointValue(v, p)) return false;
       const OdGePoint3d dcs = dcsToWcs(*c.view).inverse() * (currentUcsToWcs() * p);
       c.view->center.set(dcs.x, dcs.y);
       return true;
     }},
    {u"VIEWSIZE", Scope::View,
     [](const Context& c, resbuf& r) {
       putReal(r, c.view->height);
       return true;
     },
     [](const Context& c, const resbuf& v) {
       double d = 0;
       if (!realValue(v, d) || !(d > 0)) return false;
       c.view->height = d;
       return true;
     }},
    {u"VIEWDIR", Scope::View,
     [](const Context& c, resbuf& r) {
       putPoint(r, RT3DPOINT, asPoint(wcsToUcs() * c.view->direction));
       return true;
     },
     [](const Context& c, const resbuf& v) {
       OdGePoint3d p;
       if (!pointValue(v, p)) return false;
       const OdGeVector3d direction = currentUcsToWcs() * asVector(p);
       if (direction.isZeroLength()) return false;
       keepingCenter(*c.view, [&](ViewState& v) { v.direction = direction; });
       return true;
     }},
    {u"TARGET", Scope::View,
     [](const Context& c, resbuf& r) {
       putPoint(r, RT3DPOINT, wcsToUcs() * c.view->target);
       return true;
     },
     [](const Context& c, const resbuf& v) {
       OdGePoint3d p;
       if (!pointValue(v, p)) return false;
       keepingCenter(*c.view, [&](ViewState& view) { view.target = currentUcsToWcs() * p; });
       return true;
     }},
    {u"LENSLENGTH", Scope::View,
     [](const Context& c, resbuf& r) {
       putReal(r, c.view->lensLength);
       return true;
     },
     [](const Context& c, const resbuf& v) {
       double d = 0;
       if (!realValue(v, d) || !(d > 0)) return false;
       c.view->lensLength = d;
       return true;
     }},
    {u"VIEWTWIST", Scope::View,
     [](const Context& c, resbuf& r) {
       putReal(r, c.view->twist);
       return true;
     },
     [](const Context& c, const resbuf& v) {
       double twist = 0;
       if (!realValue(v, twist)) return false;
       keepingCenter(*c.view, [&](ViewState& view) { view.twist = twist; });
       return true;
     }},
    {u"VIEWMODE", Scope::View,
     [](const Context& c, resbuf& r) {
       putShort(r, c.view->mode);
       return true;
     },
     [](const Context& c, const resbuf& v) {
       OdInt16 mode = 0;
       if (!shortValue(v, mode) || (mode & ~0x1F) != 0) return false;
       c.view->mode = mode;
       return true;
     }},
    {u"FRONTZ", Scope::View,
     [](const Context& c, resbuf& r) {
       putReal(r, c.view->frontZ);
       return true;
     },
     [](const Context& c, const resbuf& v) { return realValue(v, c.view->frontZ); }},
    {u"BACKZ", Scope::View,
     [](const Context& c, resbuf& r) {
       putReal(r, c.view->backZ);
       return true;
     },
     [](const Context& c, const resbuf& v) { return realValue(v, c.view->backZ); }},
    {u"SCREENSIZE", Scope::Host,
     [](const Context&, resbuf& r) {
       putPoint(r, RTPOINT, OdGePoint3d(hostVariables().screenWidth, hostVariables().screenHeight, 0));
       return true;
     },
     [](const Context&, const resbuf& v) {
       OdGePoint3d p;
       if (!pointValue(v, p) || !(p.x >= 1) || !(p.y >= 1)) return false;
       hostVariables().screenWidth = p.x;
       hostVariables().screenHeight = p.y;
       return true;
     }},
    {u"CMDACTIVE", Scope::Host,
     [](const Context&, resbuf& r) {
       putShort(r, commandActive() ? 1 : 0);
       return true;
     },
     nullptr},
    {u"SECURELOAD", Scope::Host,
     [](const Context&, resbuf& r) {
       putShort(r, hostVariables().secureLoad);
       return true;
     },
     [](const Context&, const resbuf& v) {
       OdInt16 mode = 0;
       if (!shortValue(v, mode) || mode < 0 || mode > 2) return false;
       hostVariables().secureLoad = mode;
       return true;
     }},
    {u"TRUSTEDPATHS", Scope::Host, [](const Context&, resbuf& r) { return putText(r, hostVariables().trustedPaths); },
     [](const Context&, const resbuf& v) { return textValue(v, hostVariables().trustedPaths); }},
    {u"AUNITS", Scope::Host,
     [](const Context&, resbuf& r) {
       putShort(r, hostVariables().angleUnits);
       return true;
     },
     [](const Context&, const resbuf& v) {
       OdInt16 mode = 0;
       if (!shortValue(v, mode) || mode < 0 || mode > 4) return false;
       hostVariables().angleUnits = mode;
       return true;
     }},
    {u"AUPREC", Scope::Host,
     [](const Context&, resbuf& r) {
       putShort(r, hostVariables().anglePrecision);
       return true;
     },
     [](const Context&, const resbuf& v) {
       OdInt16 precision = 0;
       if (!shortValue(v, precision) || precision < 0 || precision > 8) return false;
       hostVariables().anglePrecision = precision;
       return true;
     }},
    {u"CLAYER", Scope::Database,
     [](const Context& c, resbuf& r) { return putText(r, recordName(c.database->clayer())); },
     [](const Context& c, const resbuf& v) {
       OdString name;
       if (!textValue(v, name)) return false;
       const OdDbObjectId id = recordId(c.database, &OdDbDatabase::getLayerTable, name);
       return !id.isNull() && c.database->setClayer(id) == eOk;
     }},
    {u"CELTYPE", Scope::Database,
     [](const Context& c, resbuf& r) { return putText(r, recordName(c.database->celtype())); },
     [](const Context& c, const resbuf& v) {
       OdString name;
       if (!textValue(v, name)) return false;
       const OdDbObjectId id = recordId(c.database, &OdDbDatabase::getLinetypeTable, name);
       return !id.isNull() && c.database->setCeltype(id) == eOk;
     }},
    {u"TEXTSTYLE", Scope::Database,
     [](const Context& c, resbuf& r) { return putText(r, recordName(c.database->textstyle())); },
     [](const Context& c, const resbuf& v) {
       OdString name;
       if (!textValue(v, name)) return false;
       const OdDbObjectId id = recordId(c.database, &OdDbDatabase::getTextStyleTable, name);
       return !id.isNull() && c.database->setTextstyle(id) == eOk;
     }},
    {u"CELTSCALE", Scope::Database,
     [](const Context& c, resbuf& r) {
       putReal(r, c.database->celtscale());
       return true;
     },
     [](const Context& c, const resbuf& v) {
       double d = 0;
       return realValue(v, d) && d > 0 && c.database->setCeltscale(d) == eOk;
     }},
    {u"TEXTSIZE", Scope::Database,
     [](const Context& c, resbuf& r) {
       putReal(r, c.database->textsize());
       return true;
     },
     [](const Context& c, const resbuf& v) {
       double d = 0;
       return realValue(v, d) && d > 0 && c.database->setTextsize(d) == eOk;
     }},
    {u"LUNITS", Scope::Database,
     [](const Context& c, resbuf& r) {
       putShort(r, c.database->lunits());
       return true;
     },
     [](const Context& c, const resbuf& v) {
       OdInt16 mode = 0;
       return shortValue(v, mode) && mode >= 1 && mode <= 5 && c.database->setLunits(mode) == eOk;
     }},
    {u"LUPREC", Scope::Database,
     [](const Context& c, resbuf& r) {
       putShort(r, c.database->luprec());
       return true;
     },
     [](const Context& c, const resbuf& v) {
       OdInt16 precision = 0;
       return shortValue(v, precision) && precision >= 0 && precision <= 8 && c.database->setLuprec(precision) == eOk;
     }},
    {u"TILEMODE", Scope::Database,
     [](const Context& c, resbuf& r) {
       putShort(r, c.database->tilemode() ? 1 : 0);
       return true;
     },
     [](const Context& c, const resbuf& v) {
       OdInt16 mode = 0;
       if (!shortValue(v, mode) || (mode != 0 && mode != 1)) return false;
       if (c.database->setTilemode(mode == 1) != eOk) return false;
       c.document->state().modelSpaceViewport = OdDbObjectId::kNull;
       return true;
     }},
    {u"UCSORG", Scope::Database,
     [](const Context& c, resbuf& r) {
       putPoint(r, RT3DPOINT, c.database->ucsorg());
       return true;
     },
     nullptr},
    {u"UCSXDIR", Scope::Database,
     [](const Context& c, resbuf& r) {
       putPoint(r, RT3DPOINT, asPoint(c.database->ucsxdir()));
       return true;
     },
     nullptr},
    {u"UCSYDIR", Scope::Database,
     [](const Context& c, resbuf& r) {
       putPoint(r, RT3DPOINT, asPoint(c.database->ucsydir()));
       return true;
     },
     nullptr},
};

const Variable* findVariable(const OdChar* name) {
  if (!name) return nullptr;
  for (const Variable& variable : kVariables)
    if (winsim::equalsNoCase(variable.name, name)) return &variable;
  return nullptr;
}

bool available(const Variable& variable, const Context& c) {
  switch (variable.scope) {
    case Scope::Host:
      return true;
    case Scope::View:
      return c.view != nullptr;
    case Scope::Database:
      return c.database != nullptr;
  }
  return false;
}

}  // namespace

}  // namespace kxhost

using namespace kxhost;

int kxedGetVar(const OdChar* name, resbuf* result) {
  if (!result) return RTERROR;
  const Variable* variable = findVariable(name);
  const Context c = context();
  if (!variable || !available(*variable, c) || !variable->get(c, *result)) {
    result->restype = RTNONE;
    return RTERROR;
  }
  return RTNORM;
}

int kxedSetVar(const OdChar* name, const resbuf* value) {
  const Variable* variable = findVariable(name);
  const Context c = context();
  if (!value || !variable || !variable->set || !available(*variable, c)) return RTERROR;
  return variable->set(c, *value) ? RTNORM : RTERROR;
}
