// Message queues across threads: posting before and after a queue exists,
// SendMessageW to another thread's window, WM_QUIT, retrieval order.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "usertesthelpers.h"
#include "win32/errors.h"
#include "win32/process.h"
#include "win32/user.h"

namespace {

constexpr UINT kStart = WM_USER + 200;

TEST(UserMessages, PostThreadMessageNeedsTheQueueToExist) {
  std::atomic<DWORD> id{0};
  std::atomic<bool> queueMade{false};
  std::atomic<bool> tried{false};
  std::atomic<UINT> received{0};
  std::atomic<LPARAM> param{0};
  std::thread worker([&] {
    id = GetCurrentThreadId();
    while (!tried) std::this_thread::yield();
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue now exists
    queueMade = true;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
      received = msg.message;
      param = msg.lParam;
    }
  });
  while (!id) std::this_thread::yield();
  EXPECT_FALSE(PostThreadMessageW(id, kStart, 0, 1));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
  tried = true;
  while (!queueMade) std::this_thread::yield();
  EXPECT_TRUE(PostThreadMessageW(id, kStart, 0, 77));
  EXPECT_TRUE(PostThreadMessageW(id, WM_QUIT, 0, 0));
  worker.join();
  EXPECT_EQ(received.load(), kStart);
  EXPECT_EQ(param.load(), 77);
  // The queue went with its thread.
  EXPECT_FALSE(PostThreadMessageW(id, kStart, 0, 0));
}

LRESULT echoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 1) return static_cast<LRESULT>(GetCurrentThreadId());
  if (message == WM_USER + 2) return static_cast<LRESULT>(wParam * 2);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(UserMessages, SendMessageToAnotherThreadRunsInTheOwnerThread) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = echoProc;
  wc.lpszClassName = u"Echo";
  RegisterClassExW(&wc);
  std::atomic<HWND> window{nullptr};
  std::atomic<DWORD> owner{0};
  std::thread worker([&] {
    owner = GetCurrentThreadId();
    window = CreateWindowExW(0, u"Echo", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
    DestroyWindow(window);
  });
  while (!window) std::this_thread::yield();
  EXPECT_EQ(static_cast<DWORD>(SendMessageW(window, WM_USER + 1, 0, 0)), owner.load());
  for (int i = 0; i < 50; ++i) EXPECT_EQ(SendMessageW(window, WM_USER + 2, static_cast<WPARAM>(i), 0), 2 * i);
  PostThreadMessageW(owner, WM_QUIT, 0, 0);
  worker.join();
  EXPECT_FALSE(IsWindow(window));
}

TEST(UserMessages, PostedMessagesComeBeforePaintAndQuitComesLast) {
  usertest::registerRecorder();
  HWND w =
      CreateWindowExW(0, u"Recorder", u"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
  PostQuitMessage(3);
  PostMessageW(w, WM_USER + 9, 0, 0);
  MSG msg;
  ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 9));
  // The quit flag is read before painting, and GetMessageW says FALSE for it.
  EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_PAINT);
  DispatchMessageW(&msg);
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  // PM_NOREMOVE leaves a message where it is.
  PostMessageW(w, WM_USER + 10, 0, 0);
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER + 10, WM_USER + 10, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, w);
  DestroyWindow(w);
  usertest::pump();
}

TEST(UserMessages, ManyThreadsPostWhileTheOwnerReads) {
  usertest::registerRecorder();
  HWND w = CreateWindowExW(0, u"Recorder", u"", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
  constexpr int kThreads = 4, kEach = 200;
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t)
    posters.emplace_back([&] {
      for (int i = 0; i < kEach; ++i) PostMessageW(w, WM_USER + 3, 0, 0);
    });
  int got = 0;
  MSG msg;
  while (got < kThreads * kEach && GetMessageW(&msg, nullptr, 0, 0))
    if (msg.message == WM_USER + 3) ++got;
  for (auto& p : posters) p.join();
  EXPECT_EQ(got, kThreads * kEach);
  DestroyWindow(w);
}

}  // namespace
