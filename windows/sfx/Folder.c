#include "Module.h"

int Installer_User(UserSid *sid)
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return 0;
    DWORD size;
    int read = GetTokenInformation(token, TokenUser, sid, sizeof *sid, &size);
    CloseHandle(token);
    return read;
}

/* Rights on the extraction folder, handed down to everything created in it. */
#define INHERITED (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE)

typedef union FolderAcl {
    ACL acl;
    BYTE room[256]; /* three entries, each with a SID of at most SECURITY_MAX_SID_SIZE bytes */
} FolderAcl;

/* The folder is open to the system, the administrators and the account the module runs under, and to nobody
   else. Run as SYSTEM outside Windows setup, the module extracts under %SystemRoot%\Temp, whose inherited
   rights let any user create files in a new folder: a file planted there could be run, or kept in place of
   the archive's. The DACL is protected, so nothing is inherited from the folder above. */
static int DescribeFolder(SECURITY_DESCRIPTOR *descriptor, FolderAcl *acl)
{
    static const SID system = {SID_REVISION, 1, {SECURITY_NT_AUTHORITY}, {SECURITY_LOCAL_SYSTEM_RID}};
    static const struct {
        BYTE revision, count;
        SID_IDENTIFIER_AUTHORITY authority;
        DWORD subAuthorities[2];
    } administrators = {SID_REVISION, 2, {SECURITY_NT_AUTHORITY},
                        {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS}};
    UserSid user;
    return Installer_User(&user) && InitializeAcl(&acl->acl, sizeof *acl, ACL_REVISION)
        && AddAccessAllowedAceEx(&acl->acl, ACL_REVISION, INHERITED, FILE_ALL_ACCESS, (PSID)&system)
        && AddAccessAllowedAceEx(&acl->acl, ACL_REVISION, INHERITED, FILE_ALL_ACCESS, (PSID)&administrators)
        && AddAccessAllowedAceEx(&acl->acl, ACL_REVISION, INHERITED, FILE_ALL_ACCESS, user.user.User.Sid)
        && InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION)
        && SetSecurityDescriptorDacl(descriptor, TRUE, &acl->acl, FALSE)
        && SetSecurityDescriptorControl(descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
}

DWORD Installer_CreateFolder(Installer *installer)
{
    PwChar temp[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (!length || length > MAX_PATH) {
        DWORD error = length ? ERROR_FILENAME_EXCED_RANGE : GetLastError();
        Installer_Fail(installer, "cannot find the temporary folder", NULL, error);
        return error;
    }
    SECURITY_DESCRIPTOR descriptor;
    FolderAcl acl;
    if (!DescribeFolder(&descriptor, &acl)) {
        DWORD error = GetLastError();
        Installer_Fail(installer, "cannot describe who may use the extraction folder", NULL, error);
        return error;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, FALSE};
    /* The process id makes the name unique among running installers. A folder already there may hold anyone's
       files, under anyone's rights: it is never extracted into. One that an earlier installer of the same
       process id could not remove (it goes at the next restart) must not stop this one, so the next number is
       tried, a bounded number of times. */
    RtText *folder = &installer->folder;
    DWORD error = ERROR_ALREADY_EXISTS;
    for (unsigned attempt = 0; attempt < 64 && error == ERROR_ALREADY_EXISTS; ++attempt) {
        RtText_Truncate(folder, 0);
        RtText_Append(folder, temp, length);
        RtText_AppendAscii(folder, "pwsetup-");
        RtText_AppendNumber(folder, GetCurrentProcessId());
        RtText_AppendChar(folder, '-');
        RtText_AppendNumber(folder, attempt);
        if (folder->failed)
            return ERROR_NOT_ENOUGH_MEMORY;
        error = CreateDirectoryW(folder->chars, &attributes) ? 0 : GetLastError();
    }
    if (error) {
        Installer_Fail(installer, "cannot create the extraction folder", folder->chars, error);
        return error;
    }
    const PwChar *name = folder->chars;
    int unc = name[0] == '\\' && name[1] == '\\';
    RtText_AppendAscii(&installer->longFolder, unc ? "\\\\?\\UNC" : "\\\\?\\");
    RtText_AppendZ(&installer->longFolder, name + unc);
    return installer->longFolder.failed ? ERROR_NOT_ENOUGH_MEMORY : 0;
}
