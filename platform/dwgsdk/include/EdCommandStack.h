// The host's command stack: commands registered by group; a group is removed
// whole when its module unloads.
#pragma once

#include <memory>

#include "OdArray.h"
#include "OdResult.h"
#include "RxObject.h"

/// What the host hands a command when it runs it; the host derives from it.
class OdEdCommandContext : public OdRxObject {
  ODRX_DECLARE_MEMBERS(OdEdCommandContext);
};

class OdEdCommand : public OdRxObject {
  ODRX_DECLARE_MEMBERS(OdEdCommand);
  enum Flags { kModal = 0, kTransparent = 1, kUsePickSet = 2, kRedraw = 4, kNoUndoMarker = 8 };

  virtual const OdString groupName() const = 0;
  virtual const OdString globalName() const = 0;
  virtual const OdString localName() const;
  virtual OdInt32 flags() const;
  virtual void execute(OdEdCommandContext* context) = 0;
};
using OdEdCommandPtr = OdSmartPtr<OdEdCommand>;

/// A command given as a plain function, as modules register theirs.
using OdEdCommandFunction = void (*)();

class OdEdCommandStack : public OdRxObject {
  ODRX_DECLARE_MEMBERS(OdEdCommandStack);
  OdEdCommandStack();
  ~OdEdCommandStack() override;

  /// Adds a command to its group; eDuplicateKey when the group already has a
  /// command of that global name, eInvalidInput for empty names.
  OdResult addCommand(OdEdCommand* command);
  OdResult addCommand(const OdChar* groupName, const OdChar* globalName, const OdChar* localName, OdInt32 flags,
                      OdEdCommandFunction function);
  /// Finds a command by global or local name (without case), searching the
  /// groups from the most recently added, or only `groupName` when given.
  OdEdCommandPtr lookupCmd(const OdString& name, const OdString& groupName = OdString()) const;
  OdResult removeCmd(const OdString& groupName, const OdString& globalName);
  /// Removes a group and its commands; eKeyNotFound when there is no such group.
  OdResult removeGroup(const OdString& groupName);
  bool hasGroup(const OdString& groupName) const;
  /// The commands of a group, in the order they were added.
  OdArray<OdEdCommandPtr> commandsOfGroup(const OdString& groupName) const;

  void addRef() override;
  void release() override;
  long numRefs() const override;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};
using OdEdCommandStackPtr = OdSmartPtr<OdEdCommandStack>;

/// The host's command stack, with a reference for the caller to release.
OdEdCommandStackPtr odedRegCmds();
