// Pictures from a module's resources and from files: LoadImageW and the
// shorter LoadBitmapW and LoadIconW.
//
// - Bitmaps: an RT_BITMAP resource (a packed DIB), or a .bmp file with
//   LR_LOADFROMFILE. With LR_CREATEDIBSECTION the bitmap is a DIB section of
//   the picture's own format (an 8-bit picture keeps its colour table);
//   otherwise a device bitmap of the display (32 bits), or monochrome with
//   LR_MONOCHROME. A non-zero cx or cy stretches the picture to that size.
// - Icons and cursors: an RT_GROUP_ICON / RT_GROUP_CURSOR directory whose
//   images are RT_ICON / RT_CURSOR resources. The image nearest the asked
//   size is taken (a larger one before a smaller one at the same distance,
//   then the deeper colour) and stretched to the size when it differs. A
//   zero cx or cy means the size of the directory's first image, or 32
//   (SM_CXICON, SM_CXCURSOR) with LR_DEFAULTSIZE. Images stored as PNG are
//   not read: a directory offers its other images instead.
// - LR_SHARED answers the same handle each time the same picture and size is
//   asked for (it is not to be destroyed; if it was, it is loaded anew).
// - A null instance: cursors are the system's (LoadCursorW); there are no
//   system bitmaps or icons (ERROR_RESOURCE_NAME_NOT_FOUND).
//
// The pictures are outside input: every size and offset is checked before a
// byte is read, and a damaged picture fails with ERROR_INVALID_DATA. OS/2
// bitmap headers and compressed bitmaps are refused the same way. Icons and
// cursors are not loaded from files (ERROR_NOT_SUPPORTED), and
// LR_LOADTRANSPARENT and LR_LOADMAP3DCOLORS, which recolour a picture, are
// refused with ERROR_NOT_SUPPORTED.
#pragma once

#include "win32/gdi.h"
#include "win32/types.h"
#include "win32/user.h"  // IMAGE_BITMAP, IMAGE_ICON, IMAGE_CURSOR

constexpr UINT LR_DEFAULTCOLOR = 0x00000000;
constexpr UINT LR_MONOCHROME = 0x00000001;
constexpr UINT LR_LOADFROMFILE = 0x00000010;
constexpr UINT LR_LOADTRANSPARENT = 0x00000020;
constexpr UINT LR_DEFAULTSIZE = 0x00000040;
constexpr UINT LR_VGACOLOR = 0x00000080;  // no effect on the true-colour display
constexpr UINT LR_LOADMAP3DCOLORS = 0x00001000;
constexpr UINT LR_CREATEDIBSECTION = 0x00002000;
constexpr UINT LR_SHARED = 0x00008000;

HANDLE LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad);
/// A device bitmap of an RT_BITMAP resource; the caller deletes it.
HBITMAP LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName);
/// A shared icon of SM_CXICON x SM_CYICON.
HICON LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName);
/// As on the platform, a cursor is copied as an icon.
inline HCURSOR CopyCursor(HCURSOR hCursor) { return CopyIcon(hCursor); }
