#define _GNU_SOURCE
#include "PosixExtract.h"

#include "Block.h"
#include "Image.h"
#include "Names.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

typedef struct Source {
    int fd;
    long long start;
} Source;

static SzResult ReadAt(void *context, uint64_t offset, void *buffer, size_t size)
{
    const Source *s = context;
    char *p = buffer;
    while (size > 0) {
        ssize_t n = pread(s->fd, p, size, (off_t)(offset + (uint64_t)s->start));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return UNPACK_ERROR_READ;
        p += n;
        size -= (size_t)n;
    }
    return UNPACK_OK;
}

static void *Allocate(void *context, size_t size)
{
    (void)context;
    return malloc(size);
}

static void Release(void *context, void *block)
{
    (void)context;
    free(block);
}

/* Reads up to size bytes at offset into a new buffer; NULL when nothing could be read. */
static uint8_t *ReadHead(int fd, off_t offset, size_t size, size_t *got)
{
    uint8_t *bytes = malloc(size);
    ssize_t n = bytes == NULL ? -1 : pread(fd, bytes, size, offset);
    if (n <= 0) {
        free(bytes);
        return NULL;
    }
    *got = (size_t)n;
    return bytes;
}

long long PwFindArchiveStart(int fd)
{
    static const uint8_t signature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
    struct stat info;
    size_t got;
    uint8_t *head = fstat(fd, &info) == 0 ? ReadHead(fd, 0, SFX_IMAGE_HEAD_SIZE, &got) : NULL;
    if (head == NULL)
        return -1;
    long long start = -1;
    uint64_t imageEnd;
    if (got >= sizeof signature && memcmp(head, signature, sizeof signature) == 0) {
        start = 0;
    } else if (SfxImage_End(head, got, (uint64_t)info.st_size, &imageEnd)) {
        /* The module's own reading of what follows its image: the block, then the archive. */
        uint8_t *block = ReadHead(fd, (off_t)imageEnd, SFX_BLOCK_WINDOW, &got);
        SfxBlock config;
        if (block != NULL && SfxBlock_Read(block, got, &config) == SFX_BLOCK_OK) {
            start = (long long)(imageEnd + config.archiveOffset);
            SfxBlock_Free(&config);
        }
        free(block);
    }
    free(head);
    return start;
}

/* ---- the sink ---- */
typedef struct Folder {
    char *path;
    struct timespec times[2];
} Folder;

typedef struct Target {
    const char *outDir;
    char path[4096];
    Folder *folders; /* their times are set last, once nothing more is written into them */
    size_t numFolders, folderRoom;
    uint16_t *made; /* the last folder made, as the reader names it */
    size_t madeLength, madeRoom;
    char *message;
    size_t messageSize;
} Target;

typedef struct OpenFile {
    int fd;
} OpenFile;

/* UTF-16 with '\\' between components to a UTF-8 path under outDir; unpaired surrogates become U+FFFD.
   *markAt receives where the item's character `mark` (or its end) lands in the path. */
static int MakePath(Target *t, const SzItem *item, uint32_t mark, size_t *markAt)
{
    size_t n = (size_t)snprintf(t->path, sizeof t->path, "%s/", t->outDir);
    uint32_t i;
    *markAt = n;
    for (i = 0; i < item->pathLength; ++i) {
        uint32_t c = item->path[i];
        if (i == mark)
            *markAt = n;
        if (c == '\\')
            c = '/';
        else if (c >= 0xD800 && c < 0xDC00 && i + 1 < item->pathLength && item->path[i + 1] >= 0xDC00 &&
                 item->path[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (item->path[++i] - 0xDC00);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD;
        if (n + 5 >= sizeof t->path)
            return 0;
        if (c < 0x80) {
            t->path[n++] = (char)c;
        } else if (c < 0x800) {
            t->path[n++] = (char)(0xC0 | c >> 6);
            t->path[n++] = (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            t->path[n++] = (char)(0xE0 | c >> 12);
            t->path[n++] = (char)(0x80 | ((c >> 6) & 0x3F));
            t->path[n++] = (char)(0x80 | (c & 0x3F));
        } else {
            t->path[n++] = (char)(0xF0 | c >> 18);
            t->path[n++] = (char)(0x80 | ((c >> 12) & 0x3F));
            t->path[n++] = (char)(0x80 | ((c >> 6) & 0x3F));
            t->path[n++] = (char)(0x80 | (c & 0x3F));
        }
    }
    if (mark == item->pathLength)
        *markAt = n;
    t->path[n] = 0;
    return 1;
}

/* Makes every folder on the way to path after its first `skip` bytes (not path itself unless `itself`). */
static int MakeFolders(char *path, size_t skip, int itself)
{
    char *p;
    for (p = path + skip; *p; ++p) {
        if (*p != '/')
            continue;
        *p = 0;
        if (mkdir(path, 0777) != 0 && errno != EEXIST)
            return 0;
        *p = '/';
    }
    return !itself || mkdir(path, 0777) == 0 || errno == EEXIST;
}

/* Makes the folders of the item's path that the last item's did not make, and remembers them. */
static int MakeItemFolders(Target *t, const SzItem *item, size_t folder, size_t made, size_t madeAt)
{
    char *end = t->path + strlen(t->path), *cut = end;
    if (!item->isDirectory) {
        while (*--cut != '/') {
        }
        *cut = 0; /* the file's own name is no folder */
    }
    int ok = MakeFolders(t->path, madeAt + (made != 0), 1);
    *cut = cut == end ? 0 : '/';
    if (!ok)
        return 0;
    if (folder > t->madeRoom) {
        uint16_t *grown = realloc(t->made, folder * 2 * sizeof *grown);
        if (grown == NULL)
            return 0;
        t->made = grown;
        t->madeRoom = folder * 2;
    }
    memcpy(t->made, item->path, folder * sizeof *t->made);
    t->madeLength = folder;
    return 1;
}

static struct timespec FromFileTime(uint64_t t)
{
    /* 100 ns units since 1601 to the Unix epoch */
    const uint64_t epoch = 116444736000000000ull;
    struct timespec ts;
    int64_t units = (int64_t)(t - epoch);
    ts.tv_sec = (time_t)(units / 10000000);
    ts.tv_nsec = (long)(units % 10000000) * 100;
    if (ts.tv_nsec < 0) {
        ts.tv_nsec += 1000000000;
        --ts.tv_sec;
    }
    return ts;
}

static SzResult Fail(Target *t, const char *what)
{
    snprintf(t->message, t->messageSize, "%s %s: %s", what, t->path, strerror(errno));
    return UNPACK_ERROR_WRITE;
}

/* Remembers a folder item's time, to be set once nothing more is written into the folder. */
static SzResult KeepFolderTime(Target *t, const SzItem *item)
{
    Folder *folder;
    if (!item->hasModified)
        return UNPACK_OK;
    if (t->numFolders == t->folderRoom) {
        size_t room = t->folderRoom * 2 + 16;
        Folder *grown = realloc(t->folders, room * sizeof *grown);
        if (grown == NULL)
            return UNPACK_ERROR_MEMORY;
        t->folders = grown;
        t->folderRoom = room;
    }
    folder = &t->folders[t->numFolders];
    folder->path = strdup(t->path);
    if (folder->path == NULL)
        return UNPACK_ERROR_MEMORY;
    folder->times[0] = folder->times[1] = FromFileTime(item->modified);
    ++t->numFolders;
    return UNPACK_OK;
}

static SzResult Begin(void *context, const SzItem *item, void **file)
{
    Target *t = context;
    OpenFile *f;
    size_t folder = item->pathLength, made, madeAt;
    if (!item->isDirectory)
        while (folder > 0 && item->path[--folder] != '\\') {
        }
    made = SfxNames_MadeFolder(item->path, folder, t->made, t->madeLength);
    if (!MakePath(t, item, (uint32_t)made, &madeAt)) {
        errno = ENAMETOOLONG;
        return Fail(t, "cannot create");
    }
    if (made != folder && !MakeItemFolders(t, item, folder, made, madeAt))
        return Fail(t, "cannot create");
    if (item->isDirectory)
        return KeepFolderTime(t, item);
    f = malloc(sizeof *f);
    if (f == NULL)
        return UNPACK_ERROR_MEMORY;
    f->fd = open(t->path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (f->fd < 0) {
        free(f);
        return Fail(t, "cannot create");
    }
    *file = f;
    return UNPACK_OK;
}

static SzResult Write(void *context, void *file, const void *data, size_t size)
{
    OpenFile *f = file;
    const char *p = data;
    while (size > 0) {
        ssize_t n = write(f->fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Fail(context, "cannot write");
        p += n;
        size -= (size_t)n;
    }
    return UNPACK_OK;
}

static SzResult End(void *context, void *file, const SzItem *item, SzResult result)
{
    Target *t = context;
    OpenFile *f = file;
    if (f == NULL)
        return UNPACK_OK;
    if (result == UNPACK_OK && item->hasModified) {
        struct timespec times[2];
        times[0] = times[1] = FromFileTime(item->modified);
        futimens(f->fd, times);
    }
    if (result == UNPACK_OK && item->hasAttributes && (item->attributes & 1)) /* read-only */
        fchmod(f->fd, 0444);
    if (close(f->fd) != 0 && result == UNPACK_OK)
        result = Fail(t, "cannot write");
    free(f);
    if (result != UNPACK_OK)
        unlink(t->path); /* nothing half-written stays behind */
    return result;
}

SzResult PwExtractArchive(const char *path, const char *outDir, char *message, size_t messageSize)
{
    Source source;
    SzHost host;
    SzSink sink;
    Target target;
    SzArchive *archive = NULL;
    SzResult result;
    struct stat st;
    size_t i;
    message[0] = 0;
    source.fd = open(path, O_RDONLY | O_CLOEXEC);
    if (source.fd < 0 || fstat(source.fd, &st) != 0) {
        snprintf(message, messageSize, "cannot open %s: %s", path, strerror(errno));
        if (source.fd >= 0)
            close(source.fd);
        return UNPACK_ERROR_READ;
    }
    source.start = PwFindArchiveStart(source.fd);
    if (source.start < 0) {
        snprintf(message, messageSize, "%s is neither a 7z archive nor a self-extractor", path);
        close(source.fd);
        return UNPACK_ERROR_SIGNATURE;
    }
    host.context = &source;
    host.Read = ReadAt;
    host.Alloc = Allocate;
    host.Free = Release;
    memset(&target, 0, sizeof target);
    target.outDir = outDir;
    target.message = message;
    target.messageSize = messageSize;
    sink.context = &target;
    sink.Begin = Begin;
    sink.Write = Write;
    sink.End = End;
    result = SzArchive_Open(&host, (uint64_t)(st.st_size - source.start), &archive);
    if (result == UNPACK_OK)
        result = SzArchive_Extract(archive, &sink);
    if (result != UNPACK_OK && message[0] == 0 && archive != NULL)
        snprintf(message, messageSize, "%s", SzArchive_LastMessage(archive));
    else if (result != UNPACK_OK && message[0] == 0)
        snprintf(message, messageSize, "not enough memory");
    for (i = target.numFolders; i-- > 0;) {
        utimensat(AT_FDCWD, target.folders[i].path, target.folders[i].times, 0);
        free(target.folders[i].path);
    }
    free(target.folders);
    free(target.made);
    SzArchive_Close(archive);
    close(source.fd);
    return result;
}
