#include "HelpTopics.h"

#include "Messages.h"

namespace tindra {

std::string HelpSection(int context) {
    switch (context) {
    case HelpFiles:
        return "files";
    case HelpCanvas:
        return "canvas";
    case HelpTools:
        return "tools";
    case HelpColors:
        return "colors";
    case HelpEditing:
        return "editing";
    case HelpFrames:
        return "frames";
    case HelpSaving:
        return "saving";
    case HelpExports:
        return "exports";
    case HelpConvert:
        return "convert";
    case HelpShortcuts:
        return "shortcuts";
    default:
        return "window";
    }
}

std::string HelpPage(int languageIndex) {
    return NormalizedLanguage(languageIndex) == LanguageEnglish ? ":/help/tindra-en.html" : ":/help/tindra-cs.html";
}

} // namespace tindra
