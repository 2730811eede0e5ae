// PathVariables.cpp -- the list of named directories: lookup, setting and the backslash rule.
#include "PathVariables.h"

#include <stdlib.h>
#include <string.h>

PathVariable *PathVariableList = NULL;

// Length of s, but stops counting past limit so an unterminated or huge text costs nothing.
static size_t BoundedLength(const char *s, size_t limit)
{
    size_t n = 0;
    while (n <= limit && s[n] != '\0')
        n++;
    return n;
}

PathVariable *FindPathVariable(const char *pszName)
{
    if (pszName == NULL)
        return NULL;
    size_t cchName = BoundedLength(pszName, PATHVAR_NAME_SIZE);
    for (PathVariable *p = PathVariableList; p != NULL; p = p->next) {
        if (strlen(p->name) == cchName && memcmp(p->name, pszName, cchName) == 0)
            return p;
    }
    return NULL;
}

const char *GetPathVariable(const char *pszName)
{
    PathVariable *p = FindPathVariable(pszName);
    return p != NULL ? p->value : "";
}

int SetPathVariable(const char *pszName, const char *pszValue)
{
    if (pszName == NULL || pszValue == NULL)
        return 0;
    // The node has fixed room; a longer text would run over the next heap block.
    size_t cchName = BoundedLength(pszName, PATHVAR_NAME_SIZE);
    size_t cchValue = BoundedLength(pszValue, PATHVAR_VALUE_SIZE);
    if (cchName >= PATHVAR_NAME_SIZE || cchValue >= PATHVAR_VALUE_SIZE)
        return 0;

    PathVariable *p = FindPathVariable(pszName);
    if (p == NULL) {
        p = (PathVariable *)malloc(sizeof(PathVariable));
        if (p == NULL)
            return 0;
        p->next = PathVariableList;
        PathVariableList = p;
    }
    memcpy(p->name, pszName, cchName + 1);
    memcpy(p->value, pszValue, cchValue + 1);
    return 1;
}

void AppendBackslash(char *pszPath)
{
    if (pszPath == NULL || pszPath[0] == '\0')
        return;
    size_t n = strlen(pszPath);
    if (pszPath[n - 1] != '\\') {
        pszPath[n] = '\\';
        pszPath[n + 1] = '\0';
    }
}
