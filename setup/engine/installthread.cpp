#include "installthread.h"

#include "installprocedure.h"
#include "setupmessages.h"

const CRuntimeClass CInstallThread::runtimeClass =
    CRuntimeClass::Creatable<CInstallThread, CWinThread>("CInstallThread");

const CMessageMap& CInstallThread::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CInstallThread>(CWinThread::GetMessageMap())
                                     .onThreadMessage(WM_SETUP_START, &CInstallThread::OnStartInstall);
  return map;
}

BOOL CInstallThread::InitInstance() { return TRUE; }

void CInstallThread::OnStartInstall(WPARAM, LPARAM lParam) { ::OnStartInstall(reinterpret_cast<HWND>(lParam)); }
