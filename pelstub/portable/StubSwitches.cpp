// StubSwitches.cpp -- splitting and reading the stub's command-line switches.
#include "StubSwitches.h"

#include <string.h>

namespace {

int IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

// Copies the next word without its quotes into word; returns the rest, or NULL
// at the end. Returns the rest with *overflow set when the word does not fit.
const char *NextWord(const char *p, char *word, size_t size, int *overflow)
{
    while (*p && IsBlank(*p))
        p++;
    if (!*p)
        return NULL;
    size_t n = 0;
    int quoted = 0;
    *overflow = 0;
    for (; *p && (quoted || !IsBlank(*p)); p++) {
        if (*p == '"') {
            quoted = !quoted;
            continue;
        }
        if (n + 1 < size)
            word[n++] = *p;
        else
            *overflow = 1;
    }
    word[n] = '\0';
    return p;
}

}  // namespace

const char *StubSkipProgramName(const char *commandLine)
{
    const char *p = commandLine;
    if (!p)
        return "";
    while (*p && IsBlank(*p))
        p++;
    if (*p == '"') {
        p++;
        while (*p && *p != '"')
            p++;
        if (*p == '"')
            p++;
    } else {
        while (*p && !IsBlank(*p))
            p++;
    }
    return p;
}

int StubParseSwitches(const char *arguments, StubSwitches *switches)
{
    memset(switches, 0, sizeof(*switches));
    // Room for "/d:" in front of a full path.
    char word[STUB_PATH + 4];
    int overflow = 0;
    const char *p = arguments ? arguments : "";
    while ((p = NextWord(p, word, sizeof(word), &overflow)) != NULL) {
        if (word[0] != '/' && word[0] != '-')
            continue;
        char key = Lower(word[1]);
        if (key == 's' && word[2] == '\0') {
            switches->silent = 1;
        } else if (key == 'd' && word[2] == ':') {
            size_t length = strlen(word + 3);
            if (overflow || length == 0 || length >= STUB_PATH)
                return 0;
            memcpy(switches->destination, word + 3, length + 1);
            switches->haveDestination = 1;
        }
    }
    return 1;
}
