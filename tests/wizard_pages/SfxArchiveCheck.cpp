// SfxArchiveCheck.cpp -- test-side reader of built SFX files: layout, checksum, records.
#include "SfxArchiveCheck.h"

#include <stdio.h>
#include <zlib.h>

#include "SfxChecksum.h"

std::string ReadWholeFile(const char *path)
{
    std::string bytes;
    FILE *f = fopen(path, "rb");
    if (!f)
        return bytes;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        bytes.append(buf, n);
    fclose(f);
    return bytes;
}

bool WriteWholeFile(const char *path, const std::string &bytes)
{
    FILE *f = fopen(path, "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

static bool Inflate(const uint8_t *data, size_t length, std::string *out)
{
    z_stream z = {};
    if (inflateInit(&z) != Z_OK)
        return false;
    z.next_in = const_cast<Bytef *>(data);
    z.avail_in = (uInt)length;
    int rc;
    do {
        char buf[65536];
        z.next_out = (Bytef *)buf;
        z.avail_out = sizeof(buf);
        rc = inflate(&z, Z_NO_FLUSH);
        out->append(buf, sizeof(buf) - z.avail_out);
    } while (rc == Z_OK);
    bool ok = rc == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    return ok;
}

bool ReadSfxArchive(const char *path, size_t stubSize, SfxArchive *archive, std::string *why)
{
    archive->files.clear();
    std::string bytes = ReadWholeFile(path);
    if (bytes.size() < stubSize + SFX_HEADER_SIZE) {
        *why = "file shorter than stub and header";
        return false;
    }
    const uint8_t *data = (const uint8_t *)bytes.data();
    if (!SfxDecodeHeader(data + stubSize, SFX_HEADER_SIZE, &archive->header)) {
        *why = "no header after the stub";
        return false;
    }
    const SfxHeader &h = archive->header;
    size_t packedAt = stubSize + SFX_HEADER_SIZE;
    if (bytes.size() - packedAt != h.packedSize) {
        *why = "length is not stub + 716 + packedSize";
        return false;
    }
    if (h.packedFlag != 1) {
        *why = "packedFlag is not 1";
        return false;
    }
    if (SfxChecksum(0, data + packedAt, h.packedSize) != h.packedCrc) {
        *why = "packed block checksum mismatch";
        return false;
    }
    std::string work;
    if (!Inflate(data + packedAt, h.packedSize, &work)) {
        *why = "packed block does not expand";
        return false;
    }
    SfxWorkReader reader;
    SfxWorkReaderInit(&reader, (const uint8_t *)work.data(), work.size());
    for (;;) {
        SfxFileEntry entry;
        const uint8_t *contents = NULL;
        int rc = SfxWorkReaderNext(&reader, &entry, &contents);
        if (rc == SFX_WALK_END)
            return true;
        if (rc != SFX_WALK_ENTRY) {
            *why = "work stream records are broken";
            return false;
        }
        archive->files.push_back({entry.name, std::string((const char *)contents, entry.size)});
    }
}
