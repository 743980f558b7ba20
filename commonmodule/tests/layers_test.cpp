// Layers and linetypes: existence, creation with linetype resolution, the
// current layer, status flags and the linetype listing.
#include <gtest/gtest.h>

#include "HvDbUtilsLayers.h"
#include "entityfixture.h"
#include "kxed.h"
#include "winsim/text.h"

namespace {

using mwcommon::testing::DrawingTest;
using mwcommon::testing::Opened;

class Layers : public DrawingTest {
 protected:
  OdDbObjectId layerId(const OdChar* name) const {
    Opened<OdDbLayerTable> table(db()->getLayerTableId(), OdDb::kForRead);
    OdDbObjectId id;
    table->getAt(name, id);
    return id;
  }
  OdDbObjectId linetypeId(const OdChar* name) const {
    Opened<OdDbLinetypeTable> table(db()->getLinetypeTableId(), OdDb::kForRead);
    OdDbObjectId id;
    table->getAt(name, id);
    return id;
  }
  /// Sets a layer's states with the SDK.
  void setStates(const OdChar* name, bool off, bool frozen, bool locked) {
    Opened<OdDbLayerTableRecord> layer(layerId(name), OdDb::kForWrite);
    ASSERT_EQ(layer.result(), eOk);
    layer->setIsOff(off);
    layer->setIsFrozen(frozen);
    layer->setIsLocked(locked);
  }
  struct States {
    bool off, frozen, locked;
    OdInt16 color;
    OdDbObjectId linetype;
  };
  States states(const OdChar* name) const {
    Opened<OdDbLayerTableRecord> layer(layerId(name), OdDb::kForRead);
    EXPECT_EQ(layer.result(), eOk) << winsim::toUtf8(name);
    if (layer.result() != eOk) return {};
    return {layer->isOff(), layer->isFrozen(), layer->isLocked(), layer->colorIndex(), layer->linetypeObjectId()};
  }
  void expectUnlocked() const { EXPECT_EQ(kxDocManagerPtr()->curDocument()->lockCount(), 0); }
};

TEST_F(Layers, LayerExistLooksTheNameUp) {
  addLayer(u"Walls", false);
  EXPECT_TRUE(HvDbUtils::LayerExist(u"Walls"));
  EXPECT_TRUE(HvDbUtils::LayerExist(u"WALLS", db()));
  EXPECT_TRUE(HvDbUtils::LayerExist(u"0"));
  EXPECT_FALSE(HvDbUtils::LayerExist(u"Doors"));
  expectUnlocked();
}

TEST_F(Layers, ANewLayerGetsItsColourAndTheDrawingsLinetype) {
  ASSERT_TRUE(HvDbUtils::CreateLayer(u"Walls", u"CONTINUOUS", 3, nullptr));
  const States walls = states(u"Walls");
  EXPECT_EQ(walls.color, 3);
  EXPECT_EQ(walls.linetype, linetypeId(u"CONTINUOUS"));
  EXPECT_FALSE(walls.off);
  EXPECT_FALSE(walls.frozen);
  EXPECT_FALSE(walls.locked);
  Opened<OdDbLayerTableRecord> layer(layerId(u"Walls"), OdDb::kForRead);
  EXPECT_FALSE(layer->VPDFLT());
  expectUnlocked();
}

TEST_F(Layers, AMissingLinetypeIsLoadedFromTheMetricFile) {
  ASSERT_TRUE(linetypeId(u"DASH_DOT").isNull());
  ASSERT_TRUE(HvDbUtils::CreateLayer(u"Axes", u"DASH_DOT", 1));
  const OdDbObjectId loaded = linetypeId(u"DASH_DOT");
  ASSERT_FALSE(loaded.isNull());
  EXPECT_EQ(states(u"Axes").linetype, loaded);
  Opened<OdDbLinetypeTableRecord> linetype(loaded, OdDb::kForRead);
  EXPECT_EQ(linetype->numDashes(), 4);  // 10, -2.5, 0, -2.5 in acadiso.lin
  EXPECT_DOUBLE_EQ(linetype->patternLength(), 15.0);
}

TEST_F(Layers, ALinetypeNoOneHasFallsBackToContinuous) {
  ASSERT_TRUE(HvDbUtils::CreateLayer(u"Odd", u"NO_SUCH_LINETYPE", 5));
  EXPECT_EQ(states(u"Odd").linetype, linetypeId(u"CONTINUOUS"));
  EXPECT_TRUE(linetypeId(u"NO_SUCH_LINETYPE").isNull());
}

TEST_F(Layers, AnExistingLayerIsRefreshed) {
  addLayer(u"Walls", true);
  setStates(u"Walls", true, true, true);
  ASSERT_TRUE(HvDbUtils::CreateLayer(u"Walls", u"DASH", 4));
  const States walls = states(u"Walls");
  EXPECT_EQ(walls.color, 4);
  EXPECT_EQ(walls.linetype, linetypeId(u"DASH"));
  EXPECT_FALSE(walls.off);
  EXPECT_FALSE(walls.frozen);
  EXPECT_FALSE(walls.locked);
}

TEST_F(Layers, CreateLayerFailsOnABadNameOrALayerHeldOpen) {
  EXPECT_FALSE(HvDbUtils::CreateLayer(u"Bad<Name>", u"CONTINUOUS", 1));
  EXPECT_TRUE(layerId(u"Bad<Name>").isNull());
  addLayer(u"Walls", false);
  {
    Opened<OdDbLayerTableRecord> held(layerId(u"Walls"), OdDb::kForWrite);
    EXPECT_FALSE(HvDbUtils::CreateLayer(u"Walls", u"CONTINUOUS", 2));
  }
  EXPECT_EQ(states(u"Walls").color, 7);
  expectUnlocked();
}

TEST_F(Layers, SetLayerMakesALayerCurrentAndUsable) {
  addLayer(u"Walls", true);
  setStates(u"Walls", true, true, true);
  ASSERT_TRUE(HvDbUtils::SetLayer(u"Walls"));
  EXPECT_EQ(db()->clayer(), layerId(u"Walls"));
  const States walls = states(u"Walls");
  EXPECT_FALSE(walls.off);
  EXPECT_FALSE(walls.frozen);
  EXPECT_FALSE(walls.locked);
  expectUnlocked();
}

TEST_F(Layers, SetLayerCreatesAMissingLayer) {
  ASSERT_TRUE(HvDbUtils::SetLayer(u"Doors", db()));
  ASSERT_FALSE(layerId(u"Doors").isNull());
  EXPECT_EQ(db()->clayer(), layerId(u"Doors"));
  EXPECT_EQ(states(u"Doors").color, 7);
  EXPECT_EQ(states(u"Doors").linetype, linetypeId(u"CONTINUOUS"));
  EXPECT_FALSE(HvDbUtils::SetLayer(u"Bad<Name>"));
  EXPECT_EQ(db()->clayer(), layerId(u"Doors"));
  expectUnlocked();
}

TEST_F(Layers, SetLayerWithATextTrimsTheName) {
  addLayer(u"Walls", false);
  ASSERT_TRUE(HvDbUtils::SetLayer(CString(u"  Walls \t"), nullptr));
  EXPECT_EQ(db()->clayer(), layerId(u"Walls"));
  EXPECT_TRUE(layerId(u"  Walls \t").isNull());
}

TEST_F(Layers, StatusFlagsLockAndHide) {
  struct Case {
    unsigned flags;
    bool off, locked;
  } cases[] = {
      {0, false, false}, {1, false, true}, {2, true, false},           {3, true, true},
      {4, false, false}, {7, true, true},  {0xFFFFFFFC, false, false},
  };
  addLayer(u"Walls", false);
  for (const Case& c : cases) {
    // Start from the opposite, and frozen: the frozen state is never touched.
    setStates(u"Walls", !c.off, true, !c.locked);
    CString name(u"Walls");
    EXPECT_EQ(HvDbUtils::SetStatusOfLayer(name, c.flags), 1) << c.flags;
    const States walls = states(u"Walls");
    EXPECT_EQ(walls.off, c.off) << c.flags;
    EXPECT_EQ(walls.locked, c.locked) << c.flags;
    EXPECT_TRUE(walls.frozen) << c.flags;
  }
  CString missing(u"Doors");
  EXPECT_EQ(HvDbUtils::SetStatusOfLayer(missing, 3), 0);
  expectUnlocked();
}

TEST_F(Layers, TheCurrentLayersStatusFollowsClayer) {
  addLayer(u"Walls", false);
  ASSERT_TRUE(HvDbUtils::SetLayer(u"Walls"));
  EXPECT_EQ(HvDbUtils::SetStatusOfCLayer(3), 1);
  EXPECT_TRUE(states(u"Walls").off);
  EXPECT_TRUE(states(u"Walls").locked);
  EXPECT_FALSE(states(u"0").locked);
  EXPECT_EQ(HvDbUtils::SetStatusOfCLayer(0), 1);
  EXPECT_FALSE(states(u"Walls").off);
  EXPECT_FALSE(states(u"Walls").locked);
}

TEST_F(Layers, ADatabaseOfNoDocumentCannotBeLocked) {
  OdDbDatabase own(true);
  EXPECT_FALSE(HvDbUtils::LayerExist(u"0", &own));
  EXPECT_FALSE(HvDbUtils::CreateLayer(u"Walls", u"CONTINUOUS", 1, &own));
  EXPECT_FALSE(HvDbUtils::SetLayer(u"0", &own));
  CString name(u"0");
  EXPECT_EQ(HvDbUtils::SetStatusOfLayer(name, 1, &own), 0);
  OdDbLayerTable* table = nullptr;
  ASSERT_EQ(own.getLayerTable(table, OdDb::kForRead), eOk);
  EXPECT_FALSE(table->has(u"Walls"));
  table->close();
}

TEST_F(Layers, TheLinetypeListGrowsWithEachCall) {
  CStringArray names;
  names.Add(u"EARLIER");
  CString current(u"unchanged");
  EXPECT_EQ(HvDbUtils::DoGetLineType(names, current), 1);
  EXPECT_EQ(current, u"BYLAYER");
  ASSERT_EQ(names.GetSize(), 4);
  EXPECT_EQ(names[0], u"EARLIER");
  EXPECT_EQ(names[1], u"BYBLOCK");
  EXPECT_EQ(names[2], u"BYLAYER");
  EXPECT_EQ(names[3], u"CONTINUOUS");
  EXPECT_EQ(HvDbUtils::DoGetLineType(names, current, db()), 1);
  EXPECT_EQ(names.GetSize(), 7);
  EXPECT_EQ(names[6], u"CONTINUOUS");

  // A linetype made current shows up under its own name; erased ones do not.
  ASSERT_TRUE(HvDbUtils::CreateLayer(u"Axes", u"DASH", 1));
  ASSERT_TRUE(HvDbUtils::CreateLayer(u"Axes", u"DOT", 1));
  ASSERT_EQ(db()->setCeltype(linetypeId(u"DASH")), eOk);
  {
    Opened<OdDbLinetypeTableRecord> dot(linetypeId(u"DOT"), OdDb::kForWrite);
    ASSERT_EQ(dot->erase(), eOk);
  }
  CStringArray fresh;
  EXPECT_EQ(HvDbUtils::DoGetLineType(fresh, current), 1);
  EXPECT_EQ(current, u"DASH");
  EXPECT_EQ(fresh.GetSize(), 4);
}

}  // namespace
