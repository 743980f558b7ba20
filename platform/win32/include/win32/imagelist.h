// Image lists (the common controls' ImageList_* of commctrl.h): rows of
// same-sized pictures, each with an optional mask, added from bitmap strips
// or icons and drawn by index.
//
// A list keeps its pictures in true colour whatever ILC_COLOR* depth it was
// made with (the display is true-colour, so nothing a caller draws differs).
// A list made with ILC_MASK keeps a mask per picture: its transparent pixels
// leave the destination as it was when the picture is drawn. Its background
// colour is CLR_NONE, so ILD_NORMAL and ILD_TRANSPARENT both draw through the
// mask; a list without a mask draws its pictures whole. Handles are
// process-wide and live until ImageList_Destroy.
#pragma once

#include "win32/gdi.h"
#include "win32/types.h"

struct _IMAGELIST;
using HIMAGELIST = _IMAGELIST*;

constexpr UINT ILC_MASK = 0x00000001;
constexpr UINT ILC_COLOR = 0x00000000;
constexpr UINT ILC_COLORDDB = 0x000000FE;
constexpr UINT ILC_COLOR4 = 0x00000004;
constexpr UINT ILC_COLOR8 = 0x00000008;
constexpr UINT ILC_COLOR16 = 0x00000010;
constexpr UINT ILC_COLOR24 = 0x00000018;
constexpr UINT ILC_COLOR32 = 0x00000020;

constexpr UINT ILD_NORMAL = 0x00000000;
constexpr UINT ILD_TRANSPARENT = 0x00000001;

constexpr COLORREF CLR_NONE = 0xFFFFFFFF;

/// A list of cx x cy pictures; cInitial and cGrow only reserve room.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow);
BOOL ImageList_Destroy(HIMAGELIST himl);
/// -1 for an unknown list.
int ImageList_GetImageCount(HIMAGELIST himl);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
/// Cuts the bitmap into pictures of the list's width, left to right (a rest
/// narrower than one picture is dropped); the monochrome mask's white marks
/// the transparent pixels. The index of the first picture added, else -1.
int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask);
/// The same with the pixels of crMask transparent (and black in the picture).
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask);
/// Puts the icon, stretched to the list's size, at index i, or after the
/// last picture when i is -1. The index, else -1.
int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon);
inline int ImageList_AddIcon(HIMAGELIST himl, HICON hicon) { return ImageList_ReplaceIcon(himl, -1, hicon); }
/// Draws picture i with its top-left corner at (x, y), logical coordinates.
BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle);
/// A new icon of picture i (its mask, or none transparent); the caller
/// destroys it. flags must be 0.
HICON ImageList_GetIcon(HIMAGELIST himl, int i, UINT flags);
inline HICON ImageList_ExtractIcon(HINSTANCE, HIMAGELIST himl, int i) { return ImageList_GetIcon(himl, i, 0); }
