#pragma once
// Whole-file reading with a size bound, and replacing a file so that a failure never destroys it.

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

    // Writes bytes to a temporary file in the folder of path, flushes and closes it, and only then
    // renames it over path. On any failure the temporary file is removed, an existing file at path is
    // left exactly as it was, and TFileError is thrown.
    static void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes);
};
