// AddRenameEntries: our lines added to the [Rename] section of WININIT.INI's text.
#include "renameentries.h"
#include "text.h"

namespace {

struct Line {
    std::size_t begin;  // first byte of the text
    std::size_t end;    // one past the text, before any CR LF
    std::size_t next;   // first byte of the following line
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The line's text without surrounding blanks, as [begin, end).
void Trim(const Str& file, std::size_t& begin, std::size_t& end) {
    while (begin < end && IsBlank(file[begin])) ++begin;
    while (end > begin && IsBlank(file[end - 1])) --end;
}

bool EqualNoCase(const Str& file, std::size_t begin, std::size_t end, const char* text, std::size_t length) {
    if (end - begin != length) return false;
    for (std::size_t i = 0; i < length; ++i)
        if (LowerAscii(file[begin + i]) != LowerAscii(text[i])) return false;
    return true;
}

Line LineAt(const Str& file, std::size_t begin) {
    std::size_t newline = file.find('\n', begin);
    if (newline == Str::npos) return Line{begin, file.size(), file.size()};
    return Line{begin, newline, newline + 1};
}

// 1 for a [Rename] header, 0 for another section header, -1 for any other line.
int HeaderKind(const Str& file, const Line& line) {
    std::size_t begin = line.begin, end = line.end;
    Trim(file, begin, end);
    if (begin == end || file[begin] != '[') return -1;
    const std::size_t close = file.find(']', begin);
    if (close == Str::npos || close >= end) return -1;
    std::size_t nameBegin = begin + 1, nameEnd = close;
    Trim(file, nameBegin, nameEnd);
    return EqualNoCase(file, nameBegin, nameEnd, "rename", 6) ? 1 : 0;
}

bool IsBlankLine(const Str& file, const Line& line) {
    std::size_t begin = line.begin, end = line.end;
    Trim(file, begin, end);
    return begin == end;
}

bool LineEquals(const Str& file, const Line& line, const Str& text) {
    std::size_t begin = line.begin, end = line.end;
    Trim(file, begin, end);
    return EqualNoCase(file, begin, end, text.data(), text.size());
}

// Where the first [Rename] section of `file` stands, and where lines are added to it.
struct RenameSection {
    bool found;
    std::size_t body;    // first byte after its header line
    std::size_t insert;  // where added lines go
};

// Added lines go after the section's last non-blank line; when no other section follows,
// at the very end of the file, so that the edit only appends.
RenameSection FindRenameSection(const Str& file) {
    RenameSection section{false, file.size(), file.size()};
    std::size_t lastText = 0;  // end of the last non-blank line seen in the section
    for (std::size_t pos = 0; pos < file.size();) {
        const Line line = LineAt(file, pos);
        const int header = HeaderKind(file, line);
        if (!section.found && header == 1) {
            section.found = true;
            section.body = lastText = line.next;
        } else if (section.found && header >= 0) {
            section.insert = lastText;
            return section;
        } else if (section.found && !IsBlankLine(file, line)) {
            lastText = line.next;
        }
        pos = line.next;
    }
    return section;
}

// Whether `text` stands as a line in the section body [begin, end) of `file`.
bool InSection(const Str& file, std::size_t begin, std::size_t end, const Str& text) {
    for (std::size_t pos = begin; pos < end;) {
        const Line line = LineAt(file, pos);
        if (LineEquals(file, line, text)) return true;
        pos = line.next;
    }
    return false;
}

}  // namespace

Str AddRenameEntries(const Str& file, const Str* lines, std::size_t count) {
    // An end-of-file mark (Ctrl+Z, as DOS editors leave it) ends the text that real-mode readers
    // see: our lines go before it, and it and every byte after it stay as they are.
    const std::size_t mark = file.find('\x1a');
    if (mark != Str::npos) return AddRenameEntries(file.substr(0, mark), lines, count).append(file, mark, Str::npos);
    const RenameSection section = FindRenameSection(file);
    Str missing;
    for (std::size_t i = 0; i < count; ++i) {
        if (section.found && InSection(file, section.body, section.insert, lines[i])) continue;
        missing += lines[i];
        missing += "\r\n";
    }
    if (missing.empty()) return file;

    Str out;
    out.reserve(file.size() + missing.size() + 16);
    out.append(file, 0, section.insert);
    if (!out.empty() && out.back() != '\n') out += "\r\n";  // a last line without a break
    if (!section.found) out += "[Rename]\r\n";
    out += missing;
    out.append(file, section.insert, Str::npos);
    return out;
}
