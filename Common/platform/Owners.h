// Owners.h -- small owners for handles that live inside one function.
//
// Not copyable; the destructor closes what is held, so every return is safe.
// Attach takes a handle over, Detach hands it on, Receive gives the address an
// API fills in (RegOpenKeyExA(..., key.Receive())). Each converts to the raw
// handle, so Win32 calls take it as it is.
#pragma once
#include <windows.h>

// Traits name the null value and the close call, so no handle is ever tested
// against the wrong "invalid" value (CreateFileA's is not OpenProcessToken's).
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
    T Detach() { T h = m_h; m_h = Traits::Invalid(); return h; }
    T *Receive() { Reset(); return &m_h; }
    void Reset()
    {
        if (IsValid())
            Traits::Close(m_h);
        m_h = Traits::Invalid();
    }

private:
    T m_h;
};

template <class T, void (*CloseFn)(T), LONG_PTR Null>
struct HandleTraits {
    static T Invalid() { return (T)Null; }
    static void Close(T h) { CloseFn(h); }
};
inline void CloseKernel(HANDLE h) { CloseHandle(h); }
inline void CloseFind(HANDLE h) { FindClose(h); }
inline void CloseKey(HKEY h) { RegCloseKey(h); }
inline void CloseModule(HMODULE h) { FreeLibrary(h); }
template <class H> void CloseGdi(H h) { DeleteObject(h); }
template <class T> void CloseHeap(T *p) { HeapFree(GetProcessHeap(), 0, p); }

typedef Owner<HANDLE, HandleTraits<HANDLE, CloseKernel, -1>> FileHandle;   // CreateFileA
typedef Owner<HANDLE, HandleTraits<HANDLE, CloseKernel, 0>> KernelHandle;  // process, token, event
typedef Owner<HANDLE, HandleTraits<HANDLE, CloseFind, -1>> FindHandle;
typedef Owner<HKEY, HandleTraits<HKEY, CloseKey, 0>> RegKey;
typedef Owner<HMODULE, HandleTraits<HMODULE, CloseModule, 0>> Module;
template <class H> using GdiObject = Owner<H, HandleTraits<H, CloseGdi<H>, 0>>;

// A block of the process heap, NULL when the allocation failed.
template <class T>
class HeapBlock : public Owner<T *, HandleTraits<T *, CloseHeap<T>, 0>> {
public:
    HeapBlock() {}
    explicit HeapBlock(size_t cb) : HeapBlock::Owner((T *)HeapAlloc(GetProcessHeap(), 0, cb)) {}
};

// A file that is deleted when the owner goes, unless Keep was called: a half-made
// output never stays behind on any return.
class TempFile {
public:
    TempFile() { m_szPath[0] = '\0'; }
    ~TempFile() { Remove(); }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    // A new empty file with the prefix in the directory (GetTempFileNameA); 0 on failure.
    int Create(const char *pszDirectory, const char *pszPrefix)
    {
        Remove();
        if (GetTempFileNameA(pszDirectory, pszPrefix, 0, m_szPath) != 0)
            return 1;
        Keep();
        return 0;
    }
    void Attach(const char *pszPath)
    {
        Remove();
        lstrcpynA(m_szPath, pszPath, sizeof(m_szPath));
    }
    // The file stays; the owner forgets it.
    void Keep() { m_szPath[0] = '\0'; }
    void Remove()
    {
        if (m_szPath[0] != '\0')
            DeleteFileA(m_szPath);
        Keep();
    }
    const char *Path() const { return m_szPath; }
    operator const char *() const { return m_szPath; }

private:
    char m_szPath[MAX_PATH];
};
