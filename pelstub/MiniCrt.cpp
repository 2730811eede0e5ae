// MiniCrt.cpp -- the few C library routines the stub and zlib need, so that it imports no C runtime DLL.
#include <windows.h>
#include <stddef.h>

// Built with -fno-tree-loop-distribute-patterns: otherwise the compiler would
// turn these loops back into calls to themselves.
extern "C" {

// The string instruction moves the inflater's stored blocks and the kept
// work stream many times faster than a byte loop, in fewer bytes of code.
void *memcpy(void *dst, const void *src, size_t n)
{
    void *d = dst;
    __asm__ volatile("rep movsb" : "+D"(d), "+S"(src), "+c"(n) : : "memory");
    return dst;
}

void *memmove(void *dst, const void *src, size_t n)
{
    unsigned char *d = (unsigned char *)dst;
    const unsigned char *s = (const unsigned char *)src;
    if (d < s) {
        while (n--)
            *d++ = *s++;
    } else {
        while (n--)
            d[n] = s[n];
    }
    return dst;
}

void *memset(void *dst, int c, size_t n)
{
    unsigned char *d = (unsigned char *)dst;
    while (n--)
        *d++ = (unsigned char)c;
    return dst;
}

int memcmp(const void *a, const void *b, size_t n)
{
    const unsigned char *x = (const unsigned char *)a;
    const unsigned char *y = (const unsigned char *)b;
    for (; n; n--, x++, y++) {
        if (*x != *y)
            return *x - *y;
    }
    return 0;
}

void *memchr(const void *p, int c, size_t n)
{
    const unsigned char *s = (const unsigned char *)p;
    for (; n; n--, s++) {
        if (*s == (unsigned char)c)
            return (void *)s;
    }
    return NULL;
}

size_t strlen(const char *s)
{
    size_t n = 0;
    while (s[n])
        n++;
    return n;
}

int strcmp(const char *a, const char *b)
{
    while (*a && *a == *b) {
        a++;
        b++;
    }
    return (unsigned char)*a - (unsigned char)*b;
}

char *strpbrk(const char *s, const char *set)
{
    for (; *s; s++) {
        for (const char *c = set; *c; c++) {
            if (*s == *c)
                return (char *)s;
        }
    }
    return NULL;
}

char *strstr(const char *s, const char *find)
{
    size_t n = strlen(find);
    for (; *s; s++) {
        if (memcmp(s, find, n) == 0)
            return (char *)s;
    }
    return n == 0 ? (char *)s : NULL;
}

// zlib's default allocator: its inflate state and tables.
void *malloc(size_t n)
{
    return HeapAlloc(GetProcessHeap(), 0, n);
}

void free(void *p)
{
    if (p)
        HeapFree(GetProcessHeap(), 0, p);
}

}  // extern "C"
