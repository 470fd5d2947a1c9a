// cvprobe: records the Windows class beside itself and starts the configuration program.
#include "../platform/win32.h"
#include "../core/windowsclass.h"

int WindowsClass() {
    std::uint32_t platformId = 0, minorVersion = 0;
    QueryWindowsVersion(platformId, minorVersion);
    return ClassOfVersion(platformId, minorVersion);
}

extern "C" void EntryPoint() {
    const ErrorMode givenMode = TurnOffCriticalErrorBoxes();
    const int windowsClass = WindowsClass();
    const Str directory = ProgramDirectoryOf(ModuleFileName(), IsCodePageLeadByte);
    if (windowsClass != kWindowsNtClass) {
        Str line(1, static_cast<char>('0' + windowsClass));
        line += "\r\n";
        TryWriteNewFile(directory + "winver.ini", line);  // any failure here is silent
    }
    StartProgram(HandOffCommandLine(directory, windowsClass), givenMode);
    EndProcess(0);
}
