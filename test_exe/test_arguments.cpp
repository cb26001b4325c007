#include "test_exe/test_arguments.h"

#include "core/color_table.h"

const char TestUsage[] =
    "Usage: test.exe BACKGROUND TEXT  (color names with _ for a space, as in Dark_Blue White)\r\n";

// Longest colour word test.exe takes, without its NUL.
static const unsigned LongestWord = 39;

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Reads the next word from *at into word (LongestWord + 1 bytes; may be null
// to pass over it). False at the end of the line. *tooLong is set for a word
// that did not fit; it is then read to its end all the same.
static bool NextWord(const char** at, char* word, bool* tooLong)
{
    const char* p = *at;
    while (IsBlank(*p))
        ++p;
    if (*p == '\0') {
        *at = p;
        return false;
    }
    unsigned length = 0;
    bool quoted = false;
    *tooLong = false;
    for (; *p != '\0' && (quoted || !IsBlank(*p)); ++p) {
        if (*p == '"') {
            quoted = !quoted;
            continue;
        }
        if (word == nullptr)
            continue;
        if (length == LongestWord)
            *tooLong = true;
        else
            word[length++] = *p;
    }
    if (word != nullptr)
        word[length] = '\0';
    *at = p;
    return true;
}

// The colour number of a word, or ColorNotFound. A space is not allowed in a
// word (it is written as "_").
static unsigned char ColorOfWord(char* word)
{
    for (char* c = word; *c != '\0'; ++c) {
        if (*c == ' ')
            return ColorNotFound;
        if (*c == '_')
            *c = ' ';
    }
    return ColorIndexOf(word);
}

bool ParseTestArguments(const char* commandLine, unsigned char* back, unsigned char* text)
{
    if (commandLine == nullptr)
        return false;
    const char* at = commandLine;
    bool tooLong = false;
    if (!NextWord(&at, nullptr, &tooLong))
        return false;  // not even a program name

    char word[LongestWord + 1];
    unsigned char colors[2];
    for (unsigned char& color : colors) {
        if (!NextWord(&at, word, &tooLong) || tooLong)
            return false;
        color = ColorOfWord(word);
        if (color == ColorNotFound)
            return false;
    }
    if (NextWord(&at, word, &tooLong))
        return false;  // one word too many
    *back = colors[0];
    *text = colors[1];
    return true;
}
