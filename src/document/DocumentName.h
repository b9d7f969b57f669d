#pragma once
// The name parts of the document's file, as the window caption, the save dialogs and the loader choice use
// them.

#include <string>

struct TDocumentName {
    std::string Path;      // full path; empty for a new document
    std::string Name;      // file name with extension
    std::string Folder;    // folder, ending with the path separator
    std::string BaseName;  // Name without Extension
    std::string Extension; // the extension with its dot, exactly as typed; empty when there is none

    // Splits a path; the folder keeps its trailing separator.
    static TDocumentName FromPath(const std::string& path);
    // The name parts of a document that was never saved: "new.gif" in the given folder.
    static TDocumentName Untitled(const std::string& folder);
};

// The folder part of a path with its trailing separator ("" when the path has no folder).
std::string FolderOf(const std::string& path);
// The file-name part of a path.
std::string FileNameOf(const std::string& path);
// An ASCII lower-case copy (for comparing extensions in any letter case).
std::string LowerAscii(std::string text);
