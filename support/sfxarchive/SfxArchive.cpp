// SfxArchive.cpp -- test-side reading of built self-extractors: layout, checksum, records.
#include "SfxArchive.h"

#include <zlib.h>

#include "SfxChecksum.h"

namespace {

int OnEntry(void *context, const SfxFileEntry *entry)
{
    ((std::vector<ArchivedFile> *)context)->push_back({entry->name, ""});
    return 1;
}

int OnData(void *context, const uint8_t *data, size_t length)
{
    ((std::vector<ArchivedFile> *)context)->back().contents.append((const char *)data, length);
    return 1;
}

}  // namespace

bool InflateBlock(const uint8_t *data, size_t length, std::string *out)
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

int WalkWorkStream(const std::string &stream, size_t piece, std::vector<ArchivedFile> *files)
{
    files->clear();
    SfxWorkSink sink = {files, OnEntry, OnData, NULL};
    SfxWorkParser parser;
    SfxWorkInit(&parser);
    for (size_t at = 0; at < stream.size(); at += piece) {
        size_t n = stream.size() - at < piece ? stream.size() - at : piece;
        int status = SfxWorkFeed(&parser, &sink, (const uint8_t *)stream.data() + at, n);
        if (status != SFX_WORK_OK)
            return status;
    }
    return SfxWorkFinish(&parser);
}

bool TakeApartSfx(const std::string &bytes, size_t stubSize, SfxArchive *archive, std::string *why)
{
    archive->files.clear();
    const uint8_t *data = (const uint8_t *)bytes.data();
    const SfxHeader &h = archive->header;
    size_t packedAt = stubSize + SFX_HEADER_SIZE;
    std::string work;
    if (bytes.size() < packedAt)
        *why = "file shorter than stub and header";
    else if (!SfxDecodeHeader(data + stubSize, SFX_HEADER_SIZE, &archive->header))
        *why = "no header after the stub";
    else if (bytes.size() - packedAt != h.packedSize)
        *why = "length is not stub + 716 + packedSize";
    else if (h.packedFlag != 1)
        *why = "packedFlag is not 1";
    else if (SfxChecksum(0, data + packedAt, h.packedSize) != h.packedCrc)
        *why = "packed block checksum mismatch";
    else if (!InflateBlock(data + packedAt, h.packedSize, &work))
        *why = "packed block does not expand";
    else if (WalkWorkStream(work, 65536, &archive->files) != SFX_WORK_OK)
        *why = "work stream records are broken";
    else
        return true;
    return false;
}
