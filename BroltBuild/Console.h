// Console.h -- what BroltBuild.exe prints: progress on standard output, problems on standard error.
#pragma once

#include <stdio.h>

// Printed at once, unbuffered, so that the lines of both streams keep their order.
void Say(const char *format, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));
void Complain(const char *format, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));

// The system's text for an error code, without its line break; "" for 0.
const char *SystemErrorText(unsigned long code);
