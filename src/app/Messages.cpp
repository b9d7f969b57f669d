#include "Messages.h"

namespace tindra {
namespace {

// [key][language]: index 0 Czech, 1 English.
const char* const Texts[MessageCount][2] = {
    {"Zadej testovací text:", "Enter sample text:"},
    {"Chyba při otevírání souboru.", "Error opening file."},
    {"Tato funkce není dosud implementována", "This function is not implemented yet"},
    {"Soubor ", "File "},
    {" již existuje.", " already exists."},
    {"Přepsat?", "Replace it?"},
    {"Uložit změny?", "Save changes?"},
    {"Zadej text:", "Enter text:"},
};

} // namespace

bool MessageText(int key, std::string& result, int languageIndex) {
    if (key < 0 || key >= MessageCount) return false;
    result = Texts[key][NormalizedLanguage(languageIndex)];
    return true;
}

std::string MessageText(int key, int languageIndex) {
    std::string text;
    MessageText(key, text, languageIndex);
    return text;
}

std::string ErrorTitle(int languageIndex) {
    return NormalizedLanguage(languageIndex) == LanguageEnglish ? "Tindra - Error" : "Tindra - Chyba";
}

std::string QuestionTitle(int languageIndex) {
    return NormalizedLanguage(languageIndex) == LanguageEnglish ? "Tindra - Question" : "Tindra - Dotaz";
}

std::string MakerLink(int languageIndex) {
    return NormalizedLanguage(languageIndex) == LanguageEnglish ? "https://www.marrowby.example/en/"
                                                                : "https://www.marrowby.example/cs/";
}

std::string OverwriteQuestion(const std::string& fileName, int languageIndex) {
    return MessageText(MsgFilePrefix, languageIndex) + fileName +
           MessageText(MsgAlreadyExists, languageIndex) + "\r\n" + MessageText(MsgReplaceIt, languageIndex);
}

std::string LoopCountPrompt(int languageIndex) {
    return NormalizedLanguage(languageIndex) == LanguageEnglish
               ? "Repeat the animation after its first play how many times?\n"
                 "0 = forever, empty = play once only."
               : "Kolikrát animaci po prvním přehrání opakovat?\n"
                 "0 = stále dokola, prázdné = přehrát jen jednou.";
}

std::string LoopCountErrorText(int languageIndex) {
    return NormalizedLanguage(languageIndex) == LanguageEnglish
               ? "The loop count must be a whole number from 0 to 65535, or empty."
               : "Počet opakování musí být celé číslo od 0 do 65535, nebo prázdný.";
}

std::string AllDisplayTimesPrompt(int languageIndex) {
    return NormalizedLanguage(languageIndex) == LanguageEnglish ? "Display time of every frame (ms):"
                                                                : "Doba zobrazení každého rámce (ms):";
}

std::string DisplayTimeErrorText(int languageIndex) {
    return NormalizedLanguage(languageIndex) == LanguageEnglish
               ? "The display time must be a whole number of milliseconds from 10 to 300000."
               : "Doba zobrazení musí být celé číslo milisekund od 10 do 300000.";
}

std::string SaveErrorText(int languageIndex) {
    return NormalizedLanguage(languageIndex) == LanguageEnglish
               ? "Error saving file. The original file was left unchanged."
               : "Chyba při ukládání souboru. Původní soubor zůstal beze změny.";
}

} // namespace tindra
