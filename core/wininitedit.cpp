// AddLinesToWininit: the edit of WININIT.INI on the disk, appended or swapped in whole.
#include "wininitedit.h"
#include "renameentries.h"

namespace {

// The new text moves bytes already on the disk, so it cannot be appended. It is written
// under a fresh name while WININIT.INI is still held; then the old file is renamed to a
// second fresh name, the new one takes its place, and the old one is deleted unless another
// program has it open. Only between the two renames does neither the old file nor the new
// one stand under the name, and then the old text stands whole under the second name.
// Every name used is one this run created, so no run touches another's files.
void ReplaceWhole(EditFiles& files, const Str& directory, const Str& path, const Str& text) {
    // Both names' room is taken first: memory running out once a file of ours stands would
    // end the process and leave the file behind.
    Str staged(kUniqueNameRoom, '\0'), aside(kUniqueNameRoom, '\0');
    if (!files.WriteUniqueFile(directory, text, staged)) {
        files.CloseOpened();
        return;
    }
    const bool reserved = files.ReserveUniqueFile(directory, aside);
    files.CloseOpened();
    if (!reserved) {
        files.Delete(staged);
        return;
    }
    // The rename cannot overwrite, so the reserved name is freed first. Should that fail,
    // the rename fails too, and the file is still ours to delete.
    const bool freed = files.Delete(aside);
    if (!files.Move(path, aside)) {
        files.Delete(staged);
        if (!freed) files.Delete(aside);
        return;
    }
    if (!files.Move(staged, path)) {
        if (files.Move(aside, path)) files.Delete(staged);
        return;  // when even that fails, the old text stays whole under `aside`
    }
    files.CopyAttributes(aside, path);
    // A program that opened WININIT.INI between our close and the rename holds the old copy
    // now; it is left to that program, under its fresh name.
    files.DeleteUnlessInUse(aside);
}

}  // namespace

void AddLinesToWininit(EditFiles& files, const Str& directory, const Str* lines, std::size_t count) {
    const Str path = directory + "\\WININIT.INI";
    files.FlushProfileCache(path);
    if (!files.OpenExclusive(path)) return;
    Str before;
    if (!files.ReadOpened(before)) {
        files.CloseOpened();
        return;
    }
    const Str after = AddRenameEntries(before, lines, count);
    if (after.compare(0, before.size(), before) != 0) {
        ReplaceWhole(files, directory, path, after);
        return;
    }
    // A write that fails or is cut short (a full disk) would leave a cut-off line after the
    // other programs' lines; the file, still ours alone, goes back to the old text.
    if (after.size() > before.size() && !files.AppendOpened(after.substr(before.size())))
        files.CutOpened(before.size());
    files.CloseOpened();
}
