// The class library's window side, as the system's code includes it: the
// application and its threads, windows and message maps, dialogs, the
// standard controls, menus, device contexts and GDI objects, the message
// box and the module handles the framework keeps.
//
// A program defines one global object of a class derived from CWinApp and
// links the library `mfcmain`, whose main() is the program's entry: it hands
// the application the program's handle and command line (AfxWinInit), runs
// InitInstance and then either Run or, when InitInstance answered FALSE,
// ExitInstance, and makes the result the process's exit code (AfxWinMain).
// The application is the CWinThread of the thread that runs it.
#pragma once

#include "afx.h"
#include "afxctrls.h"
#include "afxdialog.h"
#include "afxgdi.h"
#include "afxmenu.h"
#include "afxmsgmap.h"
#include "afxobject.h"
#include "afxthread.h"
#include "afxwindowdc.h"
#include "afxwnd.h"
#include "atltypes.h"

class CWinApp : public CWinThread {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

  /// Registers the object as the process's one application object, the
  /// CWinThread of the thread that constructs it. A name given here becomes
  /// the application's title instead of the program's file name.
  explicit CWinApp(LPCWSTR lpszAppName = nullptr);
  ~CWinApp() override;

  /// Starts the application; TRUE goes on to Run, FALSE ends the program.
  BOOL InitInstance() override;
  /// The main thread's message loop (CWinThread::Run); when the loop ends,
  /// the result of ExitInstance. An application without a main window has
  /// nothing to wait for: the loop handles what is queued and ends.
  int Run() override;
  /// Cleans up as the application ends; the result is the exit code: the
  /// code of the WM_QUIT that ended the loop, 0 when none did.
  int ExitInstance() override;

  /// The title: the name given to the constructor, else the program's file
  /// name without folder and extension. Set by AfxWinInit.
  LPCWSTR m_pszAppName = nullptr;
  /// The program's file name without folder and extension.
  LPCWSTR m_pszExeName = nullptr;
  /// The command line after the program's name and the blanks that follow
  /// it; points into the process's command line (GetCommandLineW).
  LPWSTR m_lpCmdLine = nullptr;
  HINSTANCE m_hInstance = nullptr;
  int m_nCmdShow = 0;

 private:
  friend BOOL AfxWinInit(HINSTANCE, HINSTANCE, LPWSTR, int);
  CString m_givenName;
  CString m_title;
  CString m_exeName;
};

/// Fills in the application object's program fields: handle, command line,
/// show command, title and program name. FALSE when there is no application
/// object.
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
/// The program's run: AfxWinInit, InitInstance, then Run or ExitInstance.
/// The result is the exit code; -1 when the program has no application object.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);

/// The application object, or null when the program has none.
CWinApp* AfxGetApp();
/// The application's title, or null before AfxWinInit.
LPCWSTR AfxGetAppName();
/// The module that dialogs, bitmaps, icons and strings are loaded from: the
/// program itself until AfxSetResourceHandle names another.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
/// The program's own module.
HINSTANCE AfxGetInstanceHandle();

/// The framework's message box: no owner, the application's title as caption
/// (the program's file name without extension when there is no application
/// object yet), and the warning icon when nType asks for no icon. There is no
/// help system here: nIDHelp is accepted and not used.
int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
/// The same with the text of string nIDPrompt of the resource module (an
/// empty text when the module has no such string).
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));

HINSTANCE AfxLoadLibrary(LPCWSTR lpszModuleName);
BOOL AfxFreeLibrary(HINSTANCE hInstLib);

/// The rich-edit control's class ("RichEdit20W") is always registered by the
/// USER layer: there is no library to load, and the answer is TRUE.
BOOL AfxInitRichEdit2();
/// Lets dialogs host controls of other kinds (the HTML view of CDHtmlDialog);
/// a program calls it once before showing such a dialog.
void AfxEnableControlContainer();

/// The framework's shell manager, which a program makes for the shell's
/// dialogs (the folder browser): the shell calls it needs are the Shell
/// layer's own, so the object only has to exist for the program's lifetime.
class CShellManager : public CObject {
 public:
  CShellManager() = default;
  CShellManager(const CShellManager&) = delete;
  CShellManager& operator=(const CShellManager&) = delete;
};
