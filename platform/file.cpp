#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "platform/line_scan.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// How many bytes a reading stream takes from the file at a time.
constexpr size_t kReadChunk = 4096;

// How many names a replacement tries before it gives up on finding an unused one.
constexpr int kReplacementNameAttempts = 100;

// Returns the bytes the system is given for path: low bytes, every "\" turned into "/".
std::string SystemPath(const Text& path) {
    std::string bytes = Latin1Bytes(path);
    std::replace(bytes.begin(), bytes.end(), '\\', '/');
    return bytes;
}

// Syncs the folder that holds path, so that a rename inside it survives a power cut. Failure
// is ignored: the rename has happened either way.
void SyncFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string(".") : path.substr(0, std::max<size_t>(slash, 1));
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    fsync(descriptor);
    close(descriptor);
}

}  // namespace

struct FileStream {
    std::unique_ptr<std::FILE, FileCloser> file;
    std::string unread;     // Reading only: bytes taken from the file and not yet scanned.
    size_t next = 0;        // Reading only: where in unread the next line starts.
    std::string target;     // Replacements only: the path that the new content replaces.
    std::string temporary;  // Replacements only: where the new content is written first.
};

FileKind FileType(const Text& path) {
    struct stat status {};
    if (stat(SystemPath(path).c_str(), &status) != 0) return FileNone;
    if (S_ISREG(status.st_mode)) return FileRegular;
    if (S_ISDIR(status.st_mode)) return FileFolder;
    return FileNone;
}

bool MakeFolder(const Text& path) {
    mkdir(SystemPath(path).c_str(), 0777);
    return FileType(path) == FileFolder;
}

FileStream* OpenRead(const Text& path) {
    // Non-blocking, so that a named pipe in the file's place is refused instead of waited on.
    const int descriptor = open(SystemPath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return nullptr;
    }
    std::FILE* file = fdopen(descriptor, "rb");
    if (file == nullptr) {
        close(descriptor);
        return nullptr;
    }
    auto stream = std::make_unique<FileStream>();
    stream->file.reset(file);
    return stream.release();
}

Text ReadLine(FileStream* stream) {
    Text line;
    for (;;) {
        if (stream->next == stream->unread.size()) {
            std::FILE* file = stream->file.get();
            if (std::ferror(file)) return line;
            stream->unread.resize(kReadChunk);
            stream->unread.resize(std::fread(stream->unread.data(), 1, kReadChunk, file));
            stream->next = 0;
            if (stream->unread.empty()) return line;  // The end of the file ends the line.
        }
        const std::string_view rest = std::string_view(stream->unread).substr(stream->next);
        const LineScan scan = ScanLine(rest, line, std::numeric_limits<size_t>::max());
        stream->next += scan.consumed;
        if (scan.ended) return line;
    }
}

void CloseFile(FileStream* stream) { std::unique_ptr<FileStream> owned(stream); }

FileStream* OpenReplacement(const Text& path) {
    if (FileType(path) == FileFolder) return nullptr;
    // Unique within this process by the counter, between processes by the process id; a name
    // left behind by a process that died mid-write is skipped.
    static std::atomic<uint32_t> serial{0};
    const std::string target = SystemPath(path);
    for (int attempt = 0; attempt < kReplacementNameAttempts; ++attempt) {
        std::string temporary = target + "." + std::to_string(getpid()) + "-" +
                                std::to_string(serial.fetch_add(1)) + ".tmp";
        const int descriptor =
            open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        std::FILE* file = fdopen(descriptor, "wb");
        if (file == nullptr) {
            close(descriptor);
            unlink(temporary.c_str());
            return nullptr;
        }
        auto stream = std::make_unique<FileStream>();
        stream->file.reset(file);
        stream->target = target;
        stream->temporary = std::move(temporary);
        return stream.release();
    }
    return nullptr;
}

bool WriteLine(FileStream* stream, const Text& line) {
    std::string bytes = Latin1Bytes(line);
    bytes += "\r\n";
    std::FILE* file = stream->file.get();
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    return written == bytes.size() && !std::ferror(file);
}

bool CommitReplacement(FileStream* stream) {
    std::unique_ptr<FileStream> owned(stream);
    std::FILE* file = owned->file.release();
    bool whole = !std::ferror(file);
    whole = std::fflush(file) == 0 && whole;
    whole = whole && fsync(fileno(file)) == 0;
    whole = std::fclose(file) == 0 && whole;
    if (!whole || std::rename(owned->temporary.c_str(), owned->target.c_str()) != 0) {
        unlink(owned->temporary.c_str());
        return false;
    }
    SyncFolderOf(owned->target);
    return true;
}

void AbandonReplacement(FileStream* stream) {
    std::unique_ptr<FileStream> owned(stream);
    owned->file.reset();
    unlink(owned->temporary.c_str());
}
