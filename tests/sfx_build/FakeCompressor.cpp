// FakeCompressor.cpp -- compressors that fail in the ways a build must notice.
//
//   ZX_FAKE_KANTOR unset   copies its input to its output, then reports failure (exit 0)
//   ZX_FAKE_KANTOR=cut     packs only the first half of the stream, then crashes (0xC0000005)
//   ZX_FAKE_KANTOR=crash   packs the whole input correctly, then crashes
//   ZX_FAKE_KANTOR=other   packs other data and reports success (exit 1)
#include <windows.h>
#include <string.h>
#include <zlib.h>

#include <string>

#include "KantorArgs.h"

namespace {

std::string ReadAll(const char *path)
{
    std::string data;
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return data;
    data.resize(GetFileSize(h, NULL));
    DWORD got = 0;
    if (!data.empty())
        ReadFile(h, &data[0], (DWORD)data.size(), &got, NULL);
    CloseHandle(h);
    return data;
}

void WritePacked(const char *path, const std::string &data, int keepHalf)
{
    uLongf size = compressBound((uLong)data.size());
    std::string packed(size, '\0');
    compress2((Bytef *)&packed[0], &size, (const Bytef *)data.data(), (uLong)data.size(), 6);
    packed.resize(keepHalf ? size / 2 : size);
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    WriteFile(h, packed.data(), (DWORD)packed.size(), &written, NULL);
    CloseHandle(h);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char szIn[MAX_PATH], szOut[MAX_PATH], szMode[16] = "";
    if (!KantorSplitCommandLine(GetCommandLineA(), szIn, sizeof(szIn), szOut, sizeof(szOut)))
        return 0;
    GetEnvironmentVariableA("ZX_FAKE_KANTOR", szMode, sizeof(szMode));
    std::string data = ReadAll(szIn);
    if (!strcmp(szMode, "other")) {
        WritePacked(szOut, data + "x", 0);
        return 1;
    }
    if (!strcmp(szMode, "cut") || !strcmp(szMode, "crash")) {
        WritePacked(szOut, data, !strcmp(szMode, "cut"));
        ExitProcess(0xC0000005u);  // what Windows reports for an access violation
    }
    CopyFileA(szIn, szOut, FALSE);
    return 0;
}
