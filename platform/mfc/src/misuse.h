// Programming errors that the platform's class library answers with an
// exception no caller catches: here, one line on standard error and abort.
#pragma once

#include <string>

namespace winsim::mfc {

[[noreturn]] void reportMisuse(const std::string& what);

}  // namespace winsim::mfc
