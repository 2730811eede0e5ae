// make_langfiles.cpp -- writes the language-file fixtures into a folder: make-langfiles <folder>.
#include <stdio.h>
#include <sys/stat.h>

#include <string>

#include "LanguageFileWriter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: make-langfiles <folder>\n");
        return 2;
    }
    std::string root = argv[1];
    for (const LanguageFixture& fixture : LanguageFixtures()) {
        std::string path = root + "/" + fixture.relativePath;
        mkdir(path.substr(0, path.rfind('/')).c_str(), 0755);
        std::vector<uint8_t> bytes = BuildLanguageFile(fixture.contents);
        if (!WriteBytesToFile(path, bytes)) {
            fprintf(stderr, "make-langfiles: cannot write %s\n", path.c_str());
            return 1;
        }
        printf("%s: %zu entries, %zu bytes\n", fixture.relativePath, fixture.contents.entries.size(),
               bytes.size());
    }
    return 0;
}
