#include "win32/msgbox.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "testing/tempmachine.h"
#include "win32/errors.h"
#include "winsim/uiagent.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using winsim::testing::TempMachine;

class MessageBoxTest : public ::testing::Test {
 protected:
  ~MessageBoxTest() override { ::unsetenv("WINSIM_UI"); }

  /// Writes the UI script beside the machine and names it in WINSIM_UI.
  void script(const std::string& text) {
    m_script = m_machine.folder().parent_path() / "ui.txt";
    std::ofstream(m_script, std::ios::binary | std::ios::trunc) << text;
    ::setenv("WINSIM_UI", m_script.c_str(), 1);
  }

  std::vector<json> transcript(const std::string& kind = "") const {
    std::vector<json> records;
    std::ifstream in(m_machine.folder() / "transcript.jsonl");
    for (std::string line; std::getline(in, line);) {
      json record = json::parse(line);  // every line is one whole object
      if (kind.empty() || record["kind"] == kind) records.push_back(record);
    }
    return records;
  }

  /// Starts the msgbox program with this process's environment; returns its pid.
  pid_t start(const std::vector<std::string>& args) const {
    const std::string program = (winsim::testing::testProgramFolder() / "winsim-msgbox").string();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ), 0);
    return pid;
  }

  static int exitCode(pid_t pid) {
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  TempMachine m_machine;
  fs::path m_script;
};

TEST_F(MessageBoxTest, AnswersAreTakenInOrder) {
  script("answer IDNO\n# the next question\n\n  answer   idcancel  \r\nanswer IDYES\n");
  EXPECT_EQ(MessageBoxW(nullptr, u"one", u"Setup", MB_YESNOCANCEL), IDNO);
  EXPECT_EQ(MessageBoxW(nullptr, u"two", u"Setup", MB_YESNOCANCEL | MB_DEFBUTTON2), IDCANCEL);
  EXPECT_EQ(MessageBoxExW(nullptr, u"three", u"Setup", MB_YESNOCANCEL, 0), IDYES);
  // The script is used up: the default button, without waiting.
  EXPECT_EQ(MessageBoxW(nullptr, u"four", u"Setup", MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
  const auto boxes = transcript("MessageBox");
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0]["answer"], "IDNO");
  EXPECT_EQ(boxes[0]["by"], "script");
  EXPECT_EQ(boxes[3]["answer"], "IDNO");
  EXPECT_EQ(boxes[3]["by"], "default");
  EXPECT_TRUE(transcript("ScriptError").empty());
}

TEST_F(MessageBoxTest, WithoutAnswerTheDefaultButton) {
  struct Case {
    UINT style;
    int answer;
  } const kCases[] = {
      {MB_OK, IDOK},
      {MB_OK | MB_DEFBUTTON2, IDOK},  // beyond the buttons: the first
      {MB_OKCANCEL, IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_YESNO | MB_ICONINFORMATION | MB_SYSTEMMODAL | MB_SETFOREGROUND | MB_TOPMOST, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_YESNO | MB_DEFBUTTON4, IDYES},
      {MB_RETRYCANCEL, IDRETRY},
      {MB_CANCELTRYCONTINUE | MB_DEFBUTTON3, IDCONTINUE},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "style " << c.style);
    EXPECT_EQ(MessageBoxW(nullptr, u"text", u"caption", c.style), c.answer);
  }
  script("");  // an empty script is no different
  EXPECT_EQ(MessageBoxW(nullptr, u"text", u"caption", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
}

TEST_F(MessageBoxTest, AnAnswerTheBoxDoesNotOfferIsAScriptError) {
  script("answer IDYES\nanswer MAYBE\nanswer\nanswer IDNO\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxW(nullptr, u"Saved.", u"Setup", MB_OK | MB_ICONWARNING), IDOK);
  EXPECT_EQ(MessageBoxW(nullptr, u"Go on?", u"Setup", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageBoxW(nullptr, u"Go on?", u"Setup", MB_YESNO), IDYES);
  EXPECT_EQ(MessageBoxW(nullptr, u"Go on?", u"Setup", MB_YESNO), IDNO);  // the bad answers were used up
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_NE(errors.find("ui.txt:1: the message box offers IDOK only (answer IDYES)"), std::string::npos) << errors;
  EXPECT_NE(errors.find("ui.txt:2:"), std::string::npos) << errors;
  EXPECT_NE(errors.find("ui.txt:3:"), std::string::npos) << errors;
  const auto scriptErrors = transcript("ScriptError");
  ASSERT_EQ(scriptErrors.size(), 3u);
  EXPECT_EQ(scriptErrors[0]["line"], 1);
  EXPECT_EQ(scriptErrors[0]["command"], "answer IDYES");
  EXPECT_EQ(scriptErrors[0]["script"], m_script.string());
  EXPECT_EQ(transcript("MessageBox")[0]["by"], "default");
}

TEST_F(MessageBoxTest, CommandsOfOtherLayersStay) {
  script("answer IDNO\n");
  // Another layer asking for its own verb takes nothing from the box.
  EXPECT_FALSE(winsim::takeUiCommand("click"));
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_YESNO), IDNO);
}

TEST_F(MessageBoxTest, UnknownVerbsAreReportedAndSkipped) {
  script("answr IDNO\nanswer IDNO\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_YESNO), IDNO);
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_NE(errors.find("ui.txt:1: no layer knows this command (answr IDNO)"), std::string::npos) << errors;
  ASSERT_EQ(transcript("ScriptError").size(), 1u);
}

TEST_F(MessageBoxTest, AMissingScriptIsReportedOnce) {
  ::setenv("WINSIM_UI", (m_machine.folder() / "no-such-script.txt").c_str(), 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_OKCANCEL), IDOK);
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_OKCANCEL), IDOK);
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_NE(errors.find("cannot be read"), std::string::npos);
  EXPECT_EQ(errors.find("cannot be read"), errors.rfind("cannot be read"));
}

TEST_F(MessageBoxTest, TranscriptRecordsTheBox) {
  script("answer IDYES\n");
  const char16_t* text = u"Line one\nLine \"two\"\t\u4E2D\u6587\\";
  EXPECT_EQ(MessageBoxW(nullptr, text, u"Merrowin Setup",
                        MB_YESNO | MB_ICONINFORMATION | MB_SYSTEMMODAL | MB_SETFOREGROUND | MB_TOPMOST),
            IDYES);
  EXPECT_EQ(MessageBoxW(nullptr, nullptr, nullptr, MB_OK), IDOK);

  std::ifstream in(m_machine.folder() / "transcript.jsonl");
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first.find('\n'), std::string::npos);
  EXPECT_NE(first.find(R"("text":"Line one\nLine \"two\"\t中文\\")"), std::string::npos) << first;
  EXPECT_EQ(first.rfind(R"({"kind":"MessageBox","caption":"Merrowin Setup",)", 0), 0u) << first;

  const auto boxes = transcript("MessageBox");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0]["caption"], "Merrowin Setup");
  EXPECT_EQ(boxes[0]["style"], "0x00051044");
  EXPECT_EQ(boxes[0]["answer"], "IDYES");
  EXPECT_EQ(boxes[0]["pid"], static_cast<int>(::getpid()));
  EXPECT_FALSE(boxes[0]["process"].get<std::string>().empty());
  EXPECT_EQ(boxes[1]["caption"], "Error");  // as Windows titles a box without caption
  EXPECT_EQ(boxes[1]["text"], "");
  EXPECT_EQ(boxes[1]["style"], "0x00000000");
}

TEST_F(MessageBoxTest, TheProcessIsItsWindowsImage) {
  ::setenv("WINSIM_IMAGE", "C:\\Setup\\Setup.exe", 1);
  MessageBoxW(nullptr, u"?", u"Setup", MB_OK);
  ::unsetenv("WINSIM_IMAGE");
  EXPECT_EQ(transcript("MessageBox")[0]["process"], "C:\\Setup\\Setup.exe");
}

TEST_F(MessageBoxTest, UnknownButtonSetFails) {
  script("answer IDOK\n");
  SetLastError(0);
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", 7), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_MSGBOX_STYLE);
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_OKCANCEL | MB_DEFBUTTON2), IDOK);  // the answer is still there
}

TEST_F(MessageBoxTest, BeepsAreRecorded) {
  EXPECT_TRUE(MessageBeep(MB_ICONEXCLAMATION));
  EXPECT_TRUE(MessageBeep(0xFFFFFFFF));
  const auto beeps = transcript("Beep");
  ASSERT_EQ(beeps.size(), 2u);
  EXPECT_EQ(beeps[0]["type"], "0x00000030");
  EXPECT_EQ(beeps[1]["type"], "0xFFFFFFFF");
}

TEST_F(MessageBoxTest, AScriptWrittenAnewStartsAgain) {
  script("answer IDNO\n");
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_YESNO), IDYES);
  fs::remove(m_script);
  script("answer IDCANCEL\nanswer IDNO\n");
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_YESNOCANCEL), IDCANCEL);
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_YESNOCANCEL), IDNO);
}

TEST_F(MessageBoxTest, ADamagedPositionFileStartsTheScriptAgain) {
  script("answer IDNO\n");
  for (const char* damaged : {"not json", "{\"scripts\": 5}", "[1, 2]"}) {
    SCOPED_TRACE(damaged);
    std::ofstream(m_machine.folder() / "state" / "uiagent.json", std::ios::trunc) << damaged;
    EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_YESNO), IDYES);
  }
}

TEST_F(MessageBoxTest, ProcessesOfOneMachineShareTheScript) {
  script("answer IDNO\nanswer IDCANCEL\nanswer IDRETRY\nanswer IDYES\n");
  EXPECT_EQ(MessageBoxW(nullptr, u"parent", u"Setup", MB_YESNOCANCEL), IDNO);
  EXPECT_EQ(exitCode(start({"3", "child"})), IDCANCEL);   // MB_YESNOCANCEL
  EXPECT_EQ(exitCode(start({"0x5", "child"})), IDRETRY);  // MB_RETRYCANCEL
  EXPECT_EQ(MessageBoxW(nullptr, u"parent again", u"Setup", MB_YESNOCANCEL), IDYES);
  const auto boxes = transcript("MessageBox");
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[1]["text"], "child");
  EXPECT_NE(boxes[1]["pid"], boxes[0]["pid"]);
  EXPECT_EQ(boxes[3]["answer"], "IDYES");
}

TEST_F(MessageBoxTest, ConcurrentProcessesTakeEachAnswerOnce) {
  constexpr int kProcesses = 6;
  std::string lines;
  for (int i = 0; i < kProcesses; ++i) lines += i % 2 ? "answer IDNO\n" : "answer IDCANCEL\n";
  script(lines);
  std::vector<pid_t> pids;
  // Long texts, so that lines from several processes would tear if writes interleaved.
  for (int i = 0; i < kProcesses; ++i) pids.push_back(start({"3", "0123456789abcdef", "8000"}));
  std::multiset<int> answers;
  for (const pid_t pid : pids) answers.insert(exitCode(pid));
  EXPECT_EQ(answers.count(IDNO), 3u);
  EXPECT_EQ(answers.count(IDCANCEL), 3u);
  const auto boxes = transcript("MessageBox");  // parses every line whole
  ASSERT_EQ(boxes.size(), static_cast<std::size_t>(kProcesses));
  for (const auto& box : boxes) EXPECT_EQ(box["text"].get<std::string>().size(), 16u * 8000u);
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_YESNOCANCEL), IDYES);  // all used up
}

TEST_F(MessageBoxTest, ThreadsTakeEachAnswerOnce) {
  std::string lines;
  for (int i = 0; i < 4; ++i) lines += "answer IDNO\nanswer IDCANCEL\n";
  script(lines);
  std::multiset<int> answers;
  std::mutex answersMutex;
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 4; ++i) {
        const int answer = MessageBoxW(nullptr, u"?", u"Setup", MB_YESNOCANCEL);
        std::lock_guard lock(answersMutex);
        answers.insert(answer);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(answers.count(IDNO), 4u);
  EXPECT_EQ(answers.count(IDCANCEL), 4u);
}

TEST(MessageBoxWithoutMachine, AnswersStillComeInOrder) {
  winsim::setCurrentMachine(nullptr);
  ::unsetenv("WINSIM_MACHINE");
  std::string pattern = (fs::temp_directory_path() / "winsim-ui-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path file = fs::path(pattern) / "ui.txt";
  std::ofstream(file) << "answer IDRETRY\nanswer IDCANCEL\n";
  ::setenv("WINSIM_UI", file.c_str(), 1);
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_RETRYCANCEL), IDRETRY);
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_RETRYCANCEL), IDCANCEL);
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Setup", MB_RETRYCANCEL), IDRETRY);
  ::unsetenv("WINSIM_UI");
  fs::remove_all(pattern);
}

}  // namespace
