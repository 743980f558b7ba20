// CKoraxFinishDlg: the last page of a successful installation. Its icon
// check box decides whether the flow starts the installed viewer once the
// page has closed with Finish (1001); Escape (2) never starts it. The
// workspace-style choices of the template stay hidden.
#pragma once

#include "bitmapdialog.h"
#include "buttonst.h"
#include "labelex.h"
#include "shadebuttonst.h"
#include "softbitmapbutton.h"

class CKoraxFinishDlg : public CBitmapDialog {
 public:
  CKoraxFinishDlg();

  const CMessageMap& GetMessageMap() const override;

  BOOL OnInitDialog() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  /// Enter has no meaning of its own on this page: only Finish and Escape end it.
  void OnOK() override {}

  afx_msg void OnPaint();
  afx_msg void OnLaunch();
  afx_msg void OnModernWorkspace();
  afx_msg void OnClassicWorkspace();
  afx_msg void OnFinish();

 private:
  /// Icon 131 while launchAfterFinish is on, 132 while it is off.
  void showLaunchIcon();
  /// Records the workspace style and marks its choice.
  void chooseWorkspace(int classic);

  CSoftBitmapButton m_finish;
  CButtonST m_launch;
  CLabelEx m_pageText;
  CShadeButtonST m_modernWorkspace;
  CShadeButtonST m_classicWorkspace;
  BOOL m_bFirstPaint = TRUE;
};
