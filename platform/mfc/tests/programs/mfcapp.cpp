// An application for the tests of the application object: it writes what the
// framework told it to C:\mfcapp.txt (UTF-8, one field a line), shows one
// framework box, and answers InitInstance with FALSE when its command line
// holds "init=0". Its exit code tells which way it ended: 12 after a refused
// InitInstance, 21 after Run.
#include <string>

#include "afxwin.h"
#include "win32/crt.h"

namespace {

std::string utf8(LPCWSTR text) {
  if (!text) return "(null)";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  return out;
}

class CProbeApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    const std::string report = "app=" + utf8(m_pszAppName) + "\nexe=" + utf8(m_pszExeName) + "\ncmd=[" +
                               utf8(m_lpCmdLine) + "]\ninstance=" + (m_hInstance ? "set" : "null") + "\n";
    int fd = -1;
    if (_sopen_s(&fd, "C:\\mfcapp.txt", _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _SH_DENYNO,
                 _S_IREAD | _S_IWRITE) == 0) {
      _write(fd, report.data(), static_cast<unsigned>(report.size()));
      _close(fd);
    }
    AfxMessageBox(u"probe");
    return std::u16string(m_lpCmdLine ? m_lpCmdLine : u"").find(u"init=0") == std::u16string::npos;
  }
  int Run() override {
    m_ran = true;
    return CWinApp::Run();
  }
  int ExitInstance() override { return m_ran ? 21 : 12; }

 private:
  bool m_ran = false;
};

CProbeApp theApp;

}  // namespace
