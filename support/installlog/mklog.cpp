// mklog.cpp -- writes an install log from its command line, for demos and by-hand tries.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "InstallLogWriter.h"

static void Usage()
{
    fprintf(stderr,
            "usage: mklog OUT.log [item...]\n"
            "  --flags N                  header Flags\n"
            "  --version N                header Version (384 unless given)\n"
            "  --language-files BITS      LEXA1 (1) / LEXA2 (2) beside the log\n"
            "  --language-dll FILE        store FILE as the language DLL image\n"
            "  --app NAME DESTDIR         application record\n"
            "  --file PATH | --system-file PATH | --directory PATH\n"
            "  --reg ROOT SUBKEY VALUE    registry value (root 0..3)\n"
            "  --ini LOC FILE SECTION KEY INI entry (location 0..3)\n"
            "  --custom PROGRAM PARAMS    custom uninstall program\n"
            "  --raw CODE LENGTH          record of any code with a zero body\n");
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        Usage();
        return 2;
    }
    InstallLogWriter log;
    for (int i = 2; i < argc; i++) {
        const char *opt = argv[i];
        int left = argc - i - 1;
        unsigned long n = left >= 1 ? strtoul(argv[i + 1], NULL, 0) : 0;
        if (!strcmp(opt, "--flags") && left >= 1) {
            log.SetFlags((uint32_t)n), i += 1;
        } else if (!strcmp(opt, "--version") && left >= 1) {
            log.SetVersion((uint32_t)n), i += 1;
        } else if (!strcmp(opt, "--language-files") && left >= 1) {
            log.SetLanguageFiles((uint32_t)n), i += 1;
        } else if (!strcmp(opt, "--language-dll") && left >= 1) {
            Bytes image = ReadFileBytes(argv[i + 1]);
            if (image.empty()) {
                fprintf(stderr, "mklog: cannot read %s\n", argv[i + 1]);
                return 1;
            }
            log.SetLanguageImage(image), i += 1;
        } else if (!strcmp(opt, "--app") && left >= 2) {
            log.AddApp(argv[i + 1], argv[i + 2]), i += 2;
        } else if (!strcmp(opt, "--file") && left >= 1) {
            log.AddFile(argv[i + 1]), i += 1;
        } else if (!strcmp(opt, "--system-file") && left >= 1) {
            log.AddSystemFile(argv[i + 1]), i += 1;
        } else if (!strcmp(opt, "--directory") && left >= 1) {
            log.AddDirectory(argv[i + 1]), i += 1;
        } else if (!strcmp(opt, "--reg") && left >= 3) {
            log.AddRegEntry((uint8_t)n, argv[i + 2], argv[i + 3]), i += 3;
        } else if (!strcmp(opt, "--ini") && left >= 4) {
            log.AddIniEntry((uint32_t)n, argv[i + 2], argv[i + 3], argv[i + 4]), i += 4;
        } else if (!strcmp(opt, "--custom") && left >= 2) {
            log.AddCustomUninstall(argv[i + 1], argv[i + 2]), i += 2;
        } else if (!strcmp(opt, "--raw") && left >= 2) {
            unsigned long length = strtoul(argv[i + 2], NULL, 0);
            if (length > 1u << 20) {
                fprintf(stderr, "mklog: --raw body too long\n");
                return 2;
            }
            log.Add((uint32_t)n, Bytes(length)), i += 2;
        } else {
            fprintf(stderr, "mklog: unknown or incomplete item %s\n", opt);
            Usage();
            return 2;
        }
    }
    if (!log.Save(argv[1])) {
        fprintf(stderr, "mklog: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
