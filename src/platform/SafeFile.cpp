#include "SafeFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

std::vector<uint8_t> TSafeFile::ReadHead(const std::string& path, size_t bytes) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return {};
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> head(bytes);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(bytes));
    head.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return head;
}

namespace {

std::string Failure(const std::string& what, const std::string& path, int error) {
    return what + ": " + path + " (" + std::strerror(error) + ")";
}

// A file descriptor closed when it goes out of scope unless Close() took it (and checked the close).
class TDescriptor {
  public:
    explicit TDescriptor(int fd = -1) : Fd_(fd) {}
    ~TDescriptor() {
        if (Fd_ >= 0) ::close(Fd_);
    }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    int Get() const { return Fd_; }
    // 0, or the errno of a failed close (which may report a write that failed late, as on NFS).
    int Close() {
        const int fd = Fd_;
        Fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

  private:
    int Fd_;
};

// Writes every byte; 0, or the errno of the write that failed.
int WriteEvery(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        done += static_cast<size_t>(n);
    }
    return 0;
}

// The file a path names once symbolic links are followed, also when the last link names a file that
// does not exist yet (a relative link is taken from the folder the link stands in).
fs::path FollowLinks(fs::path path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::error_code ec;
        const fs::path target = fs::read_symlink(path, ec);
        if (ec) throw TFileError(Failure("cannot read the link", path.string(), ec.value()));
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    throw TFileError(Failure("cannot follow the links", path.string(), ELOOP));
}

// A device or a pipe cannot be replaced by a rename: its bytes are written in place.
void WriteInPlace(const std::string& path, const std::vector<uint8_t>& bytes) {
    TDescriptor file(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (file.Get() < 0) throw TFileError(Failure("cannot open", path, errno));
    if (const int error = WriteEvery(file.Get(), bytes))
        throw TFileError(Failure("cannot write", path, error));
    if (const int error = file.Close()) throw TFileError(Failure("cannot write", path, error));
}

// Flushes a folder's entries to disk, so that a rename in it survives a crash. File systems that cannot
// flush a folder say EINVAL; that is no failure.
int SyncFolder(const fs::path& folder) {
    TDescriptor dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() < 0) return errno;
    if (::fsync(dir.Get()) != 0 && errno != EINVAL && errno != EROFS) return errno;
    return dir.Close();
}

// Creates a new file in folder under a name no other file has, "." + name + ".tmp" + a number.
int CreateTemporary(const fs::path& folder, const std::string& name, mode_t mode, fs::path& temp) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder /
               ("." + name + ".tmp" + std::to_string(stamp % 1000000) + "-" + std::to_string(counter++));
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

void TSafeFile::WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (path.empty()) throw TFileError("no file name");
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) throw TFileError("is a folder: " + path);
        WriteInPlace(path, bytes);
        return;
    }

    const fs::path target = FollowLinks(path);
    if (target.filename().empty()) throw TFileError("no file name: " + path);
    const bool replacing = ::stat(target.c_str(), &st) == 0;
    if (replacing) {
        if (!S_ISREG(st.st_mode)) throw TFileError("not a regular file: " + target.string());
        // A write-protected file stays protected: renaming over it would succeed here, so refuse.
        if ((st.st_mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0)
            throw TFileError("file is write-protected: " + target.string());
    } else if (errno != ENOENT) {
        throw TFileError(Failure("cannot write", target.string(), errno));
    }

    const fs::path folder = target.parent_path();
    fs::path temp;
    // A new file gets the usual permissions (0666 less the umask); a replacement starts private and
    // takes the old file's owner and permissions before it becomes visible under the name.
    TDescriptor file(CreateTemporary(folder, target.filename().string(), replacing ? 0600 : 0666, temp));
    if (file.Get() < 0) throw TFileError(Failure("cannot create a file beside", target.string(), errno));
    auto fail = [&](const char* what, int error) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw TFileError(Failure(what, target.string(), error));
    };

    if (const int error = WriteEvery(file.Get(), bytes)) fail("cannot write", error);
    if (replacing) {
        // The owner can only be given where allowed (as root, or to a group of ours); the permissions
        // are set after it, as a change of owner may clear the set-id bits.
        if (::fchown(file.Get(), st.st_uid, st.st_gid) != 0 &&
            ::fchown(file.Get(), static_cast<uid_t>(-1), st.st_gid) != 0) {
            // Neither allowed: the file stays ours, with the old permissions.
        }
        if (::fchmod(file.Get(), st.st_mode & 07777) != 0) fail("cannot set the permissions of", errno);
    }
    if (::fsync(file.Get()) != 0) fail("cannot flush", errno);
    if (const int error = file.Close()) fail("cannot write", error);
    if (::rename(temp.c_str(), target.c_str()) != 0) fail("cannot replace", errno);
    if (const int error = SyncFolder(folder))
        throw TFileError(Failure("cannot flush the folder of", target.string(), error));
}
