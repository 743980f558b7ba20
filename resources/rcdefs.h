/* Values of the window, dialog and control styles and of the languages that
   the resource scripts use. The resource compiler runs without a platform
   SDK here, so the scripts get the numbers from this file. */
#ifndef RESOURCES_RCDEFS_H
#define RESOURCES_RCDEFS_H

#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_ENGLISH_US 0x01

#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_VSCROLL 0x00200000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L

#define WS_EX_TRANSPARENT 0x00000020L
#define WS_EX_APPWINDOW 0x00040000L

#define DS_FIXEDSYS 0x0008L
#define DS_SETFONT 0x0040L
#define DS_MODALFRAME 0x0080L
#define DS_CENTER 0x0800L
#define DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS)

#define BS_PUSHBUTTON 0x0000L
#define BS_DEFPUSHBUTTON 0x0001L
#define BS_CHECKBOX 0x0002L
#define BS_OWNERDRAW 0x000BL
#define ES_LEFT 0x0000L
#define ES_MULTILINE 0x0004L
#define ES_AUTOVSCROLL 0x0040L
#define ES_AUTOHSCROLL 0x0080L
#define ES_READONLY 0x0800L
#define SS_LEFT 0x0000L
#define SS_ICON 0x0003L
#define SS_BITMAP 0x000EL
#define SS_REALSIZECONTROL 0x0040L
#define SS_NOTIFY 0x0100L

#define IDOK 1
#define IDCANCEL 2

#endif
