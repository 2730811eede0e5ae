// Arguments.cpp -- the command line split into arguments, traced, and asked for options.
#include "UninstallRun.h"

#include "CommandLine.h"

ArgumentList Arguments = {NULL, NULL, 0};

int ReadArguments(char *pszCommandLine)
{
    HANDLE heap = GetProcessHeap();
    Arguments.CommandLine = pszCommandLine;
    DWORD count = CountArguments(pszCommandLine);
    // One slot more than needed, so that an empty line still gets a valid block.
    Arguments.Items = (char **)HeapAlloc(heap, HEAP_ZERO_MEMORY, (count + 1) * sizeof(char *));
    if (Arguments.Items == NULL)
        return 0;

    const char *pszPos = pszCommandLine;
    for (DWORD i = 0; i < count && pszPos != NULL; i++) {
        uint32_t length = 0;
        NextToken(pszPos, NULL, &length);
        // Ten spare bytes, as the program has always allocated; the scan is bounded by the capacity anyway.
        char *pszArgument = (char *)HeapAlloc(heap, 0, length + 10);
        if (pszArgument == NULL)
            return 0;
        uint32_t capacity = length + 10;
        pszPos = NextToken(pszPos, pszArgument, &capacity);
        StripOuterQuotes(pszArgument);
        Arguments.Items[i] = pszArgument;
        Arguments.Count = i + 1;
    }
    for (DWORD i = 0; i < Arguments.Count; i++) {
        OutputDebugStringA("Parameter: ");
        OutputDebugStringA(Arguments.Items[i]);
        OutputDebugStringA("\n");
    }
    return 1;
}

int HasOption(const char *pszOption)
{
    for (DWORD i = 0; i < Arguments.Count; i++) {
        if (IsOptionArgument(Arguments.Items[i], pszOption))
            return 1;
    }
    return 0;
}

const char *OptionValueOf(const char *pszOption)
{
    for (DWORD i = 0; i < Arguments.Count; i++) {
        const char *pszValue = OptionValue(Arguments.Items[i], pszOption);
        if (pszValue != NULL)
            return pszValue;
    }
    return NULL;
}

void FreeArguments()
{
    HANDLE heap = GetProcessHeap();
    for (DWORD i = 0; i < Arguments.Count; i++)
        HeapFree(heap, 0, Arguments.Items[i]);
    HeapFree(heap, 0, Arguments.Items);
    Arguments.Items = NULL;
    Arguments.Count = 0;
}
