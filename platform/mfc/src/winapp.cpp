// The application object and the module handles the framework keeps.
//
// The one application object registers itself when it is constructed (a
// global, so before main runs, on the thread that runs the program) and is
// found by AfxGetApp from then on. The resource module is process-wide state
// that any thread may read, hence atomic.
#include "winapp.h"

#include <atomic>
#include <string>

#include "afxwin.h"
#include "misuse.h"

namespace {

std::atomic<CWinApp*> g_app{nullptr};
std::atomic<HINSTANCE> g_resourceModule{nullptr};

/// The program's file name without folder and extension, from its module
/// path (which may be longer than MAX_PATH: the buffer grows until it fits).
CString programTitle() {
  std::u16string path(MAX_PATH, u'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return CString();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const auto slash = path.find_last_of(u"\\/");
  std::u16string name = slash == std::u16string::npos ? path : path.substr(slash + 1);
  if (const auto dot = name.rfind(u'.'); dot != std::u16string::npos && dot > 0) name.resize(dot);
  return CString(name.c_str());
}

}  // namespace

const CRuntimeClass CWinApp::runtimeClass = CRuntimeClass::Described<CWinApp, CWinThread>("CWinApp");

CWinApp::CWinApp(LPCWSTR lpszAppName) {
  if (lpszAppName) m_givenName = lpszAppName;
  // The application is a global, not a thread the library started.
  m_nThreadID = GetCurrentThreadId();
  m_bAutoDelete = FALSE;
  CWinApp* expected = nullptr;
  if (!g_app.compare_exchange_strong(expected, this)) winsim::mfc::reportMisuse("a second CWinApp object");
}

CWinApp::~CWinApp() {
  CWinApp* self = this;
  g_app.compare_exchange_strong(self, nullptr);
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  // Without a main window nothing would ever end the loop: it handles what
  // is queued and ends.
  if (!m_pMainWnd) PostQuitMessage(0);
  return CWinThread::Run();
}

int CWinApp::ExitInstance() { return CWinThread::ExitInstance(); }

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow) {
  CWinApp* app = g_app.load();
  if (!app) return FALSE;
  app->m_hInstance = hInstance;
  app->m_lpCmdLine = lpCmdLine;
  app->m_nCmdShow = nCmdShow;
  app->m_exeName = programTitle();
  app->m_title = app->m_givenName.IsEmpty() ? app->m_exeName : app->m_givenName;
  app->m_pszExeName = app->m_exeName;
  app->m_pszAppName = app->m_title;
  return TRUE;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow) {
  CWinApp* app = g_app.load();
  if (!app || !AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow)) return -1;
  if (!app->InitInstance()) return app->ExitInstance();
  return app->Run();
}

CWinApp* AfxGetApp() { return g_app.load(); }

LPCWSTR AfxGetAppName() {
  CWinApp* app = g_app.load();
  return app ? app->m_pszAppName : nullptr;
}

HINSTANCE AfxGetResourceHandle() {
  HINSTANCE module = g_resourceModule.load();
  return module ? module : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource) { g_resourceModule.store(hInstResource); }

HINSTANCE AfxGetInstanceHandle() {
  CWinApp* app = g_app.load();
  return app && app->m_hInstance ? app->m_hInstance : GetModuleHandleW(nullptr);
}

HINSTANCE AfxLoadLibrary(LPCWSTR lpszModuleName) { return LoadLibraryW(lpszModuleName); }

BOOL AfxFreeLibrary(HINSTANCE hInstLib) { return FreeLibrary(hInstLib); }

namespace winsim::mfc {

CString messageBoxCaption() {
  if (LPCWSTR name = AfxGetAppName(); name && *name) return CString(name);
  return programTitle();
}

}  // namespace winsim::mfc
