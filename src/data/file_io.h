#pragma once
// Files at the edges of the core: a buffered reader of bytes, and a writer that never
// leaves a damaged file behind.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace tavrelo {

// A path from UTF-8 text, and a path's UTF-8 text. Every path the program keeps as text (a
// hand-off file's line, a typed name, the command line, a message) is UTF-8, on every system:
// on Windows a path is wide characters inside, never the system's narrow code page.
inline std::filesystem::path pathFromUtf8(std::string_view utf8)
{
    try {
        return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
    } catch (const std::exception&) {
        // Bytes that are not UTF-8 name no file where names are wide characters: a name with
        // a NUL in it stands for them, which every file operation refuses as not valid.
        return std::filesystem::path(std::filesystem::path::string_type(1, 0));
    }
}
inline std::string utf8Path(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A file's name as the core takes it: a path, or UTF-8 text read as one.
class PathName {
public:
    PathName(const std::filesystem::path& path) : path_(path) {}
    PathName(std::filesystem::path&& path) : path_(std::move(path)) {}
    PathName(const std::string& utf8) : path_(pathFromUtf8(utf8)) {}
    PathName(std::string_view utf8) : path_(pathFromUtf8(utf8)) {}
    PathName(const char* utf8) : path_(pathFromUtf8(utf8)) {}

    const std::filesystem::path& path() const { return path_; }
    operator const std::filesystem::path&() const { return path_; }
    std::string utf8() const { return utf8Path(path_); }

private:
    std::filesystem::path path_;
};

// Copies the first and the last word of `n` bytes (between one and two words): all of them.
template <class Word>
inline void copyEnds(char* to, const char* from, std::size_t n)
{
    Word first, last;
    std::memcpy(&first, from, sizeof(Word));
    std::memcpy(&last, from + n - sizeof(Word), sizeof(Word));
    std::memcpy(to, &first, sizeof(Word));
    std::memcpy(to + n - sizeof(Word), &last, sizeof(Word));
}

// Blocks of bytes copied as one, by the processor's wide registers where it has them.
struct Bytes16 {
    char bytes[16];
};
struct Bytes32 {
    char bytes[32];
};

// Copies `n` bytes. The bytes of a line or a few, which most writes are, are copied here in at
// most two overlapping blocks rather than by a library call.
inline void copyBytes(char* to, const char* from, std::size_t n)
{
    if (n > 64) {
        std::memcpy(to, from, n);
    } else if (n > 32) {
        copyEnds<Bytes32>(to, from, n);
    } else if (n > 16) {
        copyEnds<Bytes16>(to, from, n);
    } else if (n >= 8) {
        copyEnds<std::uint64_t>(to, from, n);
    } else if (n >= 4) {
        copyEnds<std::uint32_t>(to, from, n);
    } else {
        for (std::size_t i = 0; i < n; ++i)
            to[i] = from[i];
    }
}

// Reads a file's bytes in large blocks. Opening a file that does not exist, or cannot be
// read, is a Failure that names it.
class InputFile {
public:
    explicit InputFile(const PathName& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // The next byte, or -1 at the end of the file.
    int peek()
    {
        if (pos_ == end_ && !refill())
            return -1;
        return static_cast<unsigned char>(buffer_[pos_]);
    }
    int get()
    {
        const int c = peek();
        if (c >= 0)
            ++pos_;
        return c;
    }
    bool atEnd() { return peek() < 0; }

    // How much is read ahead at a time.
    static constexpr std::size_t kBlockSize = 1 << 18;

    // The bytes read ahead and not yet taken: at least one, unless the file is at its end.
    // They stay valid until the next call that reads ahead (peek, get, atEnd, buffered), and
    // kReadSlack more bytes after them may be read (not used) by word-at-a-time scanning.
    static constexpr std::size_t kReadSlack = 8;
    std::string_view buffered()
    {
        if (pos_ == end_ && !refill())
            return {};
        return {buffer_.get() + pos_, end_ - pos_};
    }
    // Takes `n` of the buffered bytes.
    void skip(std::size_t n) { pos_ += n; }
    // Goes on reading from byte `offset` of the file.
    void seek(std::uint64_t offset);
    // Reads up to `n` bytes into `into` (the bytes read ahead first, else straight from the
    // file): how many, 0 at the end of the file.
    std::size_t read(char* into, std::size_t n)
    {
        if (pos_ == end_)
            return readFile(into, n);
        n = std::min(n, end_ - pos_);
        std::copy_n(buffer_.get() + pos_, n, into);
        pos_ += n;
        return n;
    }

    const std::string& name() const { return name_; }

private:
    bool refill()
    {
        if (!buffer_)
            buffer_.reset(new char[kBlockSize + kReadSlack]);
        const std::size_t n = readFile(buffer_.get(), kBlockSize);
        if (n == 0)
            return false;
        pos_ = 0;
        end_ = n;
        std::fill_n(buffer_.get() + end_, kReadSlack, '\0');
        return true;
    }
    // Reads up to `n` bytes of the file into `into`: how many, 0 at its end.
    std::size_t readFile(char* into, std::size_t n);

    int fd_ = -1;
    std::string name_;  // UTF-8 path, for messages
    // Taken when first read into, and left unfilled until then, so that a file read only
    // through read() takes none, and opening a small file touches little memory; the slack
    // after what was read is zeroed.
    std::unique_ptr<char[]> buffer_;
    std::size_t pos_ = 0, end_ = 0;
};

// Writes a file through a temporary file in the same folder, created exclusively (no link
// planted there is followed), and renamed over the target only by commit(). Every write
// error, a full disk included, is a Failure; an object destroyed without commit() removes
// its temporary file and leaves any existing target untouched.
class OutputFile {
public:
    explicit OutputFile(const PathName& target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(std::string_view bytes)
    {
        if (bytes.size() >= kWriteBlock / 2) {
            // Large enough to go to the system as it is, after what is held.
            flush();
            send(bytes.data(), bytes.size());
            return;
        }
        char* const at = room(bytes.size());
        copyBytes(at, bytes.data(), bytes.size());
        advance(at + bytes.size());
    }
    void commit();

    // Room for at least `n` more bytes, to be written in place and handed over with
    // advance(end of what was written); nothing else may be written in between.
    char* room(std::size_t n)
    {
        if (buffer_.size() - used_ < n)
            makeRoom(n);
        return buffer_.data() + used_;
    }
    void advance(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.data()); }

    // The buffer starts at kFirstBlock and doubles, up to kWriteBlock, before anything is
    // written out: a small file costs little memory, a large one is written in large blocks
    // (larger than InputFile's, which stay small enough to be read from the processor's cache).
    static constexpr std::size_t kFirstBlock = 1 << 14;
    static constexpr std::size_t kWriteBlock = 1 << 20;

private:
    // Makes room for `n` more bytes: a larger buffer while it may grow, else what is held
    // written out first.
    void makeRoom(std::size_t n)
    {
        if (written_ == 0 && used_ + n <= kWriteBlock) {
            buffer_.resize(std::max(used_ + n, std::min(2 * buffer_.size(), kWriteBlock)));
            return;
        }
        flush();
        if (buffer_.size() < n)
            buffer_.resize(n);
    }
    void flush()
    {
        send(buffer_.data(), used_);
        used_ = 0;
    }
    // Hands `n` bytes to the system.
    void send(const char* bytes, std::size_t n);
    [[noreturn]] void fail(const std::string& what, int error);

    std::filesystem::path target_;
    std::string temporary_;
    int fd_ = -1;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::size_t written_ = 0;        // bytes handed to the system
    std::size_t writingBackTo_ = 0;  // bytes whose writing to the disk has been started
    std::size_t syncedTo_ = 0;       // bytes the disk has been asked to hold
    std::thread syncer_;             // waits for that
    std::atomic<bool> syncing_{false};
    std::atomic<int> syncError_{0};
};

// The whole first line of a file, without its line end (CR LF, LF or CR).
inline std::string readFirstLine(const PathName& path)
{
    InputFile file(path);
    std::string line;
    for (int c = file.get(); c >= 0 && c != '\r' && c != '\n'; c = file.get())
        line += static_cast<char>(c);
    return line;
}

// Creates a folder, and any missing folder above it, readable and writable by its owner only.
void createPrivateFolder(const PathName& folder);

// True when both paths name one existing file, however each is spelled.
bool sameFile(const PathName& a, const PathName& b);

}  // namespace tavrelo
