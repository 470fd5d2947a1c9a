// cvmaint: reads the installation directory, then runs the one command its first argument names.
#include "../core/commandword.h"
#include "../core/text.h"
#include "../platform/win32.h"
#include "commands.h"
#include "regpaths.h"

static constexpr char kHomePage[] = "http://www.vellmark.com/";

void Browse(ErrorMode givenMode) { OpenAddress(kHomePage, givenMode); }

extern "C" void EntryPoint() {
    const ErrorMode givenMode = TurnOffCriticalErrorBoxes();
    const Str installDir = ReadProductSetting("runpath");
    const Str word = UpperCaseAscii(CommandWord(RawCommandLine()));
    if (word == "DISABLED")
        DisableLock(installDir);
    else if (word == "ENABLED")
        EnableLock(installDir);
    else if (word == "UNINSTALL")
        Uninstall(installDir);
    else if (word == "BROWSE")
        Browse(givenMode);
    if (word == "VCHECK") VerifyBootHeader(installDir);
    EndProcess(0);
}
