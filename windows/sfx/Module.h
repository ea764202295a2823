/* The self-extracting installer: the module, its configuration block and a 7z archive joined in one file.
   It extracts the archive into a new folder under %TEMP%, runs the block's command there, waits for it and
   for everything it started, makes the block's shortcuts, removes the folder and exits with the command's
   exit code. Nothing it does waits for an answer: it runs during Windows setup, where nobody is there. */
#ifndef PW_SFX_MODULE_H
#define PW_SFX_MODULE_H

#include "Block.h"
#include "Names.h"
#include "Runtime.h"
#include "SzArchive.h"

typedef struct Installer {
    RtText self; /* the installer's own file */
    HANDLE file;
    uint64_t fileSize;
    SfxBlock config;
    int configRead;
    uint64_t archiveStart;
    uint64_t archiveSize;
    RtText folder;     /* the extraction folder, as programs are shown it */
    RtText longFolder; /* the same with the "\\?\" prefix, for paths past MAX_PATH */
    SfxNames extracted; /* the files extracted, relative to the folder */
    RtText failure;     /* the first failure's line, for the message window */
} Installer;

/* Says what went wrong, with the error's text when code is not 0: in the log and on a console if one is
   attached at once; the first failure also in a message window that closes by itself, unless the block asks
   for no window, shown by Installer_ShowFailure once the extraction folder is gone. */
void Installer_Fail(Installer *installer, const char *text, const PwChar *detail, DWORD code);
void Installer_ShowFailure(const Installer *installer);

/* Payload.c: finds the block after the module's image and reads it. */
DWORD Installer_ReadPayload(Installer *installer);
DWORD Installer_ReadAt(const Installer *installer, uint64_t offset, void *buffer, size_t size);

/* Folder.c: creates the extraction folder, new, open only to the system, the administrators and the account
   the module runs under. An existing folder of that name is never used: it fails. */
DWORD Installer_CreateFolder(Installer *installer);
/* The account the module runs under; 0 when its token cannot be read. */
typedef union UserSid {
    TOKEN_USER user;
    BYTE room[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
} UserSid;
int Installer_User(UserSid *sid);

/* Extract.c */
DWORD Installer_Extract(Installer *installer);
/* Creates the folders of path[0..end) from the one that ends at path[from]; with refuseLinks a folder on
   the way that is a link or junction is an error (ERROR_CANT_ACCESS_FILE), so nothing is written outside
   the extraction folder. */
DWORD MakeFolders(RtText *path, size_t from, size_t end, int refuseLinks);

/* Links.c: the block's Shortcut lines. Failures are logged and change no exit code. */
void Installer_MakeShortcuts(const Installer *installer);

/* Remove.c: removes the extraction folder, retrying briefly for files still held open. */
void Installer_RemoveFolder(const Installer *installer);

/* Message.c: a message window that closes by itself after a few seconds, under Wine as on Windows. */
void ShowMessage(const PwChar *title, const PwChar *text);

#endif
