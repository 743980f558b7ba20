/* Ids of the host's resource library koraxkwlres.dll, shared by the host
   and the resource script of the library. */
#ifndef KORAXKWLRES_H
#define KORAXKWLRES_H

#define IDS_KX_TITLE 1 /* the host's title: caption of its alerts and questions */

#endif
