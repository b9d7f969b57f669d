#include "DocumentName.h"

namespace {
size_t LastSeparator(const std::string& path) {
    return path.find_last_of('/');
}
} // namespace

std::string FolderOf(const std::string& path) {
    const size_t sep = LastSeparator(path);
    return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

std::string FileNameOf(const std::string& path) {
    const size_t sep = LastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

TDocumentName TDocumentName::FromPath(const std::string& path) {
    TDocumentName n;
    n.Path = path;
    n.Name = FileNameOf(path);
    n.Folder = FolderOf(path);
    const size_t dot = n.Name.find_last_of('.');
    n.Extension = dot == std::string::npos ? std::string() : n.Name.substr(dot);
    n.BaseName = n.Name.substr(0, n.Name.size() - n.Extension.size());
    return n;
}

TDocumentName TDocumentName::Untitled(const std::string& folder) {
    TDocumentName n;
    n.Name = "new.gif";
    n.Folder = folder;
    if (!n.Folder.empty() && n.Folder.back() != '/') n.Folder += '/';
    n.BaseName = "new";
    n.Extension = ".gif";
    return n;
}
