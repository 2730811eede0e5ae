// StubSwitches.cpp -- splitting and reading the stub's command-line switches.
#include "StubSwitches.h"

#include <string.h>

#include "Text.h"

namespace {

// Line breaks part words as blanks do: no switch or path holds one.
int IsBreak(char c)
{
    return TextIsBlank(c) || c == '\r' || c == '\n';
}

// Copies the next word without its quotes into word; returns the rest, or NULL
// at the end. Returns the rest with *overflow set when the word does not fit.
const char *NextWord(const char *p, char *word, size_t size, int *overflow)
{
    while (*p && IsBreak(*p))
        p++;
    if (!*p)
        return NULL;
    size_t n = 0;
    int quoted = 0;
    *overflow = 0;
    for (; *p && (quoted || !IsBreak(*p)); p++) {
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
        char key = TextLower(word[1]);
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
