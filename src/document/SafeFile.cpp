#include "SafeFile.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

std::vector<uint8_t> TSafeFile::ReadAll(const std::string& path, size_t maxBytes) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) throw TFileError("not a readable file: " + path);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw TFileError("cannot open: " + path);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) throw TFileError("cannot read: " + path);
    if (static_cast<uint64_t>(size) > maxBytes) throw TFileError("file too large: " + path);
    in.seekg(0, std::ios::beg);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
        throw TFileError("cannot read: " + path);
    return bytes;
}

namespace {

// A name in the target's folder that no other writer of this process uses at the same time.
fs::path TemporaryNameFor(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path dir = target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = dir / ("." + target.filename().string() + ".tmp" +
                                    std::to_string(stamp % 1000000) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (!fs::exists(candidate, ec)) return candidate;
    }
    throw TFileError("cannot choose a temporary file beside: " + target.string());
}

} // namespace

void TSafeFile::WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    const fs::path target(path);
    std::error_code ec;
    if (target.filename().empty()) throw TFileError("no file name: " + path);
    if (fs::is_directory(target, ec)) throw TFileError("is a folder: " + path);
    // A write-protected file stays protected: renaming over it would succeed on this platform, so refuse.
    const bool replacing = fs::exists(target, ec);
    fs::perms oldPerms = fs::perms::unknown;
    if (replacing) {
        oldPerms = fs::status(target, ec).permissions();
        if (!ec && (oldPerms & fs::perms::owner_write) == fs::perms::none)
            throw TFileError("file is write-protected: " + path);
    }
    const fs::path temp = TemporaryNameFor(target);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw TFileError("cannot create a file beside: " + path);
        if (!bytes.empty())
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        out.flush();
        const bool ok = static_cast<bool>(out);
        out.close();
        if (!ok || out.fail()) {
            fs::remove(temp, ec);
            throw TFileError("cannot write: " + path);
        }
    }
    if (replacing && oldPerms != fs::perms::unknown) fs::permissions(temp, oldPerms, ec);
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw TFileError("cannot replace: " + path + " (" + ec.message() + ")");
    }
}
