// The install thread: a user-interface thread of the class library that the
// copy-files page starts with AfxBeginThread(RUNTIME_CLASS(CInstallThread))
// and then posts WM_SETUP_START to, with the page's window as lParam. The
// thread runs the install procedure once, reporting to that window
// (installprocedure.h), and stays in its message loop until the page posts it
// WM_QUIT after the end message. It adds no data to its base.
#pragma once

#include "afxwin.h"

class CInstallThread : public CWinThread {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }
  const CMessageMap& GetMessageMap() const override;

  /// TRUE: the thread goes on to its message loop.
  BOOL InitInstance() override;

 protected:
  /// WM_SETUP_START: the install procedure, reporting to the window in lParam.
  afx_msg void OnStartInstall(WPARAM wParam, LPARAM lParam);
};
