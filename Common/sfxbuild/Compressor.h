// Compressor.h -- running KANTOR.EXE hidden, and the output's time stamps.
#pragma once

// Starts program (NULL: the command line's first word, by the system's search
// order) hidden and waits without a time limit; returns the process's exit
// code, or 0 when it could not be started.
unsigned long RunHiddenAndWait(const char *program, const char *commandLine);

// Runs the compressor at its full path with "KANTOR.EXE /I:<input> /O:<output>";
// the compressor answers nonzero on success. 0 too when the command line would
// not fit in 260 bytes.
unsigned long RunCompressor(const char *compressorPath, const char *inputPath, const char *outputPath);

// Sets the file's creation, last-access and last-write time to the current
// system time. Nonzero on success.
int StampFileTimes(void *fileHandle);
