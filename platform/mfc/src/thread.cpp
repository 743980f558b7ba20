// User-interface threads: starting one with a message queue before the
// creator goes on, its message loop and thread-message dispatch, and the
// kernel object that its handle names.
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "afxwin.h"
#include "threadstate.h"
#include "winsim/waitable.h"

using winsim::mfc::threadMaps;
using winsim::mfc::threadState;

namespace {

/// What m_hThread names: the thread's start, its suspension before it runs
/// and its end, which WaitForSingleObject waits for.
class ThreadObject : public winsim::Waitable {
 public:
  explicit ThreadObject(bool suspended) : m_suspendCount(suspended ? 1 : 0) {}

  DWORD wait(DWORD milliseconds) override {
    std::unique_lock lock(m_mutex);
    const auto ended = [&] { return m_ended; };
    if (milliseconds == INFINITE) {
      m_changed.wait(lock, ended);
      return WAIT_OBJECT_0;
    }
    return m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), ended) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
  }

  void started() {
    std::lock_guard lock(m_mutex);
    m_started = true;
    m_changed.notify_all();
  }
  void waitUntilStarted() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_started; });
  }
  void waitUntilResumed() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_suspendCount == 0; });
  }
  /// The count before; 0xFFFFFFFF once the thread runs on its own.
  DWORD resume() {
    std::lock_guard lock(m_mutex);
    if (m_suspendCount == 0) return 0;
    const DWORD before = m_suspendCount--;
    if (m_suspendCount == 0) m_changed.notify_all();
    return before;
  }
  void ended() {
    std::lock_guard lock(m_mutex);
    m_ended = true;
    m_changed.notify_all();
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  DWORD m_suspendCount;
  bool m_started = false;
  bool m_ended = false;
};

/// Messages that are followed by idle time: not the ones the queue makes
/// while idle (paint, timers).
bool isIdleMessage(const MSG& msg) {
  return msg.message != WM_PAINT && msg.message != WM_TIMER && msg.message != 0x0118;
}

}  // namespace

const CRuntimeClass CWinThread::runtimeClass = CRuntimeClass::Described<CWinThread, CCmdTarget>("CWinThread");

CWinThread::CWinThread() = default;

CWinThread::~CWinThread() {
  if (m_hThread) CloseHandle(m_hThread);
}

void CWinThread::threadMain(CWinThread* thread, std::shared_ptr<void> objectHolder) {
  auto object = std::static_pointer_cast<ThreadObject>(objectHolder);
  threadState().thread = thread;
  // The queue exists before the creator goes on, so nothing posted to the
  // thread is lost.
  MSG probe{};
  PeekMessageW(&probe, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  thread->m_nThreadID = GetCurrentThreadId();
  object->started();
  object->waitUntilResumed();
  if (thread->InitInstance())
    thread->Run();
  else
    thread->ExitInstance();
  threadState().thread = nullptr;
  winsim::mfc::deleteTemporaryObjects(-1);
  thread->Delete();
  object->ended();
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT, LPSECURITY_ATTRIBUTES) {
  if (m_hThread) return FALSE;
  auto object = std::make_shared<ThreadObject>((dwCreateFlags & CREATE_SUSPENDED) != 0);
  m_hThread = winsim::addHandle(object);
  try {
    std::thread(&CWinThread::threadMain, this, std::static_pointer_cast<void>(object)).detach();
  } catch (const std::system_error&) {
    CloseHandle(m_hThread);
    m_hThread = nullptr;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  object->waitUntilStarted();
  return TRUE;
}

DWORD CWinThread::ResumeThread() {
  auto object = winsim::lookupHandleAs<ThreadObject>(m_hThread);
  return object ? object->resume() : 0xFFFFFFFF;
}

int CWinThread::GetThreadPriority() const { return m_nPriority; }

BOOL CWinThread::SetThreadPriority(int nPriority) {
  if (nPriority < THREAD_PRIORITY_LOWEST || nPriority > THREAD_PRIORITY_HIGHEST) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  m_nPriority = nPriority;
  return TRUE;
}

BOOL CWinThread::PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return PostThreadMessageW(m_nThreadID, message, wParam, lParam);
}

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::Run() {
  bool idle = true;
  LONG idleCount = 0;
  for (;;) {
    while (idle && !PeekMessageW(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE))
      if (!OnIdle(idleCount++)) idle = false;
    do {
      if (!PumpMessage()) return ExitInstance();
      if (isIdleMessage(m_msgCur)) {
        idle = true;
        idleCount = 0;
      }
    } while (PeekMessageW(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
  }
}

int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

BOOL CWinThread::PumpMessage() {
  if (GetMessageW(&m_msgCur, nullptr, 0, 0) <= 0) return FALSE;
  if (!PreTranslateMessage(&m_msgCur)) {
    TranslateMessage(&m_msgCur);
    DispatchMessageW(&m_msgCur);
  }
  return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
  if (!pMsg->hwnd && DispatchThreadMessageEx(pMsg)) return TRUE;
  CWnd* main = GetMainWnd();
  return CWnd::WalkPreTranslateTree(main ? main->GetSafeHwnd() : nullptr, pMsg);
}

BOOL CWinThread::OnIdle(LONG) {
  winsim::mfc::deleteTemporaryObjects(threadState().dispatchDepth);
  return FALSE;
}

void CWinThread::Delete() {
  if (m_bAutoDelete) delete this;
}

CWnd* CWinThread::GetMainWnd() { return m_pMainWnd ? m_pMainWnd : CWnd::GetActiveWindow(); }

BOOL CWinThread::DispatchThreadMessageEx(MSG* pMsg) {
  const CMessageEntry* entry = GetMessageMap().findMessage(winsim::mfc::EntryKind::Thread, pMsg->message);
  if (!entry) return FALSE;
  LRESULT result = 0;
  winsim::mfc::DispatchLevel level;
  return entry->invoke(*this, winsim::mfc::MessageCall{pMsg->message, pMsg->wParam, pMsg->lParam}, result) ? TRUE
                                                                                                           : FALSE;
}

CWinThread* AfxBeginThread(const CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  if (!pThreadClass || !pThreadClass->IsDerivedFrom(RUNTIME_CLASS(CWinThread))) return nullptr;
  CObject* created = pThreadClass->CreateObject();
  auto* thread = dynamic_cast<CWinThread*>(created);
  if (!thread) {
    delete created;
    return nullptr;
  }
  // Started suspended, so that the priority is set before it runs.
  if (!thread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
    thread->Delete();
    return nullptr;
  }
  thread->SetThreadPriority(nPriority);
  if (!(dwCreateFlags & CREATE_SUSPENDED)) thread->ResumeThread();
  return thread;
}

CWinThread* AfxGetThread() {
  if (CWinThread* thread = threadState().thread) return thread;
  CWinApp* app = AfxGetApp();
  return app && app->m_nThreadID == GetCurrentThreadId() ? app : nullptr;
}

CWnd* AfxGetMainWnd() {
  CWinThread* thread = AfxGetThread();
  return thread ? thread->GetMainWnd() : nullptr;
}

BOOL AfxPreTranslateMessage(MSG* pMsg) {
  if (CWinThread* thread = AfxGetThread()) return thread->PreTranslateMessage(pMsg);
  return CWnd::WalkPreTranslateTree(nullptr, pMsg);
}
