#include "test_support.h"

#include "data/file_io.h"
#include "text/failure.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <random>
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tavrelo::test {

TempFolder::TempFolder()
{
#ifdef _WIN32
    std::random_device seed;
    for (;;) {
        path_ = std::filesystem::temp_directory_path() / ("tavrelo-test-" + std::to_string(seed()));
        if (::CreateDirectoryW(path_.c_str(), nullptr))
            return;
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("CreateDirectoryW failed");
    }
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "tavrelo-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
#endif
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + utf8Path(file));
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + utf8Path(file));
}

std::string listFolder(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(utf8Path(entry.path().filename()));
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto& n : names)
        out += n + " ";
    return out;
}

HandoffFiles handoffFor(const TempFolder& folder, const std::filesystem::path& coordinateFile)
{
    HandoffFiles handoff(folder / "state");
    writeHandoffPath(handoff, utf8Path(coordinateFile));
    return handoff;
}

namespace {

bool isValidUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;  // bytes that continue the sequence
        unsigned code = 0, least = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0)
            n = 1, code = lead & 0x1F, least = 0x80;
        else if ((lead & 0xF0) == 0xE0)
            n = 2, code = lead & 0x0F, least = 0x800;
        else if ((lead & 0xF8) == 0xF0)
            n = 3, code = lead & 0x07, least = 0x10000;
        else
            return false;
        if (s.size() - i <= n)
            return false;
        for (std::size_t k = 1; k <= n; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (c & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

}  // namespace

std::string messageFault(const std::string& message)
{
    if (message.empty() || message.back() != '.')
        return "cut short: " + message;
    if (message.size() > 1000)
        return "too long for an error box: " + std::to_string(message.size()) + " bytes";
    if (!isValidUtf8(message))
        return "not valid UTF-8: " + message;
    return "";
}

std::map<std::string, std::string> snapshot(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = utf8Path(std::filesystem::relative(entry.path(), folder));
        if (entry.is_symlink())
            files[name] = "link to " + utf8Path(std::filesystem::read_symlink(entry.path()));
        else if (entry.is_directory())
            files[name] = "folder";
        else
            files[name] = readBytes(entry.path());
    }
    return files;
}

#ifdef _WIN32
// Windows starts no copy of a running process: the steps that need one are not run there.
std::string outcomeInChild(const std::function<void()>&, const std::function<void()>&)
{
    return kNotPrepared;
}
#else
std::string outcomeInChild(const std::function<void()>& prepare, const std::function<void()>& step)
{
    int channel[2];
    if (::pipe(channel) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        ::close(channel[0]);
        std::string outcome;
        prepare();
        try {
            step();
            outcome = "done";
        } catch (const Failure& failure) {
            outcome = std::string("failure: ") + failure.what();
        } catch (const std::exception& e) {
            outcome = std::string("exception: ") + e.what();
        }
        for (std::size_t at = 0; at < outcome.size();) {
            const ssize_t n = ::write(channel[1], outcome.data() + at, outcome.size() - at);
            if (n <= 0)
                break;
            at += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string outcome;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        outcome.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotPrepare)
        return kNotPrepared;
    if (WIFSIGNALED(status))
        return "ended by signal " + std::to_string(WTERMSIG(status));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "exit status " + std::to_string(WEXITSTATUS(status));
    return outcome;
}

#endif

}  // namespace tavrelo::test
