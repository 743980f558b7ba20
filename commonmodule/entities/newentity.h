// What the creation functions share: the entity under construction is the
// function's until the database takes it.
#pragma once

#include <memory>

#include "DbEntity.h"
#include "HvDbUtilsTables.h"

namespace mwcommon {

/// Adds a new entity to the current space and returns its id. The entity is
/// freed when the database does not take it, so a failed append leaves
/// nothing behind; the null id then.
template <class T>
OdDbObjectId addToCurrentSpace(std::unique_ptr<T> entity, OdDbDatabase* database) {
  OdDbObjectId id;
  if (HvDbUtils::AddToCurrentSpace(entity.get(), id, database)) entity.release();
  return id;
}

/// The same with an explicit block name (AppendEntity).
template <class T>
OdDbObjectId appendEntity(std::unique_ptr<T> entity, const OdChar* blockName, OdDbDatabase* database) {
  OdDbObjectId id;
  if (HvDbUtils::AppendEntity(entity.get(), id, blockName, database)) entity.release();
  return id;
}

}  // namespace mwcommon
