// CommandLine.cpp -- the command-line tokenizer and option test.
#include "CommandLine.h"

#include <string.h>

#include "Text.h"

const char *NextToken(const char *pszPos, char *pszBuffer, uint32_t *pcchLength)
{
    uint32_t capacity = pszBuffer ? *pcchLength : 0;
    uint32_t count = 0;
    int inQuotes = 0;
    // An empty token must still leave a terminated buffer behind.
    if (capacity > 0)
        pszBuffer[0] = '\0';

    const char *p = pszPos;
    for (; *p != '\0'; p++) {
        char c = *p;
        if (!inQuotes && c == ' ')
            break;
        if (c == '"') {
            if (inQuotes && p[1] == '"')
                c = *++p;   // "" inside quotes: one literal quote, still inside
            else
                inQuotes = !inQuotes;
        }
        // Room is always kept for the NUL that follows the character.
        if (count + 1 < capacity) {
            pszBuffer[count] = c;
            pszBuffer[count + 1] = '\0';
        }
        count++;
    }

    *pcchLength = count;
    while (*p == ' ')
        p++;
    return *p != '\0' ? p : NULL;
}

uint32_t CountArguments(const char *pszCommandLine)
{
    if (pszCommandLine == NULL)
        return 0;
    uint32_t count = 0;
    uint32_t length = 0;
    const char *p = pszCommandLine;
    while ((p = NextToken(p, NULL, &length)) != NULL)
        count++;
    // The last token ends the line; it counts only when it holds something.
    if (length > 0)
        count++;
    return count;
}

void StripOuterQuotes(char *pszArgument)
{
    size_t length = strlen(pszArgument);
    if (length > 1 && pszArgument[0] == '"' && pszArgument[length - 1] == '"') {
        memmove(pszArgument, pszArgument + 1, length - 2);
        pszArgument[length - 2] = '\0';
    }
}

int IsOptionArgument(const char *pszArgument, const char *pszOption)
{
    return (pszArgument[0] == '/' || pszArgument[0] == '-') && TextEqualNoCase(pszArgument + 1, pszOption);
}

const char *OptionValue(const char *pszArgument, const char *pszOption)
{
    if (pszArgument[0] != '/' && pszArgument[0] != '-')
        return NULL;
    const char *a = TextAfterNoCase(pszArgument + 1, pszOption);
    return a && *a == ':' ? a + 1 : NULL;
}

static int IsTrailingSwitch(const char *pszToken)
{
    return IsOptionArgument(pszToken, "yes") || IsOptionArgument(pszToken, "quiet") ||
           OptionValue(pszToken, "log") != NULL;
}

int LineWithoutTrailingSwitches(const char *pszCommandLine, char *pszOut, uint32_t cbOut)
{
    if (pszCommandLine == NULL || cbOut == 0)
        return 0;
    // The line ends where the first token of the run of switches at its end begins.
    const char *pszEnd = NULL;
    for (const char *p = pszCommandLine; p != NULL && *p != '\0';) {
        char szToken[1024];
        uint32_t length = sizeof(szToken);
        const char *pszNext = NextToken(p, szToken, &length);
        StripOuterQuotes(szToken);
        // A token too long for the buffer is no switch of ours.
        if (length < sizeof(szToken) && IsTrailingSwitch(szToken)) {
            if (pszEnd == NULL)
                pszEnd = p;
        } else {
            pszEnd = NULL;
        }
        p = pszNext;
    }
    size_t cch = pszEnd ? (size_t)(pszEnd - pszCommandLine) : strlen(pszCommandLine);
    while (cch > 0 && pszCommandLine[cch - 1] == ' ')
        cch--;
    if (cch >= cbOut)
        return 0;
    memcpy(pszOut, pszCommandLine, cch);
    pszOut[cch] = '\0';
    StripOuterQuotes(pszOut);
    return 1;
}
