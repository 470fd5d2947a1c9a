// VCHECK: warns when the current boot header differs from the last validated one.
#include "../platform/win32.h"
#include "commands.h"

static constexpr unsigned long kImageBytes = 512;
static constexpr unsigned kComparedBytes = 256;

static constexpr char kWarningText[] =
    "Vellmark Software Corvane Warning:\r"
    "Boot header checksum failure.  Possible cause could be any program that modifies the master "
    "boot record including boot loader programs and MBR viruses.  Boot from your Emergency boot "
    "floppy and type CVL FIX to restore the last good boot image";

static bool ReadBootImage(const Str& path, unsigned char* buffer) {
    return ReadFirstBlock(path, buffer, kImageBytes);
}

// Looks at every byte pair, so the time taken does not depend on where the images differ.
static bool HeadersDiffer(const unsigned char* left, const unsigned char* right) {
    unsigned char difference = 0;
    for (unsigned i = 0; i < kComparedBytes; ++i) difference |= static_cast<unsigned char>(left[i] ^ right[i]);
    return difference != 0;
}

void VerifyBootHeader(const Str& installDir) {
    // On the stack rather than static: the linker would store static buffers in the file.
    unsigned char currentImage[kImageBytes];
    unsigned char validatedImage[kImageBytes];
    if (!ReadBootImage(installDir + "\\cvnew.dat", currentImage)) return;
    if (!ReadBootImage(installDir + "\\cvval.dat", validatedImage)) return;
    if (HeadersDiffer(currentImage, validatedImage)) ShowMessage(kWarningText, "Corvane");
}
