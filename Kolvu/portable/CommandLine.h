// CommandLine.h -- splitting the uninstaller's command line into arguments.
//
// Only the blank (0x20) separates arguments; tabs are ordinary characters.
// Inside double quotes blanks belong to the argument and "" stands for one
// literal quote. Quotes stay part of the token; ParseCommandLine removes a
// pair that encloses a whole argument (StripOuterQuotes).
#pragma once
#include <stdint.h>

// Scans one token starting at pszPos. pszBuffer may be NULL to measure only;
// *pcchLength holds the buffer's capacity on entry (NUL included) and the
// token's full character count on return, even when the buffer was too small.
// Returns the start of the next token, or NULL when only blanks follow.
const char *NextToken(const char *pszPos, char *pszBuffer, uint32_t *pcchLength);

// Number of arguments ParseCommandLine makes of the line (NULL counts as empty).
uint32_t CountArguments(const char *pszCommandLine);

// Removes one pair of double quotes that begins and ends the argument.
void StripOuterQuotes(char *pszArgument);

// Nonzero when the argument is "/" or "-" followed by the option name,
// ASCII letters compared without regard to case.
int IsOptionArgument(const char *pszArgument, const char *pszOption);

// The value of an option with a value ("/log:C:\r.txt", "-LOG:x"): what follows
// the colon, or NULL when the argument is not that option. The name is given
// without its colon.
const char *OptionValue(const char *pszArgument, const char *pszOption);

// Copies the command line without the switches that end it ("/yes", "-yes",
// "/quiet", "/log:...") and without the blanks before them into pszOut (cbOut bytes), then
// removes a pair of quotes around the rest. 0 when it does not fit.
int LineWithoutTrailingSwitches(const char *pszCommandLine, char *pszOut, uint32_t cbOut);
