// Symbol tables (block, layer, linetype, text style, dimension style,
// registered application, UCS, view, viewport) and their records. Names
// compare without case; a lookup by name takes constant time.
#pragma once

#include "DbDimVars.h"
#include "DbObject.h"
#include "Ge.h"
#include "OdArray.h"

class OdDbEntity;
class OdDbSymbolTable;

class OdDbSymbolTableRecord : public OdDbObject {
  ODDB_DECLARE_MEMBERS(OdDbSymbolTableRecord);
  OdDbSymbolTableRecord();

  OdString getName() const;
  OdResult getName(OdString& name) const;
  /// eInvalidSymbolTableName for an empty name, control characters or
  /// <>/\":;?,=`; a leading * only in block and viewport names (and "*U"
  /// names are made unique when the record is in the table);
  /// eDuplicateRecordName when the table already has the name.
  OdResult setName(const OdString& name);
  /// Externally dependent (a name from an external reference).
  bool isDependent() const;

 protected:
  OdDbSymbolTableRecord(const OdDbSymbolTableRecord&) = default;

 private:
  friend struct OdDbInternals;
  OdString m_name;
  OdUInt8 m_standardFlags = 0;  // the DXF 70 bits the layer keeps as read
};

class OdDbSymbolTableIterator {
 public:
  ~OdDbSymbolTableIterator();
  void start(bool atBeginning = true, bool skipDeleted = true);
  bool done() const;
  void step(bool forward = true, bool skipDeleted = true);
  OdDbObjectId getRecordId() const;
  OdResult getRecordId(OdDbObjectId& id) const;
  OdResult getRecord(OdDbSymbolTableRecord*& record, OdDb::OpenMode mode = OdDb::kForRead,
                     bool openErased = false) const;
  OdResult seek(OdDbObjectId id);

 private:
  friend class OdDbSymbolTable;
  explicit OdDbSymbolTableIterator(const OdDbSymbolTable* table);
  void skip(bool forward, bool skipDeleted);
  const OdDbSymbolTable* m_table;
  std::ptrdiff_t m_index = 0;
};

class OdDbSymbolTable : public OdDbObject {
  ODDB_DECLARE_MEMBERS(OdDbSymbolTable);
  OdDbSymbolTable();
  ~OdDbSymbolTable() override;

  /// Whether a record of that name exists (erased records do not count).
  bool has(const OdString& name) const;
  bool has(const OdDbObjectId& id) const;
  /// eKeyNotFound when missing; erased records only with `getErased`.
  OdResult getAt(const OdString& name, OdDbObjectId& id, bool getErased = false) const;
  OdDbObjectId getAt(const OdString& name) const;
  OdResult getAt(const OdString& name, OdDbSymbolTableRecord*& record, OdDb::OpenMode mode,
                 bool openErased = false) const;
  /// Adds a record that belongs to no database; the table must be open for
  /// write and of the record's kind (eWrongObjectType). The record stays
  /// open for write. eDuplicateRecordName, eInvalidSymbolTableName.
  OdResult add(OdDbSymbolTableRecord* record);
  OdResult add(OdDbObjectId& id, OdDbSymbolTableRecord* record);
  /// Records in the order they were added.
  OdResult newIterator(OdDbSymbolTableIterator*& iterator, bool atBeginning = true, bool skipDeleted = true) const;
  /// The class of the records this table holds.
  virtual const OdRxClass* recordClass() const;

 protected:
  OdDbSymbolTable(const OdDbSymbolTable&);

 private:
  friend struct OdDbInternals;
  friend class OdDbSymbolTableIterator;
  struct Index;
  std::unique_ptr<Index> m_index;
};

#define ODDB_TYPED_SYMBOL_TABLE(TableName, RecordName)                                                             \
  class RecordName;                                                                                                \
  class TableName : public OdDbSymbolTable {                                                                       \
    ODDB_DECLARE_MEMBERS(TableName);                                                                               \
    using OdDbSymbolTable::add;                                                                                    \
    using OdDbSymbolTable::getAt;                                                                                  \
    OdResult getAt(const OdString& name, RecordName*& record, OdDb::OpenMode mode, bool openErased = false) const; \
    OdResult add(RecordName* record);                                                                              \
    OdResult add(OdDbObjectId& id, RecordName* record);                                                            \
    const OdRxClass* recordClass() const override;                                                                 \
  };

ODDB_TYPED_SYMBOL_TABLE(OdDbBlockTable, OdDbBlockTableRecord)
ODDB_TYPED_SYMBOL_TABLE(OdDbLayerTable, OdDbLayerTableRecord)
ODDB_TYPED_SYMBOL_TABLE(OdDbLinetypeTable, OdDbLinetypeTableRecord)
ODDB_TYPED_SYMBOL_TABLE(OdDbTextStyleTable, OdDbTextStyleTableRecord)
ODDB_TYPED_SYMBOL_TABLE(OdDbDimStyleTable, OdDbDimStyleTableRecord)
ODDB_TYPED_SYMBOL_TABLE(OdDbRegAppTable, OdDbRegAppTableRecord)
ODDB_TYPED_SYMBOL_TABLE(OdDbUCSTable, OdDbUCSTableRecord)
ODDB_TYPED_SYMBOL_TABLE(OdDbViewTable, OdDbViewTableRecord)
ODDB_TYPED_SYMBOL_TABLE(OdDbViewportTable, OdDbViewportTableRecord)
#undef ODDB_TYPED_SYMBOL_TABLE

class OdDbBlockTableRecord;

/// Walks the entities of a block in the order they were appended.
class OdDbBlockTableRecordIterator {
 public:
  ~OdDbBlockTableRecordIterator();
  void start(bool atBeginning = true, bool skipDeleted = true);
  bool done() const;
  void step(bool forward = true, bool skipDeleted = true);
  OdDbObjectId getEntityId() const;
  OdResult getEntityId(OdDbObjectId& id) const;
  OdResult getEntity(OdDbEntity*& entity, OdDb::OpenMode mode = OdDb::kForRead, bool openErased = false) const;
  OdResult seek(OdDbObjectId id);

 private:
  friend class OdDbBlockTableRecord;
  explicit OdDbBlockTableRecordIterator(const OdDbBlockTableRecord* block);
  void skip(bool forward, bool skipDeleted);
  const OdDbBlockTableRecord* m_block;
  std::ptrdiff_t m_index = 0;
};

class OdDbBlockTableRecord : public OdDbSymbolTableRecord {
  ODDB_DECLARE_MEMBERS(OdDbBlockTableRecord);
  OdDbBlockTableRecord();
  ~OdDbBlockTableRecord() override;

  /// Appends an entity that belongs to no database; the block must be open
  /// for write and in a database. The entity stays open for write; its unset
  /// layer and linetype become the database's current ones. eAlreadyInDb,
  /// eNotInDatabase, eWrongDatabase (it refers to another database's
  /// records), eSelfReference (a block reference to this block or to a block
  /// that contains this one), eNullObjectPointer.
  OdResult appendOdDbEntity(OdDbObjectId& id, OdDbEntity* entity);
  OdResult appendOdDbEntity(OdDbEntity* entity);
  OdResult newIterator(OdDbBlockTableRecordIterator*& iterator, bool atBeginning = true, bool skipDeleted = true) const;

  OdString pathName() const;
  OdResult pathName(OdString& path) const;
  OdResult setPathName(const OdString& path);
  OdString comments() const;
  OdResult setComments(const OdString& text);
  OdGePoint3d origin() const;
  OdResult setOrigin(const OdGePoint3d& origin);
  /// Anonymous: the name begins with '*' and is not a layout's.
  bool isAnonymous() const;
  /// *Model_Space and *Paper_Space blocks.
  bool isLayout() const;
  bool isFromExternalReference() const;
  bool hasAttributeDefinitions() const;

 protected:
  OdDbBlockTableRecord(const OdDbBlockTableRecord& other);

 private:
  friend struct OdDbInternals;
  friend class OdDbBlockTableRecordIterator;
  struct Contents;
  std::unique_ptr<Contents> m_contents;
  OdString m_pathName;
  OdString m_comments;
  OdGePoint3d m_origin;
  OdUInt8 m_blockFlags = 0;  // DXF 70 of the BLOCK entity
};

class OdDbLayerTableRecord : public OdDbSymbolTableRecord {
  ODDB_DECLARE_MEMBERS(OdDbLayerTableRecord);
  OdDbLayerTableRecord();

  bool isOff() const;
  OdResult setIsOff(bool off);
  bool isFrozen() const;
  OdResult setIsFrozen(bool frozen);
  bool isLocked() const;
  OdResult setIsLocked(bool locked);
  /// Frozen in new viewports.
  bool VPDFLT() const;
  OdResult setVPDFLT(bool frozen);
  bool isPlottable() const;
  OdResult setIsPlottable(bool plottable);
  /// Colour index 1-255.
  OdInt16 colorIndex() const;
  OdResult setColorIndex(OdInt16 color);
  OdDbObjectId linetypeObjectId() const;
  OdResult setLinetypeObjectId(OdDbObjectId linetypeId);

 private:
  friend struct OdDbInternals;
  OdDbStub* m_linetype = nullptr;
  OdInt16 m_color = 7;
  bool m_off = false, m_frozen = false, m_locked = false, m_vpdflt = false, m_plottable = true;
};

class OdDbLinetypeTableRecord : public OdDbSymbolTableRecord {
  ODDB_DECLARE_MEMBERS(OdDbLinetypeTableRecord);
  OdDbLinetypeTableRecord();
  ~OdDbLinetypeTableRecord() override;

  OdString comments() const;
  OdResult setComments(const OdString& text);
  double patternLength() const;
  OdResult setPatternLength(double length);
  bool isScaledToFit() const;
  OdResult setIsScaledToFit(bool scaledToFit);
  int numDashes() const;
  /// Resizes the pattern; new dashes have length 0.
  OdResult setNumDashes(int count);
  /// A dash: positive is drawn, negative a gap, 0 a dot.
  double dashLengthAt(int index) const;
  OdResult setDashLengthAt(int index, double length);
  /// A text drawn at a dash (empty for none), with its style and placement.
  OdString textAt(int index) const;
  OdResult setTextAt(int index, const OdString& text);
  OdDbObjectId shapeStyleAt(int index) const;
  OdResult setShapeStyleAt(int index, OdDbObjectId styleId);
  double shapeScaleAt(int index) const;
  OdResult setShapeScaleAt(int index, double scale);
  double shapeRotationAt(int index) const;
  OdResult setShapeRotationAt(int index, double rotation);
  OdGeVector2d shapeOffsetAt(int index) const;
  OdResult setShapeOffsetAt(int index, const OdGeVector2d& offset);
  bool shapeIsUcsOrientedAt(int index) const;
  OdResult setShapeIsUcsOrientedAt(int index, bool ucsOriented);

 protected:
  OdDbLinetypeTableRecord(const OdDbLinetypeTableRecord& other);

 private:
  friend struct OdDbInternals;
  struct Dash;
  std::unique_ptr<OdArray<Dash>> m_dashes;
  OdString m_comments;
  double m_patternLength = 0;
  bool m_scaledToFit = false;
};

class OdDbTextStyleTableRecord : public OdDbSymbolTableRecord {
  ODDB_DECLARE_MEMBERS(OdDbTextStyleTableRecord);
  OdDbTextStyleTableRecord();

  bool isShapeFile() const;
  OdResult setIsShapeFile(bool shapeFile);
  bool isVertical() const;
  OdResult setIsVertical(bool vertical);
  OdString fileName() const;
  OdResult setFileName(const OdString& file);
  OdString bigFontFileName() const;
  OdResult setBigFontFileName(const OdString& file);
  double obliquingAngle() const;
  OdResult setObliquingAngle(double angle);
  /// The fixed text height; 0 when texts choose their own.
  double textSize() const;
  OdResult setTextSize(double size);
  /// The width factor.
  double xScale() const;
  OdResult setXScale(double factor);
  /// Text generation flags (2 backwards, 4 upside down).
  OdUInt8 flagBits() const;
  OdResult setFlagBits(OdUInt8 flags);
  double priorSize() const;
  OdResult setPriorSize(double size);

 private:
  friend struct OdDbInternals;
  OdString m_fileName;
  OdString m_bigFontFileName;
  double m_oblique = 0, m_textSize = 0, m_xScale = 1, m_priorSize = 2.5;
  OdUInt8 m_flagBits = 0;
  bool m_shapeFile = false, m_vertical = false;
};

class OdDbDimStyleTableRecord : public OdDbSymbolTableRecord {
  ODDB_DECLARE_MEMBERS(OdDbDimStyleTableRecord);
  OdDbDimStyleTableRecord();

  ODDB_DIMVARS(ODDB_DIMVAR_METHODS)
  const OdDbDimVars& dimVars() const { return m_vars; }
  OdResult setDimVars(const OdDbDimVars& vars);

 private:
  friend struct OdDbInternals;
  OdDbDimVars m_vars;
};

class OdDbRegAppTableRecord : public OdDbSymbolTableRecord {
  ODDB_DECLARE_MEMBERS(OdDbRegAppTableRecord);
  OdDbRegAppTableRecord();
};

class OdDbUCSTableRecord : public OdDbSymbolTableRecord {
  ODDB_DECLARE_MEMBERS(OdDbUCSTableRecord);
  OdDbUCSTableRecord();

  OdGePoint3d origin() const;
  OdResult setOrigin(const OdGePoint3d& origin);
  OdGeVector3d xAxis() const;
  OdResult setXAxis(const OdGeVector3d& axis);
  OdGeVector3d yAxis() const;
  OdResult setYAxis(const OdGeVector3d& axis);

 private:
  friend struct OdDbInternals;
  OdGePoint3d m_origin;
  OdGeVector3d m_xAxis = OdGeVector3d::kXAxis;
  OdGeVector3d m_yAxis = OdGeVector3d::kYAxis;
};

/// The view properties shared by named views and viewport records.
class OdDbAbstractViewTableRecord : public OdDbSymbolTableRecord {
  ODDB_DECLARE_MEMBERS(OdDbAbstractViewTableRecord);
  OdDbAbstractViewTableRecord();

  /// The view centre in display coordinates.
  OdGePoint2d centerPoint() const;
  OdResult setCenterPoint(const OdGePoint2d& center);
  double height() const;
  OdResult setHeight(double height);
  double width() const;
  OdResult setWidth(double width);
  OdGeVector3d viewDirection() const;
  OdResult setViewDirection(const OdGeVector3d& direction);
  OdGePoint3d target() const;
  OdResult setTarget(const OdGePoint3d& target);
  double lensLength() const;
  OdResult setLensLength(double length);
  double viewTwist() const;
  OdResult setViewTwist(double angle);
  bool perspectiveEnabled() const;
  OdResult setPerspectiveEnabled(bool enabled);
  bool frontClipEnabled() const;
  OdResult setFrontClipEnabled(bool enabled);
  bool backClipEnabled() const;
  OdResult setBackClipEnabled(bool enabled);
  bool frontClipAtEye() const;
  OdResult setFrontClipAtEye(bool atEye);
  double frontClipDistance() const;
  OdResult setFrontClipDistance(double distance);
  double backClipDistance() const;
  OdResult setBackClipDistance(double distance);

 private:
  friend struct OdDbInternals;
  OdGePoint2d m_center;
  OdGeVector3d m_direction = OdGeVector3d::kZAxis;
  OdGePoint3d m_target;
  double m_height = 1, m_width = 1, m_lens = 50, m_twist = 0, m_front = 0, m_back = 0;
  bool m_perspective = false, m_frontClip = false, m_backClip = false, m_frontAtEye = true;
};

class OdDbViewTableRecord : public OdDbAbstractViewTableRecord {
  ODDB_DECLARE_MEMBERS(OdDbViewTableRecord);
  OdDbViewTableRecord();
  bool isPaperspaceView() const;
  OdResult setIsPaperspaceView(bool paperSpace);

 private:
  friend struct OdDbInternals;
  bool m_paperSpace = false;
};

class OdDbViewportTableRecord : public OdDbAbstractViewTableRecord {
  ODDB_DECLARE_MEMBERS(OdDbViewportTableRecord);
  OdDbViewportTableRecord();
  OdGePoint2d lowerLeftCorner() const;
  OdResult setLowerLeftCorner(const OdGePoint2d& corner);
  OdGePoint2d upperRightCorner() const;
  OdResult setUpperRightCorner(const OdGePoint2d& corner);

 private:
  friend struct OdDbInternals;
  OdGePoint2d m_lowerLeft{0, 0};
  OdGePoint2d m_upperRight{1, 1};
};
