// The setup program, Setup.exe of the package: one application object over
// the engine, with the wizard's pages.
//
// The pages are not part of the program yet. Until they are, every page is
// one that could not be shown: its modal run answers kPageNotShown, as DoModal
// does for a dialog whose template is missing, and the flows treat that as a
// cancellation (the wizard ends on the error-completion page, which is missing
// too, so the run ends quietly). The flows without pages (the quiet install,
// the quiet uninstall and the removal started from the install folder) work in
// full. The pages replace MissingPages with a SetupPages whose functions each
// build their page on the stack and return its DoModal result; the flows stay
// as they are.
#include "koraxinstallerapp.h"
#include "setuppages.h"

namespace {

class MissingPages final : public SetupPages {
 public:
  INT_PTR ShowWelcomePage() override { return kPageNotShown; }
  INT_PTR ShowLicensePage() override { return kPageNotShown; }
  INT_PTR ShowCopyFilesPage() override { return kPageNotShown; }
  INT_PTR ShowFinishPage() override { return kPageNotShown; }
  INT_PTR ShowErrorCompletionPage() override { return kPageNotShown; }
  INT_PTR ShowMaintenancePage() override { return kPageNotShown; }
};

MissingPages thePages;
CKoraxInstallerApp theApp(thePages);

}  // namespace
