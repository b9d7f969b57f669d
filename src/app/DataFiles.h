#pragma once
// Where the program's data files (images.iml) are found: beside the program first, as in the build
// tree, then in ../share/tindra, as after an install into a prefix (PREFIX/bin/tindra and
// PREFIX/share/tindra/images.iml).

#include <QString>

class TDataFiles {
  public:
    // The folder below the program's folder that an install puts the data files in.
    static constexpr const char* InstalledFolder = "../share/tindra";

    // The path of the data file name for a program in programFolder: the first of the two places
    // that holds it, or the place beside the program when neither does (so a missing file is
    // reported there).
    static QString Find(const QString& programFolder, const QString& name);

    // The folder a new document and the first file dialog start in, ending with a separator. A
    // program run from its build or unpacked folder (its data files beside it) keeps its documents
    // beside it; an installed program (data files in InstalledFolder) uses the user's pictures
    // folder, or the home folder where there is none, since the program's folder is not the user's.
    static QString DocumentFolder(const QString& programFolder);
};
