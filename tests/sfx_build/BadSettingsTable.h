// BadSettingsTable.h -- settings that BroltBuild.exe and broltbuild both refuse, each with its exit code and message.
//
// Both tests run them in a folder holding a.txt, docs\A.TXT and out\Old.exe,
// with the settings file b.ini beside them. In a message "{ini}" stands for
// the settings file's full path, "{work}" for its folder and "{/}" for the
// platform's separator; [Files] lines use '\' as Windows users write them.
#pragma once

#include <string>

struct BadSettingsCase {
    const char *what;
    const char *settings;
    int code;
    const char *message;
};

#define ZX_GOOD_SETTINGS "[Sfx]\nOutput = out\\Old.exe\n[Files]\na.txt\n"

const BadSettingsCase kBadSettings[] = {
    {"missing file", ZX_GOOD_SETTINGS "missing.txt\n", 1, "{ini}, line 5, [Files]: \"missing.txt\" does not exist"},
    {"unknown key", "[Sfx]\nOutFile = x.exe\n", 1, "{ini}, line 2, OutFile: unknown key; the keys are"},
    {"unknown value", "[Sfx]\nOverwrite = always\n", 1,
     "{ini}, line 2, Overwrite: \"always\" is not one of: all, none, ask"},
    {"text too long", "[Sfx]\nAppName = nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn\n", 1,
     "{ini}, line 2, AppName: \"nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn\" has 80 "
     "characters; at most 79 fit"},
    {"UTF-16 text", "\xFF\xFE[\0S\0", 1, "{ini}: the file is not ANSI text"},
    {"setup module without a program", "[Sfx]\nModule = setup\n", 1,
     "{ini}, line 2, Module: a setup module needs Launch"},
    {"wildcard that matches nothing", ZX_GOOD_SETTINGS "docs\\*.pdf\n", 1,
     "{ini}, line 5, [Files]: \"docs\\*.pdf\" matches no file"},
    {"wildcard in a folder", ZX_GOOD_SETTINGS "d*\\a.txt\n", 1,
     "{ini}, line 5, [Files]: \"d*\\a.txt\": * and ? may stand only in the last part of a path"},
    {"a folder listed", ZX_GOOD_SETTINGS "docs\n", 1, "{ini}, line 5, [Files]: \"docs\" is a folder"},
    {"output in a folder that does not exist", "[Sfx]\nOutput = nowhere\\x.exe\n", 1,
     "{ini}, line 2, Output: the folder of \"nowhere\\x.exe\" does not exist"},
    {"output that the build reads", "[Sfx]\nOutput = a.txt\n[Files]\na.txt\n", 1,
     "{ini}, line 2, Output: \"a.txt\" is a file this build reads or runs; choose another output"},
    {"output that is the settings file", "[Sfx]\nOutput = b.ini\n", 1,
     "{ini}, line 2, Output: \"b.ini\" is a file this build reads or runs"},
    {"a launch file that climbs out of the destination", "[Sfx]\nLaunch = ..\\setup.exe\n", 1,
     "{ini}, line 2, Launch: \"..\\setup.exe\" lies outside the folder the files are extracted to"},
    {"custom folder that begins with a destination mark", "[Sfx]\nDestination = custom\nCustomFolder = \xFF" "abc\n",
     1, "{ini}, line 3, CustomFolder: \"\xFF" "abc\" starts with a byte the self-extractor reads as a destination mark"},
    {"output that names a stream", "[Sfx]\nOutput = out\\Old.exe:s\n", 1,
     "{ini}, line 2, Output: \"out\\Old.exe:s\" names a stream of a file"},
    {"output that the build reads, in other letters", "[Sfx]\nOutput = A.TXT\n[Files]\na.txt\n", 1,
     "{ini}, line 2, Output: \"A.TXT\" is a file this build reads or runs; choose another output"},
    {"output with a dot at its end", "[Sfx]\nOutput = a.txt.\n[Files]\na.txt\n", 1,
     "{ini}, line 2, Output: \"a.txt.\" is not a name Windows gives a file"},
    {"output that is a device", "[Sfx]\nOutput = NUL\n", 1, "{ini}, line 2, Output: \"NUL\" is not a name Windows"},
    {"output that is a device with an extension", "[Sfx]\nOutput = out\\con.exe\n", 1,
     "{ini}, line 2, Output: \"out\\con.exe\" is not a name Windows"},
    {"a listed name Windows reads as another file", ZX_GOOD_SETTINGS "a.txt.\n", 1,
     "{ini}, line 5, [Files]: \"a.txt.\" has a name the self-extractor refuses to extract"},
    {"one name stored twice, letters in another case", ZX_GOOD_SETTINGS "docs\\*.txt\n", 1,
     "{ini}, line 5, [Files]: \"{work}{/}docs{/}A.TXT\" would be stored a second time (first from line 4)"},
};

#undef ZX_GOOD_SETTINGS

// The table's settings are C strings but for the UTF-16 one, which holds zero bytes.
inline std::string BadSettingsText(const BadSettingsCase &c)
{
    return c.settings[0] == '\xFF' ? std::string(c.settings, 6) : std::string(c.settings);
}

inline std::string BadSettingsMessage(const BadSettingsCase &c, const std::string &ini, const std::string &work,
                                      const char *separator)
{
    std::string m = c.message;
    for (const auto &[from, to] : {std::pair<std::string, std::string>{"{ini}", ini}, {"{work}", work},
                                   {"{/}", separator}})
        for (size_t at; (at = m.find(from)) != std::string::npos;)
            m.replace(at, from.size(), to);
    return m;
}
