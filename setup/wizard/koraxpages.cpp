#include "koraxpages.h"

#include "completeerrordlg.h"
#include "copyfilesdlg.h"
#include "finishdlg.h"
#include "licensedlg.h"
#include "welcomedlg.h"
#include "welcomemaintdlg.h"

namespace {

template <class Page>
INT_PTR showPage() {
  Page page;
  return page.DoModal();
}

}  // namespace

INT_PTR KoraxPages::ShowWelcomePage() { return showPage<CKoraxWelcomeDlg>(); }
INT_PTR KoraxPages::ShowLicensePage() { return showPage<CKoraxLicenseDlg>(); }
INT_PTR KoraxPages::ShowCopyFilesPage() { return showPage<CKoraxCopyFilesDlg>(); }
INT_PTR KoraxPages::ShowFinishPage() { return showPage<CKoraxFinishDlg>(); }
INT_PTR KoraxPages::ShowErrorCompletionPage() { return showPage<CKoraxCompleteErrorDlg>(); }
INT_PTR KoraxPages::ShowMaintenancePage() { return showPage<CKoraxWelcomeMaintDlg>(); }
