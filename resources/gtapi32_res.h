/*
 * gtapi32_res.h - ids of the library's own resources.
 *
 * Shared by the .rc sources and by the code that loads the resources
 * through the library's module handle.  Plain #defines only, so that both
 * windres and the C/C++ compilers read it.
 */
#ifndef GTAPI32_RES_H
#define GTAPI32_RES_H

/* Dialog templates */
#define IDD_GT_MSGBOX           27000  /* extended message box */
#define IDD_GT_STATUS           27001  /* modeless status window */
#define IDC_GT_STATUSTEXT       27002  /* status window: the text line */

/* Icon groups (32x32, 16 colours and monochrome) */
#define IDI_GT_QUESTION         27500
#define IDI_GT_INFORMATION      27501
#define IDI_GT_EXCLAMATION      27502
#define IDI_GT_STOP             27503

/* String tables (English, German, French, Italian, Japanese) */
#define IDS_GT_TRANSLATORNOTE   28000
#define IDS_GT_FIRSTCAPTION     28001  /* button captions: 28000 + button id */
#define IDS_GT_OK               28001
#define IDS_GT_CANCEL           28002
#define IDS_GT_ABORT            28003
#define IDS_GT_RETRY            28004
#define IDS_GT_IGNORE           28005
#define IDS_GT_FAIL             28006
#define IDS_GT_YES              28007
#define IDS_GT_NO               28008
#define IDS_GT_PROCEED          28009
#define IDS_GT_EXIT             28010
#define IDS_GT_RESTORE          28011
#define IDS_GT_BACKUP           28012
#define IDS_GT_RESET            28013
#define IDS_GT_HELP             28014
#define IDS_GT_RESTARTWINDOWS   28015
#define IDS_GT_VIEW             28016
#define IDS_GT_NOACTION         28017
#define IDS_GT_BACKUPCURR       28018
#define IDS_GT_BACKUPPREV       28019
#define IDS_GT_RESTORECURR      28020
#define IDS_GT_RESTOREPREV      28021
#define IDS_GT_NEXT             28022
#define IDS_GT_PREVIOUS         28023
#define IDS_GT_BACK             28024
#define IDS_GT_BROWSE           28025
#define IDS_GT_SKIP             28026
#define IDS_GT_ACCEPT           28027
#define IDS_GT_SEARCH           28028
#define IDS_GT_FIX              28029
#define IDS_GT_AUTOFIX          28030
#define IDS_GT_STOP             28031
#define IDS_GT_LASTCAPTION      28031
#define IDS_GT_REBOOTTEXT       28032
#define IDS_GT_REBOOTCAPTION    28033
#define IDS_GT_DELETINGFILES    28034  /* one argument: the file name */
#define IDS_GT_ACCESSORIES      28035

#endif /* GTAPI32_RES_H */
