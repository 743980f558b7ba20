// The in-process classes the layer implements itself, for CoCreateInstance.
#pragma once

#include "objbase.h"

namespace winsim::com {

/// A new shell link object (shelllink.cpp), answering riid.
HRESULT createShellLink(REFIID riid, void** ppv);

}  // namespace winsim::com
