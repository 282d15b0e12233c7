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

private:
    void flush();
    [[noreturn]] void fail(const std::string& what, int error);

    std::filesystem::path target_;
    std::string temporary_;
    int fd_ = -1;
    std::string buffer_;
};

// The whole first line of a file, without its line end (CR LF, LF or CR).
std::string readFirstLine(const std::filesystem::path& path);

// Creates a folder, and any missing folder above it, readable and writable by its owner only.
void createPrivateFolder(const std::filesystem::path& folder);

}  // namespace tavrelo
