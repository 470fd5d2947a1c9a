// A walk through both programs for a reader of the README: each command, the boxes it
// showed, and the registry values and files it changed.
#include <cstdio>
#include <sstream>
#include "product.h"
#include "snapshot.h"

namespace {

// Saves what the screen shows of `window` as a 24-bit BMP file.
void SaveWindowPicture(HWND window, const std::string& path) {
    RECT rect;
    GetWindowRect(window, &rect);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = rect.right - rect.left;
    info.biHeight = rect.bottom - rect.top;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const std::string pixels = ScreenPixels(rect.left, rect.top, info.biWidth, info.biHeight, info.biBitCount);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + pixels.size();
    WriteBytes(path, std::string(reinterpret_cast<const char*>(&header), sizeof header) +
                         std::string(reinterpret_cast<const char*>(&info), sizeof info) + pixels);
}

// Runs one step; the box it shows, if any, is saved as `picture`.bmp.
void Show(const std::string& title, const std::string& exe, const std::string& commandLine,
          const std::string& picture = "") {
    const Snapshot before = TakeSnapshot();
    const std::string pictures = DrawnDirectory();
    const std::string picturePath = pictures.empty() || picture.empty() ? "" : pictures + picture + ".bmp";
    const Run run = RunPrograms(exe, commandLine, 1, "", 0, [&](const Box& box) {
        if (picturePath.empty()) return;
        // Drawn with the caption of the window in use, as the user sees a box just shown; with
        // no window manager, Wine does not make another process's window the active one.
        SendMessageA(box.window, WM_NCACTIVATE, TRUE, 0);
        Sleep(500);  // the box is found as soon as it is shown: let it finish drawing
        SaveWindowPicture(box.window, picturePath);
    })[0];
    if (!picturePath.empty())
        Check(BytesOr(picturePath, "").size() > sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER),
              "a picture of the box in " + picturePath);
    Sleep(500);
    const std::string changes = Changes(before, TakeSnapshot(), [](const Entry& e) {
        const std::string size = e.data.size() > 120 ? " (" + std::to_string(e.data.size()) + " bytes)" : "";
        return "\"" + Escaped(e.data.substr(0, 120)) + "\"" + size;
    }, false);
    std::printf("\n$ %s\n  (%s) exit code %lu\n", commandLine.c_str(), title.c_str(), run.exitCode);
    std::string boxes;
    for (const Box& box : run.boxes) boxes += BoxText(box);
    std::istringstream lines(boxes + changes);
    for (std::string line; std::getline(lines, line);) std::printf("  %s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

int RunDemo() {
    ResetMachine();
    // With no window manager, Wine draws the frame and caption of a window itself only when
    // told not to leave them to one: so the boxes look as they would on Windows.
    SetString("Software\\Wine\\X11 Driver", "Decorated", "N", REG_SZ, HKEY_CURRENT_USER);
    InstallProduct(kInstallDir + "\\");
    const std::string windows = WindowsDir();
    const std::string maint = "\"" + g_paths.maint + "\" ";
    std::printf("Product installed in %s (runpath = \"%s\\\"); Windows directory %s.\n", kInstallDir.c_str(),
                kInstallDir.c_str(), windows.c_str());
    Show("no command word: nothing happens", g_paths.maint, maint + "HELLO");
    Show("switch the protection on", g_paths.maint, maint + "ENABLED");
    WriteBytes(kInstallDir + "\\cvnew.dat", std::string(512, 'A'));
    WriteBytes(kInstallDir + "\\cvval.dat", std::string(512, 'A'));
    Show("boot header unchanged", g_paths.maint, maint + "VCHECK");
    WriteBytes(kInstallDir + "\\cvnew.dat", "B" + std::string(511, 'A'));
    Show("boot header changed", g_paths.maint, maint + "vcheck", "vcheck-warning");
    Show("switch the protection off", g_paths.maint, maint + "DISABLED");
    SetString(kUninstall, "DisplayName", "Corvane");
    Show("remove the product", g_paths.maint, maint + "UNINSTALL", "uninstall-message");
    SetBinary(kProduct, "runpath", std::string("\1\0\0\0", 4), REG_DWORD);
    Show("a damaged runpath setting", g_paths.maint, maint + "ENABLED", "application-error");
    DeleteTree("SOFTWARE\\Vellmark");

    MakeDirs("C:\\Setup");
    CopyFileA(g_paths.probe.c_str(), "C:\\Setup\\cvprobe.exe", FALSE);
    CopyFileA(g_paths.standIn.c_str(), "C:\\Setup\\cvcfg.exe", FALSE);
    for (const char* version : {"win95", "win98", "winme", "winxp"}) {
        SetWineVersion("cvprobe.exe", version);
        Remove("C:\\Setup\\cvcfg.exe.log");
        Show(std::string("the probe, Wine reporting ") + version + "; cvcfg.exe.log is what the started program saw",
             "C:\\Setup\\cvprobe.exe", "C:\\Setup\\cvprobe.exe");
    }
    RemoveTree("C:\\Setup");
    return DrawnDirectory().empty() ? 0 : FinishAll();  // with pictures, whether each was drawn
}
