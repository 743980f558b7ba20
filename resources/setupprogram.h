/* Ids of the setup program's own resources (its window icon); everything
   else the setup program shows comes from IntallerRes.dll. */
#ifndef RESOURCES_SETUPPROGRAM_H
#define RESOURCES_SETUPPROGRAM_H

#define IDI_SETUP_PROGRAM 128

#endif
