// Handles as text, object ids, enames, the handle map and the stub arena.
#include <map>
#include <mutex>

#include "internals.h"

OdDbHandle& OdDbHandle::operator=(const OdChar* hexText) {
  m_value = 0;
  if (!hexText) return *this;
  OdUInt64 value = 0;
  int digits = 0;
  for (const OdChar* p = hexText; *p; ++p) {
    OdChar c = *p;
    int d;
    if (c >= u'0' && c <= u'9')
      d = c - u'0';
    else if (c >= u'a' && c <= u'f')
      d = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
      d = c - u'A' + 10;
    else
      return *this;  // not a handle: the null handle
    if (++digits > 16) return *this;
    value = value << 4 | static_cast<OdUInt64>(d);
  }
  m_value = value;
  return *this;
}

void OdDbHandle::getIntoAsciiBuffer(OdChar* buffer, std::size_t bufferLength) const {
  if (!buffer || bufferLength == 0) return;
  OdChar digits[17];
  int n = 0;
  OdUInt64 v = m_value;
  do {
    int d = static_cast<int>(v & 0xF);
    digits[n++] = static_cast<OdChar>(d < 10 ? u'0' + d : u'A' + d - 10);
    v >>= 4;
  } while (v);
  std::size_t written = 0;
  while (n > 0 && written + 1 < bufferLength) buffer[written++] = digits[--n];
  buffer[written] = 0;
}

OdString OdDbHandle::ascii() const {
  OdChar buffer[17];
  getIntoAsciiBuffer(buffer, 17);
  return OdString(buffer);
}

const OdDbObjectId OdDbObjectId::kNull;

bool OdDbObjectId::isValid() const { return m_stub && m_stub->object; }
bool OdDbObjectId::isErased() const { return m_stub && m_stub->object && m_stub->object->isErased(); }
OdDbDatabase* OdDbObjectId::database() const { return m_stub ? m_stub->database->owner : nullptr; }
OdDbHandle OdDbObjectId::getHandle() const { return m_stub ? OdDbHandle(m_stub->handle) : OdDbHandle(); }

OdResult OdDbObjectId::openObject(OdDbObject*& object, OdDb::OpenMode mode, bool openErased) const {
  return oddbOpenObject(object, *this, mode, openErased);
}

bool operator<(const OdDbObjectId& a, const OdDbObjectId& b) {
  if (!a.m_stub || !b.m_stub) return a.m_stub < b.m_stub;
  if (a.m_stub->database != b.m_stub->database) return a.m_stub->database < b.m_stub->database;
  return a.m_stub->handle < b.m_stub->handle;
}

// Enames name a database by its serial number, so an ename of a database
// that is gone, or two words of garbage, are refused rather than followed.
namespace {
std::mutex gDatabasesMutex;
std::map<OdUInt64, OdDbDatabaseImpl*>& databases() {
  static std::map<OdUInt64, OdDbDatabaseImpl*> map;
  return map;
}
OdUInt64 gNextSerial = 1;
}  // namespace

OdUInt64 registerDatabase(OdDbDatabaseImpl* impl) {
  std::lock_guard lock(gDatabasesMutex);
  OdUInt64 serial = gNextSerial++;
  databases()[serial] = impl;
  return serial;
}

void unregisterDatabase(OdUInt64 serial) {
  std::lock_guard lock(gDatabasesMutex);
  databases().erase(serial);
}

OdResult oddbGetAdsName(ads_name& name, const OdDbObjectId& id) {
  name[0] = name[1] = 0;
  OdDbStub* stub = id.stub();
  if (!stub) return eNullObjectId;
  if (stub->handle == 0) return eNullHandle;
  name[0] = static_cast<OdInt64>(stub->database->serial);
  name[1] = static_cast<OdInt64>(stub->handle);
  return eOk;
}

OdResult oddbGetObjectId(OdDbObjectId& id, const ads_name name) {
  id = OdDbObjectId::kNull;
  if (!name) return eInvalidInput;
  std::lock_guard lock(gDatabasesMutex);
  auto it = databases().find(static_cast<OdUInt64>(name[0]));
  if (it == databases().end()) return eInvalidInput;
  OdDbStub* stub = it->second->find(static_cast<OdUInt64>(name[1]));
  if (!stub || !stub->object) return eInvalidInput;
  id = OdDbObjectId(stub);
  return eOk;
}

static std::size_t slotOf(OdUInt64 handle, std::size_t mask) {
  return static_cast<std::size_t>((handle * 0x9E3779B97F4A7C15ull) >> 17) & mask;
}

OdDbStub* HandleMap::find(OdUInt64 handle) const {
  if (m_slots.empty() || handle == 0) return nullptr;
  std::size_t mask = m_slots.size() - 1;
  for (std::size_t i = slotOf(handle, mask);; i = (i + 1) & mask) {
    const Slot& s = m_slots[i];
    if (!s.stub) return nullptr;
    if (s.handle == handle) return s.stub;
  }
}

void HandleMap::insert(OdDbStub* stub) {
  if ((m_count + 1) * 10 > m_slots.size() * 7) rehash(m_slots.empty() ? 1024 : m_slots.size() * 2);
  std::size_t mask = m_slots.size() - 1;
  std::size_t i = slotOf(stub->handle, mask);
  while (m_slots[i].stub) i = (i + 1) & mask;
  m_slots[i] = Slot{stub->handle, stub};
  ++m_count;
}

void HandleMap::reserve(std::size_t count) {
  std::size_t slots = m_slots.empty() ? 1024 : m_slots.size();
  while (count * 10 > slots * 7) slots *= 2;
  if (slots > m_slots.size()) rehash(slots);
}

void HandleMap::rehash(std::size_t slots) {
  std::vector<Slot> old = std::move(m_slots);
  m_slots.assign(slots, Slot{0, nullptr});
  std::size_t mask = m_slots.size() - 1;
  for (const Slot& s : old) {
    if (!s.stub) continue;
    std::size_t i = slotOf(s.handle, mask);
    while (m_slots[i].stub) i = (i + 1) & mask;
    m_slots[i] = s;
  }
}

OdDbStub* StubArena::allocate() {
  if (m_used == kChunk) {
    m_chunks.push_back(std::make_unique<OdDbStub[]>(kChunk));
    m_used = 0;
  }
  return &m_chunks.back()[m_used++];
}
