// User-interface threads: CWinThread, a thread with a message loop whose
// thread messages are dispatched through the object's message map
// (onThreadMessage), and AfxBeginThread, which makes one from a run-time
// class.
//
// AfxBeginThread returns once the new thread runs and owns a message queue,
// so a message posted to it at once is never lost. The thread runs
// InitInstance; TRUE goes on to Run, the loop (GetMessageW,
// PreTranslateMessage, DispatchMessageW) that ends on WM_QUIT; then
// ExitInstance, whose result is the thread's exit code. With m_bAutoDelete
// (the default) the thread deletes its object as it ends, so the creator must
// not touch the object after the thread may have ended (after it posted
// WM_QUIT, say). m_hThread is a kernel handle that WaitForSingleObject waits
// on; the object closes it when deleted.
#pragma once

#include <memory>

#include "afxwnd.h"

// Thread priorities. The host's scheduler does not follow them; they are kept
// and reported.
constexpr int THREAD_PRIORITY_LOWEST = -2;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
constexpr int THREAD_PRIORITY_HIGHEST = 2;

class CWinThread : public CCmdTarget {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

  CWinThread();
  /// Closes the thread's handle.
  ~CWinThread() override;

  /// Starts the thread; with CREATE_SUSPENDED it waits for ResumeThread
  /// before InitInstance. FALSE when the thread cannot be started.
  BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
  /// Lets a thread created suspended run; the previous suspend count, or
  /// 0xFFFFFFFF when the thread was not started.
  DWORD ResumeThread();
  int GetThreadPriority() const;
  BOOL SetThreadPriority(int nPriority);
  BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) const;
  operator HANDLE() const { return m_hThread; }

  virtual BOOL InitInstance();
  virtual int Run();
  /// The result is the exit code: the WM_QUIT code that ended Run.
  virtual int ExitInstance();
  /// Thread messages go to the map's thread entries; other messages are
  /// offered to the windows they are for (CWnd::WalkPreTranslateTree).
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  /// One message: FALSE on WM_QUIT.
  virtual BOOL PumpMessage();
  /// Called while the queue is empty; the thread's temporary window and menu
  /// objects are deleted here. TRUE asks for more idle time.
  virtual BOOL OnIdle(LONG lCount);
  /// Deletes the object when m_bAutoDelete.
  virtual void Delete();
  /// The main window, or while it has none, the thread's active window.
  virtual CWnd* GetMainWnd();

  /// Dispatches a thread message through the map; TRUE when an entry took it.
  BOOL DispatchThreadMessageEx(MSG* pMsg);

  CWnd* m_pMainWnd = nullptr;
  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;
  BOOL m_bAutoDelete = TRUE;

 protected:
  MSG m_msgCur{};

 private:
  /// The new thread's life: its queue, InitInstance, Run, ExitInstance.
  static void threadMain(CWinThread* thread, std::shared_ptr<void> object);

  int m_nPriority = THREAD_PRIORITY_NORMAL;
};

/// Creates the thread object of a class derived from CWinThread through its
/// run-time class, sets its priority and starts it. Null when the class is
/// not a creatable CWinThread or the thread cannot be started.
CWinThread* AfxBeginThread(const CRuntimeClass* pThreadClass, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
/// The calling thread's CWinThread: the one AfxBeginThread made, or the
/// application on the thread that runs it; null on other threads.
CWinThread* AfxGetThread();
/// The calling thread's main window (CWinThread::GetMainWnd).
CWnd* AfxGetMainWnd();
/// Offers a message to the calling thread's CWinThread (or, on a thread
/// without one, to the windows it is for) before it is dispatched; TRUE
/// when it was taken.
BOOL AfxPreTranslateMessage(MSG* pMsg);
