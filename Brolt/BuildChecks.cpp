// BuildChecks.cpp -- what a build verifies before it writes anything: the output's name and the packed block.
#include "BuildChecks.h"

#include <windows.h>
#include <string.h>
#include <zlib.h>

namespace {

// The forms a path can take: full, long and short. The long and short forms
// exist only for a path that exists; a missing one keeps its full form.
struct PathForms {
    char full[MAX_PATH];
    char longForm[MAX_PATH];
    char shortForm[MAX_PATH];
};

int GetPathForms(const char *path, PathForms *forms)
{
    memset(forms, 0, sizeof(*forms));
    DWORD n = GetFullPathNameA(path, sizeof(forms->full), forms->full, NULL);
    if (n == 0 || n >= sizeof(forms->full))
        return 0;
    n = GetLongPathNameA(forms->full, forms->longForm, sizeof(forms->longForm));
    if (n == 0 || n >= sizeof(forms->longForm))
        lstrcpynA(forms->longForm, forms->full, sizeof(forms->longForm));
    n = GetShortPathNameA(forms->full, forms->shortForm, sizeof(forms->shortForm));
    if (n == 0 || n >= sizeof(forms->shortForm))
        lstrcpynA(forms->shortForm, forms->full, sizeof(forms->shortForm));
    return 1;
}

// What follows the last backslash of a full path.
const char *LastComponent(const char *fullPath)
{
    const char *slash = strrchr(fullPath, '\\');
    return slash ? slash + 1 : fullPath;
}

// The full, long and short forms of one file all end in its long or short name,
// so the names are compared first: finding a path's long and short forms reads
// every folder on the way, which for a hundred files in one folder took longer
// than the rest of the build up to the compression.
int MayBeSamePath(const PathForms *a, const char *path)
{
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(path, sizeof(full), full, NULL);
    if (n == 0 || n >= sizeof(full))
        return 1;
    const char *name = LastComponent(full);
    return lstrcmpiA(LastComponent(a->full), name) == 0 || lstrcmpiA(LastComponent(a->longForm), name) == 0 ||
           lstrcmpiA(LastComponent(a->shortForm), name) == 0;
}

int SamePath(const PathForms *a, const char *path)
{
    PathForms b;
    if (!path || !path[0] || !MayBeSamePath(a, path) || !GetPathForms(path, &b))
        return 0;
    const char *formsA[] = {a->full, a->longForm, a->shortForm};
    const char *formsB[] = {b.full, b.longForm, b.shortForm};
    for (const char *x : formsA) {
        for (const char *y : formsB) {
            if (lstrcmpiA(x, y) == 0)
                return 1;
        }
    }
    return 0;
}

// The directory of this program with a file name after it.
int BesideProgram(const char *name, char *path, size_t size)
{
    DWORD n = GetModuleFileNameA(NULL, path, (DWORD)size);
    char *slash = n && n < size ? strrchr(path, '\\') : NULL;
    if (!slash || (size_t)(slash + 1 - path) + strlen(name) >= size)
        return 0;
    strcpy(slash + 1, name);
    return 1;
}

int ReadChunk(HANDLE file, unsigned char *buffer, DWORD size, DWORD *got)
{
    *got = 0;
    return ReadFile(file, buffer, size, got, NULL) != 0;
}

}  // namespace

int OutputReplacesInput(const char *pszOutput, const char *const *paths, size_t count)
{
    char szOutput[MAX_PATH];
    lstrcpynA(szOutput, pszOutput, sizeof(szOutput));
    PathForms output;
    // A name that can't be made a full path can't be written either; the writer reports it.
    if (!szOutput[0] || !GetPathForms(szOutput, &output))
        return 0;

    // The compressor as the search order finds it (beside this program, in the
    // current directory, or further on), the stub, and this program itself.
    char szCandidates[3][MAX_PATH];
    memset(szCandidates, 0, sizeof(szCandidates));
    BesideProgram("KANTOR.EXE", szCandidates[0], MAX_PATH);
    SearchPathA(NULL, "KANTOR.EXE", NULL, MAX_PATH, szCandidates[1], NULL);
    DWORD n = GetModuleFileNameA(NULL, szCandidates[2], MAX_PATH);
    if (n >= MAX_PATH)
        szCandidates[2][0] = '\0';
    const char *pszInputs[] = {szCandidates[0], szCandidates[1], szCandidates[2], "KANTOR.EXE", "pelstub.bin"};
    for (const char *pszInput : pszInputs) {
        if (SamePath(&output, pszInput))
            return 1;
    }
    char szPath[MAX_PATH];
    for (size_t i = 0; i < count; i++) {
        lstrcpynA(szPath, paths[i] ? paths[i] : "", sizeof(szPath));
        if (SamePath(&output, szPath))
            return 1;
    }
    return 0;
}

int PackedBlockMatches(const char *packedPath, const char *workPath)
{
    enum { kChunk = 64 * 1024 };
    HANDLE hPacked = CreateFileA(packedPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
    HANDLE hWork = CreateFileA(workPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    unsigned char *buffer = (unsigned char *)HeapAlloc(GetProcessHeap(), 0, 3 * kChunk);
    z_stream zs;
    memset(&zs, 0, sizeof(zs));
    int ok = hPacked != INVALID_HANDLE_VALUE && hWork != INVALID_HANDLE_VALUE && buffer &&
             inflateInit(&zs) == Z_OK;
    int zlibOpen = ok;
    unsigned char *in = buffer, *out = buffer + kChunk, *expected = buffer + 2 * kChunk;
    int status = Z_OK;
    int packedEnded = 0;
    // Inflate piece by piece and hold each piece against the same span of the work file.
    while (ok && status != Z_STREAM_END) {
        if (zs.avail_in == 0 && !packedEnded) {
            DWORD got = 0;
            ok = ReadChunk(hPacked, in, kChunk, &got);
            packedEnded = got == 0;
            zs.next_in = in;
            zs.avail_in = got;
        }
        zs.next_out = out;
        zs.avail_out = kChunk;
        status = ok ? inflate(&zs, Z_NO_FLUSH) : Z_DATA_ERROR;
        // No progress once the packed file has ended: the stream is cut short.
        ok = status == Z_OK || status == Z_STREAM_END || (status == Z_BUF_ERROR && !packedEnded);
        DWORD produced = kChunk - zs.avail_out, got = 0;
        if (ok && produced > 0)
            ok = ReadChunk(hWork, expected, produced, &got) && got == produced &&
                 memcmp(out, expected, produced) == 0;
    }
    if (ok) {
        // Nothing may follow: neither more packed bytes nor more of the work stream.
        DWORD got = 1;
        ok = zs.avail_in == 0 && ReadChunk(hPacked, in, 1, &got) && got == 0 &&
             ReadChunk(hWork, expected, 1, &got) && got == 0;
    }
    if (zlibOpen)
        inflateEnd(&zs);
    if (buffer)
        HeapFree(GetProcessHeap(), 0, buffer);
    if (hWork != INVALID_HANDLE_VALUE)
        CloseHandle(hWork);
    if (hPacked != INVALID_HANDLE_VALUE)
        CloseHandle(hPacked);
    return ok;
}
