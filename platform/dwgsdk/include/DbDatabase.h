// OdDbDatabase: one drawing in memory. It owns its objects, hands out ids and
// handles, keeps the header values, and reads and writes ASCII DXF (R2000).
#pragma once

#include <memory>

#include "DbDimVars.h"
#include "DbObject.h"
#include "Ge.h"
#include "RxObject.h"

class OdDbBlockTable;
class OdDbLayerTable;
class OdDbLinetypeTable;
class OdDbTextStyleTable;
class OdDbDimStyleTable;
class OdDbRegAppTable;
class OdDbUCSTable;
class OdDbViewTable;
class OdDbViewportTable;
class OdDbDictionary;
class OdDbDimStyleTableRecord;
struct OdDbDatabaseImpl;

namespace OdDb {
/// What loadLineTypeFile does with a linetype the drawing already has.
enum DuplicateLinetypeLoading { kDltNotApplicable = 0, kDltIgnore = 1, kDltReplace = 2 };
/// Share modes of readFile (the C runtime's values).
enum ShareMode { kShareDenyReadWrite = 0x10, kShareDenyWrite = 0x20, kShareDenyRead = 0x30, kShareDenyNo = 0x40 };
}  // namespace OdDb

class OdDbDatabase : public OdRxObject {
  ODRX_DECLARE_MEMBERS(OdDbDatabase);
  /// With `buildDefaultDrawing`, the drawing holds the standard tables and
  /// records (layer "0", linetypes BYBLOCK, BYLAYER and CONTINUOUS, text and
  /// dimension style STANDARD, application ACAD, *Model_Space, *Paper_Space
  /// with its viewport, the named-object dictionary); without, it is empty and
  /// waits for readFile. `noDocument` is accepted for the host's sake.
  explicit OdDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
  ~OdDbDatabase() override;
  OdDbDatabase(const OdDbDatabase&) = delete;
  OdDbDatabase& operator=(const OdDbDatabase&) = delete;

  // Tables and the named-object dictionary.
  OdDbObjectId getBlockTableId() const;
  OdDbObjectId getLayerTableId() const;
  OdDbObjectId getLinetypeTableId() const;
  OdDbObjectId getTextStyleTableId() const;
  OdDbObjectId getDimStyleTableId() const;
  OdDbObjectId getRegAppTableId() const;
  OdDbObjectId getUCSTableId() const;
  OdDbObjectId getViewTableId() const;
  OdDbObjectId getViewportTableId() const;
  OdDbObjectId getNamedObjectsDictionaryId() const;
  OdResult getBlockTable(OdDbBlockTable*& table, OdDb::OpenMode mode) const;
  OdResult getLayerTable(OdDbLayerTable*& table, OdDb::OpenMode mode) const;
  OdResult getLinetypeTable(OdDbLinetypeTable*& table, OdDb::OpenMode mode) const;
  OdResult getTextStyleTable(OdDbTextStyleTable*& table, OdDb::OpenMode mode) const;
  OdResult getDimStyleTable(OdDbDimStyleTable*& table, OdDb::OpenMode mode) const;
  OdResult getRegAppTable(OdDbRegAppTable*& table, OdDb::OpenMode mode) const;
  OdResult getUCSTable(OdDbUCSTable*& table, OdDb::OpenMode mode) const;
  OdResult getViewTable(OdDbViewTable*& table, OdDb::OpenMode mode) const;
  OdResult getViewportTable(OdDbViewportTable*& table, OdDb::OpenMode mode) const;
  OdResult getNamedObjectsDictionary(OdDbDictionary*& dictionary, OdDb::OpenMode mode) const;

  // Handles and ids.
  /// The id of a handle. Without `createIfNotFound` a handle that names no
  /// object gives eUnknownHandle (and the null id); with it, an id is made
  /// for the handle (an object may be added under it later).
  OdResult getOdDbObjectId(OdDbObjectId& id, bool createIfNotFound, const OdDbHandle& handle, OdUInt32 xRefId = 0);
  OdDbObjectId getOdDbObjectId(const OdDbHandle& handle, bool createIfNotFound = false, OdUInt32 xRefId = 0);
  /// Adds an object that belongs to no database, owned by `ownerId` (or
  /// unowned); it stays open for write. eAlreadyInDb, eWrongDatabase.
  OdResult addOdDbObject(OdDbObjectId& id, OdDbObject* object, OdDbObjectId ownerId = OdDbObjectId::kNull);
  /// The next handle the database will give out.
  OdDbHandle handseed() const;
  /// The number of objects in the database, erased ones included.
  OdUInt64 approxNumObjects() const;

  // Header values.
  bool tilemode() const;
  OdResult setTilemode(bool tilemode);
  double celtscale() const;
  OdResult setCeltscale(double scale);
  double ltscale() const;
  OdResult setLtscale(double scale);
  OdDbObjectId textstyle() const;
  OdResult setTextstyle(OdDbObjectId styleId);
  OdDbObjectId clayer() const;
  OdResult setClayer(OdDbObjectId layerId);
  OdDbObjectId celtype() const;
  OdResult setCeltype(OdDbObjectId linetypeId);
  OdInt16 lunits() const;
  OdResult setLunits(OdInt16 units);
  OdInt16 luprec() const;
  OdResult setLuprec(OdInt16 precision);
  double textsize() const;
  OdResult setTextsize(double size);
  /// The current UCS (UCSORG, UCSXDIR, UCSYDIR).
  OdGePoint3d ucsorg() const;
  OdGeVector3d ucsxdir() const;
  OdGeVector3d ucsydir() const;
  /// eInvalidInput unless the axes are perpendicular and not zero.
  OdResult setUcs(const OdGePoint3d& origin, const OdGeVector3d& xAxis, const OdGeVector3d& yAxis);
  /// The overall viewport of paper space.
  OdDbObjectId paperSpaceVportId() const;

  // The current dimension style and the current dimension variables.
  OdDbObjectId dimstyle() const;
  OdResult setDimstyle(OdDbObjectId styleId);
  /// Copies a style's variables into the current dimension variables.
  OdResult setDimstyleData(const OdDbDimStyleTableRecord* record);
  OdResult setDimstyleData(OdDbObjectId styleId);
  OdResult getDimstyleData(OdDbDimStyleTableRecord* record) const;
  const OdDbDimVars& dimVars() const;
  ODDB_DIMVARS(ODDB_DIMVAR_METHODS)

  // Files. Paths are Windows paths of the simulated machine (host paths when
  // there is no machine).
  /// Reads an ASCII DXF drawing into a database that holds nothing yet. The
  /// file is parsed into a fresh database that replaces this one's contents
  /// only when everything was read, so a failure leaves this database as it
  /// was. A binary DWG file gives eDwgFormatNotSupported. `shareMode`,
  /// `allowCPConversion` and `password` are accepted as the SDK takes them:
  /// the file is read whole and closed before the call returns.
  OdResult readFile(const OdString& path, int shareMode = OdDb::kShareDenyWrite, bool allowCPConversion = false,
                    const OdChar* password = nullptr);
  /// Writes the drawing as ASCII DXF R2000 (code page ANSI_1252, other
  /// characters as \U+XXXX); the file is replaced only when all was written.
  OdResult writeFile(const OdString& path);
  /// Loads linetype `name` ("*" for all) from a .lin file, found through the
  /// host application services. eUndefinedLineType when the file lacks it.
  OdResult loadLineTypeFile(const OdString& name, const OdString& fileName,
                            OdDb::DuplicateLinetypeLoading duplicates = OdDb::kDltNotApplicable);
  /// Copies the model space of `source` into this database as a new block
  /// definition `blockName`, with the layers, linetypes, styles, applications
  /// and nested blocks its entities use. eDuplicateRecordName when the block
  /// exists. The source is left unchanged.
  OdResult insert(OdDbObjectId& blockId, const OdString& blockName, OdDbDatabase* source,
                  bool preserveSourceDatabase = true);

  // The layer's own representation.
  OdDbDatabaseImpl* impl() const { return m_impl.get(); }
  void swapContents(OdDbDatabase& other);

 private:
  std::unique_ptr<OdDbDatabaseImpl> m_impl;
};

/// The services the host supplies to the SDK: the working database and file lookup.
class OdDbHostAppServices : public OdRxObject {
  ODRX_DECLARE_MEMBERS(OdDbHostAppServices);
  OdDbHostAppServices();
  ~OdDbHostAppServices() override;

  OdDbDatabase* workingDatabase() const;
  void setWorkingDatabase(OdDbDatabase* database);
  /// The path of a file the SDK needs (a .lin file): the name itself when it
  /// exists (a Windows path of the machine, relative to its current folder),
  /// else the same name in the folder of the SDK layer, where it ships. Empty
  /// when nothing is found.
  virtual OdString findFile(const OdString& fileName, OdDbDatabase* database = nullptr);

 private:
  OdDbDatabase* m_working = nullptr;
};

OdDbHostAppServices* oddbHostApplicationServices();
/// The host installs its own services (null brings back the layer's own).
void oddbSetHostApplicationServices(OdDbHostAppServices* services);
