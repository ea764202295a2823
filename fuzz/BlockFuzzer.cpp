// Feeds arbitrary bytes to the self-extractor as what follows its image: the configuration block is read,
// and its values go where the module sends them, the command to SfxCommand_Make and each Shortcut line to
// SfxShortcut_Read. Every text handed back is read to its end, so that a bad pointer or length shows up under
// AddressSanitizer; an archive offset outside the bytes, or one not at an archive's signature, stops the run.
#include "Block.h"
#include "Command.h"
#include "Shortcut.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

volatile size_t gSink;

const PwChar* Wide(const char16_t* text)
{
    return reinterpret_cast<const PwChar*>(text);
}

void Read(const PwChar* text)
{
    gSink = gSink + RtLength(text);
}

void Read(const RtText& text)
{
    Read(RtText_Z(&text));
}

void ReadShortcut(const PwChar* line)
{
    SfxShortcut shortcut;
    if (SfxShortcut_Read(line, &shortcut)) {
        const PwChar* folders[SFX_FOLDER_COUNT];
        for (const PwChar*& folder : folders)
            folder = Wide(u"C:\\Folder");
        RtText path{}, link{};
        SfxShortcut_TargetPath(&shortcut, folders, &path);
        if (SfxShortcut_LinkPath(&shortcut, Wide(u"C:\\Place"), &link))
            Read(link);
        Read(path);
        Read(shortcut.parameters);
        Read(shortcut.description);
        RtText_Free(&path);
        RtText_Free(&link);
    }
    SfxShortcut_Free(&shortcut);
}

// The archive holds the runners and a start file, so that the command's search has something to find.
void ReadCommand(const PwChar* runProgram)
{
    SfxNames extracted{};
    for (const char16_t* name : {u"msistub.exe", u"setup.exe", u"my setup.msi", u"a"})
        SfxNames_Add(&extracted, Wide(name), RtLength(Wide(name)));
    SfxCommand command;
    SfxCommand_Make(runProgram, &extracted, Wide(u"C:\\Temp\\pwsetup-1"), &command);
    Read(command.application);
    Read(command.commandLine);
    SfxCommand_Free(&command);
    SfxNames_Free(&extracted);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const uint8_t signature[] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
    SfxBlock config;
    const SfxBlockResult result = SfxBlock_Read(data, size, &config);
    if (result == SFX_BLOCK_OK
        && (config.archiveOffset > size || size - config.archiveOffset < sizeof signature
            || std::memcmp(data + config.archiveOffset, signature, sizeof signature) != 0))
        std::abort();
    if (result == SFX_BLOCK_OK || result == SFX_BLOCK_NO_ARCHIVE) {
        if (config.runProgram)
            Read(config.runProgram);
        ReadCommand(config.runProgram);
        for (size_t i = 0; i < config.shortcutCount; ++i)
            ReadShortcut(config.shortcuts[i]);
    }
    gSink = gSink + std::strlen(SfxBlock_Message(result));
    SfxBlock_Free(&config);
    return 0;
}
