/* Ids of the resources of IntallerRes.dll, shared by its resource script and
   the code that loads them. */
#ifndef RESOURCES_INTALLERRES_H
#define RESOURCES_INTALLERRES_H

/* Texts (the setup program's English fallbacks name the same ids). */
#define IDS_PUBLISHER 1997
#define IDS_HELP_LINK 1998
#define IDS_DISPLAY_NAME_SUFFIX 1999
#define IDS_DISK_SPACE_LOW 2001
#define IDS_DISK_SPACE_QUERY_FAILED 2002
#define IDS_REGISTRY_CREATE_FAILED 2003
#define IDS_FILE_MISSING 2005
#define IDS_UNINSTALL_SHORTCUT 2008
#define IDS_NOT_ADMINISTRATOR 2009
#define IDS_VIEWER_RUNNING 2010
#define IDS_64BIT_INSTALLED 2011
#define IDS_MSI_FAILED 2012
#define IDS_UNINSTALL_FAILED 2013
#define IDS_CONFIRM_UNINSTALL 2014
#define IDS_PRODUCT_KEY_NAME 2015
#define IDS_REGISTER_FAILED 2017
#define IDS_WEBSITE_SHORTCUT 2018
#define IDS_ALREADY_RUNNING 2021
#define IDS_MUTEX_NAME 2022
#define IDS_32BIT_INSTALLED 2023
#define IDS_64BIT_ON_32BIT_SYSTEM 2024
#define IDS_FOLDER_NOT_EMPTY 2026
#define IDS_PATH_INPUT_ERROR 2027
#define IDS_PATH_INVALID_CHARACTERS 2028
#define IDS_PATH_IS_ROOT 2029
#define IDS_BROWSE_TITLE 2032
#define IDS_INSTALL_FAILED 2033
#define IDS_DOTNET_MISSING 2034
#define IDS_LICENSE_NOT_ACCEPTED 2035
#define IDS_OVERALL_PROGRESS 2036
#define IDS_FONT_FACE 2037
#define IDS_PRODUCT_NAME 2038

/* The pages' dialog templates. Each is a page of 333 x 253 dialog units
   ("MS Shell Dlg" 8: 500 x 380 pixels), the size of its background. */
#define IDD_WELCOME 102
#define IDD_LICENSE 103
#define IDD_MAINTENANCE 108
#define IDD_ERROR_COMPLETE 109
#define IDD_FINISH 110
#define IDD_COPY_FILES 111
#define IDD_HTML_PAGE 112

/* HTML pages: the HTML page dialog's first page, and the system
   requirements (named "REQUIREMENT" in the script), with the style sheet and
   the logo they reference by name ("SETUP.CSS", "LOGO.BMP"). */
#define IDR_HTML_START 113

/* Page backgrounds, 500 x 380 pixels. */
#define IDB_WELCOME 129
#define IDB_CLOSING 139 /* the error-completion and maintenance pages */
#define IDB_FINISH 140
#define IDB_SLIDE_FIRST 141 /* the copy-files slideshow: 141 to 146 */
#define IDB_SLIDE_LAST 146
#define IDB_LICENSE 148 /* 8 bits per pixel, with its palette */

/* Button pictures, 90 x 30 pixels: normal, pressed, hover (and disabled). */
#define IDB_CUSTOM 150
#define IDB_CUSTOM_PRESSED 151
#define IDB_CUSTOM_HOVER 152
#define IDB_INSTALL 153
#define IDB_INSTALL_PRESSED 154
#define IDB_INSTALL_HOVER 155
#define IDB_INSTALL_DISABLED 156
#define IDB_BROWSE 157
#define IDB_BROWSE_PRESSED 158
#define IDB_BROWSE_HOVER 159
#define IDB_CANCEL 160 /* welcome and copy-files pages */
#define IDB_CANCEL_PRESSED 161
#define IDB_CANCEL_HOVER 162
#define IDB_BACK 163
#define IDB_BACK_PRESSED 164
#define IDB_BACK_HOVER 165
#define IDB_BACK_DISABLED 166
#define IDB_NEXT 167
#define IDB_NEXT_PRESSED 168
#define IDB_NEXT_HOVER 169
#define IDB_NEXT_DISABLED 170
#define IDB_CANCEL_CHOICE 171 /* licence and maintenance pages */
#define IDB_CANCEL_CHOICE_PRESSED 172
#define IDB_CANCEL_CHOICE_HOVER 173
#define IDB_FINISH_BUTTON 174
#define IDB_FINISH_BUTTON_PRESSED 175
#define IDB_FINISH_BUTTON_HOVER 176
#define IDB_BUTTON_FIRST 150
#define IDB_BUTTON_LAST 176

/* The progress bar's pattern for the part still to do, 8 x 8 pixels. */
#define IDB_PROGRESS_PATTERN 181

/* Icons, 16 x 16 pixels with their masks. */
#define IDI_CHECK_TICKED 131
#define IDI_CHECK_CLEAR 132
#define IDI_CHOICE_OFF 137
#define IDI_CHOICE_ON 138

/* The pages' controls. */
#define IDC_BACK 1000
#define IDC_NEXT 1001 /* the forward button: Install, Next or Finish */
#define IDC_LICENSE_TEXT 1002
#define IDC_ACCEPT 1003
#define IDC_DECLINE 1004
#define IDC_REMOVE 1007
#define IDC_REPAIR 1012
#define IDC_PROGRESS 1013
#define IDC_MODERN_WORKSPACE 1014
#define IDC_CLASSIC_WORKSPACE 1015
#define IDC_CUSTOM 1017
#define IDC_INSTALL 1018
#define IDC_SPARE_BUTTON 1019
#define IDC_REQUIREMENTS_LINK 1020
#define IDC_PATH_EDIT 1023
#define IDC_BROWSE 1024
#define IDC_INSTALL_TO_TEXT 1031
#define IDC_PAGE_TEXT 1032
#define IDC_PAGE_TEXT_2 1033
#define IDC_LICENSE_CHECK 1037
#define IDC_LICENSE_LINK 1038
#define IDC_PATH 1040
#define IDC_ACCEPT_TEXT 1042
#define IDC_PAGE_COVER 1043
#define IDC_LAUNCH_CHECK 1044

/* A small dialog of every kind of control the pages use, for the layer's
   tests. */
#define IDD_SAMPLE 200
#define IDC_SAMPLE_TEXT 1001
#define IDC_SAMPLE_EDIT 1002
#define IDC_SAMPLE_PICTURE 1003
#define IDB_SAMPLE_PICTURE 300

#endif
