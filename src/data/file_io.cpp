#include "data/file_io.h"

#include "text/failure.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrelo {

namespace {

// How much is written before the disk is asked to start writing it back, and to hold it.
constexpr std::size_t kWriteBackStep = 4 << 20;
constexpr std::size_t kSyncStep = 32 << 20;

// A name with a NUL byte in it names no file: the system would take the name cut short at
// the NUL, another file.
bool holdsNul(const std::filesystem::path& path)
{
    return path.native().find('\0') != std::string::npos;
}

}  // namespace

InputFile::InputFile(const PathName& path) : name_(path.path().string())
{
    if (holdsNul(path))
        errno = EINVAL;
    else
        fd_ = ::open(path.path().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        throw Failure("Δεν ανοίγει το αρχείο " + inQuotes(name_) + ": " + describeSystemError(error) + ".");
    }
}

InputFile::~InputFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::size_t InputFile::readFile(char* into, std::size_t n)
{
    for (;;) {
        const ssize_t got = ::read(fd_, into, n);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR) {
            const int error = errno;
            throw Failure("Δεν διαβάζεται το αρχείο " + inQuotes(name_) + ": " + describeSystemError(error) + ".");
        }
    }
}

void InputFile::seek(std::uint64_t offset)
{
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) {
        const int error = errno;
        throw Failure("Δεν διαβάζεται το αρχείο " + inQuotes(name_) + ": " + describeSystemError(error) + ".");
    }
    pos_ = end_ = 0;
}

OutputFile::OutputFile(const PathName& target) : target_(target.path())
{
    std::filesystem::path folder = target_.parent_path();
    if (folder.empty())
        folder = ".";
    // The temporary name starts with (at most 100 bytes of) the target's name: a name at the
    // file system's length limit must still leave room for the bytes added around it.
    std::string pattern = (folder / ("." + target_.filename().string().substr(0, 100) + ".XXXXXX")).string();
    if (holdsNul(target_))
        errno = EINVAL;
    else
        fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        throw Failure("Δεν δημιουργείται το αρχείο " + inQuotes(target_.string()) + ": " +
                      describeSystemError(error) + ".");
    }
    temporary_ = pattern;
    // mkstemp creates the file for its owner only; a finished file gets the usual
    // permissions that the user's umask allows.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
    buffer_.resize(kFirstBlock);
}

OutputFile::~OutputFile()
{
    if (syncer_.joinable())
        syncer_.join();
    if (fd_ >= 0)
        ::close(fd_);
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
}

void OutputFile::fail(const std::string& what, int error)
{
    throw Failure(what + " " + inQuotes(target_.string()) + ": " + describeSystemError(error) +
                  ". Το αρχείο δεν γράφτηκε.");
}

void OutputFile::send(const char* bytes, std::size_t n)
{
    const char* p = bytes;
    std::size_t left = n;
    while (left > 0) {
        const ssize_t done = ::write(fd_, p, left);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            fail("Σφάλμα κατά την εγγραφή του αρχείου", errno);
        }
        if (done == 0)
            fail("Σφάλμα κατά την εγγραφή του αρχείου", ENOSPC);
        p += done;
        left -= static_cast<std::size_t>(done);
    }
    written_ += n;
#ifdef __linux__
    // Start writing what has gathered to the disk while the rest is being made, so that
    // commit's wait for the disk is short. Only a hint: errors show at commit.
    if (written_ - writingBackTo_ >= kWriteBackStep) {
        ::sync_file_range(fd_, static_cast<off_t>(writingBackTo_), static_cast<off_t>(written_ - writingBackTo_),
                          SYNC_FILE_RANGE_WRITE);
        writingBackTo_ = written_;
    }
    // Every kSyncStep, unless the last is still going on, a thread of its own waits for the
    // disk to hold what is written so far, so that commit's wait is short however large the
    // file. An error met there fails the commit, which would no longer see it.
    if (written_ - syncedTo_ >= kSyncStep && !syncing_) {
        syncedTo_ = written_;
        if (syncer_.joinable())
            syncer_.join();
        syncing_ = true;
        syncer_ = std::thread([this, fd = fd_] {
            if (::fdatasync(fd) != 0 && errno != EINVAL && errno != EROFS)
                syncError_ = errno;
            syncing_ = false;
        });
    }
#endif
}

void OutputFile::commit()
{
    flush();
    if (syncer_.joinable())
        syncer_.join();
    if (syncError_ != 0)
        fail("Σφάλμα κατά την εγγραφή του αρχείου", syncError_);
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS)
        fail("Σφάλμα κατά την εγγραφή του αρχείου", errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        fail("Σφάλμα κατά το κλείσιμο του αρχείου", errno);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        fail("Δεν γράφεται το αρχείο", errno);
    temporary_.clear();
}

void createPrivateFolder(const PathName& folder)
{
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec))
        return;
    const auto parent = folder.path().parent_path();
    if (!parent.empty() && parent != folder.path())
        std::filesystem::create_directories(parent, ec);
    if (::mkdir(folder.path().c_str(), 0700) != 0 && errno != EEXIST) {
        const int error = errno;
        throw Failure("Δεν δημιουργείται ο φάκελος " + inQuotes(folder.utf8()) + ": " +
                      describeSystemError(error) + ".");
    }
}

bool sameFile(const PathName& a, const PathName& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace tavrelo
