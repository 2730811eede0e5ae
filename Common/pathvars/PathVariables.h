// PathVariables.h -- the process-wide table of named system directories
// ("WINDIR", "SEL_DESTPATH", ...) that install-log records refer to.
#pragma once

enum {
    PATHVAR_NAME_SIZE = 30,   // at most 29 characters and the terminator
    PATHVAR_VALUE_SIZE = 262, // at most 261 characters and the terminator
};

struct PathVariable {
    PathVariable *next;
    char name[PATHVAR_NAME_SIZE];
    char value[PATHVAR_VALUE_SIZE];
};

// Front of the list; the most recently added variable comes first. Nodes are never freed.
extern PathVariable *PathVariableList;

// 1 when the variable now holds the value; 0 for a NULL argument, a name or value too
// long for a node, or no memory. A replaced variable keeps its place in the list.
int SetPathVariable(const char *pszName, const char *pszValue);
// The value, or "" for an unknown name; never NULL. Names compare byte for byte, with case.
const char *GetPathVariable(const char *pszName);
// The node with that name, or NULL.
PathVariable *FindPathVariable(const char *pszName);
// Appends '\' unless the text is empty or already ends in one. The buffer must have room.
void AppendBackslash(char *pszPath);

// Windows only: sets the system directories, registry and shell-folder variables.
// Returns the result of setting "MSOFFICEDIR", or 0 when no Office install root was found.
int InitPathVariables();
