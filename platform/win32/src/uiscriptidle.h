// The UI agent's turn in a thread's message loop.
#pragma once

#include <chrono>

namespace winsim::user {

/// How long a message loop has had nothing to do.
class IdleWatch {
 public:
  IdleWatch() : m_since(std::chrono::steady_clock::now()) {}
  void reset() {
    m_since = std::chrono::steady_clock::now();
    m_poll = std::chrono::milliseconds(2);
  }
  std::chrono::milliseconds idleFor() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_since);
  }
  /// How long to wait before asking the script again: short at first, so
  /// that a script runs briskly, longer while nothing happens.
  std::chrono::milliseconds nextPoll() {
    const auto poll = m_poll;
    m_poll = std::min(m_poll * 2, std::chrono::milliseconds(50));
    return poll;
  }

 private:
  std::chrono::steady_clock::time_point m_since;
  std::chrono::milliseconds m_poll{2};
};

/// Called by a thread that owns windows when its queue is empty and nothing
/// needs painting: performs the UI script's next command if it is one for
/// this layer and this thread. Returns true when it did something. When the
/// loop has been idle past the bound (winsim/uiscript.h) it reports that and
/// ends the process.
bool uiAgentIdle(IdleWatch& idle);

}  // namespace winsim::user
