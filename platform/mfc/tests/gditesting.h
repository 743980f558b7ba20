// What the class library's drawing tests share: testimages.dll installed in
// a machine and made the resource module, a memory canvas, and pixels read
// back as text (testing/pixels.h).
#pragma once

#include "testing/pixels.h"

namespace gditesting {

using ImageLibrary = winsim::testing::ImageLibraryTest;
using winsim::testing::Canvas;

}  // namespace gditesting
