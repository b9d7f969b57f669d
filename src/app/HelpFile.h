#pragma once
// The help file: named like the program file with the extension ".chm", in the program's
// folder. It is handed to the desktop's handler for that file type; a context number cannot
// be passed that way, so the file opens at its start page.

#include <QString>

class THelpFile {
  public:
    explicit THelpFile(const QString& programPath);

    const QString& Path() const { return FilePath; }

    // Opens the file at `context`. On failure returns false with a message for the user.
    bool Open(int context, QString* error) const;

  private:
    QString FilePath;
};
