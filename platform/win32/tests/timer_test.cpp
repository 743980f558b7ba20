// Timers on the machine clock: they fire when the clock passes their period,
// never by the wall clock.
#include <gtest/gtest.h>

#include <vector>

#include "usertesthelpers.h"
#include "win32/user.h"
#include "winsim/clock.h"

namespace {

int timerMessages(HWND hwnd, UINT_PTR id) {
  int n = 0;
  MSG msg;
  while (PeekMessageW(&msg, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE))
    if (msg.wParam == id) ++n;
  return n;
}

std::vector<UINT_PTR> g_fired;
void onTimer(HWND, UINT message, UINT_PTR id, DWORD) {
  if (message == WM_TIMER) g_fired.push_back(id);
}

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    usertest::registerRecorder();
    m_window = CreateWindowExW(0, u"Recorder", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(m_window, nullptr);
  }
  void TearDown() override { DestroyWindow(m_window); }
  HWND m_window = nullptr;
};

TEST_F(TimerTest, FiresWhenTheClockPassesItsPeriod) {
  ASSERT_EQ(SetTimer(m_window, 1, 5000, nullptr), 1u);
  winsim::advanceClock(4999);
  EXPECT_EQ(timerMessages(m_window, 1), 0);
  winsim::advanceClock(1);
  EXPECT_EQ(timerMessages(m_window, 1), 1);
  EXPECT_EQ(timerMessages(m_window, 1), 0);  // the next one is a whole period away
  // However far the clock jumps, one message waits at a time.
  winsim::advanceClock(20000);
  EXPECT_EQ(timerMessages(m_window, 1), 1);
  EXPECT_TRUE(KillTimer(m_window, 1));
  winsim::advanceClock(10000);
  EXPECT_EQ(timerMessages(m_window, 1), 0);
  EXPECT_FALSE(KillTimer(m_window, 1));
}

TEST_F(TimerTest, SettingAgainRestartsThePeriod) {
  SetTimer(m_window, 7, 1000, nullptr);
  winsim::advanceClock(900);
  SetTimer(m_window, 7, 1000, nullptr);
  winsim::advanceClock(900);
  EXPECT_EQ(timerMessages(m_window, 7), 0);
  winsim::advanceClock(100);
  EXPECT_EQ(timerMessages(m_window, 7), 1);
  KillTimer(m_window, 7);
}

TEST_F(TimerTest, ProceduresAreCalledByDispatchAndThreadTimersGetTheirOwnIds) {
  g_fired.clear();
  const UINT_PTR a = SetTimer(nullptr, 0, 100, onTimer);
  const UINT_PTR b = SetTimer(nullptr, 0, 200, onTimer);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  SetTimer(m_window, 3, 150, onTimer);
  winsim::advanceClock(250);
  usertest::pump();
  ASSERT_EQ(g_fired.size(), 3u);
  EXPECT_EQ(g_fired[0], a);  // the earliest due first
  EXPECT_EQ(g_fired[1], 3u);
  EXPECT_EQ(g_fired[2], b);
  KillTimer(nullptr, a);
  KillTimer(nullptr, b);
  KillTimer(m_window, 3);
}

TEST_F(TimerTest, ADestroyedWindowsTimersEnd) {
  HWND other = CreateWindowExW(0, u"Recorder", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  SetTimer(other, 1, 10, nullptr);
  DestroyWindow(other);
  winsim::advanceClock(100);
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

}  // namespace
