// Named dictionaries: the free functions and CHvDictManager, checked against
// the drawing as the SDK shows it.
#include <gtest/gtest.h>

#include <fstream>

#include "HvDictManager.h"
#include "entityfixture.h"

namespace {

using mwcommon::testing::DrawingTest;
using mwcommon::testing::Opened;

// An xrecord that counts its deletions, to see who deletes what addEntry was given.
int g_deleted = 0;
struct CountedXrecord : OdDbXrecord {
  ~CountedXrecord() override { ++g_deleted; }
};

class Dictionaries : public DrawingTest {
 protected:
  void SetUp() override {
    DrawingTest::SetUp();
    g_deleted = 0;
  }

  /// The dictionary of that name in the named-object dictionary, or the null id.
  OdDbObjectId dictionaryId(const OdChar* name) const {
    Opened<OdDbDictionary> namedObjects(db()->getNamedObjectsDictionaryId(), OdDb::kForRead);
    OdDbObjectId id;
    namedObjects->getAt(name, id);
    return id;
  }

  /// The entry names of a dictionary, in its order.
  std::vector<std::u16string> entryNames(const OdChar* name) const {
    std::vector<std::u16string> names;
    Opened<OdDbDictionary> dictionary(dictionaryId(name), OdDb::kForRead);
    if (dictionary.result() != eOk) return names;
    std::unique_ptr<OdDbDictionaryIterator> it(dictionary->newIterator());
    for (; !it->done(); it->next()) names.push_back(it->name().str());
    return names;
  }

  /// Adds entries to `manager`'s dictionary and checks that each was stored.
  void addEntries(CHvDictManager& manager, std::initializer_list<const OdChar*> names) {
    for (const OdChar* name : names) {
      OdDbObjectId id;
      ASSERT_EQ(manager.addEntry(name, new OdDbXrecord(), id), 1);
      ASSERT_FALSE(id.isNull());
    }
  }
};

TEST_F(Dictionaries, AddedObjectsAreFoundAgainByTheirNames) {
  auto* record = new OdDbXrecord();
  OdDbObjectId added;
  HvDbUtils::AddObjectToDictionary(record, u"MW_SETTINGS", u"Door", added, nullptr);
  ASSERT_FALSE(added.isNull());
  EXPECT_FALSE(record->isWriteEnabled());  // closed by the call
  EXPECT_EQ(added.database(), db());
  EXPECT_FALSE(dictionaryId(u"MW_SETTINGS").isNull());

  OdDbObjectId found = dictionaryId(u"MW_SETTINGS");  // not null: must be reset
  HvDbUtils::GetObjectIdFromDictionary(u"MW_SETTINGS", u"Door", found, db());
  EXPECT_EQ(found, added);

  // A second add of the same name replaces the entry; nothing tests it first.
  OdDbObjectId second;
  HvDbUtils::AddObjectToDictionary(new OdDbXrecord(), u"MW_SETTINGS", u"Door", second, nullptr);
  ASSERT_FALSE(second.isNull());
  EXPECT_NE(second, added);
  HvDbUtils::GetObjectIdFromDictionary(u"MW_SETTINGS", u"Door", found, nullptr);
  EXPECT_EQ(found, second);
  EXPECT_EQ(entryNames(u"MW_SETTINGS"), std::vector<std::u16string>{u"Door"});
}

TEST_F(Dictionaries, MissingDictionariesEntriesAndObjectsGiveTheNullId) {
  OdDbObjectId id = db()->getNamedObjectsDictionaryId();
  HvDbUtils::GetObjectIdFromDictionary(u"NO_SUCH", u"Door", id);
  EXPECT_TRUE(id.isNull());
  HvDbUtils::AddObjectToDictionary(new OdDbXrecord(), u"MW_SETTINGS", u"Door", id);
  id = db()->getNamedObjectsDictionaryId();
  HvDbUtils::GetObjectIdFromDictionary(u"MW_SETTINGS", u"Window", id);
  EXPECT_TRUE(id.isNull());

  id = db()->getNamedObjectsDictionaryId();
  HvDbUtils::AddObjectToDictionary(nullptr, u"OTHER", u"Door", id);
  EXPECT_TRUE(id.isNull());
  EXPECT_TRUE(dictionaryId(u"OTHER").isNull());

  // An entry of the named-object dictionary that is no dictionary is not used.
  {
    Opened<OdDbDictionary> namedObjects(db()->getNamedObjectsDictionaryId(), OdDb::kForWrite);
    auto* plain = new OdDbXrecord();
    ASSERT_EQ(namedObjects->setAt(u"PLAIN", plain, id), eOk);
    plain->close();
  }
  auto* record = new OdDbXrecord();
  HvDbUtils::AddObjectToDictionary(record, u"PLAIN", u"Door", id);
  EXPECT_TRUE(id.isNull());
  delete record;  // not stored: still the caller's
}

TEST_F(Dictionaries, AnExplicitDatabaseIsUsedInsteadOfTheWorkingOne) {
  OdDbDatabase own(true);
  OdDbObjectId id;
  HvDbUtils::AddObjectToDictionary(new OdDbXrecord(), u"MW_SETTINGS", u"Door", id, &own);
  ASSERT_FALSE(id.isNull());
  EXPECT_EQ(id.database(), &own);
  EXPECT_TRUE(dictionaryId(u"MW_SETTINGS").isNull());
  EXPECT_EQ(CHvDictManager::dictionaryExist(&own, u"MW_SETTINGS"), 1);
  EXPECT_EQ(CHvDictManager::dictionaryExist(db(), u"MW_SETTINGS"), 0);
}

TEST_F(Dictionaries, AddingAnEntryHandsTheObjectOver) {
  CHvDictManager manager(u"MW_DOORS", nullptr);
  auto* first = new CountedXrecord();
  OdDbObjectId firstId;
  EXPECT_EQ(manager.addEntry(u"Door", first, firstId), 1);
  ASSERT_FALSE(firstId.isNull());
  EXPECT_EQ(g_deleted, 0);
  EXPECT_FALSE(first->isWriteEnabled());

  // The name is taken: the new object is deleted, the existing entry's id returned.
  OdDbObjectId secondId;
  EXPECT_EQ(manager.addEntry(u"Door", new CountedXrecord(), secondId), 1);
  EXPECT_EQ(g_deleted, 1);
  EXPECT_EQ(secondId, firstId);

  // Numbered names: base and number without a separator.
  OdDbObjectId numbered;
  EXPECT_EQ(manager.addEntry(u"Door", 3, new OdDbXrecord(), numbered), 1);
  EXPECT_EQ(entryNames(u"MW_DOORS"), (std::vector<std::u16string>{u"Door", u"Door3"}));

  // An entry that cannot be stored (an empty name) is deleted too.
  OdDbObjectId unnamed = firstId;
  EXPECT_EQ(manager.addEntry(u"", new CountedXrecord(), unnamed), 1);
  EXPECT_TRUE(unnamed.isNull());
  EXPECT_EQ(g_deleted, 2);

  // The lock the call took on the current document is gone again.
  EXPECT_EQ(kxDocManagerPtr()->curDocument()->lockCount(), 0);
}

TEST_F(Dictionaries, AManagerWithoutADatabaseGivesNothing) {
  kxhost::endSession();  // no drawing: the working database is null
  CHvDictManager manager(u"MW_DOORS", nullptr);
  OdDbObjectId id;
  EXPECT_EQ(manager.addEntry(u"Door", new CountedXrecord(), id), 0);
  EXPECT_EQ(g_deleted, 1);  // handed over, so not leaked
  EXPECT_EQ(manager.addEntry(u"Door", 1, new CountedXrecord(), id), 0);
  EXPECT_EQ(g_deleted, 2);
  EXPECT_EQ(manager.getEntryId(u"Door", id), 0);
  EXPECT_TRUE(id.isNull());
  EXPECT_EQ(manager.getEntryObj(u"Door", OdDb::kForRead), nullptr);
  EXPECT_FALSE(manager.IsExistItem(u"Door"));
  EXPECT_EQ(manager.deleteEntry(u"Door"), 0);
  EXPECT_EQ(manager.RemoveAll(), 0);
  OdArray<OdDbObjectId> ids;
  ids.append(OdDbObjectId::kNull);
  EXPECT_EQ(manager.getEntryIds(ids), 0);
  EXPECT_EQ(ids.size(), 1u);
  EXPECT_EQ(manager.renameEntry(OdDbObjectId::kNull, u"Window"), 0);
  CString name;
  EXPECT_EQ(manager.GetNewEntryName(u"Door", name), 1);
  EXPECT_EQ(name, u"Door");
  EXPECT_EQ(CHvDictManager::dictionaryExist(static_cast<OdDbDatabase*>(nullptr), u"MW_DOORS"), 0);
}

TEST_F(Dictionaries, TheDatabaseIsFixedWhenItIsSet) {
  CHvDictManager manager(u"MW_DOORS", nullptr);
  KxApDocument* second = kxhost::newDocument();  // another working database now
  OdDbObjectId id;
  ASSERT_EQ(manager.addEntry(u"Door", new OdDbXrecord(), id), 1);
  EXPECT_EQ(id.database(), db());
  manager.SetDb(nullptr);
  ASSERT_EQ(manager.addEntry(u"Door", new OdDbXrecord(), id), 1);
  EXPECT_EQ(id.database(), second->database());

  // Copies carry both fields.
  CHvDictManager copy(manager);
  EXPECT_EQ(copy.getEntryId(u"Door", id), 1);
  CHvDictManager assigned;
  assigned.setDictionary(u"OTHER");
  assigned = manager;
  EXPECT_EQ(assigned.getEntryId(u"Door", id), 1);
}

TEST_F(Dictionaries, EntriesAreFoundOpenedRenamedAndErased) {
  CHvDictManager manager(u"MW_DOORS", db());
  addEntries(manager, {u"Door", u"Window"});
  OdDbObjectId door;
  EXPECT_EQ(manager.getEntryId(u"Door", door), 1);
  EXPECT_EQ(manager.getEntryId(u"Gate", door = db()->getLayerTableId()), 0);
  EXPECT_TRUE(door.isNull());
  ASSERT_EQ(manager.getEntryId(u"Door", door), 1);

  OdDbObject* opened = manager.getEntryObj(u"Door", OdDb::kForWrite);
  ASSERT_NE(opened, nullptr);
  EXPECT_TRUE(opened->isWriteEnabled());
  EXPECT_FALSE(manager.IsExistItem(u"Door"));  // held open for write by the caller
  EXPECT_EQ(opened->close(), eOk);
  EXPECT_TRUE(manager.IsExistItem(u"Door"));
  EXPECT_FALSE(manager.IsExistItem(u"Gate"));
  EXPECT_EQ(manager.getEntryObj(u"Gate", OdDb::kForRead), nullptr);

  EXPECT_EQ(manager.renameEntry(door, u"FrontDoor"), 1);
  EXPECT_EQ(entryNames(u"MW_DOORS"), (std::vector<std::u16string>{u"FrontDoor", u"Window"}));
  EXPECT_EQ(manager.renameEntry(db()->getLayerTableId(), u"Other"), 1);  // no entry: nothing renamed
  EXPECT_EQ(entryNames(u"MW_DOORS"), (std::vector<std::u16string>{u"FrontDoor", u"Window"}));

  EXPECT_EQ(manager.deleteEntry(u"FrontDoor"), 1);
  EXPECT_TRUE(door.isErased());
  EXPECT_EQ(manager.deleteEntry(u"FrontDoor"), 0);
  EXPECT_EQ(entryNames(u"MW_DOORS"), std::vector<std::u16string>{u"Window"});

  CHvDictManager missing(u"NO_SUCH", db());
  EXPECT_EQ(missing.renameEntry(door, u"X"), 0);
  EXPECT_EQ(missing.deleteEntry(u"Window"), 0);
  EXPECT_EQ(missing.getEntryId(u"Window", door), 0);
}

TEST_F(Dictionaries, EntryIdsReplaceTheArrayOnlyWhenTheDictionaryExists) {
  CHvDictManager manager(u"MW_DOORS", db());
  OdArray<OdDbObjectId> ids;
  ids.append(db()->getLayerTableId());
  EXPECT_EQ(manager.getEntryIds(ids), 0);
  ASSERT_EQ(ids.size(), 1u);
  EXPECT_EQ(ids[0], db()->getLayerTableId());

  addEntries(manager, {u"B", u"A", u"C"});
  OdDbObjectId b, a, c;
  manager.getEntryId(u"B", b);
  manager.getEntryId(u"A", a);
  manager.getEntryId(u"C", c);
  {
    // An entry that cannot be opened for read is left out.
    Opened<OdDbObject> held(a, OdDb::kForWrite);
    EXPECT_EQ(manager.getEntryIds(ids), 1);
    EXPECT_EQ(ids.size(), 2u);
  }
  EXPECT_EQ(manager.getEntryIds(ids), 1);
  ASSERT_EQ(ids.size(), 3u);
  EXPECT_EQ(ids[0], b);
  EXPECT_EQ(ids[1], a);
  EXPECT_EQ(ids[2], c);
}

TEST_F(Dictionaries, RemoveAllErasesTheEntriesAndTheDictionary) {
  CHvDictManager manager(u"MW_DOORS", db());
  EXPECT_EQ(manager.RemoveAll(), 0);
  addEntries(manager, {u"Door", u"Window"});
  OdDbObjectId door;
  manager.getEntryId(u"Door", door);
  const OdDbObjectId dictionary = dictionaryId(u"MW_DOORS");
  EXPECT_EQ(CHvDictManager::dictionaryExist(db(), u"MW_DOORS"), 1);
  EXPECT_EQ(manager.RemoveAll(), 1);
  EXPECT_TRUE(door.isErased());
  EXPECT_TRUE(dictionary.isErased());
  EXPECT_EQ(CHvDictManager::dictionaryExist(db(), u"MW_DOORS"), 0);
  EXPECT_EQ(manager.RemoveAll(), 0);
  // A later add makes the dictionary again.
  addEntries(manager, {u"Door"});
  EXPECT_EQ(CHvDictManager::dictionaryExist(db(), u"MW_DOORS"), 1);
}

TEST_F(Dictionaries, NewEntryNamesCountTheNamesThatContainTheBase) {
  struct Case {
    std::initializer_list<const OdChar*> entries;
    const OdChar* base;
    const OdChar* expected;
  } cases[] = {
      {{u"Door", u"Door-1", u"MyDoor"}, u"Door", u"Door-3"},
      {{u"Window", u"Gate"}, u"Door", u"Door"},
      {{}, u"Door", u"Door"},
      {{u"Door-1", u"Door-2"}, u"Door", u"Door-2"},       // may be taken already
      {{u"door", u"DOOR", u"Door"}, u"Door", u"Door-1"},  // with case
  };
  int round = 0;
  for (const Case& c : cases) {
    const std::u16string dictName = u"MW_NAMES" + std::u16string(1, static_cast<char16_t>(u'A' + round++));
    CHvDictManager manager(dictName.c_str(), db());
    for (const OdChar* name : c.entries) {
      OdDbObjectId id;
      HvDbUtils::AddObjectToDictionary(new OdDbXrecord(), dictName.c_str(), name, id);
      ASSERT_FALSE(id.isNull());
    }
    CString name(u"unchanged");
    EXPECT_EQ(manager.GetNewEntryName(c.base, name), 1);
    EXPECT_EQ(name, c.expected) << round;
  }
}

TEST_F(Dictionaries, ADrawingFileIsReadForItsDictionaries) {
  CHvDictManager manager(u"MW_DOORS", db());
  addEntries(manager, {u"Door"});
  ASSERT_EQ(db()->writeFile(u"C:\\plan.dxf"), eOk);
  std::ofstream(machine().host(u"C:\\notes.dwg")) << "not a drawing\n";

  EXPECT_EQ(CHvDictManager::dictionaryExist(u"C:\\plan.dxf", u"MW_DOORS"), 1);
  EXPECT_EQ(CHvDictManager::dictionaryExist(u"C:\\plan.dxf", u"MW_WINDOWS"), 0);
  EXPECT_EQ(CHvDictManager::dictionaryExist(u"C:\\missing.dxf", u"MW_DOORS"), 0);
  EXPECT_EQ(CHvDictManager::dictionaryExist(u"C:\\notes.dwg", u"MW_DOORS"), 0);
}

}  // namespace
