// BuildSettings.h -- the settings file of BroltBuild.exe: a hand-written INI text, read as untrusted bytes.
//
//   ; a comment (so is a line that starts with #)
//   [Sfx]
//   Module          = standard | setup               default standard
//   AppName         = text, at most 79 characters     default My Application
//   OpeningDialog   = yes | no                        default yes
//   Destination     = temp | current | custom         default current (temp for a setup module)
//   CustomFolder    = folder, at most 259 characters  needed with Destination = custom
//   AddProgramFiles = yes | no                        default no; only with custom
//   Launch          = program to start, at most 259 characters
//   CommandLine     = its command line, at most 79 characters
//   Output          = the file to build               default MySFX.EXE
//   Overwrite       = all | none | ask                 default ask
//   [Files]
//   one path or pattern per line, * and ? in its last part only, in storing order
//
// Section names, keys and words match in any letter case. Blanks around names
// and values are dropped; a path may stand in double quotes. Text is ANSI (a
// UTF-8 signature is skipped); UTF-16 and zero bytes are refused. The limits
// are the wizard's, which the archive header sets; nothing is cut to fit.
#pragma once

#include <stddef.h>

enum {
    BUILD_SHORT_TEXT = 80,   // AppName, CommandLine: the header's 80-byte fields
    BUILD_PATH_TEXT = 260,   // CustomFolder, Launch, Output and every [Files] line
};

enum {
    BUILD_KEY_MODULE,
    BUILD_KEY_APPNAME,
    BUILD_KEY_OPENINGDIALOG,
    BUILD_KEY_DESTINATION,
    BUILD_KEY_CUSTOMFOLDER,
    BUILD_KEY_ADDPROGRAMFILES,
    BUILD_KEY_LAUNCH,
    BUILD_KEY_COMMANDLINE,
    BUILD_KEY_OUTPUT,
    BUILD_KEY_OVERWRITE,
    BUILD_KEY_COUNT
};

// Values use the archive format's numbers (SfxFormat.h).
struct BuildSettings {
    int moduleType;
    int showDialog;
    int destKind;
    int addProgramFiles;
    int overwriteMode;
    char appName[BUILD_SHORT_TEXT];
    char customFolder[BUILD_PATH_TEXT];
    char launchFile[BUILD_PATH_TEXT];
    char commandLine[BUILD_SHORT_TEXT];
    char output[BUILD_PATH_TEXT];
    unsigned keyLine[BUILD_KEY_COUNT];  // line each key stands on, 0 when left out
    unsigned filesLine;                 // line of the [Files] head, 0 when there is none
};

// What was wrong. The first group is found in the text; the second by the
// program, on disk, and reported through the same messages.
enum {
    BUILD_OK = 0,
    BUILD_NOT_ANSI,
    BUILD_OUTSIDE_SECTION,
    BUILD_UNKNOWN_SECTION,
    BUILD_NOT_A_SETTING,
    BUILD_UNKNOWN_KEY,
    BUILD_KEY_TWICE,
    BUILD_BAD_WORD,
    BUILD_TOO_LONG,
    BUILD_EMPTY,
    BUILD_BAD_PATH,
    BUILD_WILDCARD_IN_FOLDER,
    BUILD_SETUP_DESTINATION,
    BUILD_CUSTOM_NEEDS_FOLDER,
    BUILD_PROGRAM_FILES_NEEDS_CUSTOM,
    BUILD_SETUP_NEEDS_LAUNCH,
    BUILD_COMMAND_NEEDS_LAUNCH,
    BUILD_LAUNCH_OUTSIDE,
    BUILD_FOLDER_IS_MARKER,
    BUILD_OUTPUT_IS_STREAM,
    BUILD_OUTPUT_NAME_REFUSED,

    BUILD_NO_MEMORY,
    BUILD_SETTINGS_TOO_BIG,
    BUILD_NO_SUCH_FILE,
    BUILD_NO_MATCH,
    BUILD_IS_FOLDER,
    BUILD_FILE_TOO_BIG,
    BUILD_UNREADABLE,
    BUILD_NAME_TWICE,
    BUILD_NAME_REFUSED,
    BUILD_TOO_MANY_FILES,
    BUILD_NO_OUTPUT_FOLDER,
    BUILD_OUTPUT_IS_READ,
    BUILD_PACKED_TOO_BIG,
    BUILD_PROBLEM_COUNT
};

struct BuildError {
    int problem;
    unsigned line;          // 1-based; 0 for the file as a whole
    char where[24];         // the key as the usage spells it, "[Files]", or empty
    char text[120];         // the value, path or line concerned, cut to fit the message
    unsigned long number;   // a length, count or other line, as the problem needs
    unsigned long limit;
};

// The settings a first-time user of the wizard sees, and a key left out of a
// settings file takes: one set for every builder.
void SetDefaultBuildSettings(BuildSettings *settings);

// Receives each [Files] line (blanks and quotes removed) in order. Returning 0
// stops the parse; the receiver says why in *error.
typedef int (*BuildFileLine)(void *context, unsigned line, const char *path, BuildError *error);

// Fills *settings (defaults first) and hands on the file lines. Nonzero when
// the text is good; otherwise *error says what and where, and parsing stopped there.
int ParseBuildSettings(const char *text, size_t length, BuildSettings *settings, BuildFileLine onFile,
                       void *context, BuildError *error);

void SetBuildError(BuildError *error, int problem, unsigned line, const char *where, const char *text);

// "<settingsName>, line <n>, <where>: <what is wrong>", always terminated.
void FormatBuildError(const BuildError *error, const char *settingsName, char *out, size_t size);

// The "<what is wrong>" part alone, for a builder that has no settings file to point into.
void FormatBuildProblem(const BuildError *error, char *out, size_t size);

// A path text that names a file: no quote, <, >, | or control byte; wildcards
// only when allowed, and then only after the last separator.
int BuildPathProblem(const char *path, int wildcardsAllowed);
int BuildHasWildcard(const char *path);
