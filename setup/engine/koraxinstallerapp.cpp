#include "koraxinstallerapp.h"

#include <memory>

#include "commctrl.h"
#include "environmentchecks.h"
#include "flows.h"
#include "installedstate.h"
#include "msilibrary.h"
#include "setupini.h"
#include "setupstate.h"
#include "setuptext.h"
#include "winsim/machine.h"

namespace {

constexpr WCHAR kTextLibraryName[] = u"IntallerRes.dll";

/// The single-instance mutex, held until the flow has ended (released on
/// every way out of the start-up, as the process's end would release it).
class InstanceMutex {
 public:
  InstanceMutex() = default;
  ~InstanceMutex() {
    if (m_handle) CloseHandle(m_handle);
  }
  InstanceMutex(const InstanceMutex&) = delete;
  InstanceMutex& operator=(const InstanceMutex&) = delete;

  /// Creates (owning) or opens the mutex of that name; false when another
  /// setup has created it already.
  bool acquire(LPCWSTR name) {
    m_handle = CreateMutexW(nullptr, TRUE, name);
    return !(m_handle && GetLastError() == ERROR_ALREADY_EXISTS);
  }

 private:
  HANDLE m_handle = nullptr;
};

void refuse(UINT textId, const WCHAR* fallback) { AfxMessageBox(GetSetupText(textId, fallback)); }

}  // namespace

CKoraxInstallerApp::CKoraxInstallerApp(SetupPages& pages) : m_pages(pages) {
  winsim::setProgramBitness(winsim::Bitness::Bits32);
}

BOOL CKoraxInstallerApp::InitInstance() {
  AfxInitRichEdit2();  // the licence page's text control
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
  CWinApp::InitInstance();

  // Every template, bitmap and icon the pages load comes from the resource
  // library from here on; a library that cannot be loaded shows itself later,
  // as texts in English and pages that do not appear.
  m_savedResourceHandle = AfxGetResourceHandle();
  AfxSetResourceHandle(LoadLibraryW(kTextLibraryName));
  AfxEnableControlContainer();  // the HTML pages host the browser control
  const auto shellManager = std::make_unique<CShellManager>();

  run();
  return FALSE;
}

void CKoraxInstallerApp::run() {
  CSetupState& state = SetupState();
  state.os64 = IsNative64BitSystem();

  if (!IsRunAsAdministrator()) return refuse(IDS_NOT_ADMINISTRATOR, kFallbackNotAdministrator);

  // The name has no namespace prefix: the test applies within the user's
  // logon, which is where a second setup would be started.
  InstanceMutex mutex;
  if (!mutex.acquire(GetSetupText(IDS_MUTEX_NAME, kFallbackMutexName)))
    return refuse(IDS_ALREADY_RUNNING, kFallbackAlreadyRunning);

  if (FindRunningViewer() != 0) return refuse(IDS_VIEWER_RUNNING, kFallbackViewerRunning);

  if (!ReadSetupIni()) {
    AfxMessageBox(kMissingSetupIniMessage);
    return;
  }
  ReadInstalledState();

  if (!state.os64 && state.package64 == 1) return refuse(IDS_64BIT_ON_32BIT_SYSTEM, kFallback64BitOn32BitSystem);
  if (state.installedFound && state.package64 == 0 && state.os64 && state.installed64)
    return refuse(IDS_64BIT_INSTALLED, kFallback64BitInstalled);
  if (state.installedFound && state.package64 != 0 && !state.installed64)
    return refuse(IDS_32BIT_INSTALLED, kFallback32BitInstalled);

  ParseCommandLine(GetCommandLineW(), m_arguments);
  RunChosenFlow(m_arguments, m_pages);
}

int CKoraxInstallerApp::ExitInstance() {
  FreeMsiLibrary();
  AfxSetResourceHandle(m_savedResourceHandle);
  return CWinApp::ExitInstance();
}
