// A stand-in for the wizard's pages in the flows' tests: each page answers the
// next result queued for it (a page with nothing queued could not be shown),
// may do what the real page does to the setup state before it answers, and
// the pages shown are kept in order.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "setuppages.h"

namespace enginetest {

class ScriptedPages : public SetupPages {
 public:
  /// Queues results for a page ("welcome", "license", "copy", "finish",
  /// "error", "maintenance").
  ScriptedPages& answer(const std::string& page, std::initializer_list<INT_PTR> results) {
    for (INT_PTR result : results) m_results[page].push_back(result);
    return *this;
  }
  /// Runs `action` each time the page is shown, before it answers.
  ScriptedPages& onShow(const std::string& page, std::function<void()> action) {
    m_actions[page] = std::move(action);
    return *this;
  }
  const std::vector<std::string>& shown() const { return m_shown; }

  INT_PTR ShowWelcomePage() override { return show("welcome"); }
  INT_PTR ShowLicensePage() override { return show("license"); }
  INT_PTR ShowCopyFilesPage() override { return show("copy"); }
  INT_PTR ShowFinishPage() override { return show("finish"); }
  INT_PTR ShowErrorCompletionPage() override { return show("error"); }
  INT_PTR ShowMaintenancePage() override { return show("maintenance"); }

 private:
  INT_PTR show(const std::string& page) {
    m_shown.push_back(page);
    if (const auto action = m_actions.find(page); action != m_actions.end()) action->second();
    auto& queue = m_results[page];
    if (queue.empty()) return kPageNotShown;
    const INT_PTR result = queue.front();
    queue.pop_front();
    return result;
  }

  std::map<std::string, std::deque<INT_PTR>> m_results;
  std::map<std::string, std::function<void()>> m_actions;
  std::vector<std::string> m_shown;
};

}  // namespace enginetest
