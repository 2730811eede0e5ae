// ByteReader.h -- bounds-checked little-endian reads from a block held in memory.
//
// Every read checks what remains before it touches a byte. The first one that
// does not fit clears `ok`, and every later read then fails too and yields 0 or
// NULL, so a parser reads a whole step and checks `ok` once:
//
//   ByteReader r(data, size);
//   uint32_t count = r.Le32();
//   const uint8_t *name = r.Take(count);
//   if (!r.ok) return 0;
#pragma once
#include <stddef.h>
#include <stdint.h>

// For fields whose bytes are already known to be there (a fixed-size header).
inline uint16_t ReadLe16(const uint8_t *p) { return (uint16_t)(p[0] | (p[1] << 8)); }
inline uint32_t ReadLe32(const uint8_t *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

struct ByteReader {
    const uint8_t *data;
    size_t size;
    size_t offset;
    int ok;

    ByteReader(const void *pData, size_t cbData)
        : data((const uint8_t *)pData), size(cbData), offset(0), ok(pData != NULL)
    {
    }

    size_t Remaining() const { return ok ? size - offset : 0; }

    // The next cb bytes, or NULL when fewer remain; `size - offset` cannot wrap.
    const uint8_t *Take(size_t cb)
    {
        if (!ok || cb > size - offset) {
            ok = 0;
            return NULL;
        }
        const uint8_t *p = data + offset;
        offset += cb;
        return p;
    }

    // Goes to an absolute offset; one past the end is allowed, as after the last Take.
    void Seek(size_t at)
    {
        if (!ok || at > size)
            ok = 0;
        else
            offset = at;
    }

    void Skip(size_t cb) { Take(cb); }
    uint8_t U8() { const uint8_t *p = Take(1); return p ? p[0] : 0; }
    uint16_t Le16() { const uint8_t *p = Take(2); return p ? ReadLe16(p) : 0; }
    uint32_t Le32() { const uint8_t *p = Take(4); return p ? ReadLe32(p) : 0; }
};
