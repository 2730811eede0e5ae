// Console.h -- what BroltBuild.exe prints: progress on standard output, problems on standard error.
#pragma once

#include <stdio.h>

// Printed at once, unbuffered, so that the lines of both streams keep their order.
void Say(const char *format, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));
void Complain(const char *format, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));

// The build run's say: a whole text, on standard error when it is a problem.
void ConsoleSay(void *context, int problem, const char *text);
