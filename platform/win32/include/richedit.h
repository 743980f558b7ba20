// The rich-edit control ("RichEdit20W"): text streamed in with EM_STREAMIN
// and shown with its default character format.
#pragma once

#include "win32/user.h"

inline constexpr const WCHAR* RICHEDIT_CLASSW = u"RichEdit20W";

using LCID = DWORD;

/// Gives the control up to `cb` bytes in `pbBuff` and their count in `*pcb`;
/// 0 goes on, anything else stops the stream with that value as dwError.
/// A count of 0 ends the stream.
using EDITSTREAMCALLBACK = DWORD (*)(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG* pcb);
struct EDITSTREAM {
  DWORD_PTR dwCookie;
  DWORD dwError;
  EDITSTREAMCALLBACK pfnCallback;
};

constexpr UINT SF_TEXT = 0x0001;
constexpr UINT SF_RTF = 0x0002;
constexpr UINT SF_RTFNOOBJS = 0x0003;
constexpr UINT SF_UNICODE = 0x0010;
constexpr UINT SFF_PLAINRTF = 0x4000;
constexpr UINT SFF_SELECTION = 0x8000;

constexpr UINT EM_EXGETSEL = WM_USER + 52;
constexpr UINT EM_EXLIMITTEXT = WM_USER + 53;
constexpr UINT EM_EXSETSEL = WM_USER + 55;
constexpr UINT EM_GETCHARFORMAT = WM_USER + 58;  // wParam: SCF_DEFAULT or SCF_SELECTION
constexpr UINT EM_GETEVENTMASK = WM_USER + 59;
constexpr UINT EM_SETBKGNDCOLOR = WM_USER + 67;  // wParam nonzero: the system window colour; else lParam
constexpr UINT EM_SETCHARFORMAT = WM_USER + 68;
constexpr UINT EM_SETEVENTMASK = WM_USER + 69;
constexpr UINT EM_STREAMIN = WM_USER + 73;  // wParam: SF_*; lParam: EDITSTREAM*; result: characters read
constexpr UINT EM_AUTOURLDETECT = WM_USER + 91;

struct CHARRANGE {
  LONG cpMin;
  LONG cpMax;
};

// Character formats.
constexpr UINT SCF_DEFAULT = 0x0000;
constexpr UINT SCF_SELECTION = 0x0001;
constexpr UINT SCF_WORD = 0x0002;
constexpr UINT SCF_ALL = 0x0004;

constexpr DWORD CFM_BOLD = 0x00000001;
constexpr DWORD CFM_ITALIC = 0x00000002;
constexpr DWORD CFM_UNDERLINE = 0x00000004;
constexpr DWORD CFM_STRIKEOUT = 0x00000008;
constexpr DWORD CFM_PROTECTED = 0x00000010;
constexpr DWORD CFM_LINK = 0x00000020;
constexpr DWORD CFM_WEIGHT = 0x00400000;
constexpr DWORD CFM_BACKCOLOR = 0x04000000;
constexpr DWORD CFM_CHARSET = 0x08000000;
constexpr DWORD CFM_OFFSET = 0x10000000;
constexpr DWORD CFM_FACE = 0x20000000;
constexpr DWORD CFM_COLOR = 0x40000000;
constexpr DWORD CFM_SIZE = 0x80000000;
constexpr DWORD CFM_EFFECTS =
    CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_COLOR | CFM_STRIKEOUT | CFM_PROTECTED | CFM_LINK;
constexpr DWORD CFE_BOLD = 0x00000001;
constexpr DWORD CFE_ITALIC = 0x00000002;
constexpr DWORD CFE_UNDERLINE = 0x00000004;
constexpr DWORD CFE_STRIKEOUT = 0x00000008;
constexpr DWORD CFE_PROTECTED = 0x00000010;
constexpr DWORD CFE_LINK = 0x00000020;
constexpr DWORD CFE_AUTOBACKCOLOR = CFM_BACKCOLOR;
constexpr DWORD CFE_AUTOCOLOR = 0x40000000;  // the text colour is the system window-text colour

struct CHARFORMATW {
  UINT cbSize;
  DWORD dwMask;
  DWORD dwEffects;
  LONG yHeight;  // twips
  LONG yOffset;
  COLORREF crTextColor;
  BYTE bCharSet;
  BYTE bPitchAndFamily;
  WCHAR szFaceName[LF_FACESIZE];
};
struct CHARFORMAT2W : CHARFORMATW {
  WORD wWeight;
  SHORT sSpacing;
  COLORREF crBackColor;
  LCID lcid;
  DWORD dwReserved;
  SHORT sStyle;
  WORD wKerning;
  BYTE bUnderlineType;
  BYTE bAnimation;
  BYTE bRevAuthor;
  BYTE bReserved1;
};
