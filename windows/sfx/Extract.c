#include "Module.h"

/* The attributes an extracted item keeps; the others (compressed, encrypted, a link's reparse point, the
   archive writer's own flags in the high bits) describe where the item came from, not what it is. */
#define KEPT_ATTRIBUTES                                                                                        \
    (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE           \
     | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED)

typedef struct Extraction {
    Installer *installer;
    RtText path;     /* the current item's full path */
    RtText relative; /* its path inside the folder */
    RtText made;     /* the last folder made and checked (with all the folders it lies in), inside the folder */
    DWORD error;     /* what stopped the sink */
    const char *failedStep;
    uint64_t files, bytes;
} Extraction;

DWORD MakeFolders(RtText *path, size_t from, size_t end, int refuseLinks)
{
    for (size_t i = from + 1; i <= end; ++i) {
        if (i < end && path->chars[i] != '\\')
            continue;
        PwChar saved = path->chars[i];
        path->chars[i] = 0;
        DWORD error = CreateDirectoryW(path->chars, NULL) ? 0 : GetLastError();
        if (error == ERROR_ALREADY_EXISTS) {
            DWORD attributes = GetFileAttributesW(path->chars);
            error = attributes == INVALID_FILE_ATTRIBUTES            ? GetLastError()
                  : !(attributes & FILE_ATTRIBUTE_DIRECTORY)        ? ERROR_DIRECTORY
                  : refuseLinks && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? ERROR_CANT_ACCESS_FILE
                                                                    : 0;
        }
        path->chars[i] = saved;
        if (error)
            return error;
    }
    return 0;
}

static uint64_t FileTimeValue(const FILETIME *time)
{
    return (uint64_t)time->dwHighDateTime << 32 | time->dwLowDateTime;
}

static FILETIME ToFileTime(uint64_t value)
{
    FILETIME time = {(DWORD)value, (DWORD)(value >> 32)};
    return time;
}

/* Points x->path at the item and makes the folders it lies in (and, for a folder item, the folder itself). */
static SzResult PreparePath(Extraction *x, const SzItem *item)
{
    RtText_Truncate(&x->relative, 0);
    RtText_Truncate(&x->path, x->installer->longFolder.length);
    int safe = SfxNames_Make(item->path, item->pathLength, &x->relative);
    RtText_AppendChar(&x->path, '\\');
    if (!safe) {
        RtText_Append(&x->path, item->path, item->pathLength);
        x->failedStep = "the archive holds a name that would leave the extraction folder";
        x->error = ERROR_INVALID_NAME;
        return UNPACK_ERROR_NAME;
    }
    RtText_Append(&x->path, x->relative.chars, x->relative.length);
    if (x->path.failed || x->relative.failed) {
        x->error = ERROR_NOT_ENOUGH_MEMORY;
        return UNPACK_ERROR_WRITE;
    }
    size_t root = x->installer->longFolder.length;
    size_t folder = item->isDirectory ? x->relative.length : RtFolderLength(x->relative.chars);
    size_t made = SfxNames_MadeFolder(x->relative.chars, folder, x->made.chars, x->made.length);
    if (made == folder)
        return UNPACK_OK;
    /* x->path is the extraction folder, a separator and x->relative */
    x->error = MakeFolders(&x->path, root + (made ? made + 1 : 0), root + 1 + folder, 1);
    if (x->error) {
        x->failedStep = x->error == ERROR_CANT_ACCESS_FILE
                          ? "refusing to write through a link or junction on the way to"
                          : "cannot create the folder for";
        return UNPACK_ERROR_WRITE;
    }
    RtText_Truncate(&x->made, 0);
    RtText_Append(&x->made, x->relative.chars, folder);
    return UNPACK_OK;
}

/* Whether OverwriteMode lets the item replace the file of the same name already there. */
static int MayReplace(const Extraction *x, const SzItem *item, const WIN32_FIND_DATAW *existing)
{
    switch (x->installer->config.overwriteMode) {
    case 1:
        return 0;
    case 2:
        return !item->hasModified || FileTimeValue(&existing->ftLastWriteTime) < item->modified;
    default:
        return 1;
    }
}

/* A file is already where the item goes: only a name the archive holds twice (or in another case) meets
   one, since the folder is new. OverwriteMode decides; a folder or a link in the way stops the extraction.
   1 when the item is to replace it (made writable), 0 when the item is skipped, -1 on failure. */
static int ReplaceExisting(Extraction *x, const SzItem *item)
{
    /* The names are free of wildcards (SfxNames_Make): the search finds the file itself, in any case. */
    WIN32_FIND_DATAW existing;
    HANDLE found = FindFirstFileW(x->path.chars, &existing);
    if (found == INVALID_HANDLE_VALUE)
        return 1;
    FindClose(found);
    if (existing.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
        x->failedStep = "a folder or link is in the way of";
        x->error = ERROR_ALREADY_EXISTS;
        return -1;
    }
    if (!MayReplace(x, item, &existing))
        return 0;
    SetFileAttributesW(x->path.chars, FILE_ATTRIBUTE_NORMAL);
    return 1;
}

static SzResult Begin(void *context, const SzItem *item, void **file)
{
    Extraction *x = context;
    *file = NULL;
    SzResult result = PreparePath(x, item);
    if (result != UNPACK_OK || item->isDirectory)
        return result;
    /* Every call costs, most of all under Wine: the usual case, a name not yet there, takes one. */
    HANDLE handle = CreateFileW(x->path.chars, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) {
            int replace = ReplaceExisting(x, item);
            if (replace <= 0)
                return replace < 0 ? UNPACK_ERROR_WRITE : UNPACK_OK;
            handle = CreateFileW(x->path.chars, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
            error = GetLastError();
        }
        if (handle == INVALID_HANDLE_VALUE) {
            x->error = error;
            x->failedStep = "cannot create";
            return UNPACK_ERROR_WRITE;
        }
    }
    SfxNames_Add(&x->installer->extracted, x->relative.chars, x->relative.length);
    ++x->files;
    *file = handle;
    return UNPACK_OK;
}

static SzResult Write(void *context, void *file, const void *data, size_t size)
{
    Extraction *x = context;
    const uint8_t *p = data;
    x->bytes += size;
    while (size) {
        DWORD piece = size > (1u << 30) ? 1u << 30 : (DWORD)size, written;
        if (!WriteFile(file, p, piece, &written, NULL)) {
            x->error = GetLastError();
            x->failedStep = "cannot write";
            return UNPACK_ERROR_WRITE;
        }
        p += written;
        size -= written;
    }
    return UNPACK_OK;
}

static SzResult End(void *context, void *file, const SzItem *item, SzResult result)
{
    Extraction *x = context;
    if (!file)
        return UNPACK_OK;
    if (result == UNPACK_OK && item->hasModified) {
        FILETIME modified = ToFileTime(item->modified);
        SetFileTime(file, NULL, NULL, &modified);
    }
    CloseHandle(file);
    DWORD attributes = item->hasAttributes ? item->attributes & KEPT_ATTRIBUTES : 0;
    if (result != UNPACK_OK)
        DeleteFileW(x->path.chars);
    else if (attributes & ~FILE_ATTRIBUTE_ARCHIVE) /* a new file has the archive attribute already */
        SetFileAttributesW(x->path.chars, attributes);
    return UNPACK_OK;
}

/* Folders get their times and attributes after everything inside them is written, which would change them. */
static void FinishFolders(Extraction *x, SzArchive *archive)
{
    for (uint32_t i = 0; i < SzArchive_ItemCount(archive); ++i) {
        SzItem item;
        if (SzArchive_Item(archive, i, &item) != UNPACK_OK || !item.isDirectory || PreparePath(x, &item) != UNPACK_OK)
            continue;
        if (item.hasModified) {
            HANDLE folder = CreateFileW(x->path.chars, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
            if (folder != INVALID_HANDLE_VALUE) {
                FILETIME modified = ToFileTime(item.modified);
                SetFileTime(folder, NULL, NULL, &modified);
                CloseHandle(folder);
            }
        }
        if (item.hasAttributes && (item.attributes & KEPT_ATTRIBUTES))
            SetFileAttributesW(x->path.chars, item.attributes & KEPT_ATTRIBUTES);
    }
}

static SzResult Read(void *context, uint64_t offset, void *buffer, size_t size)
{
    const Installer *installer = context;
    return Installer_ReadAt(installer, installer->archiveStart + offset, buffer, size) ? UNPACK_ERROR_READ : UNPACK_OK;
}

static void *Alloc(void *context, size_t size)
{
    (void)context;
    return RtAlloc(size);
}

static void Free(void *context, void *block)
{
    (void)context;
    RtFree(block);
}

/* The Windows error that stands for a reader's failure, as the installer's exit code. */
static DWORD ReaderError(SzResult result)
{
    switch (result) {
    case UNPACK_ERROR_READ: return ERROR_READ_FAULT;
    case UNPACK_ERROR_SIGNATURE: return ERROR_BAD_FORMAT;
    case UNPACK_ERROR_TRUNCATED: return ERROR_HANDLE_EOF;
    case UNPACK_ERROR_CRC: return ERROR_CRC;
    case UNPACK_ERROR_UNSUPPORTED: return ERROR_NOT_SUPPORTED;
    case UNPACK_ERROR_MEMORY: return ERROR_NOT_ENOUGH_MEMORY;
    case UNPACK_ERROR_NAME: return ERROR_INVALID_NAME;
    case UNPACK_ERROR_ABORTED: return ERROR_CANCELLED;
    default: return ERROR_INVALID_DATA;
    }
}

static void LogExtracted(const Extraction *x)
{
    RtText line = {0};
    RtText_AppendAscii(&line, "extracted ");
    RtText_AppendNumber(&line, x->files);
    RtText_AppendAscii(&line, " files (");
    RtText_AppendNumber(&line, x->bytes);
    RtText_AppendAscii(&line, " bytes) into ");
    RtText_AppendZ(&line, RtText_Z(&x->installer->folder));
    RtLog_Line(RtText_Z(&line));
    RtText_Free(&line);
}

DWORD Installer_Extract(Installer *installer)
{
    SzHost host = {installer, Read, Alloc, Free};
    SzArchive *archive = NULL;
    SzResult result = SzArchive_Open(&host, installer->archiveSize, &archive);
    Extraction x = {.installer = installer};
    RtText_AppendZ(&x.path, RtText_Z(&installer->longFolder));
    if (result == UNPACK_OK) {
        SzSink sink = {&x, Begin, Write, End};
        result = SzArchive_Extract(archive, &sink);
        if (result == UNPACK_OK)
            FinishFolders(&x, archive);
    }
    DWORD error = 0;
    if (result == UNPACK_OK) {
        LogExtracted(&x);
    } else if (x.error) {
        error = x.error;
        Installer_Fail(installer, x.failedStep ? x.failedStep : "cannot extract", x.path.chars, error);
    } else {
        error = ReaderError(result);
        RtText message = {0};
        RtText_AppendAscii(&message, archive ? SzArchive_LastMessage(archive) : "out of memory");
        Installer_Fail(installer, "the archive cannot be extracted", RtText_Z(&message), error);
        RtText_Free(&message);
    }
    SzArchive_Close(archive);
    RtText_Free(&x.path);
    RtText_Free(&x.relative);
    RtText_Free(&x.made);
    return error;
}
