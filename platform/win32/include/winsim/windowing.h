// What the simulated screen shows: the window layer's pictures for
// screenshots and tests.
#pragma once

#include <filesystem>
#include <memory>

#include "win32/user.h"
#include "winsim/expected.h"
#include "winsim/surface.h"

namespace winsim {

/// Draws the desktop colour and then every visible top-level window, bottom
/// to top, into the virtual screen (virtualScreen()).
void composeScreen();

/// A copy of what a window shows, frame included: for a top-level window its
/// own picture (also when other windows cover it), for a child window its
/// part of its top-level window's picture.
Expected<std::shared_ptr<Surface>> captureWindow(HWND hwnd);

/// Screenshots as PNG files: one window (as captureWindow), or the composed screen.
Status writeWindowPng(HWND hwnd, const std::filesystem::path& file);
Status writeScreenPng(const std::filesystem::path& file);

/// The RT_DIALOG resource id a dialog was made from; 0 for other windows and
/// for dialogs made from a template that no loaded module holds.
WORD dialogTemplateId(HWND hwnd);

}  // namespace winsim
