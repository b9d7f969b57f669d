#pragma once
// Whole-file reading with a size bound, and the one way this program writes a file (the editor's saves
// and exports, batch conversion, the codec's path form and the tools), so that a failed write never
// destroys or truncates what stood at the target.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class TFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TSafeFile {
  public:
    // The file's bytes; TFileError when it cannot be opened or read, or holds more than maxBytes.
    static std::vector<uint8_t> ReadAll(const std::string& path, size_t maxBytes);
    // The first bytes of a file (fewer when it is shorter; none when it cannot be read).
    static std::vector<uint8_t> ReadHead(const std::string& path, size_t bytes);

    // Writes bytes as the whole content of path:
    // - A symbolic link (also one whose file does not exist yet) is followed to the file it names; the
    //   link stays a link and that file is written.
    // - The bytes go to a new temporary file in the folder of that file; every write is checked, the
    //   file is flushed to disk (fsync) and closed, and only then renamed over the target, after which
    //   the folder is flushed too. A replaced file keeps its permissions and, where allowed, its owner
    //   and group; a write-protected file is refused. The rename gives the file a new identity, so a
    //   hard link to the old file keeps the old content.
    // - A target that exists and is not a regular file (a device such as /dev/full, a pipe) cannot be
    //   replaced: it is written in place, with every write and the close checked.
    // On any failure before the rename the temporary file is removed, a file at path is left exactly as
    // it was, and TFileError is thrown. When only the flush of the folder fails after the rename, the
    // new content is in place but may not survive a crash; that too throws TFileError.
    static void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes);
};
