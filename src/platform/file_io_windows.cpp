// Files on Windows: wide paths, exclusive temporary files, the disk's write cache flushed and
// the finished file moved over its target in one step. The messages are those of the POSIX
// build, with Windows' own faults (a file held open by another program, a read-only file, a
// path too long, a missing drive) told as such.

#include "data/file_io.h"

#include "text/failure.h"

#include <cerrno>
#include <cstring>
#include <io.h>
#include <random>
#include <windows.h>

namespace tavrelo {

namespace {

// The longest path Windows opens without the long-path prefix "\\?\", the closing NUL left out.
constexpr std::size_t kMaxPath = MAX_PATH - 1;

bool holdsNul(const std::filesystem::path& path)
{
    return path.native().find(L'\0') != std::wstring::npos;
}

// The path as the system takes it: a long one with the prefix "\\?\", which lifts Windows'
// limit of 259 characters to 32767.
std::wstring systemPath(const std::filesystem::path& path)
{
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(path, ec);
    if (ec || full.native().size() <= kMaxPath)
        return path.native();
    full = full.lexically_normal();
    full.make_preferred();
    const std::wstring& text = full.native();
    if (text.rfind(L"\\\\?\\", 0) == 0)
        return text;
    if (text.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + text.substr(2);
    return L"\\\\?\\" + text;
}

HANDLE handleOf(int fd)
{
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

// A handle kept as a C runtime descriptor, closed with it.
int descriptorOf(HANDLE h)
{
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), 0);
    if (fd < 0)
        ::CloseHandle(h);
    return fd;
}

// The drive a path names ("Q:"), when it names one that this computer does not have or
// that holds no disk.
bool driveMissing(const std::filesystem::path& path)
{
    std::error_code ec;
    const std::wstring drive = std::filesystem::absolute(path, ec).root_name().wstring();
    if (drive.size() != 2 || drive[1] != L':')
        return false;
    const std::wstring root = drive + L"\\";
    const UINT type = ::GetDriveTypeW(root.c_str());
    if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN)
        return true;
    return !::GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
}

bool readOnlyFile(const std::filesystem::path& path)
{
    const DWORD attributes = ::GetFileAttributesW(systemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isFolder(const std::filesystem::path& path)
{
    const DWORD attributes = ::GetFileAttributesW(systemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A name past 255 characters, or a path past the 32767 that Windows takes at most.
bool nameTooLong(const std::filesystem::path& path)
{
    return path.native().size() > 32767 || path.filename().native().size() > 255;
}

// True when another program holds the file open without letting it be replaced.
bool heldOpen(const std::filesystem::path& path)
{
    const HANDLE h = ::CreateFileW(systemPath(path).c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        ::CloseHandle(h);
        return false;
    }
    return ::GetLastError() == ERROR_SHARING_VIOLATION;
}

// A Windows error about `path` told in the words of the POSIX build where there are such words.
std::string describe(DWORD error, const std::filesystem::path& path)
{
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "το αρχείο είναι ανοιχτό σε άλλο πρόγραμμα· κλείστε το εκεί και δοκιμάστε ξανά";
    case ERROR_FILENAME_EXCED_RANGE:
        return describeSystemError(ENAMETOOLONG);
    case ERROR_NOT_READY:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_UNEXP_NET_ERR:
        return "ο δίσκος δεν υπάρχει ή δεν είναι έτοιμος";
    case ERROR_WRITE_PROTECT:
        return describeSystemError(EROFS);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        if (nameTooLong(path))
            return describeSystemError(ENAMETOOLONG);
        if (driveMissing(path))
            return describe(ERROR_NOT_READY, path);
        return describeSystemError(ENOENT);
    case ERROR_ACCESS_DENIED:
        if (isFolder(path))
            return describeSystemError(EISDIR);
        if (readOnlyFile(path))
            return "το αρχείο είναι μόνο για ανάγνωση";
        if (heldOpen(path))
            return describe(ERROR_SHARING_VIOLATION, path);
        return describeSystemError(EACCES);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return describeSystemError(ENOSPC);
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
        return nameTooLong(path) ? describeSystemError(ENAMETOOLONG) : describeSystemError(EINVAL);
    case ERROR_TOO_MANY_OPEN_FILES:
        return describeSystemError(EMFILE);
    default:
        return "σφάλμα συστήματος " + std::to_string(error);
    }
}

}  // namespace

InputFile::InputFile(const PathName& path) : name_(path.utf8())
{
    DWORD error = ERROR_INVALID_NAME;
    if (!holdsNul(path)) {
        const HANDLE h = ::CreateFileW(systemPath(path).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            fd_ = descriptorOf(h);
        else
            error = ::GetLastError();
    }
    if (fd_ < 0)
        throw Failure("Δεν ανοίγει το αρχείο " + inQuotes(name_) + ": " + describe(error, path) + ".");
}

InputFile::~InputFile()
{
    if (fd_ >= 0)
        ::_close(fd_);
}

std::size_t InputFile::readFile(char* into, std::size_t n)
{
    DWORD got = 0;
    if (!::ReadFile(handleOf(fd_), into, static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30)), &got, nullptr)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE)
            return 0;
        throw Failure("Δεν διαβάζεται το αρχείο " + inQuotes(name_) + ": " + describe(error, pathFromUtf8(name_)) + ".");
    }
    return got;
}

void InputFile::seek(std::uint64_t offset)
{
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(handleOf(fd_), to, nullptr, FILE_BEGIN)) {
        const DWORD error = ::GetLastError();
        throw Failure("Δεν διαβάζεται το αρχείο " + inQuotes(name_) + ": " + describe(error, pathFromUtf8(name_)) + ".");
    }
    pos_ = end_ = 0;
}

OutputFile::OutputFile(const PathName& target) : target_(target)
{
    std::filesystem::path folder = target_.parent_path();
    if (folder.empty())
        folder = ".";
    DWORD error = ERROR_INVALID_NAME;
    if (!holdsNul(target_)) {
        std::random_device seed;
        std::mt19937 random(seed());
        const std::wstring start = L"." + target_.filename().wstring().substr(0, 100) + L".";
        const wchar_t letters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::wstring name = start;
            for (int i = 0; i < 6; ++i)
                name += letters[random() % 36];
            const std::filesystem::path temporary = folder / name;
            // CREATE_NEW: a file, or a link, already there under this name is never opened.
            const HANDLE h = ::CreateFileW(systemPath(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE) {
                fd_ = descriptorOf(h);
                temporary_ = utf8Path(temporary);
                break;
            }
            error = ::GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
                break;
        }
        if (error == ERROR_PATH_NOT_FOUND && !driveMissing(target_))
            error = isFolder(folder) ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND;
    }
    if (fd_ < 0)
        throw Failure("Δεν δημιουργείται το αρχείο " + inQuotes(utf8Path(target_)) + ": " +
                      describe(error, error == ERROR_ACCESS_DENIED ? folder : target_) + ".");
    buffer_.resize(kFirstBlock);
}

OutputFile::~OutputFile()
{
    if (fd_ >= 0)
        ::_close(fd_);
    if (!temporary_.empty())
        ::DeleteFileW(systemPath(pathFromUtf8(temporary_)).c_str());
}

void OutputFile::fail(const std::string& what, int error)
{
    throw Failure(what + " " + inQuotes(utf8Path(target_)) + ": " + describe(static_cast<DWORD>(error), target_) +
                  ". Το αρχείο δεν γράφτηκε.");
}

void OutputFile::send(const char* bytes, std::size_t n)
{
    const char* p = bytes;
    std::size_t left = n;
    while (left > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(left, 1u << 30));
        DWORD done = 0;
        if (!::WriteFile(handleOf(fd_), p, chunk, &done, nullptr))
            fail("Σφάλμα κατά την εγγραφή του αρχείου", static_cast<int>(::GetLastError()));
        if (done == 0)
            fail("Σφάλμα κατά την εγγραφή του αρχείου", ERROR_DISK_FULL);
        p += done;
        left -= done;
    }
    written_ += n;
}

void OutputFile::commit()
{
    flush();
    if (!::FlushFileBuffers(handleOf(fd_)))
        fail("Σφάλμα κατά την εγγραφή του αρχείου", static_cast<int>(::GetLastError()));
    const int fd = fd_;
    fd_ = -1;
    if (::_close(fd) != 0)
        fail("Σφάλμα κατά το κλείσιμο του αρχείου", static_cast<int>(::GetLastError()));
    const std::filesystem::path temporary = pathFromUtf8(temporary_);
    // A read-only file is never replaced (some file systems would let the move through).
    if (readOnlyFile(target_))
        fail("Δεν γράφεται το αρχείο", ERROR_ACCESS_DENIED);
    if (!::MoveFileExW(systemPath(temporary).c_str(), systemPath(target_).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail("Δεν γράφεται το αρχείο", static_cast<int>(::GetLastError()));
    temporary_.clear();
}

// The folder inherits the rights of the one above it: %LOCALAPPDATA% is the user's alone.
void createPrivateFolder(const PathName& folder)
{
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec))
        return;
    const auto parent = folder.path().parent_path();
    if (!parent.empty() && parent != folder.path())
        std::filesystem::create_directories(parent, ec);
    if (!::CreateDirectoryW(systemPath(folder).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        const DWORD error = ::GetLastError();
        throw Failure("Δεν δημιουργείται ο φάκελος " + inQuotes(folder.utf8()) + ": " + describe(error, folder) + ".");
    }
}

bool sameFile(const PathName& a, const PathName& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace tavrelo
