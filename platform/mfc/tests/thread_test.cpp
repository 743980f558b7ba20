// User-interface threads: made from their run-time class, a thread message
// posted at once is handled through the thread's map, the thread reports to a
// window of the main thread, and WM_QUIT ends it with its code.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "afxwin.h"
#include "testing/tempmachine.h"

namespace {

constexpr UINT kStart = WM_USER + 200;
constexpr UINT kStep = WM_USER + 104;
constexpr UINT kDone = WM_USER + 101;

std::atomic<int> g_threadsAlive{0};

/// A worker as the install thread is: its map has one thread message, which
/// posts steps and an end back to the window named in lParam.
class CWorkerThread : public CWinThread {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }
  const CMessageMap& GetMessageMap() const override {
    static const CMessageMap map =
        CMessageMapOf<CWorkerThread>(CWinThread::GetMessageMap()).onThreadMessage(kStart, &CWorkerThread::OnStart);
    return map;
  }

  CWorkerThread() { ++g_threadsAlive; }
  ~CWorkerThread() override { --g_threadsAlive; }

  BOOL InitInstance() override { return TRUE; }
  int ExitInstance() override { return CWinThread::ExitInstance() + 1000; }

  afx_msg void OnStart(WPARAM wParam, LPARAM lParam) {
    auto page = reinterpret_cast<HWND>(lParam);
    for (WPARAM i = 0; i < wParam; ++i) PostMessageW(page, kStep, i, static_cast<LPARAM>(GetCurrentThreadId()));
    PostMessageW(page, kDone, 0, 0);
  }
};

const CRuntimeClass CWorkerThread::runtimeClass = CRuntimeClass::Creatable<CWorkerThread, CWinThread>("CWorkerThread");

/// The page side: counts the steps and notes which thread sent them.
class CPageWnd : public CWnd {
 public:
  const CMessageMap& GetMessageMap() const override {
    static const CMessageMap map = CMessageMapOf<CPageWnd>(CWnd::GetMessageMap())
                                       .onMessage(kStep, &CPageWnd::OnStep)
                                       .onMessage(kDone, &CPageWnd::OnDone);
    return map;
  }
  afx_msg LRESULT OnStep(WPARAM wParam, LPARAM lParam) {
    steps.push_back(wParam);
    sender = static_cast<DWORD>(lParam);
    return 0;
  }
  afx_msg LRESULT OnDone(WPARAM, LPARAM) {
    done = true;
    return 0;
  }
  std::vector<WPARAM> steps;
  DWORD sender = 0;
  bool done = false;
};

/// Dispatches the main thread's messages until the page heard the end.
void pumpUntilDone(CPageWnd& page) {
  MSG msg{};
  while (!page.done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

TEST(Thread, AThreadMessagePostedAtOnceIsHandledThroughTheMap) {
  winsim::testing::TempMachine machine;
  CPageWnd page;
  ASSERT_TRUE(page.CreateEx(0, nullptr, u"Page", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));

  CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CWorkerThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(thread, nullptr);
  ASSERT_NE(dynamic_cast<CWorkerThread*>(thread), nullptr);
  thread->m_bAutoDelete = FALSE;  // kept, to read its handle after it ended
  EXPECT_EQ(thread->ResumeThread(), 1u);
  EXPECT_NE(thread->m_nThreadID, 0u);
  EXPECT_NE(thread->m_nThreadID, GetCurrentThreadId());
  // Posted the moment the thread starts: its queue is there already.
  ASSERT_TRUE(thread->PostThreadMessage(kStart, 5, reinterpret_cast<LPARAM>(page.GetSafeHwnd())));
  pumpUntilDone(page);
  EXPECT_EQ(page.steps, (std::vector<WPARAM>{0, 1, 2, 3, 4}));
  EXPECT_EQ(page.sender, thread->m_nThreadID);

  ASSERT_TRUE(PostThreadMessageW(thread->m_nThreadID, WM_QUIT, 7, 0));
  EXPECT_EQ(WaitForSingleObject(thread->m_hThread, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(thread->GetThreadPriority(), THREAD_PRIORITY_NORMAL);
  delete thread;
  EXPECT_EQ(g_threadsAlive, 0);
  page.DestroyWindow();
}

TEST(Thread, AnAutoDeletedThreadDeletesItselfWhenItEnds) {
  winsim::testing::TempMachine machine;
  CPageWnd page;
  ASSERT_TRUE(page.CreateEx(0, nullptr, u"Page", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
  for (int round = 0; round < 3; ++round) {
    CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CWorkerThread));
    ASSERT_NE(thread, nullptr);
    const DWORD id = thread->m_nThreadID;
    ASSERT_TRUE(PostThreadMessageW(id, kStart, 1, reinterpret_cast<LPARAM>(page.GetSafeHwnd())));
    page.done = false;
    pumpUntilDone(page);
    // The page tells the thread to leave its loop and does not touch it again.
    ASSERT_TRUE(PostThreadMessageW(id, WM_QUIT, 0, 0));
  }
  for (int i = 0; i < 500 && g_threadsAlive > 0; ++i) Sleep(10);
  EXPECT_EQ(g_threadsAlive, 0);
  page.DestroyWindow();
}

class CNotAThread : public CCmdTarget {
 public:
  static const CRuntimeClass runtimeClass;
};
const CRuntimeClass CNotAThread::runtimeClass = CRuntimeClass::Creatable<CNotAThread, CCmdTarget>("CNotAThread");

TEST(Thread, OnlyCreatableThreadClassesStart) {
  EXPECT_EQ(AfxBeginThread(RUNTIME_CLASS(CNotAThread)), nullptr);
  EXPECT_EQ(AfxBeginThread(RUNTIME_CLASS(CWinThread)), nullptr);  // no factory
  EXPECT_EQ(AfxBeginThread(nullptr), nullptr);
  EXPECT_TRUE(RUNTIME_CLASS(CWorkerThread)->IsDerivedFrom(RUNTIME_CLASS(CCmdTarget)));
  EXPECT_FALSE(RUNTIME_CLASS(CWinThread)->IsDerivedFrom(RUNTIME_CLASS(CWorkerThread)));
}

}  // namespace
