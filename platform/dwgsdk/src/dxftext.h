// Text in DXF files. R2000 files carry text in the drawing's code page with
// \U+XXXX for characters outside it (and \M+NXXXX for double-byte ones);
// AC1021 and later files are UTF-8. Control characters are written in caret
// form (^J), and a caret itself as "^ ".
#pragma once

#include <string>
#include <string_view>

enum class DxfEncoding { kUnknown, kCp1252, kUtf8, kCodePage };

/// Appends `text` as code page 1252 with escapes.
void encodeDxfText(std::string& out, std::u16string_view text);
/// Decodes a value of a file in `encoding` (`codePage` for kCodePage).
std::u16string decodeDxfText(std::string_view bytes, DxfEncoding encoding, unsigned codePage = 1252);
/// The code page number of a $DWGCODEPAGE value ("ANSI_1252" -> 1252), 0 when unknown.
unsigned dxfCodePageNumber(std::string_view name);
