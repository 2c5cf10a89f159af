#pragma once
// The language list ("langcode.iff"), the choice of the current language
// (the configured code, else the system language, else English) and the
// start-up of the localized tables: the cliloc table and the language string
// files. Set up once at start-up, torn down at exit; main thread only.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct LanguageEntry {
    std::string code; // at most 3 characters, lower-case
    char tag = 0; // the one-letter tag; 0 for none ('?')
    std::string name; // e.g. "English"
    std::string country; // e.g. "United States"
};

// Once per process: the language list, the language (the
// `UserLanguageCodeString` setting, else the system language, else English)
// and the tables. Later calls do nothing until shutdownLocalization.
void initLocalization();
void shutdownLocalization();
bool isLocalizationReady();

// Reads a language list image; entries go to the head of the list, so the
// list ends with the entries read first. False when the image is damaged
// (entries read before the damage are kept).
bool parseLanguageList(const uint8_t* data, size_t size);
// Makes the current entry from the current code (set from the system
// language when none is set yet); an unknown code gives English.
void chooseLanguage();
// Sets the current code (at most 3 characters, letter case kept).
void setLanguageCode(const std::string& code);
// Loads cliloc.enu, the current language's cliloc over it, and the string
// files every screen needs from the start.
void loadStringTables();

const std::vector<LanguageEntry>& languageList();
// The current code as set (letter case kept).
const std::string& getLanguageCode();
// The current entry; null before a language was chosen.
const LanguageEntry* getCurrentLanguageInfo();
const std::string& getLanguageName();
// With a code: that entry's tag (case-insensitive), else the default entry's
// ('e'). Without (null): the current entry's tag, or 0.
char getLanguageTag(const char* code);
const std::string& getDefaultLanguageCode();
