// The WININIT.INI edit against a file system in memory that fails, or stops dead, at each
// of its operations in turn.
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include "core/renameentries.h"
#include "core/wininitedit.h"
#include "tests/testdata.h"

namespace {

const Str kDir = "C:\\WINDOWS";
const Str kPath = "C:\\WINDOWS\\WININIT.INI";

struct Killed {};  // thrown where the process would have been ended

class FakeFiles final : public EditFiles {
public:
    std::map<Str, Str> disk;
    int operations = 0;
    int failAt = 0;  // this operation fails, changing nothing but an append, which writes part (0: none)
    int stopAt = 0;  // the process ends before this operation (0: never)
    Str openAfterClose;      // another program opens this file once ours is closed
    std::set<Str> inUse;     // files another program holds open; a hold follows its file
    std::string failedName;
    Str failedPath;  // the file a failed operation was about, where it names one

    void FlushProfileCache(const Str&) override {
        Step("flush");
        flushed = true;
    }
    bool OpenExclusive(const Str& path) override {
        if (!Step("open")) return false;
        // The system writes its copy out only while no one holds the file exclusively.
        flushedBeforeOpen = flushedBeforeOpen || (flushed && !everOpened);
        everOpened = true;
        disk.emplace(path, Str());
        opened = path;
        return true;
    }
    bool ReadOpened(Str& content) override {
        if (!Step("read")) return false;
        content = disk.at(opened);
        return true;
    }
    bool AppendOpened(const Str& bytes) override {
        const bool whole = Step("append");
        disk.at(opened) += whole ? bytes : bytes.substr(0, bytes.size() / 2);  // a full disk writes part
        return whole;
    }
    void CutOpened(std::size_t length) override {
        if (Step("cut")) disk.at(opened).resize(length);
    }
    void CloseOpened() override {
        Step("close");
        opened.clear();
        if (disk.count(openAfterClose)) inUse.insert(openAfterClose);
    }
    bool WriteUniqueFile(const Str& directory, const Str& content, Str& path) override {
        if (!Step("write unique")) return false;
        path = NewName(directory);
        disk[path] = content;
        return true;
    }
    bool ReserveUniqueFile(const Str& directory, Str& path) override {
        if (!Step("reserve unique")) return false;
        path = NewName(directory);
        disk[path] = Str();
        return true;
    }
    bool Move(const Str& from, const Str& to) override {
        if (!Step("move") || !disk.count(from) || disk.count(to) || from == opened) return false;
        disk[to] = disk[from];
        disk.erase(from);
        if (inUse.erase(from)) inUse.insert(to);
        return true;
    }
    bool Delete(const Str& path) override {
        if (!Step("delete", path) || path == opened) return false;
        return disk.erase(path) == 1;  // as Windows 95 does, open or not
    }
    void DeleteUnlessInUse(const Str& path) override {
        if (Step("delete", path) && !inUse.count(path)) disk.erase(path);
    }
    void CopyAttributes(const Str&, const Str&) override { Step("copy attributes"); }

    bool flushedBeforeOpen = false;

private:
    bool Step(const char* name, const Str& path = Str()) {
        ++operations;
        if (operations == stopAt) throw Killed{};
        if (operations != failAt) return true;
        failedName = name;
        failedPath = path;
        return false;
    }
    Str NewName(const Str& directory) { return directory + "\\cvw" + Str(1, static_cast<char>('A' + names++)) + ".tmp"; }

    Str opened;
    bool flushed = false;
    bool everOpened = false;
    int names = 0;
};

struct Start {
    const char* name;
    bool exists;
    Str text;
};

const Start kStarts[] = {
    {"no WININIT.INI", false, ""},
    {"[Rename] last: appended", true, "[Rename]\r\nNUL=C:\\OTHER.TMP\r\nC:\\NEW.SYS=C:\\OLD.SYS\r\n"},
    {"[Rename] before another section: replaced", true,
     "[rename]\r\nNUL=C:\\OTHER.TMP\r\nC:\\NEW.SYS=C:\\OLD.SYS\r\n\r\n[Keep]\r\nA=1"},
    {"our lines already there", true, "[Rename]\r\nNUL=C:\\WINDOWS\\System\\ctgcpl.cpl\r\nNUL=C:\\WINDOWS\\cvvchk.exe\r\n"},
};

FakeFiles Prepared(const Start& start) {
    FakeFiles files;
    if (start.exists) files.disk[kPath] = start.text;
    files.disk["C:\\WINDOWS\\OTHER.TMP"] = "another program's";
    return files;
}

// Every file a run left, with its text, for the failure messages.
std::string Describe(const FakeFiles& files) {
    std::string out;
    for (const auto& entry : files.disk)
        out += std::string(entry.first.c_str()) + " = \"" + entry.second.c_str() + "\"\n";
    return out;
}

TEST(WininitFile, HoldsAtEveryFailureAndStop) {
    for (const Start& start : kStarts) {
        FakeFiles clean = Prepared(start);
        AddLinesToWininit(clean, kDir, kOurs, 2);
        const Str after = AddRenameEntries(start.text, kOurs, 2);
        ASSERT_EQ(clean.disk.at(kPath), after) << start.name;
        ASSERT_EQ(clean.disk.size(), Prepared(start).disk.size() + (start.exists ? 0 : 1)) << start.name << ": strays";
        EXPECT_TRUE(clean.flushedBeforeOpen) << start.name;

        for (int step = 1; step <= clean.operations; ++step) {
            for (const bool stop : {false, true}) {
                FakeFiles files = Prepared(start);
                (stop ? files.stopAt : files.failAt) = step;
                try {
                    AddLinesToWininit(files, kDir, kOurs, 2);
                } catch (Killed&) {
                }
                const std::string what = std::string(start.name) +
                                         (stop ? ", stopped before operation " : ", failing operation ") +
                                         std::to_string(step) + " " + files.failedName + ":\n" + Describe(files);
                EXPECT_EQ(files.disk.at("C:\\WINDOWS\\OTHER.TMP"), "another program's") << what;
                // Under its own name: the old text or the new one, whole (an empty file where
                // there was none). Only a stop between the two renames leaves no file where
                // there was one, and then the old text stands whole beside it.
                const bool present = files.disk.count(kPath) == 1;
                const Str now = present ? files.disk.at(kPath) : Str();
                bool oldAside = false;
                for (const auto& entry : files.disk) {
                    if (entry.first == kPath || entry.first == "C:\\WINDOWS\\OTHER.TMP") continue;
                    EXPECT_EQ(entry.first.compare(0, 14, "C:\\WINDOWS\\cvw"), 0) << what;
                    EXPECT_TRUE(entry.second == start.text || entry.second == after || entry.second.empty()) << what;
                    oldAside = oldAside || (start.exists && entry.second == start.text);
                    // After a failure the run tidies up: only a failed deletion leaves a file, the
                    // one it failed on, and that holds a text; the empty name reserved for the
                    // old text is deleted once more when its first deletion failed.
                    EXPECT_TRUE(stop || (entry.first == files.failedPath && !entry.second.empty())) << what;
                }
                if (present)
                    EXPECT_TRUE(now == start.text || now == after) << what;
                else
                    EXPECT_TRUE(!start.exists || (stop && oldAside)) << what;
                // A later run, with nothing failing, finishes the job wherever this one ended.
                if (present) {
                    FakeFiles again;
                    again.disk = files.disk;
                    AddLinesToWininit(again, kDir, kOurs, 2);
                    EXPECT_EQ(again.disk.at(kPath), after) << what;
                }
            }
        }
    }
}

// A program that opens WININIT.INI between our close and the swap keeps the old copy.
TEST(WininitFile, LeavesTheOldCopyToAProgramThatOpenedIt) {
    const Start& start = kStarts[2];
    FakeFiles files = Prepared(start);
    files.openAfterClose = kPath;
    AddLinesToWininit(files, kDir, kOurs, 2);
    EXPECT_EQ(files.disk.at(kPath), AddRenameEntries(start.text, kOurs, 2));
    ASSERT_EQ(files.inUse.size(), 1u);
    EXPECT_EQ(files.disk.at(*files.inUse.begin()), start.text) << Describe(files);
}

}  // namespace
