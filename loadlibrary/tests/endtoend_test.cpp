// The whole chain as a user's machine runs it: the host program starts from
// the installed layout with MWLoadLibrary.krx, which brings in
// MWCommonModule.krx and the extension tool; a script runs the tool's
// command and saves the drawing; at the end everything is unloaded in order.
#include <gtest/gtest.h>

#include <fstream>

#include "layout.h"
#include "win32/errors.h"
#include "win32/handleapi.h"
#include "win32/process.h"

namespace {

using namespace mwloadlibrary::testing;

DWORD runProgram(std::u16string commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    ADD_FAILURE() << "cannot start: " << GetLastError();
    return 0xFFFFFFFF;
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

std::vector<std::string> commandLineTexts(const winsim::testing::TempMachine& machine) {
  std::vector<std::string> texts;
  std::ifstream in(machine.folder() / "transcript.jsonl");
  for (std::string line; std::getline(in, line);) {
    const nlohmann::json record = nlohmann::json::parse(line, nullptr, false);
    if (!record.is_discarded() && record.value("kind", "") == "CommandLine") texts.push_back(record.value("text", ""));
  }
  return texts;
}

TEST(EndToEnd, TheHostRunsTheToolThroughTheLoaderAndUnloadsInOrder) {
  winsim::testing::TempMachine machine;
  installProduct(machine);
  std::ofstream(machine.host(u"C:\\Users\\User\\Documents\\tool.scr")) << "MWHELLO \"Merrowin user\"\nUCS O 5,5,0\n";
  std::filesystem::create_directories(machine.host(u"C:\\Users\\User\\Documents\\Out"));

  const DWORD code = runProgram(u"\"" + kHost + u"\" --load \"" + kLoader +
                                u"\" --script C:\\Users\\User\\Documents\\tool.scr --saveas "
                                u"C:\\Users\\User\\Documents\\Out\\drawing.dxf");
  EXPECT_EQ(code, 0u);

  EXPECT_EQ(moduleEvents(machine),
            std::vector<std::string>({load(kLoader), load(kCommonModule), load(kExtensionTool), unload(kCommonModule),
                                      unload(kExtensionTool), unload(kLoader)}));
  const auto texts = commandLineTexts(machine);
  const std::string hello = "\nHello, Merrowin user, from MWExtensionTool with " + winsim::toUtf8(kCommonModule);
  EXPECT_NE(std::find_if(texts.begin(), texts.end(), [&](const std::string& t) { return t.rfind(hello, 0) == 0; }),
            texts.end());
  EXPECT_TRUE(std::filesystem::exists(machine.host(u"C:\\Users\\User\\Documents\\Out\\drawing.dxf")));
  // The loader relaxed SECURELOAD before it asked for the modules: nobody was asked.
  std::ifstream in(machine.folder() / "transcript.jsonl");
  const std::string transcript((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(transcript.find("\"kind\":\"MessageBox\""), std::string::npos);
}

TEST(EndToEnd, AFailingScriptMakesTheHostFail) {
  winsim::testing::TempMachine machine;
  installProduct(machine);
  std::ofstream(machine.host(u"C:\\bad.scr")) << "NOSUCHCOMMAND\n";
  EXPECT_EQ(runProgram(u"\"" + kHost + u"\" --load \"" + kLoader + u"\" --script C:\\bad.scr"), 1u);
  // Everything is still unloaded.
  EXPECT_EQ(moduleEvents(machine).size(), 6u);
  EXPECT_EQ(runProgram(u"\"" + kHost + u"\" --frobnicate"), 2u);
}

}  // namespace
