#include "Arx2DrxModule.h"

#include "win32/module.h"

Arx2DrxModule::~Arx2DrxModule() { m_entryPoint = nullptr; }

void Arx2DrxModule::initApp() { dispatchMessage(KxRx::kInitAppMsg, this); }

void Arx2DrxModule::uninitApp() { dispatchMessage(KxRx::kUnloadAppMsg, this); }

int Arx2DrxModule::dispatchMessage(int message, void* packet) {
  if (!m_entryPoint) {
    if (const auto module = static_cast<HMODULE>(sysData())) {
      FARPROC entry = GetProcAddress(module, "kxrxEntryPoint");
      if (!entry) entry = GetProcAddress(module, "acrxEntryPoint");
      m_entryPoint = reinterpret_cast<KxrxEntryFunction>(entry);
    }
  }
  if (m_entryPoint) return m_entryPoint(message, packet);
  return KxRx::kRetError;
}
