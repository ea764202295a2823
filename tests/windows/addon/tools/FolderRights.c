/* A stand-in installer that records who may use the folder it runs in, the add-on's extraction folder: the
   control flags of the folder's DACL and one line per entry, "SID flags mask" (flags and mask in hex), in
   rights.txt of the folder PW_TEST_RECORD names. Then it exits with PW_TEST_EXIT_CODE. */
#include "ToolText.h"

#include <sddl.h>
#include <wchar.h>

enum { kNoRecordFolder = 250, kRecordFailed = 251 };

static BOOL Record(const wchar_t *folder, const wchar_t *line)
{
    wchar_t path[MAX_PATH];
    swprintf(path, MAX_PATH, L"%ls\\rights.txt", folder);
    return AppendUtf8(path, line) && AppendUtf8(path, L"\n");
}

static BOOL RecordRights(const wchar_t *record, const wchar_t *folder)
{
    static BYTE room[8192];
    SECURITY_DESCRIPTOR *descriptor = (SECURITY_DESCRIPTOR *)room;
    SECURITY_DESCRIPTOR_CONTROL control;
    DWORD size, revision, i;
    BOOL present, defaulted;
    ACL *acl;
    wchar_t line[256];
    if (!GetFileSecurityW(folder, DACL_SECURITY_INFORMATION, descriptor, sizeof room, &size)
        || !GetSecurityDescriptorControl(descriptor, &control, &revision)
        || !GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted) || !present || !acl)
        return FALSE;
    swprintf(line, 256, L"protected=%d", (control & SE_DACL_PROTECTED) != 0);
    if (!Record(record, line))
        return FALSE;
    for (i = 0; i < acl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE *ace;
        wchar_t *sid;
        if (!GetAce(acl, i, (void **)&ace))
            return FALSE;
        if (ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE || !ConvertSidToStringSidW(&ace->SidStart, &sid)) {
            swprintf(line, 256, L"entry of type %u", ace->Header.AceType);
        } else {
            swprintf(line, 256, L"%ls %x %lx", sid, ace->Header.AceFlags, ace->Mask);
            LocalFree(sid);
        }
        if (!Record(record, line))
            return FALSE;
    }
    return TRUE;
}

int wmain(void)
{
    wchar_t record[MAX_PATH], here[MAX_PATH], code[32];
    if (!GetEnvironmentVariableW(L"PW_TEST_RECORD", record, MAX_PATH)) {
        PrintUtf8(L"folder rights: PW_TEST_RECORD is not set\n");
        return kNoRecordFolder;
    }
    CreateDirectoryW(record, NULL);
    if (!GetCurrentDirectoryW(MAX_PATH, here) || !RecordRights(record, here))
        return kRecordFailed;
    return GetEnvironmentVariableW(L"PW_TEST_EXIT_CODE", code, 32) ? (int)wcstoul(code, NULL, 10) : 0;
}
