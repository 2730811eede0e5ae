// BuildRun.h -- one build, written once: the settings to the finished output, through a small table of host calls.
//
// The wizard, BroltBuild.exe and broltbuild all build through this run. It
// parses the settings once, expands and checks each file once and keeps what
// it opened, fills the header in one place and streams the files through the
// host's packer into a partial output beside the final one, which takes the
// final name only when complete. A host supplies what differs between Windows
// and POSIX: paths, folders, files, the partial output and the packer.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "BuildSettings.h"
#include "SfxFormat.h"

enum {
    BUILD_RUN_PATH = 4096,  // room for the longest full path of any host, with its terminator
    BUILD_RUN_TOOLS = 4,    // files the build reads or runs besides the listed ones
};

// The exit codes of both command-line builders.
enum { BUILD_EXIT_BUILT = 0, BUILD_EXIT_SETTINGS = 1, BUILD_EXIT_FAILED = 2 };

enum { BUILD_ABSENT, BUILD_KIND_FILE, BUILD_KIND_FOLDER, BUILD_KIND_OTHER };

// What a path or an open file is. volume and index are its identity: the same
// pair is the same file, whatever name, link or hard link reaches it.
struct BuildFileInfo {
    int kind;       // BUILD_KIND_OTHER: there, but no file to read (a pipe, a device, a broken link)
    unsigned long long size;
    unsigned long long volume;
    unsigned long long index;
};

typedef void *BuildHandle;  // NULL is no file
struct BuildStream;

// A name a folder holds that the pattern matches, in the host's own bytes.
typedef int (*BuildFoundName)(void *context, const char *name, int isFolder);

struct BuildPacked {
    unsigned long long size;  // of the packed block written
    uint32_t checksum;        // SfxChecksum of it
    int writeFailed;          // the output could not be written; error says why
    unsigned long error;      // the host's error code, 0 when there is none
    char failure[300];        // any other reason the packer gives, else empty
};

struct BuildHost {
    void *context;
    char separator;
    size_t pathLimit;  // bytes of the longest full path the host takes, with its terminator
    size_t keepOpen;   // how many listed files stay open from their check to the packing
    // The full path of a settings path taken from base; its length even when
    // it does not fit in size, 0 when it is no path.
    size_t (*resolve)(void *context, const char *base, const char *text, char *full, size_t size);
    // Each entry of folder that pattern matches, in any order; 0 when the folder can't be listed.
    int (*list)(void *context, const char *folder, const char *pattern, BuildFoundName found, void *foundContext);
    // The name a Western Windows stores for a host name; 0 when it can't be written so.
    int (*storedName)(void *context, const char *name, char *out, size_t size);
    // What a path is; its identity only when asked for, as a host may have to
    // open the file for it, and the listed files are opened once, by open.
    void (*identify)(void *context, const char *path, int withIdentity, BuildFileInfo *info);
    BuildHandle (*open)(void *context, const char *path, BuildFileInfo *info);
    long (*read)(void *context, BuildHandle file, void *buffer, size_t size);  // -1 on failure
    void (*close)(void *context, BuildHandle file);
    // 0 when an earlier output is one its owner keeps from being replaced.
    int (*mayReplace)(void *context, const char *output);
    // A new empty file in folder, its name in path.
    BuildHandle (*createPartial)(void *context, const char *folder, char *path, size_t size);
    int (*write)(void *context, BuildHandle file, const void *data, size_t size);
    int (*writeAt)(void *context, BuildHandle file, unsigned long long offset, const void *data, size_t size);
    // Stamps the finished file's times (and mode) and closes it; 0 on failure.
    int (*seal)(void *context, BuildHandle file);
    int (*rename)(void *context, const char *from, const char *to);
    // Closes (file may be NULL) and deletes a partial output.
    void (*discard)(void *context, BuildHandle file, const char *path);
    // Writes the packed block of the work stream to out at its current position.
    int (*pack)(void *context, BuildStream *stream, BuildHandle out, BuildPacked *packed);
    unsigned long (*lastError)(void *context);
    const char *(*errorText)(void *context, unsigned long code);
    // Progress (problem 0) and problems, each a whole text; NULL for a run that says nothing.
    void (*say)(void *context, int problem, const char *text);
    unsigned long (*milliseconds)(void *context);
};

// One file to store, checked.
struct BuildItem {
    char *path;                     // full path, on the heap
    char name[SFX_PATH_FIELD];      // the stored name; "" when the host can't write it so
    unsigned line;                  // the settings line that named it; 0 when none did
    BuildHandle file;               // kept open from its check, or NULL
    BuildFileInfo info;             // what its check found
};

struct BuildRun {
    const BuildHost *host;
    char settingsPath[BUILD_RUN_PATH];  // "" when the settings come from the wizard
    char base[BUILD_RUN_PATH];          // the folder relative paths are taken from
    char stub[BUILD_RUN_PATH];
    const char *tools[BUILD_RUN_TOOLS]; // more files the output must not replace (the compressor, the program)
    const char *packingWith;            // "Packing with <this> ...": the packer as the user knows it
    // What a front end checks once the settings passed, before the plan: its
    // companions. 0 stops the run with exit code 2; it said why.
    int (*checkTools)(const BuildRun *run);
    BuildSettings settings;
    char output[BUILD_RUN_PATH];
    BuildItem *items;
    size_t count;
    size_t capacity;
    unsigned long long totalBytes;
    size_t foldersSkipped;
    BuildError error;                   // a refusal, or the file that failed while packing
};

// BroltBuild.exe and broltbuild: the settings file read, checked and built,
// every step and problem said through the host. Returns the exit code.
int RunBuildFile(BuildRun *run);

// The wizard: run->settings as it mapped them and its list of paths, each
// stored under the text after its last separator. Returns the exit code;
// a refusal is in run->error.
int RunBuildList(BuildRun *run, const char *const *paths, size_t count);

void FreeBuildRun(BuildRun *run);

// The work stream the packer reads: each file's record head and contents in
// list order. Returns the bytes given (fewer than size only at its end), or -1
// when a file could not be read whole; the run then names it.
long BuildStreamRead(BuildStream *stream, void *buffer, size_t size);

// "C:\a\b.ini" -> "C:\a", "/a/b" -> "/a"; a root keeps its separator so it stays a folder.
void BuildFolderOf(const char *path, char separator, char *dir, size_t size);
