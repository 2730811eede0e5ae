// BuildSettings.cpp -- line-by-line reader of BroltBuild's settings text and the one table of its messages.
#include "BuildSettings.h"

#include <stdio.h>
#include <string.h>

#include "BuildList.h"
#include "SfxFormat.h"
#include "Text.h"

namespace {

enum { SECTION_NONE, SECTION_SFX, SECTION_FILES };

struct KeyInfo {
    const char *name;
    const char *words;   // the words the key takes, or NULL for a text
    const int *values;   // what each word stores
    int isPath;
    size_t field;        // offset of the field in BuildSettings
    size_t fieldSize;    // for a text
};

const int kModuleValues[] = {SFX_MODULE_STANDARD, SFX_MODULE_SETUP};
const int kYesNoValues[] = {1, 0};
const int kDestinationValues[] = {SFX_DEST_TEMP, SFX_DEST_CURRENT, SFX_DEST_CUSTOM};
const int kOverwriteValues[] = {SFX_OVERWRITE_ALL, SFX_OVERWRITE_NONE, SFX_OVERWRITE_ASK};

#define INT_KEY(name, words, values, field) {name, words, values, 0, offsetof(BuildSettings, field), 0}
#define TEXT_KEY(name, isPath, field) \
    {name, NULL, NULL, isPath, offsetof(BuildSettings, field), sizeof(((BuildSettings *)0)->field)}

const KeyInfo kKeys[BUILD_KEY_COUNT] = {
    INT_KEY("Module", "standard, setup", kModuleValues, moduleType),
    TEXT_KEY("AppName", 0, appName),
    INT_KEY("OpeningDialog", "yes, no", kYesNoValues, showDialog),
    INT_KEY("Destination", "temp, current, custom", kDestinationValues, destKind),
    TEXT_KEY("CustomFolder", 1, customFolder),
    INT_KEY("AddProgramFiles", "yes, no", kYesNoValues, addProgramFiles),
    TEXT_KEY("Launch", 1, launchFile),
    TEXT_KEY("CommandLine", 0, commandLine),
    TEXT_KEY("Output", 1, output),
    INT_KEY("Overwrite", "all, none, ask", kOverwriteValues, overwriteMode),
};

// What each problem says after "file, line n, where: ". %s is the error's
// text, the numbers follow in the order number, limit.
const char *const kMessages[BUILD_PROBLEM_COUNT] = {
    "no problem",
    "the file is not ANSI text (it is UTF-16 or holds a zero byte); save it as ANSI",
    "this line stands before any section; settings go under [Sfx], files under [Files]",
    "unknown section \"%s\"; the sections are [Sfx] and [Files]",
    "\"%s\" is not a setting; write Key = value",
    ("unknown key; the keys are Module, AppName, OpeningDialog, Destination, CustomFolder, "
     "AddProgramFiles, Launch, CommandLine, Output, Overwrite"),
    "given a second time (first on line %lu)",
    "\"%s\" is not one of: %s",
    "\"%s\" has %lu characters; at most %lu fit",
    "needs a value",
    "\"%s\" is not a usable path (a quote, <, >, | or a wildcard)",
    "\"%s\": * and ? may stand only in the last part of a path",
    "a setup module always extracts into a temporary folder; write Destination = temp or leave it out",
    "Destination = custom needs CustomFolder",
    "AddProgramFiles = yes needs Destination = custom",
    "a setup module needs Launch, the program it runs after extracting",
    "CommandLine needs Launch",
    "\"%s\" lies outside the folder the files are extracted to; name it from inside that folder",
    "\"%s\" starts with a byte the self-extractor reads as a destination mark (0xFF or 0xFE)",
    "\"%s\" names a stream of a file (a colon after the drive); choose a file name",
    "\"%s\" is not a name Windows gives a file (a device, or a dot or blank at the end); choose another output",
    "there is not enough memory for the list of files",
    "the settings file is larger than %lu MB",
    "\"%s\" does not exist",
    "\"%s\" matches no file",
    "\"%s\" is a folder; list its files instead (for example folder\\*)",
    "\"%s\" is 4 GB or larger; a self-extractor stores files below 4 GB",
    "\"%s\" can't be read",
    "\"%s\" would be stored a second time (first from line %lu); both would extract to one name",
    "\"%s\" has a name the self-extractor refuses to extract",
    "the lines name %lu files; a self-extractor holds at most %lu",
    "the folder of \"%s\" does not exist",
    "\"%s\" is a file this build reads or runs; choose another output",
    "the packed block is %lu MB; a self-extractor holds less than 4 GB (%lu MB)",
};

// A piece of a line: not terminated, never copied until it is known to fit.
struct Span {
    const char *p;
    size_t n;
};

Span Trim(Span s)
{
    while (s.n > 0 && TextIsBlank(s.p[0])) {
        s.p++;
        s.n--;
    }
    while (s.n > 0 && (TextIsBlank(s.p[s.n - 1]) || s.p[s.n - 1] == '\r'))
        s.n--;
    return s;
}

Span Unquote(Span s)
{
    if (s.n >= 2 && s.p[0] == '"' && s.p[s.n - 1] == '"') {
        s.p++;
        s.n -= 2;
        s = Trim(s);
    }
    return s;
}

void CopySpan(char *dst, size_t dstSize, Span s)
{
    size_t n = s.n < dstSize - 1 ? s.n : dstSize - 1;
    memcpy(dst, s.p, n);
    dst[n] = '\0';
}

int Fail(BuildError *error, int problem, unsigned line, const char *where, Span text)
{
    char piece[sizeof(error->text)];
    CopySpan(piece, sizeof(piece), text);
    SetBuildError(error, problem, line, where, piece);
    return 0;
}

// The position of a word in a "a, b, c" list, or -1.
int FindWord(const char *words, Span value)
{
    int index = 0;
    for (const char *w = words; *w;) {
        const char *end = strchr(w, ',');
        size_t n = end ? (size_t)(end - w) : strlen(w);
        char word[16];
        if (n < sizeof(word)) {
            memcpy(word, w, n);
            word[n] = '\0';
            if (TextSpanEqualsNoCase(value.p, value.n, word))
                return index;
        }
        if (!end)
            break;
        w = end + 1;
        while (*w == ' ')
            w++;
        index++;
    }
    return -1;
}

int ReadSetting(BuildSettings *s, Span line, unsigned number, BuildError *error)
{
    const char *equals = (const char *)memchr(line.p, '=', line.n);
    if (!equals)
        return Fail(error, BUILD_NOT_A_SETTING, number, "[Sfx]", line);
    Span name = Trim({line.p, (size_t)(equals - line.p)});
    Span value = Trim({equals + 1, line.n - (size_t)(equals + 1 - line.p)});
    int key = 0;
    while (key < BUILD_KEY_COUNT && !TextSpanEqualsNoCase(name.p, name.n, kKeys[key].name))
        key++;
    if (key == BUILD_KEY_COUNT) {
        char where[sizeof(error->where)];
        CopySpan(where, sizeof(where), name);
        return Fail(error, BUILD_UNKNOWN_KEY, number, where, name);
    }
    const KeyInfo &info = kKeys[key];
    if (s->keyLine[key] != 0) {
        Fail(error, BUILD_KEY_TWICE, number, info.name, value);
        error->number = s->keyLine[key];
        return 0;
    }
    s->keyLine[key] = number;

    if (info.words) {
        int word = FindWord(info.words, value);
        if (word < 0)
            return Fail(error, BUILD_BAD_WORD, number, info.name, value);
        *(int *)((char *)s + info.field) = info.values[word];
        return 1;
    }
    if (info.isPath)
        value = Unquote(value);
    if (value.n >= info.fieldSize) {
        Fail(error, BUILD_TOO_LONG, number, info.name, value);
        error->number = (unsigned long)value.n;
        error->limit = (unsigned long)(info.fieldSize - 1);
        return 0;
    }
    if (key == BUILD_KEY_OUTPUT && value.n == 0)
        return Fail(error, BUILD_EMPTY, number, info.name, value);
    char *field = (char *)s + info.field;
    CopySpan(field, info.fieldSize, value);
    if (info.isPath && BuildPathProblem(field, 0) != BUILD_OK)
        return Fail(error, BUILD_BAD_PATH, number, info.name, value);
    return 1;
}

int ReadFileLine(Span line, unsigned number, BuildFileLine onFile, void *context, BuildError *error)
{
    Span path = Unquote(line);
    if (path.n >= BUILD_PATH_TEXT) {
        Fail(error, BUILD_TOO_LONG, number, "[Files]", path);
        error->number = (unsigned long)path.n;
        error->limit = BUILD_PATH_TEXT - 1;
        return 0;
    }
    char text[BUILD_PATH_TEXT];
    CopySpan(text, sizeof(text), path);
    int problem = BuildPathProblem(text, 1);
    if (problem != BUILD_OK)
        return Fail(error, problem, number, "[Files]", path);
    // Windows would read another file than the one named; Linux the one named, under a name no stub extracts.
    if (!BuildHasWildcard(text) && !BuildIsWindowsFileName(text))
        return Fail(error, BUILD_NAME_REFUSED, number, "[Files]", path);
    return !onFile || onFile(context, number, text, error);
}

// What the keys say together, once every line has been read.
int CheckTogether(BuildSettings *s, BuildError *error)
{
    const unsigned *at = s->keyLine;
    Span none = {"", 0};
    if (s->moduleType == SFX_MODULE_SETUP) {
        if (at[BUILD_KEY_DESTINATION] && s->destKind != SFX_DEST_TEMP)
            return Fail(error, BUILD_SETUP_DESTINATION, at[BUILD_KEY_DESTINATION], "Destination", none);
        s->destKind = SFX_DEST_TEMP;
    }
    // What both builders refuse, the wizard as well as this reader.
    BuildChoices choices = {s->moduleType, s->destKind, s->customFolder, s->launchFile, s->output};
    if (!CheckBuildChoices(&choices, at, error))
        return 0;
    if (s->destKind == SFX_DEST_CUSTOM && s->customFolder[0] == '\0')
        return Fail(error, BUILD_CUSTOM_NEEDS_FOLDER, at[BUILD_KEY_DESTINATION], "Destination", none);
    if (s->addProgramFiles && s->destKind != SFX_DEST_CUSTOM)
        return Fail(error, BUILD_PROGRAM_FILES_NEEDS_CUSTOM, at[BUILD_KEY_ADDPROGRAMFILES], "AddProgramFiles",
                    none);
    if (s->commandLine[0] != '\0' && s->launchFile[0] == '\0')
        return Fail(error, BUILD_COMMAND_NEEDS_LAUNCH, at[BUILD_KEY_COMMANDLINE], "CommandLine", none);
    return 1;
}

}  // namespace

void SetBuildError(BuildError *error, int problem, unsigned line, const char *where, const char *text)
{
    memset(error, 0, sizeof(*error));
    error->problem = problem;
    error->line = line;
    if (where)
        CopySpan(error->where, sizeof(error->where), {where, strlen(where)});
    if (text)
        CopySpan(error->text, sizeof(error->text), {text, strlen(text)});
}

int BuildHasWildcard(const char *path)
{
    return strpbrk(path, "*?") != NULL;
}

int BuildPathProblem(const char *path, int wildcardsAllowed)
{
    for (const char *c = path; *c; c++)
        if (*c == '"' || *c == '<' || *c == '>' || *c == '|' || (unsigned char)*c < 0x20)
            return BUILD_BAD_PATH;
    if (!BuildHasWildcard(path))
        return BUILD_OK;
    if (!wildcardsAllowed)
        return BUILD_BAD_PATH;
    const char *last = strrchr(path, '\\');
    const char *slash = strrchr(path, '/');
    if (slash && (!last || slash > last))
        last = slash;
    for (const char *c = path; last && c < last; c++)
        if (*c == '*' || *c == '?')
            return BUILD_WILDCARD_IN_FOLDER;
    return BUILD_OK;
}

void SetDefaultBuildSettings(BuildSettings *settings)
{
    memset(settings, 0, sizeof(*settings));
    settings->moduleType = SFX_MODULE_STANDARD;
    settings->showDialog = 1;
    settings->destKind = SFX_DEST_CURRENT;
    settings->overwriteMode = SFX_OVERWRITE_ASK;
    strcpy(settings->appName, "My Application");
    strcpy(settings->output, "MySFX.EXE");
}

int ParseBuildSettings(const char *text, size_t length, BuildSettings *settings, BuildFileLine onFile,
                       void *context, BuildError *error)
{
    SetDefaultBuildSettings(settings);
    SetBuildError(error, BUILD_OK, 0, NULL, NULL);

    Span none = {"", 0};
    if (length >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF')))
        return Fail(error, BUILD_NOT_ANSI, 0, NULL, none);
    if (memchr(text, '\0', length))
        return Fail(error, BUILD_NOT_ANSI, 0, NULL, none);
    if (length >= 3 && !memcmp(text, "\xEF\xBB\xBF", 3)) {
        text += 3;
        length -= 3;
    }

    int section = SECTION_NONE;
    unsigned number = 0;
    size_t at = 0;
    while (at < length) {
        const char *end = (const char *)memchr(text + at, '\n', length - at);
        size_t n = end ? (size_t)(end - (text + at)) : length - at;
        Span line = Trim({text + at, n});
        at += n + (end ? 1 : 0);
        number++;
        if (line.n == 0 || line.p[0] == ';' || line.p[0] == '#')
            continue;
        if (line.p[0] == '[') {
            Span name = line.p[line.n - 1] == ']' ? Trim({line.p + 1, line.n - 2}) : line;
            if (line.n >= 2 && TextSpanEqualsNoCase(name.p, name.n, "Sfx")) {
                section = SECTION_SFX;
            } else if (line.n >= 2 && TextSpanEqualsNoCase(name.p, name.n, "Files")) {
                section = SECTION_FILES;
                if (!settings->filesLine)
                    settings->filesLine = number;
            } else {
                return Fail(error, BUILD_UNKNOWN_SECTION, number, NULL, line);
            }
            continue;
        }
        int ok = 1;
        if (section == SECTION_SFX)
            ok = ReadSetting(settings, line, number, error);
        else if (section == SECTION_FILES)
            ok = ReadFileLine(line, number, onFile, context, error);
        else
            ok = Fail(error, BUILD_OUTSIDE_SECTION, number, NULL, none);
        if (!ok)
            return 0;
    }
    return CheckTogether(settings, error);
}

void FormatBuildError(const BuildError *error, const char *settingsName, char *out, size_t size)
{
    if (!out || size == 0)
        return;
    char place[400];
    if (error->line && error->where[0])
        snprintf(place, sizeof(place), "%s, line %u, %s", settingsName, error->line, error->where);
    else if (error->line)
        snprintf(place, sizeof(place), "%s, line %u", settingsName, error->line);
    else
        snprintf(place, sizeof(place), "%s", settingsName);
    char what[600];
    FormatBuildProblem(error, what, sizeof(what));
    snprintf(out, size, "%s: %s", place, what);
}

void FormatBuildProblem(const BuildError *error, char *what, size_t size)
{
    if (!what || size == 0)
        return;
    int problem = error->problem >= 0 && error->problem < BUILD_PROBLEM_COUNT ? error->problem : 0;

    const char *words = "";
    for (int key = 0; key < BUILD_KEY_COUNT; key++)
        if (kKeys[key].words && !strcmp(kKeys[key].name, error->where))
            words = kKeys[key].words;
    char text[sizeof(error->text)];
    memcpy(text, error->text, sizeof(text));
    text[sizeof(text) - 1] = '\0';

    const char *format = kMessages[problem];
    // The formats come from the table above, each with the arguments its case passes.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    switch (problem) {
    case BUILD_KEY_TWICE:
    case BUILD_SETTINGS_TOO_BIG:
        snprintf(what, size, format, error->number);
        break;
    case BUILD_BAD_WORD:
        snprintf(what, size, format, text, words);
        break;
    case BUILD_TOO_LONG:
        snprintf(what, size, format, text, error->number, error->limit);
        break;
    case BUILD_TOO_MANY_FILES:
    case BUILD_PACKED_TOO_BIG:
        snprintf(what, size, format, error->number, error->limit);
        break;
    case BUILD_NAME_TWICE:
        snprintf(what, size, format, text, error->number);
        break;
    default:
        snprintf(what, size, format, text);
        break;
    }
#pragma GCC diagnostic pop
}
