// Named dictionaries: application objects kept under names in dictionaries
// that are entries of a drawing's named-object dictionary.
//
//   named-object dictionary
//     DICTIONARY NAME  -> an OdDbDictionary made on first use
//       ENTRY NAME     -> an application object (any OdDbObject)
//
// Nothing here prints or shows a message: failures come back as results
// (0, false, null or the null id) and leave the drawing as it was, except that
// a dictionary made while adding stays even when the add then fails.
#pragma once

#include "DbDictionary.h"
#include "MWCommonModuleApi.h"
#include "OdArray.h"
#include "afxstr.h"

class OdDbDatabase;

namespace HvDbUtils {

/// The id of entry `entryName` of dictionary `dictName`; `id` becomes the
/// null id first and stays so when the dictionary or the entry is missing.
/// A null database means the working database.
MWCOMMONMODULE_API void GetObjectIdFromDictionary(const OdChar* dictName, const OdChar* entryName, OdDbObjectId& id,
                                                  OdDbDatabase* database = nullptr);

/// Stores `object` as entry `entryName` of dictionary `dictName` (making the
/// dictionary when it is missing) and closes it; `id` is the new entry's id,
/// or the null id when nothing was stored (the object then stays the
/// caller's). An entry of the same name is replaced, not tested for first. A
/// null object does nothing; a null database means the working database.
MWCOMMONMODULE_API void AddObjectToDictionary(OdDbObject* object, const OdChar* dictName, const OdChar* entryName,
                                              OdDbObjectId& id, OdDbDatabase* database = nullptr);

}  // namespace HvDbUtils

/// A handle on one named dictionary of one database. A null database given to
/// the constructor or to SetDb is replaced at that moment by the working
/// database of the time (null when no drawing is open); the members that need
/// a database then give 0 (or false, or null). Only addEntry locks a document
/// (the current one); the other members rely on the caller's document context.
class MWCOMMONMODULE_API CHvDictManager {
 public:
  explicit CHvDictManager(OdDbDatabase* database = nullptr);
  CHvDictManager(const OdChar* dictName, OdDbDatabase* database);
  CHvDictManager(const CHvDictManager& other);
  CHvDictManager& operator=(const CHvDictManager& other);
  virtual ~CHvDictManager();

  void setDictionary(const OdChar* dictName);
  void SetDb(OdDbDatabase* database);

  /// Adds `object` as entry `name`, making the dictionary when it is missing;
  /// the current document is locked for write meanwhile. The object is handed
  /// over whatever happens: it becomes the entry and is closed when the name
  /// is free; it is deleted when the name is taken (`id` is then the existing
  /// entry's), when it cannot be stored, or when the result is 0. (An object
  /// that already belongs to a database is closed instead of deleted.) 1 when
  /// the dictionary could be reached, else 0.
  int addEntry(const OdChar* name, OdDbObject* object, OdDbObjectId& id);
  /// As above, with the name made of `base` and `number` ("Door" and 3 give "Door3").
  int addEntry(const OdChar* base, int number, OdDbObject* object, OdDbObjectId& id);

  /// 1 when the named-object dictionary of `database` holds `dictName` (a null
  /// database gives 0).
  static int dictionaryExist(OdDbDatabase* database, const OdChar* dictName);
  /// 1 when the drawing file at `path` can be read and holds dictionary `dictName`.
  static int dictionaryExist(const OdChar* path, const OdChar* dictName);

  /// 1 and the entry's id when entry `name` exists; 0 and the null id otherwise.
  int getEntryId(const OdChar* name, OdDbObjectId& id) const;
  /// Entry `name` open in `mode` (the caller closes it), or null.
  OdDbObject* getEntryObj(const OdChar* name, OdDb::OpenMode mode) const;
  /// Whether entry `name` exists (the dictionary and the entry are opened for
  /// write to find out, so an entry open elsewhere counts as missing).
  bool IsExistItem(const OdChar* name) const;
  /// 1 when entry `name` was erased, 0 when it was not found.
  int deleteEntry(const OdChar* name);
  /// Erases every entry and then the dictionary itself; 1 when it existed.
  int RemoveAll();
  /// Empties `ids` and fills it with the id of every entry that can be opened
  /// for read, in the dictionary's order; 1. Without the dictionary: `ids` is
  /// left as it was, 0.
  int getEntryIds(OdArray<OdDbObjectId>& ids) const;
  /// Gives the entry with id `entryId` the name `newName`; 1 when the
  /// dictionary exists (whether or not the id was one of its entries), else 0.
  int renameEntry(OdDbObjectId entryId, const OdChar* newName);
  /// A name for a new entry: `base` itself when no entry name contains it
  /// (case-sensitive), else "base-N" with N the number of names that do. The
  /// name may be taken already (entries Door-1 and Door-2 alone give Door-2).
  /// Always 1.
  int GetNewEntryName(const OdChar* base, CString& newName) const;

 private:
  CString m_dictName;
  OdDbDatabase* m_database = nullptr;
};
