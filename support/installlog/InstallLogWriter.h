// InstallLogWriter.h -- builds install logs for tests, record by record.
//
//   InstallLogWriter log;                      // Version 384, Flags 0, LanguageData 0
//   log.SetFlags(LOGF_UNREGISTER);
//   log.SetLanguageImage(ReadFileBytes("lang.dll"));   // LanguageData = image size
//   //  or log.SetLanguageFiles(LANGF_FIRST_FILE | LANGF_SECOND_FILE);
//   log.AddApp("My App", "C:\\Program Files\\My App\\");
//   log.AddFile("C:\\Program Files\\My App\\app.exe");
//   log.AddRegEntry(2, "SOFTWARE\\Velmor\\My App", "Path");
//   log.AddIniEntry(1, "velmor.ini", "Settings", "Path");
//   log.AddCustomUninstall("C:\\Program Files\\My App\\cleanup.exe", "/quiet");
//   log.AddDirectory("C:\\Program Files\\My App");
//   log.Add(6, std::vector<uint8_t>(10));      // any code, BodyLength = body size
//   log.AddHead(0x103, 260);                   // a bare head: the body is up to you
//   log.Save("uninst.log");                    // or log.GetBytes()
//
// Broken records are made from the body builders: take FileBody(...), change a
// byte, hand it to Add. A text as long as its field or longer fills the field
// with no NUL.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

#include "InstallLog.h"

typedef std::vector<uint8_t> Bytes;

class InstallLogWriter {
public:
    InstallLogWriter();

    // Header fields; the 84 + 20 bytes the reader skips are filled with a pattern.
    void SetVersion(uint32_t version);
    void SetFlags(uint32_t flags);
    void SetLanguageData(uint32_t value);          // raw, leaves the image alone
    // Clears LOGF_LANGUAGE_FILES, stores the image after the header and its size.
    void SetLanguageImage(const Bytes &image);
    // Sets LOGF_LANGUAGE_FILES and the LANGF_* bits; drops any image.
    void SetLanguageFiles(uint32_t bits);

    // A head (Type = code, BodyLength = body size) and the body.
    void Add(uint32_t type, const Bytes &body);
    // A head alone; whatever is added next follows it directly.
    void AddHead(uint32_t type, uint32_t bodyLength);
    // Bytes as they stand, for heads cut short and trailing junk.
    void AddBytes(const Bytes &bytes);

    void AddApp(const std::string &name, const std::string &destination);
    void AddFile(const std::string &path);
    void AddSystemFile(const std::string &path);
    void AddDirectory(const std::string &path);
    void AddRegEntry(uint8_t root, const std::string &subKey, const std::string &valueName);
    void AddIniEntry(uint32_t location, const std::string &fileName, const std::string &section,
                     const std::string &key);
    void AddCustomUninstall(const std::string &program, const std::string &parameters);

    static Bytes AppBody(const std::string &name, const std::string &destination);
    static Bytes PathBody(const std::string &path);
    static Bytes RegEntryBody(uint8_t root, const std::string &subKey, const std::string &valueName);
    static Bytes IniEntryBody(uint32_t location, const std::string &fileName,
                              const std::string &section, const std::string &key);
    static Bytes CustomUninstallBody(const std::string &program, const std::string &parameters);

    // Offset of the first record head: 116 plus the image.
    uint32_t FirstRecordOffset() const;
    // Header, image and records as one file.
    Bytes GetBytes() const;
    // Writes the file; false when it could not be written whole.
    bool Save(const std::string &path) const;

private:
    uint8_t header_[LOG_HEADER_SIZE];
    Bytes image_;
    Bytes records_;
};

// The whole content of a file, empty when it cannot be read.
Bytes ReadFileBytes(const std::string &path);
// Writes bytes to a file; false on failure.
bool WriteFileBytes(const std::string &path, const Bytes &bytes);
