// Owners.h -- small owners for handles that live inside one function.
//
// Not copyable; the destructor closes what is held, so every return is safe.
// Attach takes a handle over, Detach hands it on, Receive gives the address
// an API fills in (RegOpenKeyExA(..., key.Receive())). Each converts to the raw
// handle, so Win32 calls take it as it is.
#pragma once
#include <windows.h>

// Traits: the null value and how to close. Each owner names both, so no
// handle is ever tested against the wrong "invalid" value.
template <class T, class Traits>
class Owner {
public:
    Owner() : m_h(Traits::Invalid()) {}
    explicit Owner(T h) : m_h(h) {}
    ~Owner() { Reset(); }
    Owner(const Owner &) = delete;
    Owner &operator=(const Owner &) = delete;

    operator T() const { return m_h; }
    bool IsValid() const { return m_h != Traits::Invalid(); }
    void Attach(T h)
    {
        Reset();
        m_h = h;
    }
    T Detach()
    {
        T h = m_h;
        m_h = Traits::Invalid();
        return h;
    }
    T *Receive()
    {
        Reset();
        return &m_h;
    }
    void Reset()
    {
        if (IsValid())
            Traits::Close(m_h);
        m_h = Traits::Invalid();
    }

private:
    T m_h;
};

// CreateFileA fails with INVALID_HANDLE_VALUE; processes, threads, tokens and events with NULL.
struct FileTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct KernelTraits {
    static HANDLE Invalid() { return NULL; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
struct KeyTraits {
    static HKEY Invalid() { return NULL; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
struct ModuleTraits {
    static HMODULE Invalid() { return NULL; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
template <class H>
struct GdiTraits {
    static H Invalid() { return NULL; }
    static void Close(H h) { DeleteObject(h); }
};
template <class T>
struct HeapTraits {
    static T *Invalid() { return NULL; }
    static void Close(T *p) { HeapFree(GetProcessHeap(), 0, p); }
};

typedef Owner<HANDLE, FileTraits> FileHandle;
typedef Owner<HANDLE, KernelTraits> KernelHandle;
typedef Owner<HANDLE, FindTraits> FindHandle;
typedef Owner<HKEY, KeyTraits> RegKey;
typedef Owner<HMODULE, ModuleTraits> Module;
template <class H>
using GdiObject = Owner<H, GdiTraits<H>>;

// A block of the process heap, NULL when the allocation failed.
template <class T>
class HeapBlock : public Owner<T *, HeapTraits<T>> {
public:
    HeapBlock() {}
    explicit HeapBlock(size_t cb, DWORD dwFlags = 0)
        : Owner<T *, HeapTraits<T>>((T *)HeapAlloc(GetProcessHeap(), dwFlags, cb))
    {
    }
};

// A file that is deleted when the owner goes, unless Keep was called: a half-made
// output never stays behind on any return.
class TempFile {
public:
    TempFile() { m_szPath[0] = '\0'; }
    ~TempFile()
    {
        if (m_szPath[0] != '\0')
            DeleteFileA(m_szPath);
    }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    // Makes a new empty file with the prefix in the directory (GetTempFileNameA); 0 on failure.
    int Create(const char *pszDirectory, const char *pszPrefix)
    {
        Keep();
        if (GetTempFileNameA(pszDirectory, pszPrefix, 0, m_szPath) != 0)
            return 1;
        m_szPath[0] = '\0';
        return 0;
    }
    // Takes over a name made elsewhere.
    void Attach(const char *pszPath)
    {
        Keep();
        lstrcpynA(m_szPath, pszPath, sizeof(m_szPath));
    }
    // The file stays; the owner forgets it.
    void Keep() { m_szPath[0] = '\0'; }
    const char *Path() const { return m_szPath; }
    operator const char *() const { return m_szPath; }

private:
    char m_szPath[MAX_PATH];
};
