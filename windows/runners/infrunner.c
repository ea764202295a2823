/* infrunner FILE [ARGS]: installs a section of the INF file FILE through SetupAPI, without ever asking
   anything: a source file that cannot be found, or a file that cannot be copied, ends the installation at
   once with an error instead of the "insert disk" or "copy error" prompt that nobody would answer during
   Windows setup.

   ARGS: words that begin with "/" or "-" are switches and are ignored (an INF installs silently anyway, and
   the add-on's entries file hands its silent switch to every runner). The first other word names the
   section to install instead of DefaultInstall. Windows picks the section's variant for this system
   (DefaultInstall.NTx86, ...) as it does for a right-click "Install"; its ".Services" section is installed
   after it when the INF has one.

   Exits with 0 when the section was installed (a restart it needs is logged), otherwise with the Windows
   error code that stopped it. */
#include "Runner.h"

#include <setupapi.h>

typedef struct Install {
    DWORD failure;
    int restart;
    RtText lastMedia; /* the source file asked for last */
} Install;

static UINT CALLBACK OnQueueEvent(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR param2)
{
    (void)param2;
    Install *install = context;
    switch (notification) {
    case SPFILENOTIFY_NEEDMEDIA: {
        /* SetupAPI may ask for media that are there (Wine asks for every source): go on when the file, or
           the cabinet or tag file it comes in, is in place, unless it was asked for just before. */
        const SOURCE_MEDIA_W *media = (const SOURCE_MEDIA_W *)param1;
        const PwChar *folder = media->SourcePath ? media->SourcePath : u"";
        RtText file = {0}, tag = {0};
        RtText_AppendPath(&file, folder, RtLength(folder), media->SourceFile, RtLength(media->SourceFile));
        if (media->Tagfile && *media->Tagfile)
            RtText_AppendPath(&tag, folder, RtLength(folder), media->Tagfile, RtLength(media->Tagfile));
        int present = RtIsFile(RtText_Z(&file)) || (tag.length && RtIsFile(RtText_Z(&tag)));
        int again = RtEqualNoCase(file.chars, file.length, RtText_Z(&install->lastMedia), install->lastMedia.length);
        RtText_Free(&install->lastMedia);
        install->lastMedia = file;
        RtText_Free(&tag);
        if (present && !again)
            return FILEOP_DOIT;
        install->failure = ERROR_FILE_NOT_FOUND;
        RtLog_Failure("source file missing", RtText_Z(&file), install->failure);
        SetLastError(install->failure);
        return FILEOP_ABORT;
    }
    case SPFILENOTIFY_COPYERROR:
    case SPFILENOTIFY_RENAMEERROR:
    case SPFILENOTIFY_DELETEERROR:
    case SPFILENOTIFY_BACKUPERROR: {
        const FILEPATHS_W *paths = (const FILEPATHS_W *)param1;
        install->failure = paths->Win32Error ? paths->Win32Error : ERROR_GEN_FAILURE;
        RtText files = {0};
        RtText_AppendZ(&files, paths->Source ? paths->Source : u"");
        RtText_AppendAscii(&files, " -> ");
        RtText_AppendZ(&files, paths->Target ? paths->Target : u"");
        RtLog_Failure("cannot install", RtText_Z(&files), install->failure);
        RtText_Free(&files);
        SetLastError(install->failure);
        return FILEOP_ABORT;
    }
    case SPFILENOTIFY_FILEOPDELAYED:
        install->restart = 1;
        return 0;
    case SPFILENOTIFY_TARGETNEWER:
        return FALSE; /* the system's newer file stays */
    case SPFILENOTIFY_ENDQUEUE:
    case SPFILENOTIFY_ENDCOPY:
    case SPFILENOTIFY_ENDDELETE:
    case SPFILENOTIFY_ENDRENAME:
    case SPFILENOTIFY_ENDBACKUP:
        return NO_ERROR;
    default:
        return TRUE; /* go on: start the queue, the sub-queue, the operation; overwrite an older target */
    }
}

/* The first word of args that is not a switch, or DefaultInstall. */
static void ChooseSection(const PwChar *args, RtText *section)
{
    for (const PwChar *p = args; p;) {
        RtText word = {0};
        p = RtCmd_NextArgument(p, &word);
        if (word.length && word.chars[0] != '/' && word.chars[0] != '-') {
            *section = word;
            return;
        }
        RtText_Free(&word);
    }
    RtText_AppendAscii(section, "DefaultInstall");
}

/* Any window SetupAPI or a class installer might still open fails instead of waiting. */
static void NeverAsk(void)
{
    typedef BOOL(WINAPI * SetNonInteractive)(BOOL);
    SetNonInteractive set = (SetNonInteractive)(void (*)(void))GetProcAddress(GetModuleHandleW(u"setupapi.dll"),
                                                                              "SetupSetNonInteractiveMode");
    if (set)
        set(TRUE);
}

/* What of the section is installed: the operations whose flags SetupInstallFromInfSection documents for
   Windows XP, that is the files (CopyFiles, DelFiles, RenFiles), the registry (AddReg, DelReg), INI files
   (UpdateInis, UpdateIniFields, Ini2Reg) and the registration of DLLs (RegisterDlls, UnregisterDlls). Not
   SPINST_ALL, whose value grows from one version of the headers to the next with bits that Windows XP does not
   document; not the logical configurations either, which belong to a device's installation. */
#define INSTALLED_OPERATIONS \
    (SPINST_FILES | SPINST_REGISTRY | SPINST_INIFILES | SPINST_INI2REG | SPINST_REGSVR | SPINST_UNREGSVR)

static DWORD InstallSection(HINF inf, const PwChar *section, const PwChar *sourceFolder)
{
    Install install = {0};
    BOOL installed = SetupInstallFromInfSectionW(NULL, inf, section, INSTALLED_OPERATIONS, NULL, sourceFolder,
                                                 SP_COPY_NEWER_OR_SAME | SP_COPY_NOBROWSE, OnQueueEvent, &install,
                                                 NULL, NULL);
    RtText_Free(&install.lastMedia);
    if (!installed) {
        DWORD error = install.failure ? install.failure : GetLastError() ? GetLastError() : ERROR_GEN_FAILURE;
        RtLog_Failure("the installation of the section failed", NULL, error);
        return error;
    }
    RtText services = {0};
    RtText_AppendZ(&services, section);
    RtText_AppendAscii(&services, ".Services");
    if (SetupGetLineCountW(inf, RtText_Z(&services)) >= 0) {
        if (!SetupInstallServicesFromInfSectionW(inf, RtText_Z(&services), 0)) {
            DWORD error = GetLastError();
            RtLog_Failure("the installation of the services failed", NULL, error);
            return error;
        }
        install.restart |= GetLastError() == ERROR_SUCCESS_REBOOT_REQUIRED;
    }
    RtText_Free(&services);
    RtLog_Line(install.restart ? u"installed; files in use are replaced at the next restart" : u"installed");
    return 0;
}

int AppMain(void)
{
    RunnerStart start;
    DWORD error = Runner_Start(&start);
    if (error)
        return (int)error;
    NeverAsk();
    UINT errorLine = 0;
    HINF inf = SetupOpenInfFileW(RtText_Z(&start.file), NULL, INF_STYLE_WIN4, &errorLine);
    if (inf == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        RtText line = {0};
        RtText_AppendAscii(&line, "line ");
        RtText_AppendNumber(&line, errorLine);
        RtLog_Failure("cannot read the INF file", RtText_Z(&line), error);
        return (int)error;
    }
    /* The INF may name a layout file that describes its source media. */
    SetupOpenAppendInfFileW(NULL, inf, NULL);

    RtText section = {0};
    ChooseSection(start.args, &section);
    PwChar actual[MAX_INF_SECTION_NAME_LENGTH];
    if (!SetupDiGetActualSectionToInstallW(inf, RtText_Z(&section), actual, MAX_INF_SECTION_NAME_LENGTH, NULL, NULL))
        lstrcpynW(actual, RtText_Z(&section), MAX_INF_SECTION_NAME_LENGTH);
    RtText line = {0};
    RtText_AppendAscii(&line, "section: ");
    RtText_AppendZ(&line, actual);
    RtLog_Line(RtText_Z(&line));
    RtText_Free(&line);

    if (SetupGetLineCountW(inf, actual) < 0) {
        error = ERROR_SECTION_NOT_FOUND;
        RtLog_Failure("the INF file has no such section", NULL, error);
    } else {
        RtText sourceFolder = {0};
        RtText_Append(&sourceFolder, RtText_Z(&start.file), RtFolderLength(RtText_Z(&start.file)) + 1);
        error = InstallSection(inf, actual, RtText_Z(&sourceFolder));
    }
    SetupCloseInfFile(inf);
    return (int)error;
}
