// Dictionaries: name -> object maps that own their entries, kept in the order
// entries were added; keys compare without case. The database's named-object
// dictionary is the root of all of them. Xrecords carry application data.
#pragma once

#include "DbObject.h"

class OdDbDictionary;

/// Walks the live entries of a dictionary in the order they were added.
class OdDbDictionaryIterator {
 public:
  ~OdDbDictionaryIterator();
  OdString name() const;
  OdDbObjectId objectId() const;
  OdResult getObject(OdDbObject*& object, OdDb::OpenMode mode = OdDb::kForRead) const;
  bool done() const;
  /// Steps to the next entry; false at the end.
  bool next();

 private:
  friend class OdDbDictionary;
  explicit OdDbDictionaryIterator(const OdDbDictionary* dictionary);
  void skipErased();
  const OdDbDictionary* m_dictionary;
  std::size_t m_index = 0;
};

class OdDbDictionary : public OdDbObject {
  ODDB_DECLARE_MEMBERS(OdDbDictionary);
  OdDbDictionary();
  ~OdDbDictionary() override;

  /// eKeyNotFound (26) for a missing key (an erased entry counts as missing).
  OdResult getAt(const OdString& key, OdDbObjectId& id) const;
  OdDbObjectId getAt(const OdString& key) const;
  OdResult getAt(const OdString& key, OdDbObject*& object, OdDb::OpenMode mode) const;
  /// The key of an entry; eKeyNotFound when the id is no entry here.
  OdResult nameAt(const OdDbObjectId& id, OdString& key) const;
  bool has(const OdString& key) const;
  bool has(const OdDbObjectId& id) const;
  OdUInt32 numEntries() const;

  /// Stores `value` under `key` (the dictionary open for write). An object of
  /// no database is added to the dictionary's database and stays open for
  /// write; an entry of the same key is replaced and its object erased.
  /// eInvalidKey for an empty key, eWrongDatabase, eSelfReference (the
  /// dictionary itself or one that holds it), eNullObjectPointer.
  OdResult setAt(const OdString& key, OdDbObject* value, OdDbObjectId& id);
  OdDbObjectId setAt(const OdString& key, OdDbObject* value);
  /// Takes the entry out (the object is not erased and now has no owner).
  OdResult remove(const OdString& key);
  OdResult remove(const OdString& key, OdDbObjectId& id);
  OdResult remove(const OdDbObjectId& id);
  /// Renames an entry; false when the old key is missing or the new one taken.
  bool setName(const OdString& oldName, const OdString& newName);
  /// The caller deletes the iterator.
  OdDbDictionaryIterator* newIterator() const;

 protected:
  OdDbDictionary(const OdDbDictionary& other);

 private:
  friend struct OdDbInternals;
  friend class OdDbDictionaryIterator;
  struct Entries;
  std::unique_ptr<Entries> m_entries;
  OdInt16 m_cloning = 1;  // DXF 281, the merge style
};

/// Application data as a chain of result buffers with DXF group codes.
class OdDbXrecord : public OdDbObject {
  ODDB_DECLARE_MEMBERS(OdDbXrecord);
  OdDbXrecord();
  ~OdDbXrecord() override;

  /// A fresh copy of the data (null when empty); the caller releases it.
  OdResult rbChain(resbuf** chain) const;
  /// Replaces the data. Codes 1-369 and 370-1071 are taken except 5, 100,
  /// 102, 105 and the pointer codes 330-369 (eInvalidInput).
  OdResult setFromRbChain(const resbuf* chain);

 protected:
  OdDbXrecord(const OdDbXrecord& other);

 private:
  friend struct OdDbInternals;
  struct Items;
  std::unique_ptr<Items> m_items;
};
