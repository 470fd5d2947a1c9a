#include "wininit.h"

namespace {

struct Line {
    std::size_t begin;  // first byte of the text
    std::size_t end;    // one past the text, before any CR LF
    std::size_t next;   // first byte of the following line
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

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

// Whether `text` stands as a line in any [Rename] section of `file`.
bool InRenameSection(const Str& file, const Str& text) {
    bool inRename = false;
    for (std::size_t pos = 0; pos < file.size();) {
        const Line line = LineAt(file, pos);
        const int header = HeaderKind(file, line);
        if (header >= 0)
            inRename = header == 1;
        else if (inRename && LineEquals(file, line, text))
            return true;
        pos = line.next;
    }
    return false;
}

}  // namespace

Str AddRenameEntries(const Str& file, const Str* lines, std::size_t count) {
    Str missing;
    for (std::size_t i = 0; i < count; ++i) {
        if (InRenameSection(file, lines[i])) continue;
        missing += lines[i];
        missing += "\r\n";
    }
    if (missing.empty()) return file;

    enum { Before, Inside, After } first = Before;  // where the scan stands against the first [Rename]
    Line anchor{0, 0, 0};                           // the first [Rename] header, then its last non-blank line
    for (std::size_t pos = 0; pos < file.size() && first != After;) {
        const Line line = LineAt(file, pos);
        const int header = HeaderKind(file, line);
        if (first == Before && header == 1) {
            first = Inside;
            anchor = line;
        } else if (first == Inside && header >= 0) {
            first = After;
        } else if (first == Inside && !IsBlankLine(file, line)) {
            anchor = line;
        }
        pos = line.next;
    }

    Str out;
    out.reserve(file.size() + missing.size() + 16);
    if (first == Before) {
        out = file;
        if (!out.empty() && out.back() != '\n') out += "\r\n";
        out += "[Rename]\r\n";
        out += missing;
        return out;
    }
    out.append(file, 0, anchor.next);
    if (anchor.next == anchor.end) out += "\r\n";  // the anchor is a last line without a break
    out += missing;
    out.append(file, anchor.next, Str::npos);
    return out;
}
