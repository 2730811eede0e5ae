// LanguageFixtures.cpp -- the contents of the committed language-file fixtures.
// Regenerate them with: make-langfiles tests/fixtures_langfiles (built in the native tree).
#include "LanguageFileWriter.h"

const char* const kUninstallerTextKeys[] = {
    "Uninstall|Confirm",      "Uninstall|RemovingFile", "Uninstall|SystemFile",
    "Uninstall|INIEntry",     "Uninstall|RegEntry",     "Uninstall|Directory",
    "Uninstall|UIKey",        "Uninstall|RestartTopic", "Uninstall|Restart1",
    "Uninstall|Restart2",     "Uninstall|Restart3",     "Yes",
    "No",                     "Uninstall|DamagedLog",   "Uninstall|Incomplete",
    "Uninstall|ItemsLeft",    "Uninstall|DirNotEmpty",  "Uninstall|Success",
};
const size_t kUninstallerTextKeyCount = sizeof(kUninstallerTextKeys) / sizeof(kUninstallerTextKeys[0]);

namespace {

struct KeyText {
    const char* key;
    const char* utf8;
};

// Same order as kUninstallerTextKeys.
const KeyText kEnglish[] = {
    {"Uninstall|Confirm", "Do you really want to remove the selected application from your computer ?"},
    {"Uninstall|RemovingFile", "Removing File:"},
    {"Uninstall|SystemFile", "System File"},
    {"Uninstall|INIEntry", "Removing INI Entries"},
    {"Uninstall|RegEntry", "Removing System Registry Entries"},
    {"Uninstall|Directory", "Removing Directory:"},
    {"Uninstall|UIKey", "Deleting Uninstall Key"},
    {"Uninstall|RestartTopic", "Restart"},
    {"Uninstall|Restart1", "These files could not be removed because currently they are in use:"},
    {"Uninstall|Restart2", "Your system has to be restarted to remove these locked files."},
    {"Uninstall|Restart3", "Do you want to restart now ?"},
    {"Yes", "&Yes"},
    {"No", "&No"},
    {"Uninstall|DamagedLog", "The installation log is damaged. Nothing was removed; the log is kept."},
    {"Uninstall|Incomplete", "Uninstall has been aborted. Only parts of the application could be removed."},
    {"Uninstall|ItemsLeft", "Items not removed: %u. The installation log is kept so that the removal can be run again."},
    {"Uninstall|DirNotEmpty", "Some directories are not empty and could not be removed."},
    {"Uninstall|Success", "Uninstall has successfully removed the selected application."},
};

const KeyText kGerman[] = {
    {"Uninstall|Confirm", "Möchten Sie die ausgewählte Anwendung wirklich von Ihrem Computer entfernen?"},
    {"Uninstall|RemovingFile", "Datei wird entfernt:"},
    {"Uninstall|SystemFile", "Systemdatei"},
    {"Uninstall|INIEntry", "INI-Einträge werden entfernt"},
    {"Uninstall|RegEntry", "Einträge der Systemregistrierung werden entfernt"},
    {"Uninstall|Directory", "Verzeichnis wird entfernt:"},
    {"Uninstall|UIKey", "Deinstallationsschlüssel wird gelöscht"},
    {"Uninstall|RestartTopic", "Neustart"},
    {"Uninstall|Restart1", "Diese Dateien werden benutzt und konnten nicht entfernt werden:"},
    {"Uninstall|Restart2", "Ihr System muss neu gestartet werden, um diese Dateien zu entfernen."},
    {"Uninstall|Restart3", "Möchten Sie jetzt neu starten?"},
    {"Yes", "&Ja"},
    {"No", "&Nein"},
    {"Uninstall|DamagedLog", "Das Installationsprotokoll ist beschädigt. Es wurde nichts entfernt; das Protokoll bleibt."},
    {"Uninstall|Incomplete", "Die Deinstallation wurde abgebrochen. Nur Teile der Anwendung konnten entfernt werden."},
    {"Uninstall|ItemsLeft", "Nicht entfernte Einträge: %u. Das Protokoll bleibt, damit die Deinstallation wiederholt werden kann."},
    {"Uninstall|DirNotEmpty", "Einige Verzeichnisse sind nicht leer und konnten nicht entfernt werden."},
    {"Uninstall|Success", "Die ausgewählte Anwendung wurde erfolgreich entfernt."},
};

// A product-wide second file: a few shared texts, one the uninstaller never asks for.
const KeyText kSecondary[] = {
    {"Uninstall|Success", "Removal complete (secondary file)."},
    {"Uninstall|DirNotEmpty", "Some folders remain (secondary file)."},
    {"Yes", "Yes (secondary file)"},
    {"Setup|Welcome", "Welcome to Setup."},
};

LanguageFileContents Contents(const char* language, uint32_t langId, const KeyText* texts, size_t count) {
    LanguageFileContents c;
    c.ansiHeader1 = language;
    c.ansiHeader2 = "Zendrix";
    c.wideHeader1 = Utf8ToUtf16(language);
    c.wideHeader2 = u"Zendrix";
    c.headerWord = langId;
    for (size_t i = 0; i < count; i++)
        c.entries.push_back({texts[i].key, Utf8ToUtf16(texts[i].utf8)});
    return c;
}

}  // namespace

std::vector<LanguageFixture> LanguageFixtures() {
    std::vector<LanguageFixture> fixtures;
    const size_t n = kUninstallerTextKeyCount;
    fixtures.push_back({"english/LEXA1.LDB", Contents("English", 0x0409, kEnglish, n)});
    fixtures.push_back({"german/LEXA1.LDB", Contents("Deutsch", 0x0407, kGerman, n)});
    fixtures.push_back({"secondary/LEXA2.LDB",
                        Contents("English", 0x0409, kSecondary, sizeof(kSecondary) / sizeof(kSecondary[0]))});

    // English without the two outcome texts, so that a secondary file has to supply them.
    LanguageFileContents partial = Contents("English", 0x0409, kEnglish, n);
    partial.entries.erase(partial.entries.end() - 2, partial.entries.end());
    fixtures.push_back({"partial/LEXA1.LDB", partial});

    fixtures.push_back({"empty/LEXA1.LDB", Contents("English", 0x0409, kEnglish, 0)});

    LanguageFileContents duplicates = Contents("English", 0x0409, kEnglish, n);
    duplicates.entries.insert(duplicates.entries.begin(), {"Uninstall|Success", u"First success text"});
    duplicates.entries.push_back({"Uninstall|Success", u"Second success text"});
    duplicates.entries.push_back({"YES", u"Upper-case yes"});
    fixtures.push_back({"duplicates/LEXA1.LDB", duplicates});

    LanguageFileContents zeroLength = Contents("English", 0x0409, kEnglish, n);
    zeroLength.entries.insert(zeroLength.entries.begin(), {"Uninstall|Success", u""});
    zeroLength.entries.push_back({"", u"Text of the empty key"});
    fixtures.push_back({"zerolength/LEXA1.LDB", zeroLength});
    return fixtures;
}
