#pragma once
// Files at the edges of the core: a buffered reader of bytes, and a writer that never
// leaves a damaged file behind.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavrelo {

// Reads a file's bytes in large blocks. Opening a file that does not exist, or cannot be
// read, is a Failure that names it.
class InputFile {
public:
    explicit InputFile(const std::filesystem::path& path);
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
        return {buffer_.data() + pos_, end_ - pos_};
    }
    // Takes `n` of the buffered bytes.
    void skip(std::size_t n) { pos_ += n; }

    const std::string& name() const { return name_; }

private:
    bool refill();

    int fd_ = -1;
    std::string name_;  // UTF-8 path, for messages
    std::vector<char> buffer_;
    std::size_t pos_ = 0, end_ = 0;
};

// Writes a file through a temporary file in the same folder, created exclusively (no link
// planted there is followed), and renamed over the target only by commit(). Every write
// error, a full disk included, is a Failure; an object destroyed without commit() removes
// its temporary file and leaves any existing target untouched.
class OutputFile {
public:
    explicit OutputFile(const std::filesystem::path& target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(std::string_view bytes);
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

private:
    void makeRoom(std::size_t n);
    void flush();
    [[noreturn]] void fail(const std::string& what, int error);

    std::filesystem::path target_;
    std::string temporary_;
    int fd_ = -1;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::size_t written_ = 0;        // bytes handed to the system
    std::size_t writingBackTo_ = 0;  // bytes whose writing to the disk has been started
};

// The whole first line of a file, without its line end (CR LF, LF or CR).
std::string readFirstLine(const std::filesystem::path& path);

// Creates a folder, and any missing folder above it, readable and writable by its owner only.
void createPrivateFolder(const std::filesystem::path& folder);

// True when both paths name one existing file, however each is spelled.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace tavrelo
