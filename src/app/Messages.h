#pragma once
// Texts of the message boxes and input prompts in both interface languages, and the
// titles of the error and question boxes. Plain UTF-8 text without any toolkit type, so
// that any layer may show them.

#include <string>

namespace tindra {

// Interface languages, as held in LanguageIndex and stored in the settings.
enum : int { LanguageCzech = 0, LanguageEnglish = 1 };

// Keys of the message table.
enum TMessageKey : int {
    MsgEnterSampleText = 0,  // "Enter sample text:"
    MsgErrorOpeningFile = 1, // "Error opening file."
    MsgNotImplemented = 2,   // "This function is not implemented yet"
    MsgFilePrefix = 3,       // "File " (before the file name of the overwrite question)
    MsgAlreadyExists = 4,    // " already exists." (after the file name)
    MsgReplaceIt = 5,        // "Replace it?" (second line of the overwrite question)
    MsgSaveChanges = 6,      // "Save changes?"
    MsgEnterText = 7,        // "Enter text:"
    MessageCount = 8
};

// Any index other than 1 (English) selects Czech, the default language.
inline int NormalizedLanguage(int languageIndex) {
    return languageIndex == LanguageEnglish ? 1 : 0;
}

// Writes message `key` in the given language to `result` and returns true. For a key
// outside the table `result` is left as it was and the call returns false.
bool MessageText(int key, std::string& result, int languageIndex);

// Convenience form: the message, or an empty text for an unknown key.
std::string MessageText(int key, int languageIndex);

// "Tindra - Error" / "Tindra - Chyba"
std::string ErrorTitle(int languageIndex);
// "Tindra - Question" / "Tindra - Dotaz"
std::string QuestionTitle(int languageIndex);
// Web address of the maker's page for the language.
std::string MakerLink(int languageIndex);

// The overwrite question: "File <name> already exists.\r\nReplace it?" in the language.
std::string OverwriteQuestion(const std::string& fileName, int languageIndex);

// Shown when a file could not be written; the file on disk is then left as it was.
std::string SaveErrorText(int languageIndex);

// The loop count's input box: its prompt, and the error for a value it does not take.
std::string LoopCountPrompt(int languageIndex);
std::string LoopCountErrorText(int languageIndex);
std::string AllDisplayTimesPrompt(int languageIndex);
std::string DisplayTimeErrorText(int languageIndex);

// The application title, the same in both languages; plain message boxes carry it.
inline const char* ApplicationTitle() {
    return "Tindra";
}

} // namespace tindra
