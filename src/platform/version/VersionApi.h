#pragma once
// The version-information functions of Windows (GetFileVersionInfoSizeA, GetFileVersionInfoA,
// VerQueryValueA, VerLanguageNameA), with their behaviour, over PE32 and PE32+ files. File names are
// host paths in the host's file-name encoding; texts handed out are in the system code page.
#include <QByteArray>

#include <cstdint>

namespace pw {

// Bytes of version data for the file: twice its version resource plus 4, the upper half being room for
// the ANSI copies that VerQueryValueA hands out. 0 when the file cannot be read or has no version
// resource. `*handle` is set to 0.
uint32_t GetFileVersionInfoSizeA(const char* fileName, uint32_t* handle);

// Copies the file's version resource into `data`, at most `size` bytes, and clears the rest of it.
// `handle` is ignored. False when the file cannot be read or has no version resource.
bool GetFileVersionInfoA(const char* fileName, uint32_t handle, uint32_t size, void* data);

// Looks up a path such as "\StringFileInfo\041604E4\ProductName" in version data. Each part between
// backslashes (empty parts are skipped) must equal a child's key, whatever the case. "\" gives the fixed
// file information and "\VarFileInfo\Translation" the raw translation array, with their sizes in bytes;
// a string gives its ANSI copy, zero-terminated, with its size including the NUL (0 for a value
// without characters). On failure `*length` is 0 and `*buffer` is left alone.
// Windows takes the size of the block on trust from the data; here the caller passes it, so that
// damaged data cannot lead the lookup outside the block.
bool VerQueryValueA(void* block, uint32_t blockSize, const char* subBlock, const void** buffer, uint32_t* length);

// The display name of a language identifier, in the user's language, zero-terminated and cut to fit
// `size` bytes; "Language Neutral" for 0 and for identifiers without a known language. Returns the
// number of bytes written before the NUL, 0 only when there is no room at all.
uint32_t VerLanguageNameA(uint32_t language, char* buffer, uint32_t size);

// The user's language of VerLanguageNameA: the program's chosen language as an ICU locale ("en",
// "pt_BR"), never the host's locale, so that the same settings name a language alike under any LANG.
// Until it is set, the language of the built-in texts, Brazilian Portuguese.
void SetLanguageNameLocale(const QByteArray& locale);

}  // namespace pw
