// Dictionaries and xrecords.
#include "drawingfixture.h"

using namespace dwgsdk_test;

namespace {
OdDbDictionary* openNod(OdDbDatabase& db, OdDb::OpenMode mode) {
  OdDbDictionary* nod = nullptr;
  EXPECT_EQ(db.getNamedObjectsDictionary(nod, mode), eOk);
  return nod;
}
}  // namespace

TEST(Dictionary, SetGetRemoveRenameInOrder) {
  OdDbDatabase db;
  OdDbDictionary* nod = openNod(db, OdDb::kForWrite);
  auto* d = new OdDbDictionary();
  OdDbObjectId dId;
  ASSERT_EQ(nod->setAt(u"MINE", d, dId), eOk);
  nod->close();
  OdDbObjectId a, b, c;
  auto* xa = new OdDbXrecord();
  auto* xb = new OdDbXrecord();
  auto* xc = new OdDbXrecord();
  ASSERT_EQ(d->setAt(u"Zeta", xa, a), eOk);
  ASSERT_EQ(d->setAt(u"Alpha", xb, b), eOk);
  ASSERT_EQ(d->setAt(u"Mid", xc, c), eOk);
  for (auto* x : {xa, xb, xc}) {
    EXPECT_EQ(x->ownerId(), dId);
    x->close();
  }
  OdDbObjectId id;
  EXPECT_EQ(d->getAt(u"alpha", id), eOk);  // keys compare without case
  EXPECT_EQ(id, b);
  EXPECT_EQ(d->getAt(u"missing", id), eKeyNotFound);
  EXPECT_TRUE(id.isNull());
  OdString key;
  EXPECT_EQ(d->nameAt(c, key), eOk);
  EXPECT_EQ(key, OdString(u"Mid"));
  EXPECT_TRUE(d->setName(u"Mid", u"Middle"));
  EXPECT_FALSE(d->setName(u"Middle", u"Zeta"));
  EXPECT_FALSE(d->setName(u"nothing", u"x"));
  EXPECT_EQ(d->getAt(u"Middle"), c);
  OdDbXrecord unkeyed;
  EXPECT_EQ(d->setAt(u"", &unkeyed, id), eInvalidKey);

  std::vector<OdString> order;
  OdDbDictionaryIterator* it = d->newIterator();
  for (; !it->done(); it->next()) order.push_back(it->name());
  delete it;
  EXPECT_EQ(order, (std::vector<OdString>{u"Zeta", u"Alpha", u"Middle"}));

  EXPECT_EQ(d->remove(u"Alpha"), eOk);
  EXPECT_EQ(d->remove(u"Alpha"), eKeyNotFound);
  EXPECT_EQ(d->numEntries(), 2u);
  OdDbObject* removed = nullptr;
  ASSERT_EQ(oddbOpenObject(removed, b, OdDb::kForRead), eOk);
  EXPECT_TRUE(removed->ownerId().isNull());
  removed->close();
  d->close();
}

TEST(Dictionary, ErasedEntriesAreMissingAndReplacingErasesTheOld) {
  OdDbDatabase db;
  OdDbDictionary* nod = openNod(db, OdDb::kForWrite);
  auto* first = new OdDbXrecord();
  OdDbObjectId firstId;
  nod->setAt(u"KEY", first, firstId);
  first->erase();
  first->close();
  OdDbObjectId id;
  EXPECT_EQ(nod->getAt(u"KEY", id), eKeyNotFound);
  EXPECT_FALSE(nod->has(u"KEY"));
  auto* second = new OdDbXrecord();
  OdDbObjectId secondId;
  ASSERT_EQ(nod->setAt(u"KEY", second, secondId), eOk);
  second->close();
  auto* third = new OdDbXrecord();
  OdDbObjectId thirdId;
  ASSERT_EQ(nod->setAt(u"KEY", third, thirdId), eOk);
  third->close();
  EXPECT_TRUE(secondId.isErased());
  EXPECT_EQ(nod->getAt(u"KEY"), thirdId);
  nod->close();
}

TEST(Dictionary, NoCyclesAndNoForeignObjects) {
  OdDbDatabase db;
  OdDbDatabase other;
  OdDbDictionary* nod = openNod(db, OdDb::kForWrite);
  auto* child = new OdDbDictionary();
  OdDbObjectId childId;
  nod->setAt(u"CHILD", child, childId);
  OdDbObjectId id;
  EXPECT_EQ(child->setAt(u"LOOP", nod, id), eSelfReference);
  EXPECT_EQ(child->setAt(u"SELF", child, id), eSelfReference);
  OdDbDictionary* foreign = openNod(other, OdDb::kForRead);
  EXPECT_EQ(child->setAt(u"FOREIGN", foreign, id), eWrongDatabase);
  foreign->close();
  EXPECT_EQ(child->setAt(u"NULL", nullptr, id), eNullObjectPointer);
  child->close();
  nod->close();
  OdDbDictionary* closed = nullptr;
  oddbOpenObject(closed, childId, OdDb::kForRead);
  OdDbXrecord refused;
  EXPECT_EQ(closed->setAt(u"X", &refused, id), eNotOpenForWrite);
  closed->close();
}

TEST(Xrecord, KeepsItsChainAndRefusesWhatDxfCannotHold) {
  OdDbXrecord x;
  double p[3] = {1, 2, 3};
  resbuf* chain = odutBuildList(1, u"name", 10, p, 40, 2.5, 70, 7, 90, 1 << 20, 290, 1, 0);
  ASSERT_EQ(x.setFromRbChain(chain), eOk);
  odutRelRb(chain);
  resbuf* back = nullptr;
  ASSERT_EQ(x.rbChain(&back), eOk);
  int n = 0;
  for (resbuf* rb = back; rb; rb = rb->rbnext) ++n;
  EXPECT_EQ(n, 6);
  EXPECT_EQ(back->rbnext->resval.rpoint[2], 3);
  EXPECT_EQ(back->rbnext->rbnext->rbnext->rbnext->resval.rlong, 1 << 20);
  odutRelRb(back);
  for (int code : {5, 100, 102, 105, 330, 1000}) {
    resbuf* bad = odutNewRb(code);
    EXPECT_EQ(x.setFromRbChain(bad), eInvalidInput) << code;
    odutRelRb(bad);
  }
}
