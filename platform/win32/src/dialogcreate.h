// Making a dialog from its template, for the dialog functions.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "win32/user.h"

namespace winsim::user {

struct BaseUnits {
  int x = 0;
  int y = 0;
};
/// Dialog base units of a font (null: the system font): the average width of
/// "A".."Z", "a".."z" and the font's height.
BaseUnits baseUnitsOf(HFONT font);

/// Which module resource a template in memory is, if any.
struct TemplateOrigin {
  WORD id = 0;
  std::size_t size = 0;
};
TemplateOrigin templateOrigin(const void* bytes);

struct DialogResource {
  std::span<const std::uint8_t> bytes;
  WORD id = 0;
};
std::optional<DialogResource> findDialogResource(HINSTANCE instance, LPCWSTR name);

HWND createDialog(HINSTANCE instance, std::span<const std::uint8_t> bytes, WORD templateId, HWND parent, DLGPROC proc,
                  LPARAM param, bool modal);

}  // namespace winsim::user
