// The wizard's pages as the flows see them (setuppages.h): each call builds
// its page on the stack, runs it modally and answers its result, so a page
// lives exactly as long as it is shown.
#pragma once

#include "setuppages.h"

class KoraxPages final : public SetupPages {
 public:
  INT_PTR ShowWelcomePage() override;
  INT_PTR ShowLicensePage() override;
  INT_PTR ShowCopyFilesPage() override;
  INT_PTR ShowFinishPage() override;
  INT_PTR ShowErrorCompletionPage() override;
  INT_PTR ShowMaintenancePage() override;
};
