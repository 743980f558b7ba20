// The ids of the menu tests' resources (bcmenu.rc).
#pragma once

#define IDR_BUTTONMENU 300
#define IDR_NESTEDMENU 301
#define IDB_SQUARE 310
#define ID_OPEN 40001
#define ID_SAVE 40002
#define ID_CLOSE 40003
#define ID_DEEP 40004
