/* Resource ids of testimages.dll, the image loader's test library. */
#ifndef RESOURCES_TESTIMAGES_H
#define RESOURCES_TESTIMAGES_H

/* Pictures. */
#define IDB_BARS 100
#define IDB_PALETTE 101
#define IDB_QUADS 102
#define IDI_TWOSIZES 200
#define IDC_HOTSPOT 300

/* Damaged pictures, and a directory whose first image is not read. */
#define IDB_CUT 400
#define IDB_OS2 401
#define IDB_RLE 402
#define IDI_CUTDIR 500
#define IDI_MISSING 501
#define IDI_BADMASK 502
#define IDI_PNGFIRST 503
#define IDI_IMAGE_PNG 601
#define IDI_IMAGE_GOOD 602
#define IDI_IMAGE_BADMASK 603

#endif
