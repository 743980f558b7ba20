// OdDbEntity: what a block holds, with the common properties (layer, colour,
// linetype and its scale, visibility), transforms and extents.
#pragma once

#include <functional>
#include <vector>

#include "DbObject.h"
#include "Ge.h"

namespace OdDb {
enum Visibility { kVisible = 0, kInvisible = 1 };
}

class OdDbEntity : public OdDbObject {
  ODDB_DECLARE_MEMBERS(OdDbEntity);
  OdDbEntity();
  ~OdDbEntity() override;

  /// The block that holds the entity (its owner).
  OdDbObjectId blockId() const;

  OdString layer() const;
  OdDbObjectId layerId() const;
  /// By name: looked up in the entity's database (the working database for
  /// an entity of no database); eKeyNotFound when there is no such layer.
  OdResult setLayer(const OdString& name, bool doSubents = true);
  /// eWrongDatabase for a layer of another database than the entity's,
  /// eNotThatKindOfClass for an id that is no layer.
  OdResult setLayer(OdDbObjectId layerId, bool doSubents = true);
  OdString linetype() const;
  OdDbObjectId linetypeId() const;
  OdResult setLinetype(const OdString& name, bool doSubents = true);
  OdResult setLinetype(OdDbObjectId linetypeId, bool doSubents = true);
  /// Colour index: 0 BYBLOCK, 1-255, 256 BYLAYER (the default).
  OdUInt16 colorIndex() const;
  OdResult setColorIndex(OdUInt16 color, bool doSubents = true);
  double linetypeScale() const;
  OdResult setLinetypeScale(double scale, bool doSubents = true);
  OdDb::Visibility visibility() const;
  OdResult setVisibility(OdDb::Visibility visibility, bool doSubents = true);

  /// Takes layer, linetype, colour, linetype scale and visibility of another
  /// entity (of the same database).
  OdResult setPropertiesFrom(const OdDbEntity* other, bool doSubents = true);
  /// The current layer, linetype, linetype scale (CELTSCALE) and BYLAYER
  /// colour of `database` (null: the entity's database, else the working
  /// database); classes add their own defaults.
  OdResult setDatabaseDefaults(OdDbDatabase* database = nullptr, bool doSubents = false);
  virtual void subSetDatabaseDefaults(OdDbDatabase* database, bool doSubents);

  /// Transforms the geometry (the entity open for write). eNotApplicable for
  /// a transform the entity cannot take (arcs and texts need uniform scaling).
  virtual OdResult transformBy(const OdGeMatrix3d& xform);
  /// The WCS box around the geometry; eInvalidExtents when there is none.
  virtual OdResult getGeomExtents(OdGeExtents3d& extents) const;

 protected:
  OdDbEntity(const OdDbEntity& other);
  /// Calls `visit` on each sub-entity (vertices, attributes) for the doSubents forms.
  virtual void forEachSubEntity(const std::function<void(OdDbEntity&)>& visit);

 private:
  friend struct OdDbInternals;
  OdResult applyProperty(bool doSubents, const std::function<void(OdDbEntity&)>& change);
  OdDbStub* m_layer = nullptr;
  OdDbStub* m_linetype = nullptr;
  double m_linetypeScale = 1.0;
  OdUInt16 m_color = 256;
  OdUInt8 m_visibility = 0;
};

class OdDbCurve : public OdDbEntity {
  ODDB_DECLARE_MEMBERS(OdDbCurve);
  OdDbCurve();
  virtual bool isClosed() const;

 protected:
  OdDbCurve(const OdDbCurve&) = default;
};

/// Walks the sub-objects of a complex entity (vertices, attributes, faces).
/// Sub-objects of an entity in a database are opened through objectId();
/// entity() gives the object itself for an entity of no database.
class OdDbObjectIterator {
 public:
  virtual ~OdDbObjectIterator();
  void start(bool atBeginning = true, bool skipErased = true);
  bool done() const;
  void step(bool backwards = false, bool skipErased = true);
  OdDbObjectId objectId() const;
  OdDbEntity* entity() const;

  // The layer's own construction.
  struct Item {
    OdDbStub* stub;
    OdDbEntity* object;
  };
  explicit OdDbObjectIterator(std::vector<Item> items);

 private:
  void skip(bool backwards, bool skipErased);
  std::vector<Item> m_items;
  std::ptrdiff_t m_index = 0;
};
