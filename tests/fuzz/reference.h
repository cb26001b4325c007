// What system.ini's lines are and what they say, written out plainly and
// apart from the program's own code, for the fuzz targets to hold the
// program's reader and writer to.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace reference {

// A line's parts are views into the text it was split from, which must
// outlive it: a fuzz target splits every input several times, and copying each
// line would take most of its time.
struct Line {
    std::string_view content;
    std::string_view end;  // "\n", "\r\n", "\r", a NUL, or "" for a last line with no end
};

// A line ends at LF, at NUL, or at a CR not followed by LF; CR LF is one end.
inline std::vector<Line> Split(const std::string& text)
{
    const std::string_view all(text);
    std::vector<Line> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = at;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r' && text[end] != '\0')
            ++end;
        size_t next = end;
        if (end < text.size())
            next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        lines.push_back({all.substr(at, end - at), all.substr(end, next - end)});
        at = next;
    }
    return lines;
}

const size_t LongLine = 555;  // content this long is left alone by both

inline bool Begins(std::string_view s, const char* prefix)
{
    return s.compare(0, strlen(prefix), prefix) == 0;
}

inline bool Looked(const Line& line) { return line.content.size() < LongLine; }

inline bool IsMarked(const Line& line)
{
    static const char* const markers[] = {
        "MessageBackColor=", "MessageTextColor=", ";; End of Hueline Lines",
        ";; They are used to change the color of the blue screen of death",
        ";; Following 2 lines by Hueline (hueline@hueline.org)"};
    if (!Looked(line))
        return false;
    for (const char* marker : markers) {
        if (Begins(line.content, marker))
            return true;
    }
    return false;
}

inline bool IsHeader(const Line& line) { return Looked(line) && Begins(line.content, "[386Enh]"); }

inline bool IsNulOnly(const Line& line) { return line.content.empty() && line.end == std::string_view("", 1); }

// The lines a Restore must leave: every line but the marked ones and the lone
// NULs, in order, a NUL end turned into CR LF. They are views into text.
inline std::vector<Line> Restored(const std::string& text)
{
    std::vector<Line> out;
    for (const Line& line : Split(text)) {
        if (!IsMarked(line) && !IsNulOnly(line))
            out.push_back({line.content, line.end == std::string_view("", 1) ? "\r\n" : line.end});
    }
    return out;
}

// True when a file's lines are the lines wanted: the same contents in the
// same order, each with the same end, except that a lone CR may have become
// CR LF (where a dropped line stood between it and a LF).
inline bool SameLines(const std::string& text, const std::vector<Line>& wanted)
{
    std::vector<Line> lines = Split(text);
    if (lines.size() != wanted.size())
        return false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].content != wanted[i].content)
            return false;
        if (lines[i].end != wanted[i].end && !(wanted[i].end == "\r" && lines[i].end == "\r\n"))
            return false;
    }
    return true;
}

// The colour a key's value names, as strtol reads it in base 16, or -1.
inline int ValueOf(std::string_view value)
{
    const std::string copy(value);
    char* end = nullptr;
    long n = strtol(copy.c_str(), &end, 16);
    return n >= 0 && n <= 15 ? (int)n : -1;
}

// The colour numbers the last valid key lines name, -1 where none does. A
// last line with no end is not read.
inline void Read(const std::string& text, int* back, int* textColour)
{
    *back = *textColour = -1;
    for (const Line& line : Split(text)) {
        if (line.end.empty() || !Looked(line))
            continue;
        if (Begins(line.content, "MessageBackColor=")) {
            int v = ValueOf(line.content.substr(17));
            if (v >= 0)
                *back = v;
        }
        if (Begins(line.content, "MessageTextColor=")) {
            int v = ValueOf(line.content.substr(17));
            if (v >= 0)
                *textColour = v;
        }
    }
}

// UTF-16 text, which the reader takes to name no colour and the writer
// leaves alone: a byte-order mark; a CR LF or a '[' and another character
// written as UTF-16 in either byte order, at an even offset; or NULs in at
// least half the bytes at even (or odd) positions of the whole file, four
// times as many as at the others.
inline bool IsUtf16(const std::string& text)
{
    if (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0)
        return true;
    for (size_t i = 0; i + 4 <= text.size(); i += 2) {
        const std::string unit = text.substr(i, 4);
        if (unit == std::string("\r\0\n\0", 4) || unit == std::string("\0\r\0\n", 4) ||
            (unit[0] == '[' && unit[1] == 0 && unit[2] != 0 && unit[3] == 0) ||
            (unit[0] == 0 && unit[1] == '[' && unit[2] == 0 && unit[3] != 0))
            return true;
    }
    size_t nuls[2] = {0, 0};  // at even and at odd positions
    for (size_t i = 0; i < text.size(); ++i)
        nuls[i % 2] += text[i] == '\0';
    const size_t most = std::max(nuls[0], nuls[1]), least = std::min(nuls[0], nuls[1]);
    return most >= 2 && most * 4 >= text.size() && least * 4 <= most;
}

}  // namespace reference
