// The extension tool's drawing commands, built on MWCommonModule's entity,
// block, layer and geometry functions the way the product's modules use them.
// Points are entered in the current UCS; what the library stores as given
// (texts, dimensions, block references) is converted to the WCS here, and
// turned with the UCS X axis.
//
//   MWFRAME corner width height title
//       a frame of lines on MW_FRAME with a title strip, the title and the
//       sheet size on MW_TITLE, and a dimension of the width on MW_DIMS
//   MWINSERT drawing point scale rotation values
//       a reference to the block that a drawing file names, on MW_BLOCKS,
//       rotation in degrees from the UCS X axis, values as TAG=VALUE pairs
//       separated by ";" ("." for none); reports the attributes it got
//   MWEXTENTS layer
//       the WCS extents of the current space's entities on a layer ("*" for
//       every layer)
#include "drawingcommands.h"

#include <cmath>

#include "MWCommonModule.h"
#include "kxed.h"
#include "kxut.h"

namespace {

constexpr const OdChar* kFrameLayer = u"MW_FRAME";
constexpr const OdChar* kTitleLayer = u"MW_TITLE";
constexpr const OdChar* kDimensionLayer = u"MW_DIMS";
constexpr const OdChar* kBlockLayer = u"MW_BLOCKS";
constexpr const OdChar* kLinetype = u"CONTINUOUS";
constexpr const OdChar* kTextStyle = u"STANDARD";
constexpr const OdChar* kDimensionStyle = u"STANDARD";
// The title strip takes this part of the frame's height.
constexpr double kTitleStrip = 0.1;
constexpr std::size_t kInputSize = 260;

/// The layer that is current while a command draws, and the user's current
/// layer again afterwards.
class DrawingLayer {
 public:
  DrawingLayer(const OdChar* name, int color) {
    CString current;
    if (HvDbUtils::SymbolIdToName(database()->clayer(), current) == eOk) m_previous = current;
    HvDbUtils::CreateLayer(name, kLinetype, color);
    HvDbUtils::SetLayer(name);
  }
  ~DrawingLayer() {
    if (!m_previous.IsEmpty()) HvDbUtils::SetLayer(m_previous);
  }
  DrawingLayer(const DrawingLayer&) = delete;
  DrawingLayer& operator=(const DrawingLayer&) = delete;

  static OdDbDatabase* database() { return oddbHostApplicationServices()->workingDatabase(); }

 private:
  CString m_previous;
};

OdGePoint3d ucsPoint(double x, double y) { return OdGePoint3d(x, y, 0); }

OdGePoint3d toWcs(OdGePoint3d point) {
  HvDbUtils::UcsToWcs(point);
  return point;
}

/// The angle of the UCS X axis in the WCS XY plane.
double ucsAngle() {
  const OdGeVector3d x = HvDbUtils::GetUcsXAxis();
  return std::atan2(x.y, x.x);
}

/// Turns a text the library made with the UCS.
void turnText(const OdDbObjectId& id, double angle) {
  OdDbText* text = nullptr;
  if (oddbOpenObject(text, id, OdDb::kForWrite) != eOk) return;
  text->setRotation(angle);
  text->close();
}

int counted(std::initializer_list<OdDbObjectId> ids) {
  int count = 0;
  for (const OdDbObjectId& id : ids) count += id.isNull() ? 0 : 1;
  return count;
}

void frameCommand() {
  ads_point corner = {};
  double width = 0, height = 0;
  OdChar title[kInputSize] = {};
  if (kxedGetPoint(nullptr, u"\nLower-left corner: ", corner) != RTNORM) return;
  if (kxedGetReal(u"\nWidth: ", &width) != RTNORM || kxedGetReal(u"\nHeight: ", &height) != RTNORM) return;
  if (kxedGetString(0, u"\nTitle: ", title, kInputSize) != RTNORM) return;
  if (width <= 0 || height <= 0) {
    kxutPrintf(u"\nThe frame needs a positive width and height.");
    return;
  }
  const double x = corner[0], y = corner[1], strip = height * kTitleStrip, angle = ucsAngle();
  int made = 0;
  {
    const DrawingLayer layer(kFrameLayer, 7);
    made += counted({
        HvDbUtils::CreateLine(ucsPoint(x, y), ucsPoint(x + width, y)),
        HvDbUtils::CreateLine(ucsPoint(x + width, y), ucsPoint(x + width, y + height)),
        HvDbUtils::CreateLine(ucsPoint(x + width, y + height), ucsPoint(x, y + height)),
        HvDbUtils::CreateLine(ucsPoint(x, y + height), ucsPoint(x, y)),
        HvDbUtils::CreateLine(ucsPoint(x, y + strip), ucsPoint(x + width, y + strip)),
    });
  }
  {
    const DrawingLayer layer(kTitleLayer, 2);
    const OdDbObjectId titleId =
        HvDbUtils::CreateCenterText(title, toWcs(ucsPoint(x + width / 2, y + strip / 2)), strip * 0.5, kTextStyle, 1.0);
    const CString size = HvDbUtils::DoubleToStr(width) + u" x " + HvDbUtils::DoubleToStr(height);
    const OdDbObjectId sizeId = HvDbUtils::CreateRightBottomText(
        size, toWcs(ucsPoint(x + width - strip * 0.2, y + strip * 0.2)), strip * 0.25, kTextStyle, 1.0);
    turnText(titleId, angle);
    turnText(sizeId, angle);
    made += counted({titleId, sizeId});
  }
  {
    const DrawingLayer layer(kDimensionLayer, 1);
    made += counted({HvDbUtils::CreateRotatedDimension(kDimensionStyle, angle, 0, toWcs(ucsPoint(x, y)),
                                                       toWcs(ucsPoint(x + width, y)), toWcs(ucsPoint(x, y - strip)),
                                                       nullptr, 0, OdGeVector3d())});
  }
  kxutPrintf(u"\nThe frame \"%s\" has %d objects on %s, %s and %s.", title, made, kFrameLayer, kTitleLayer,
             kDimensionLayer);
}

/// "TAG=VALUE;TAG=VALUE" as a map; "." for none.
std::map<CString, CString> attributeValues(const CString& text) {
  std::map<CString, CString> values;
  if (text == u".") return values;
  CStringArray pairs;
  if (!HvDbUtils::ExplodeStr(text, u";", pairs)) pairs.Add(text);
  for (INT_PTR i = 0; i < pairs.GetSize(); ++i) {
    const int equals = pairs[i].Find(u'=');
    if (equals > 0) values[pairs[i].Left(equals)] = pairs[i].Mid(equals + 1);
  }
  return values;
}

void insertCommand() {
  OdChar path[kInputSize] = {};
  ads_point point = {};
  double scale = 0, rotation = 0;
  OdChar text[kInputSize] = {};
  if (kxedGetString(0, u"\nBlock drawing: ", path, kInputSize) != RTNORM) return;
  if (kxedGetPoint(nullptr, u"\nInsertion point: ", point) != RTNORM) return;
  if (kxedGetReal(u"\nScale: ", &scale) != RTNORM || kxedGetReal(u"\nRotation: ", &rotation) != RTNORM) return;
  if (kxedGetString(0, u"\nAttribute values (TAG=VALUE;...): ", text, kInputSize) != RTNORM) return;
  if (scale == 0) {
    kxutPrintf(u"\nThe scale cannot be 0.");
    return;
  }

  OdDbObjectId id;
  bool inserted = false;
  {
    const DrawingLayer layer(kBlockLayer, 4);
    inserted =
        HvDbUtils::InsertBlockReference(path, toWcs(OdGePoint3d(point[0], point[1], point[2])), OdGeScale3d(scale),
                                        ucsAngle() + HvDbUtils::AngToRad(rotation), attributeValues(text), id);
  }
  if (!inserted) {
    kxutPrintf(u"\nThe block of %s could not be inserted.", path);
    return;
  }
  std::map<CString, CString> values;
  HvDbUtils::GetAttribute(id, values);
  CString listed;
  for (const auto& [tag, value] : values) listed += u" " + tag + u"=" + value;
  kxutPrintf(u"\nInserted %s with %d attributes:%s", path, static_cast<int>(values.size()),
             values.empty() ? u" none" : static_cast<const WCHAR*>(listed));
}

bool onLayer(const OdDbEntity* entity, const CString& layer) {
  return layer == u"*" || entity->layer().iCompare(layer) == 0;
}

CString pointText(const OdGePoint3d& point) {
  return HvDbUtils::DoubleToStr(point.x) + u"," + HvDbUtils::DoubleToStr(point.y) + u"," +
         HvDbUtils::DoubleToStr(point.z);
}

void extentsCommand() {
  OdChar name[kInputSize] = {};
  if (kxedGetString(0, u"\nLayer (* for all): ", name, kInputSize) != RTNORM) return;
  const CString layer(name);
  const OdDbObjectId space = HvDbUtils::IsPaperSpace() ? HvDbUtils::GetPaperSpaceId() : HvDbUtils::GetModelSpaceId();
  OdDbBlockTableRecord* block = nullptr;
  if (oddbOpenObject(block, space, OdDb::kForRead) != eOk) return;
  OdDbBlockTableRecordIterator* iterator = nullptr;
  std::vector<OdDbObjectId> selected;
  if (block->newIterator(iterator) == eOk) {
    for (; !iterator->done(); iterator->step()) {
      OdDbEntity* entity = nullptr;
      if (iterator->getEntity(entity, OdDb::kForRead) != eOk) continue;
      if (onLayer(entity, layer)) selected.push_back(entity->objectId());
      entity->close();
    }
    delete iterator;
  }
  block->close();

  OdGeExtents3d total;
  int measured = 0;
  for (const OdDbObjectId& id : selected) {
    OdDbExtents extents;
    if (!HvDbUtils::GetEntExtents(id, extents)) continue;
    total.addExt(extents);
    ++measured;
  }
  if (!measured) {
    kxutPrintf(u"\nNo objects with extents on %s.", name);
    return;
  }
  kxutPrintf(u"\n%d objects on %s lie within %s - %s.", measured, name,
             static_cast<const WCHAR*>(pointText(total.minPoint())),
             static_cast<const WCHAR*>(pointText(total.maxPoint())));
}

}  // namespace

void registerDrawingCommands(const OdChar* group) {
  OdEdCommandStackPtr commands = odedRegCmds();
  commands->addCommand(group, u"MWFRAME", u"MWFRAME", OdEdCommand::kModal, frameCommand);
  commands->addCommand(group, u"MWINSERT", u"MWINSERT", OdEdCommand::kModal, insertCommand);
  commands->addCommand(group, u"MWEXTENTS", u"MWEXTENTS", OdEdCommand::kModal, extentsCommand);
}
