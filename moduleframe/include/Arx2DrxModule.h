// Arx2DrxModule: the module object's base. It turns the SDK's module
// operations into messages for the module's entry function, which it finds
// by name in the module's own export table.
#pragma once

#include "RxModule.h"
#include "moduleframe.h"

class KXRX_FRAME_INTERNAL Arx2DrxModule : public OdRxExtendModule {
 public:
  Arx2DrxModule() = default;
  ~Arx2DrxModule() override;
  Arx2DrxModule(const Arx2DrxModule&) = delete;
  Arx2DrxModule& operator=(const Arx2DrxModule&) = delete;

  /// The base counts nothing; OdRxWin32Module does.
  void addRef() override {}
  void release() override {}
  void onFinalRelease() override {}

  void* sysData() override = 0;
  void deleteModule() override = 0;
  /// Message 1 (kInitAppMsg), with this module object as the packet.
  void initApp() override;
  /// Message 2 (kUnloadAppMsg), with this module object as the packet.
  void uninitApp() override;
  OdString moduleName() const override = 0;

  /// Sends a message to the module's entry function: "kxrxEntryPoint", else
  /// "acrxEntryPoint", looked up once in the module of sysData(). Its result,
  /// or 3 (kRetError) when the module has neither.
  virtual int dispatchMessage(int message, void* packet);

 private:
  KxrxEntryFunction m_entryPoint = nullptr;
};
