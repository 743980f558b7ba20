// The wizard pages as the flows see them: one modal run per call, answered
// with the page's result code. The flows (flows.h) branch only on these
// results, and the pages and the flows share nothing else but the setup
// state, so the flows do not know how a page is made.
//
// The pages of the wizard implement this with their dialogs: each function
// builds its page on its own stack, runs DoModal and returns the result, so
// the page lives exactly as long as it is shown. A page that cannot be shown
// (its template missing from the resource library) returns what DoModal
// returns then, kPageNotShown, which every flow treats as a cancellation.
#pragma once

#include "afx.h"

/// What DoModal returns for a page whose dialog could not be made: a
/// cancellation, like every result not listed below.
constexpr INT_PTR kPageNotShown = -1;

// The results the flows continue from.
constexpr INT_PTR kWelcomeInstall = 1018;      // welcome page: install (product key written)
constexpr INT_PTR kWelcomeShowLicense = 1038;  // welcome page: show the licence agreement
constexpr INT_PTR kLicenseAccept = 1001;       // licence page: install (product key written)
constexpr INT_PTR kLicenseBack = 1000;         // licence page: back to the welcome page
constexpr INT_PTR kCopyFilesSucceeded = 1;     // copy-files page: the install procedure succeeded
constexpr INT_PTR kFinishOk = 1001;            // finish page: Finish pressed
constexpr INT_PTR kMaintenanceGoOn = 1001;     // maintenance page: Next (removal already confirmed)

/// The six pages, each shown modally by one call.
class SetupPages {
 public:
  virtual ~SetupPages() = default;

  /// The welcome page: install folder, licence check box, install.
  virtual INT_PTR ShowWelcomePage() = 0;
  /// The licence-agreement page.
  virtual INT_PTR ShowLicensePage() = 0;
  /// The copy-files page: starts the install thread, shows its progress and
  /// closes on its end message (starting the rollback after a failure).
  virtual INT_PTR ShowCopyFilesPage() = 0;
  /// The finish page, with its start-the-viewer box (launchAfterFinish).
  virtual INT_PTR ShowFinishPage() = 0;
  /// The error-completion page, shown when a run ends without success.
  virtual INT_PTR ShowErrorCompletionPage() = 0;
  /// The maintenance page: repair or remove (mode).
  virtual INT_PTR ShowMaintenancePage() = 0;
};
