#include "Module.h"

#include "Image.h"

DWORD Installer_ReadAt(const Installer *installer, uint64_t offset, void *buffer, size_t size)
{
    uint8_t *p = buffer;
    while (size) {
        OVERLAPPED at = {0};
        at.Offset = (DWORD)offset;
        at.OffsetHigh = (DWORD)(offset >> 32);
        DWORD piece = size > (1u << 30) ? 1u << 30 : (DWORD)size, read;
        if (!ReadFile(installer->file, p, piece, &read, &at))
            return GetLastError();
        if (!read)
            return ERROR_HANDLE_EOF;
        p += read;
        offset += read;
        size -= read;
    }
    return 0;
}

static DWORD ReadBlock(Installer *installer)
{
    uint8_t head[SFX_IMAGE_HEAD_SIZE];
    size_t headSize = installer->fileSize < sizeof head ? (size_t)installer->fileSize : sizeof head;
    uint64_t imageEnd;
    DWORD error = Installer_ReadAt(installer, 0, head, headSize);
    if (error) {
        Installer_Fail(installer, "cannot read the installer", RtText_Z(&installer->self), error);
        return error;
    }
    if (!SfxImage_End(head, headSize, installer->fileSize, &imageEnd)) {
        Installer_Fail(installer, "the installer's program headers are damaged", NULL, ERROR_BAD_EXE_FORMAT);
        return ERROR_BAD_EXE_FORMAT;
    }
    uint64_t rest = installer->fileSize - imageEnd;
    size_t size = rest < SFX_BLOCK_WINDOW ? (size_t)rest : SFX_BLOCK_WINDOW;
    uint8_t *block = RtAlloc(size);
    if (!block)
        return ERROR_NOT_ENOUGH_MEMORY;
    error = Installer_ReadAt(installer, imageEnd, block, size);
    SfxBlockResult result = error ? SFX_BLOCK_OK : SfxBlock_Read(block, size, &installer->config);
    RtFree(block);
    if (error) {
        Installer_Fail(installer, "cannot read the installer", RtText_Z(&installer->self), error);
        return error;
    }
    installer->configRead = result == SFX_BLOCK_OK || result == SFX_BLOCK_NO_ARCHIVE;
    if (result != SFX_BLOCK_OK) {
        error = result == SFX_BLOCK_MEMORY ? ERROR_NOT_ENOUGH_MEMORY : ERROR_BAD_FORMAT;
        Installer_Fail(installer, SfxBlock_Message(result), NULL, error);
        return error;
    }
    installer->archiveStart = imageEnd + installer->config.archiveOffset;
    installer->archiveSize = installer->fileSize - installer->archiveStart;
    return 0;
}

DWORD Installer_ReadPayload(Installer *installer)
{
    if (!RtModulePath(&installer->self))
        return ERROR_NOT_ENOUGH_MEMORY;
    RtText line = {0};
    RtText_AppendAscii(&line, "installer: ");
    RtText_AppendZ(&line, RtText_Z(&installer->self));
    RtLog_Line(RtText_Z(&line));
    RtText_Free(&line);

    installer->file = CreateFileW(RtText_Z(&installer->self), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                  NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    LARGE_INTEGER size;
    if (installer->file == INVALID_HANDLE_VALUE || !GetFileSizeEx(installer->file, &size)) {
        DWORD error = GetLastError();
        Installer_Fail(installer, "cannot open the installer", RtText_Z(&installer->self), error);
        return error;
    }
    installer->fileSize = (uint64_t)size.QuadPart;
    return ReadBlock(installer);
}
