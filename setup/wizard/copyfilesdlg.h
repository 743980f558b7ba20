// CKoraxCopyFilesDlg: the page shown while the product is installed or
// repaired (template 111). Opening it starts the install thread and tells it
// to begin; the page then advances its progress bar as the thread reports
// finished steps, changes its background picture every five seconds, and
// closes when the thread reports the end: 1 after success, 2 after a failure,
// once the rollback of what was installed has been started. Nothing the
// person does ends the page earlier.
#pragma once

#include "bitmapdialog.h"
#include "gradientprogressctrl.h"
#include "labelex.h"
#include "softbitmapbutton.h"

class CKoraxCopyFilesDlg : public CBitmapDialog {
 public:
  /// The slideshow's timer and its period.
  static constexpr UINT_PTR kSlideTimerId = 1;
  static constexpr UINT kSlidePeriodMs = 5000;
  /// The slides are backgrounds kFirstSlide - 1 + slide number, 1 to kSlides.
  static constexpr UINT kFirstSlide = 141;
  static constexpr int kSlides = 6;

  CKoraxCopyFilesDlg();

  const CMessageMap& GetMessageMap() const override;

  BOOL OnInitDialog() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

  /// Enter, like Cancel, leaves the installation running and the page open:
  /// the page ends only with the procedure's own end message.
  void OnOK() override;
  /// Cancel, Escape and the close box. Installers cannot be stopped part-way
  /// without leaving the machine half-installed, so a request to cancel is
  /// not acted on: the installation goes on and the page stays.
  void OnCancel() override;

  afx_msg void OnPaint();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnRequirements();
  afx_msg LRESULT OnSetupBegin(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetupStepBegin(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetupStepDone(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetupDone(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetupFailed(WPARAM wParam, LPARAM lParam);

  /// The number of progress steps this installation is expected to take.
  int m_nStepCount = 0;
  /// The step the bar shows.
  int m_nPos = 0;
  /// Which slide the background shows, 1 to kSlides.
  int m_nSlide = 1;
  /// The thread running the install procedure; null once it has been told
  /// to end (it deletes itself then), or when it could not be started.
  CWinThread* m_pInstallThread = nullptr;

  CGradientProgressCtrl m_progress;
  CSoftBitmapButton m_btnCancel;
  CLabelEx m_lblPageText;
  CLabelEx m_lblPageText2;
  CLabelEx m_lnkRequirements;

 private:
  /// 7, one more when the Windows Installer must be installed first, one
  /// more for 64-bit Windows and one more for the 32-bit package.
  static int countSteps();
  /// The bar full, the slideshow stopped and the thread told to leave its
  /// message loop, at either end of the installation.
  void finishInstallation();
};
