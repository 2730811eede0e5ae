// BuildRunTest.cpp -- the one build run on a host made up in memory: the format's limits, each file opened once, a file swapped after its check.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>

#include "BuildRun.h"

namespace {

struct FakeFile {
    std::string data;
    unsigned long long size;  // what the file system says, however little data stands behind it
    unsigned long long index;
};

struct Open {
    std::string path;
    size_t at;
};

// A folder /w with the settings b.ini and whatever a case puts there; /w/gen
// holds as many files of one byte as a case asks for.
struct Fake {
    std::map<std::string, FakeFile> files;
    size_t generated = 0;
    std::map<std::string, int> opens;
    std::string said, output, renamedTo;
    unsigned long long packedClaim = 0;  // when nonzero, the size the packer says it wrote
    bool discarded = false;

    static Fake *Of(void *c) { return (Fake *)c; }
    static size_t Resolve(void *, const char *base, const char *text, char *full, size_t size)
    {
        std::string p = text[0] == '/' ? text : std::string(base) + "/" + text;
        for (char &c : p)
            c = c == '\\' ? '/' : c;
        snprintf(full, size, "%s", p.c_str());
        return p.size();
    }
    static int List(void *c, const char *folder, const char *, BuildFoundName found, void *context)
    {
        char name[32];
        for (size_t i = 0; i < Of(c)->generated && strcmp(folder, "/w/gen") == 0; i++)
            if (snprintf(name, sizeof(name), "f%06zu", i), !found(context, name, 0))
                return 0;
        for (const auto &f : Of(c)->files)
            if (f.first.compare(0, strlen(folder) + 1, std::string(folder) + "/") == 0 &&
                !found(context, f.first.c_str() + strlen(folder) + 1, 0))
                return 0;
        return 1;
    }
    static int StoredName(void *, const char *name, char *out, size_t size)
    {
        return snprintf(out, size, "%s", name) < (int)size;
    }
    static void Identify(void *c, const char *path, int, BuildFileInfo *info)
    {
        memset(info, 0, sizeof(*info));
        auto f = Of(c)->files.find(path);
        if (f != Of(c)->files.end())
            *info = {BUILD_KIND_FILE, f->second.size, 1, f->second.index};
        else if (!strncmp(path, "/w/gen/", 7))
            *info = {BUILD_KIND_FILE, 1, 1, 1000 + strtoull(path + 8, NULL, 10)};
        else if (!strcmp(path, "/w") || !strcmp(path, "/w/gen"))
            info->kind = BUILD_KIND_FOLDER;
    }
    static BuildHandle OpenFile(void *c, const char *path, BuildFileInfo *info)
    {
        Identify(c, path, 1, info);
        if (info->kind != BUILD_KIND_FILE)
            return NULL;
        Of(c)->opens[path]++;
        return new Open{path, 0};
    }
    static long Read(void *c, BuildHandle h, void *buffer, size_t size)
    {
        Open *o = (Open *)h;
        std::string data = !strncmp(o->path.c_str(), "/w/gen/", 7) ? "g" : Of(c)->files[o->path].data;
        size_t n = o->at < data.size() ? std::min(size, data.size() - o->at) : 0;
        memcpy(buffer, data.data() + o->at, n);
        o->at += n;
        return (long)n;
    }
    static void Close(void *, BuildHandle h) { delete (Open *)h; }
    static int Yes(void *, const char *) { return 1; }
    static BuildHandle CreatePartial(void *c, const char *folder, char *path, size_t size)
    {
        snprintf(path, size, "%s/partial", folder);
        Of(c)->output.clear();
        return new Open{path, 0};
    }
    static int Write(void *c, BuildHandle, const void *data, size_t size)
    {
        Of(c)->output.append((const char *)data, size);
        return 1;
    }
    static int WriteAt(void *c, BuildHandle, unsigned long long at, const void *data, size_t size)
    {
        Of(c)->output.replace((size_t)at, size, (const char *)data, size);
        return 1;
    }
    static int Seal(void *, BuildHandle h) { return Close(NULL, h), 1; }
    static int Rename(void *c, const char *, const char *to) { return Of(c)->renamedTo = to, 1; }
    static void Discard(void *c, BuildHandle h, const char *)
    {
        delete (Open *)h;
        Of(c)->discarded = true;
    }
    // Stores the work stream as it is: what the run hands on is what a packer gets.
    static int Pack(void *c, BuildStream *stream, BuildHandle out, BuildPacked *packed)
    {
        char buffer[1000];
        long n;
        while ((n = BuildStreamRead(stream, buffer, sizeof(buffer))) > 0) {
            Write(c, out, buffer, (size_t)n);
            packed->size += (unsigned long long)n;
        }
        if (Of(c)->packedClaim)
            packed->size = Of(c)->packedClaim;
        return n == 0;
    }
    static unsigned long NoError(void *) { return 0; }
    static const char *ErrorText(void *, unsigned long) { return "fake error"; }
    static void Say(void *c, int, const char *text) { Of(c)->said += text; }
    static unsigned long Now(void *) { return 0; }

    BuildHost host = {this, '/', BUILD_RUN_PATH, (size_t)-1, Resolve, List, StoredName, Identify, OpenFile, Read,
                      Close, Yes, CreatePartial, Write, WriteAt, Seal, Rename, Discard, Pack, NoError, ErrorText, Say,
                      Now};

    int Run(const std::string &settings)
    {
        files["/w/b.ini"] = {settings, settings.size(), 1};
        files["/w/stub.bin"] = {"MZstub", 6, 2};
        static BuildRun run;
        memset(&run, 0, sizeof(run));
        run.host = &host;
        strcpy(run.settingsPath, "/w/b.ini");
        strcpy(run.stub, "/w/stub.bin");
        int code = RunBuildFile(&run);
        FreeBuildRun(&run);
        return code;
    }
};

const char kHead[] = "[Sfx]\nOutput = out.exe\n[Files]\n";

TEST(BuildRun, EachLimitOfTheFormatIsRefusedNamingWhatIsTooLarge)
{
    Fake many;
    many.generated = SFX_MAX_ENTRIES + 1;
    EXPECT_EQ(BUILD_EXIT_SETTINGS, many.Run(std::string(kHead) + "gen\\*\n"));
    EXPECT_NE(std::string::npos, many.said.find("/w/b.ini, line 3, [Files]: the lines name 100001 files; a "
                                                "self-extractor holds at most 100000"))
        << many.said;
    EXPECT_EQ(0u, many.opens.count("/w/gen/f000000")) << "a list too long is refused by its count, before any is opened";
    many.generated = SFX_MAX_ENTRIES;
    EXPECT_EQ(BUILD_EXIT_BUILT, many.Run(std::string(kHead) + "gen\\*\n")) << many.said;

    Fake big;
    big.files["/w/big.iso"] = {"", 0x100000000ull, 3};
    EXPECT_EQ(BUILD_EXIT_SETTINGS, big.Run(std::string(kHead) + "big.iso\n"));
    EXPECT_NE(std::string::npos, big.said.find("line 4, [Files]: \"/w/big.iso\" is 4 GB or larger")) << big.said;

    Fake packed;
    packed.files["/w/a.txt"] = {"a", 1, 3};
    packed.packedClaim = 0x100000000ull + (4ull << 20);
    EXPECT_EQ(BUILD_EXIT_FAILED, packed.Run(std::string(kHead) + "a.txt\n"));
    EXPECT_NE(std::string::npos, packed.said.find("The build failed: the packed block is 4100 MB; a self-extractor "
                                                  "holds less than 4 GB (4096 MB)"))
        << packed.said;
    EXPECT_TRUE(packed.discarded && packed.renamedTo.empty());
}

TEST(BuildRun, NamesTheStubRefusesAreRefusedWithTheirLine)
{
    for (const char *name : {"CONIN$", "clock$.txt", "trail.", "a:b"}) {
        Fake f;
        f.files[std::string("/w/src/") + name] = {"x", 1, 3};
        EXPECT_EQ(BUILD_EXIT_SETTINGS, f.Run(std::string(kHead) + "src\\*\n")) << name;
        EXPECT_NE(std::string::npos, f.said.find(std::string("line 4, [Files]: \"/w/src/") + name +
                                                 "\" has a name the self-extractor refuses"))
            << f.said;
    }
}

// Each file is opened once, at its check, and packed from that handle; one the
// host can't keep open is opened again and must still be the file checked.
TEST(BuildRun, EachFileIsOpenedOnceAndAFileSwappedAfterItsCheckFailsTheBuild)
{
    Fake f;
    f.files["/w/a.txt"] = {"ay", 2, 3};
    f.files["/w/b.txt"] = {"bee", 3, 4};
    ASSERT_EQ(BUILD_EXIT_BUILT, f.Run(std::string(kHead) + "a.txt\nb.txt\n")) << f.said;
    EXPECT_EQ(1, f.opens["/w/a.txt"]);
    EXPECT_EQ(1, f.opens["/w/b.txt"]);
    EXPECT_EQ("/w/out.exe", f.renamedTo);
    std::string built = f.output;
    EXPECT_EQ(6 + SFX_HEADER_SIZE + 2 * SFX_ENTRY_HEAD_SIZE + 5, built.size());
    EXPECT_EQ("bee", built.substr(built.size() - 3));

    f.host.keepOpen = 1;
    f.opens.clear();
    ASSERT_EQ(BUILD_EXIT_BUILT, f.Run(std::string(kHead) + "a.txt\nb.txt\n")) << f.said;
    EXPECT_EQ(2, f.opens["/w/b.txt"]);
    EXPECT_EQ(built, f.output) << "the same bytes whichever way a file was kept";

    // Another file under the name between the check and the packing.
    struct Swap {
        static BuildHandle Open(void *c, const char *path, BuildFileInfo *info)
        {
            BuildHandle h = Fake::OpenFile(c, path, info);
            if (!strcmp(path, "/w/b.txt"))
                Fake::Of(c)->files[path].index = 9;
            return h;
        }
    };
    f.host.open = Swap::Open;
    f.said.clear();
    EXPECT_EQ(BUILD_EXIT_FAILED, f.Run(std::string(kHead) + "a.txt\nb.txt\n"));
    EXPECT_NE(std::string::npos, f.said.find("The build failed: /w/b.ini, line 5, [Files]: \"/w/b.txt\" can't be read "
                                             "while packing (it changed while it was read)"))
        << f.said;
    EXPECT_TRUE(f.discarded);
}

}  // namespace
