// Looking entries up in a message map and its bases' maps, and the command
// routing of command targets.
#include "afxmsgmap.h"
#include "afxwnd.h"

const CMessageEntry* CMessageMap::findMessage(winsim::mfc::EntryKind kind, UINT message) const {
  for (const CMessageMap* map = this; map; map = map->m_base)
    for (const CMessageEntry& entry : map->m_entries)
      if (entry.kind() == kind && entry.takesMessage(message)) return &entry;
  return nullptr;
}

const CMessageEntry* CMessageMap::findCommand(UINT id, WORD code) const {
  for (const CMessageMap* map = this; map; map = map->m_base)
    for (const CMessageEntry& entry : map->m_entries)
      if (entry.kind() == winsim::mfc::EntryKind::Command && entry.takesCommand(id, code)) return &entry;
  return nullptr;
}

const CMessageEntry* CMessageMap::findReflectedCommand(WORD code) const {
  for (const CMessageMap* map = this; map; map = map->m_base)
    for (const CMessageEntry& entry : map->m_entries)
      if (entry.kind() == winsim::mfc::EntryKind::ReflectedCommand && entry.takesReflectedCommand(code)) return &entry;
  return nullptr;
}

const CRuntimeClass CCmdTarget::runtimeClass = CRuntimeClass::Described<CCmdTarget, CObject>("CCmdTarget");

const CMessageMap& CCmdTarget::GetMessageMap() const {
  static const CMessageMap map(nullptr, {});
  return map;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void*, AFX_CMDHANDLERINFO*) {
  const CMessageEntry* entry = GetMessageMap().findCommand(nID, static_cast<WORD>(nCode));
  if (!entry) return FALSE;
  LRESULT result = 0;
  const winsim::mfc::MessageCall call{WM_COMMAND, MAKEWPARAM(static_cast<WORD>(nID), static_cast<WORD>(nCode)), 0};
  return entry->invoke(*this, call, result) ? TRUE : FALSE;
}
