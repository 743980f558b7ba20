// The host's command stack: groups of commands, searched from the newest group.
#include <atomic>
#include <mutex>

#include "EdCommandStack.h"
#include "internals.h"
#include "winsim/text.h"

ODRX_DEFINE_RTTI(OdEdCommandContext, OdRxObject, u"OdEdCommandContext", nullptr, nullptr)
ODRX_DEFINE_RTTI(OdEdCommand, OdRxObject, u"OdEdCommand", nullptr, nullptr)
ODRX_DEFINE_RTTI(OdEdCommandStack, OdRxObject, u"OdEdCommandStack", nullptr, nullptr)

const OdString OdEdCommand::localName() const { return globalName(); }
OdInt32 OdEdCommand::flags() const { return kModal; }

namespace {

/// A command made from a plain function.
class FunctionCommand : public OdEdCommand {
 public:
  FunctionCommand(OdString group, OdString global, OdString local, OdInt32 flags, OdEdCommandFunction function)
      : m_group(std::move(group)),
        m_global(std::move(global)),
        m_local(std::move(local)),
        m_flags(flags),
        m_function(function) {}
  const OdString groupName() const override { return m_group; }
  const OdString globalName() const override { return m_global; }
  const OdString localName() const override { return m_local.isEmpty() ? m_global : m_local; }
  OdInt32 flags() const override { return m_flags; }
  void execute(OdEdCommandContext*) override {
    if (m_function) m_function();
  }

 private:
  OdString m_group, m_global, m_local;
  OdInt32 m_flags;
  OdEdCommandFunction m_function;
};

struct Group {
  OdString name;
  std::vector<OdEdCommandPtr> commands;
};

}  // namespace

struct OdEdCommandStack::State {
  mutable std::mutex mutex;
  std::vector<Group> groups;  // oldest first
  std::atomic<long> refs{1};

  Group* group(const OdString& name) {
    for (auto& g : groups)
      if (winsim::equalsNoCase(g.name.view(), name.view())) return &g;
    return nullptr;
  }
};

OdEdCommandStack::OdEdCommandStack() : m_state(std::make_unique<State>()) {}
OdEdCommandStack::~OdEdCommandStack() = default;

void OdEdCommandStack::addRef() { ++m_state->refs; }
// The stack lives as long as the host; the count only tells who holds it.
void OdEdCommandStack::release() {
  if (m_state->refs > 0) --m_state->refs;
}
long OdEdCommandStack::numRefs() const { return m_state->refs; }

OdResult OdEdCommandStack::addCommand(OdEdCommand* command) {
  if (!command) return eNullObjectPointer;
  OdString group = command->groupName();
  OdString global = command->globalName();
  if (group.isEmpty() || global.isEmpty()) return eInvalidInput;
  std::lock_guard lock(m_state->mutex);
  Group* g = m_state->group(group);
  if (!g) {
    m_state->groups.push_back(Group{group, {}});
    g = &m_state->groups.back();
  }
  for (auto& c : g->commands)
    if (winsim::equalsNoCase(c->globalName().view(), global.view())) return eDuplicateKey;
  g->commands.push_back(OdEdCommandPtr(command));
  return eOk;
}

OdResult OdEdCommandStack::addCommand(const OdChar* groupName, const OdChar* globalName, const OdChar* localName,
                                      OdInt32 flags, OdEdCommandFunction function) {
  if (!function) return eInvalidInput;
  OdEdCommandPtr command(new OdRxObjectImpl<FunctionCommand>(groupName, globalName, localName, flags, function),
                         kOdRxObjAttach);
  return addCommand(command.get());
}

OdEdCommandPtr OdEdCommandStack::lookupCmd(const OdString& name, const OdString& groupName) const {
  std::lock_guard lock(m_state->mutex);
  for (auto g = m_state->groups.rbegin(); g != m_state->groups.rend(); ++g) {
    if (!groupName.isEmpty() && !winsim::equalsNoCase(g->name.view(), groupName.view())) continue;
    for (auto& c : g->commands)
      if (winsim::equalsNoCase(c->globalName().view(), name.view())) return c;
    for (auto& c : g->commands)
      if (winsim::equalsNoCase(c->localName().view(), name.view())) return c;
  }
  return {};
}

OdResult OdEdCommandStack::removeCmd(const OdString& groupName, const OdString& globalName) {
  std::lock_guard lock(m_state->mutex);
  Group* g = m_state->group(groupName);
  if (!g) return eKeyNotFound;
  for (auto it = g->commands.begin(); it != g->commands.end(); ++it) {
    if (winsim::equalsNoCase((*it)->globalName().view(), globalName.view())) {
      g->commands.erase(it);
      return eOk;
    }
  }
  return eKeyNotFound;
}

OdResult OdEdCommandStack::removeGroup(const OdString& groupName) {
  std::vector<OdEdCommandPtr> released;  // released after the lock: a command may reach the stack when it goes
  {
    std::lock_guard lock(m_state->mutex);
    for (auto it = m_state->groups.begin(); it != m_state->groups.end(); ++it) {
      if (winsim::equalsNoCase(it->name.view(), groupName.view())) {
        released = std::move(it->commands);
        m_state->groups.erase(it);
        return eOk;
      }
    }
  }
  return eKeyNotFound;
}

bool OdEdCommandStack::hasGroup(const OdString& groupName) const {
  std::lock_guard lock(m_state->mutex);
  return m_state->group(groupName) != nullptr;
}

OdArray<OdEdCommandPtr> OdEdCommandStack::commandsOfGroup(const OdString& groupName) const {
  std::lock_guard lock(m_state->mutex);
  OdArray<OdEdCommandPtr> result;
  if (Group* g = m_state->group(groupName))
    for (auto& c : g->commands) result.append(c);
  return result;
}

OdEdCommandStackPtr odedRegCmds() {
  static OdEdCommandStack stack;
  return OdEdCommandStackPtr(&stack);
}
