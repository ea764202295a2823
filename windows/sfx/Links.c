#define COBJMACROS
#include "Module.h"

#include "Shortcut.h"

#include <objbase.h>
#include <shlobj.h>

/* The shell's folder numbers of each place: the current user's, then All Users'. */
static const int kPlaceFolders[][2] = {
    [SFX_PLACE_DESKTOP] = {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY},
    [SFX_PLACE_START_MENU] = {CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU},
    [SFX_PLACE_PROGRAMS] = {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS},
    [SFX_PLACE_STARTUP] = {CSIDL_STARTUP, CSIDL_COMMON_STARTUP},
};

/* The folders that a target's token stands for, as the started program sees them: it installed the files
   the shortcuts point to, under the same account. */
static const int kTokenFolders[SFX_FOLDER_COUNT] = {
    [SFX_FOLDER_PROGRAM_FILES] = CSIDL_PROGRAM_FILES,
    [SFX_FOLDER_COMMON_DOCUMENTS] = CSIDL_COMMON_DOCUMENTS,
    [SFX_FOLDER_MY_DOCUMENTS] = CSIDL_PERSONAL,
    [SFX_FOLDER_USER_DESKTOP] = CSIDL_DESKTOPDIRECTORY,
};

/* Windows setup runs add-ons under the system account (S-1-5-18), before anyone has logged on. */
static int RunsAsSystem(void)
{
    SID localSystem = {SID_REVISION, 1, {SECURITY_NT_AUTHORITY}, {SECURITY_LOCAL_SYSTEM_RID}};
    UserSid user;
    return Installer_User(&user) && EqualSid(user.user.User.Sid, &localSystem);
}

static HRESULT SaveLink(const SfxShortcut *shortcut, const PwChar *target, const PwChar *link)
{
    IShellLinkW *shellLink;
    HRESULT result = CoCreateInstance(&CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, &IID_IShellLinkW,
                                      (void **)&shellLink);
    if (FAILED(result))
        return result;
    RtText folder = {0};
    RtText_Append(&folder, target, RtFolderLength(target));
    IPersistFile *file;
    if (SUCCEEDED(result = IShellLinkW_SetPath(shellLink, target))
        && SUCCEEDED(result = IShellLinkW_SetArguments(shellLink, RtText_Z(&shortcut->parameters)))
        && SUCCEEDED(result = IShellLinkW_SetWorkingDirectory(shellLink, RtText_Z(&folder)))
        && SUCCEEDED(result = IShellLinkW_SetDescription(shellLink, RtText_Z(&shortcut->description)))
        && SUCCEEDED(result = IShellLinkW_QueryInterface(shellLink, &IID_IPersistFile, (void **)&file))) {
        result = IPersistFile_Save(file, link, TRUE);
        IPersistFile_Release(file);
    }
    IShellLinkW_Release(shellLink);
    RtText_Free(&folder);
    return result;
}

static void LogShortcut(const char *what, const RtText *link, const RtText *target, HRESULT result)
{
    RtText line = {0};
    RtText_AppendZ(&line, RtText_Z(link));
    RtText_AppendAscii(&line, " -> ");
    RtText_AppendZ(&line, RtText_Z(target));
    if (FAILED(result)) {
        RtLog_Failure("cannot make the shortcut", RtText_Z(&line), (DWORD)result);
    } else {
        RtText logged = {0};
        RtText_AppendAscii(&logged, what);
        RtText_AppendZ(&logged, RtText_Z(&line));
        RtLog_Line(RtText_Z(&logged));
        RtText_Free(&logged);
    }
    RtText_Free(&line);
}

static void MakeShortcut(const PwChar *line, const PwChar *const folders[SFX_FOLDER_COUNT], int system)
{
    SfxShortcut shortcut;
    RtText target = {0}, link = {0};
    PwChar place[MAX_PATH];
    int allUsers = 0;
    if (!SfxShortcut_Read(line, &shortcut)) {
        RtLog_Failure("shortcut line not understood", line, 0);
        return;
    }
    allUsers = SfxShortcut_ForAllUsers(&shortcut, system);
    SfxShortcut_TargetPath(&shortcut, folders, &target);
    HRESULT result = E_FAIL;
    if (SHGetSpecialFolderPathW(NULL, place, kPlaceFolders[shortcut.place][allUsers], TRUE)
        && SfxShortcut_LinkPath(&shortcut, place, &link) && !link.failed && !target.failed) {
        DWORD error = MakeFolders(&link, RtLength(place), RtFolderLength(link.chars), 0);
        result = error ? HRESULT_FROM_WIN32(error) : SaveLink(&shortcut, target.chars, link.chars);
    }
    LogShortcut(allUsers ? "shortcut for all users: " : "shortcut: ", &link, &target, result);
    RtText_Free(&target);
    RtText_Free(&link);
    SfxShortcut_Free(&shortcut);
}

void Installer_MakeShortcuts(const Installer *installer)
{
    if (!installer->config.shortcutCount)
        return;
    PwChar known[SFX_FOLDER_COUNT][MAX_PATH] = {{0}};
    const PwChar *folders[SFX_FOLDER_COUNT];
    for (int i = 0; i < SFX_FOLDER_COUNT; ++i) {
        if (kTokenFolders[i])
            SHGetFolderPathW(NULL, kTokenFolders[i], NULL, SHGFP_TYPE_CURRENT, known[i]);
        folders[i] = known[i];
    }
    RtText self = {0};
    RtText_Append(&self, RtText_Z(&installer->self), RtFolderLength(RtText_Z(&installer->self)));
    folders[SFX_FOLDER_MODULE] = RtText_Z(&self);
    folders[SFX_FOLDER_EXTRACTION] = RtText_Z(&installer->folder);

    int system = RunsAsSystem();
    HRESULT com = CoInitialize(NULL);
    for (size_t i = 0; i < installer->config.shortcutCount; ++i)
        MakeShortcut(installer->config.shortcuts[i], folders, system);
    if (SUCCEEDED(com))
        CoUninitialize();
    RtText_Free(&self);
}
