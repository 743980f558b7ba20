// The setup program, Setup.exe of the package: one application object over
// the engine, with the wizard's pages.
#include "koraxinstallerapp.h"
#include "koraxpages.h"

namespace {

KoraxPages thePages;
CKoraxInstallerApp theApp(thePages);

}  // namespace
