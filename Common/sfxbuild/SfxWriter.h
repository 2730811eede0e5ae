// SfxWriter.h -- the archive writer: temporary work file, header image and the finished output.
#pragma once

#include <windows.h>

#include "SfxFormat.h"

struct SfxWriter {
    HANDLE hWorkFile;
    char szWorkPath[MAX_PATH];
    char szOutputPath[MAX_PATH];
    char szStubPath[MAX_PATH];        // full paths: nothing depends on the current folder
    char szCompressorPath[MAX_PATH];
    SfxHeader header;     // filled by the caller (FillSfxHeader); the packed block's fields here
    int workWriteFailed;  // a record went to the work file incomplete or under a name the stub refuses
    int readFailed;       // that record's file could not be read whole
    size_t filesAdded;    // records written whole; a driver with a long list checks it
    unsigned long long packedTooBig;  // the packed block's size when it is 4 GB or more, else 0
};

// The writer or NULL when memory or the work file can't be had.
SfxWriter *SfxWriterCreate(const char *pszOutputPath);
// The loader stub copied to the front and the compressor run on the work file.
int SfxWriterSetTools(SfxWriter *writer, const char *pszStubPath, const char *pszCompressorPath);
// Appends one record; a source that can't be opened or read whole is left out,
// one whose stored name breaks SfxIsSafeStoredName fails the build.
void SfxWriterAddFile(SfxWriter *writer, const char *pszSourcePath, const char *pszStoredName);
int SfxWriterFinish(SfxWriter *writer);
int SfxWriterDestroy(SfxWriter *writer);
