/* The block's Shortcut lines: "Du,{TARGET},{PARAMETERS},{FOLDER},{DESCRIPTION},{NAME}" (the outer quotes
   already gone). The letter says where the shortcut goes (D desktop, S Start menu, P Programs, T Startup),
   "u" that it is the current user's. TARGET may start with a folder token and has its backslashes doubled;
   for every token but %ProgramFiles% the build writes a double quote right after the brace. The other
   fields are written as they were typed, so they may hold braces and quotes of their own. Portable C. */
#ifndef PW_SFX_SHORTCUT_H
#define PW_SFX_SHORTCUT_H

#include "Text.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum SfxPlace { SFX_PLACE_DESKTOP, SFX_PLACE_START_MENU, SFX_PLACE_PROGRAMS, SFX_PLACE_STARTUP } SfxPlace;

typedef enum SfxFolder {
    SFX_FOLDER_NONE,             /* an absolute target, or one inside the extraction folder */
    SFX_FOLDER_PROGRAM_FILES,    /* %ProgramFiles% */
    SFX_FOLDER_COMMON_DOCUMENTS, /* %CommonDocuments% */
    SFX_FOLDER_MY_DOCUMENTS,     /* %MyDocuments% */
    SFX_FOLDER_USER_DESKTOP,     /* %UserDesktop% */
    SFX_FOLDER_MODULE,           /* %%S: the installer's own folder */
    SFX_FOLDER_EXTRACTION,       /* %%T: the extraction folder */
    SFX_FOLDER_COUNT
} SfxFolder;

typedef struct SfxShortcut {
    SfxPlace place;
    int currentUser; /* "u" */
    SfxFolder folder;
    RtText target; /* after the token, backslashes single, quotes gone */
    RtText parameters, subfolder, description, name;
} SfxShortcut;

/* 0 when the line names no place or has no target field. Fields missing at the end count as empty. When a
   field holds the separator "},{" itself, the first three separators and the last one count, and the
   description takes the rest. */
int SfxShortcut_Read(const PwChar *line, SfxShortcut *shortcut);

/* Shortcuts go to the All Users folders unless they are the current user's; and always when the module runs
   under the system account, as during Windows setup, where the current user's folders belong to no one who
   will ever log on. */
int SfxShortcut_ForAllUsers(const SfxShortcut *shortcut, int runsAsSystem);

/* The target's full path: folders[] holds the folder of each token (folders[SFX_FOLDER_NONE] unused). A
   target without a token that is not absolute lies in the extraction folder. */
void SfxShortcut_TargetPath(const SfxShortcut *shortcut, const PwChar *const folders[SFX_FOLDER_COUNT],
                            RtText *path);

/* The .lnk file's path in placeFolder: the sub-folder, then the name (the target's name without its
   extension when the line gives none) with ".lnk". 0 when there is no name to give it. */
int SfxShortcut_LinkPath(const SfxShortcut *shortcut, const PwChar *placeFolder, RtText *path);

void SfxShortcut_Free(SfxShortcut *shortcut);

#ifdef __cplusplus
}
#endif

#endif
