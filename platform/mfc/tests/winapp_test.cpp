#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "afxwin.h"
#include "testing/tempmachine.h"
#include "winsim/text.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using winsim::testing::TempMachine;

std::vector<json> messageBoxes(const TempMachine& machine) {
  std::vector<json> boxes;
  std::ifstream in(machine.folder() / "transcript.jsonl");
  for (std::string line; std::getline(in, line);) {
    json record = json::parse(line);
    if (record["kind"] == "MessageBox") boxes.push_back(record);
  }
  return boxes;
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

/// WINSIM_IMAGE for one test: the program's Windows path.
class ProgramImage {
 public:
  explicit ProgramImage(const char* windowsPath) { ::setenv("WINSIM_IMAGE", windowsPath, 1); }
  ~ProgramImage() { ::unsetenv("WINSIM_IMAGE"); }
  ProgramImage(const ProgramImage&) = delete;
  ProgramImage& operator=(const ProgramImage&) = delete;
};

/// An application that records which of its operations ran, in order.
class RecordingApp : public CWinApp {
 public:
  explicit RecordingApp(BOOL initResult, LPCWSTR name = nullptr) : CWinApp(name), m_initResult(initResult) {}
  BOOL InitInstance() override {
    m_calls += "init ";
    return m_initResult;
  }
  int Run() override {
    m_calls += "run ";
    return CWinApp::Run();
  }
  int ExitInstance() override {
    m_calls += "exit";
    return 5;
  }
  std::string m_calls;

 private:
  BOOL m_initResult;
};

TEST(WinApp, RegistersItselfAsTheApplication) {
  EXPECT_EQ(AfxGetApp(), nullptr);
  {
    RecordingApp app(TRUE);
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxGetAppName(), nullptr);  // not initialised yet
  }
  EXPECT_EQ(AfxGetApp(), nullptr);
}

TEST(WinApp, RunsInitRunExitInOrder) {
  TempMachine machine;
  ProgramImage image("C:\\Package\\Setup.exe");
  struct Case {
    BOOL init;
    const char* calls;
  } const kCases[] = {{TRUE, "init run exit"}, {FALSE, "init exit"}};
  for (const auto& c : kCases) {
    RecordingApp app(c.init);
    WCHAR line[] = u"quiet=1";
    EXPECT_EQ(AfxWinMain(GetModuleHandleW(nullptr), nullptr, line, 1), 5);
    EXPECT_EQ(app.m_calls, c.calls);
    EXPECT_EQ(app.m_lpCmdLine, line);
    EXPECT_EQ(std::u16string(app.m_pszAppName), u"Setup");
    EXPECT_EQ(std::u16string(app.m_pszExeName), u"Setup");
    EXPECT_EQ(app.m_hInstance, GetModuleHandleW(nullptr));
    EXPECT_EQ(app.m_nCmdShow, 1);
  }
}

TEST(WinApp, GivenNameIsTheTitle) {
  TempMachine machine;
  ProgramImage image("C:\\Package\\Setup.exe");
  RecordingApp app(FALSE, u"Korax Setup");
  AfxWinMain(GetModuleHandleW(nullptr), nullptr, nullptr, 1);
  EXPECT_EQ(std::u16string(AfxGetAppName()), u"Korax Setup");
  EXPECT_EQ(std::u16string(app.m_pszExeName), u"Setup");
}

TEST(WinApp, WithoutApplicationMainFails) {
  EXPECT_EQ(AfxWinMain(nullptr, nullptr, nullptr, 1), -1);
  EXPECT_FALSE(AfxWinInit(nullptr, nullptr, nullptr, 1));
}

TEST(WinApp, ResourceHandleDefaultsToTheProgram) {
  EXPECT_EQ(AfxGetResourceHandle(), GetModuleHandleW(nullptr));
  EXPECT_EQ(AfxGetInstanceHandle(), GetModuleHandleW(nullptr));
  HINSTANCE fake = reinterpret_cast<HINSTANCE>(0x1234);
  AfxSetResourceHandle(fake);
  EXPECT_EQ(AfxGetResourceHandle(), fake);
  AfxSetResourceHandle(nullptr);
  EXPECT_EQ(AfxGetResourceHandle(), GetModuleHandleW(nullptr));
}

TEST(AfxMessageBox, AddsTheWarningIconOnlyWhenNoIconIsAsked) {
  TempMachine machine;
  ProgramImage image("C:\\Package\\Setup.exe");
  struct Case {
    UINT type;
    const char* style;
  } const kCases[] = {
      {MB_OK, "0x00000030"},
      {MB_YESNO, "0x00000034"},
      {MB_OK | MB_ICONERROR, "0x00000010"},
      {MB_YESNO | MB_ICONINFORMATION | MB_SYSTEMMODAL, "0x00001044"},
  };
  for (const auto& c : kCases) AfxMessageBox(u"text", c.type);
  const auto boxes = messageBoxes(machine);
  ASSERT_EQ(boxes.size(), std::size(kCases));
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    EXPECT_EQ(boxes[i]["style"], kCases[i].style);
    // No application object: the program's file name is the caption.
    EXPECT_EQ(boxes[i]["caption"], "Setup");
    EXPECT_EQ(boxes[i]["text"], "text");
  }
}

TEST(AfxMessageBox, CaptionIsTheApplicationTitle) {
  TempMachine machine;
  ProgramImage image("C:\\Package\\Setup.exe");
  RecordingApp app(FALSE, u"Korax");
  AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, 1);
  EXPECT_EQ(AfxMessageBox(u"Hello"), IDOK);
  const auto boxes = messageBoxes(machine);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["caption"], "Korax");
}

TEST(AfxMessageBox, PromptComesFromTheResourceModule) {
  TempMachine machine;
  const fs::path library = winsim::testing::testProgramFolder() / "testres.dll";
  ASSERT_TRUE(fs::exists(library)) << library;
  const auto windows = machine.machine().windowsPath(library);
  HMODULE module = nullptr;
  if (windows) {
    module = LoadLibraryExW(windows->c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  } else {
    // The build tree lies outside the machine's drives: copy the library in.
    fs::create_directories(machine.host(u"C:\\Lib"));
    fs::copy_file(library, machine.host(u"C:\\Lib\\testres.dll"));
    module = LoadLibraryExW(u"C:\\Lib\\testres.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  ASSERT_NE(module, nullptr);
  AfxSetResourceHandle(module);
  AfxMessageBox(32);   // "English thirty-two"
  AfxMessageBox(101);  // 1200 characters: shown whole
  AfxMessageBox(777);  // no such string: an empty prompt
  AfxSetResourceHandle(nullptr);
  FreeLibrary(module);
  const auto boxes = messageBoxes(machine);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0]["text"], "English thirty-two");
  EXPECT_EQ(boxes[1]["text"], std::string(1200, 'y'));
  EXPECT_EQ(boxes[2]["text"], "");
}

TEST(AfxLoadLibrary, LoadsAndFreesByName) {
  TempMachine machine;
  HINSTANCE msi = AfxLoadLibrary(u"msi.dll");
  ASSERT_NE(msi, nullptr);
  EXPECT_TRUE(AfxFreeLibrary(msi));
  EXPECT_EQ(AfxLoadLibrary(u"C:\\none\\missing.dll"), nullptr);
}

/// The real entry: a program with an application object, started inside the
/// machine. Its report file says what main() handed it.
TEST(AppMain, HandsTheProgramItsTitleAndCommandTail) {
  TempMachine machine;
  machine.installProgram("mfcapp", u"C:\\Apps\\My Probe.exe");
  struct Case {
    const char16_t* line;
    const char* tail;
    DWORD exitCode;
  } const kCases[] = {
      {u"\"C:\\Apps\\My Probe.exe\"   alpha=1 \"b c\"", "alpha=1 \"b c\"", 21},
      {u"\"C:\\Apps\\My Probe.exe\"", "", 21},
      {u"\"C:\\Apps\\My Probe.exe\" init=0", "init=0", 12},
  };
  for (const auto& c : kCases) {
    std::u16string line = c.line;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        << GetLastError();
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    EXPECT_EQ(code, c.exitCode);
    EXPECT_EQ(readFile(machine.host(u"C:\\mfcapp.txt")),
              std::string("app=My Probe\nexe=My Probe\ncmd=[") + c.tail + "]\ninstance=set\n");
  }
  const auto boxes = messageBoxes(machine);
  ASSERT_EQ(boxes.size(), std::size(kCases));
  EXPECT_EQ(boxes[0]["caption"], "My Probe");
  EXPECT_EQ(boxes[0]["style"], "0x00000030");
}

}  // namespace
