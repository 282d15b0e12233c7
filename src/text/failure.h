#pragma once
// The one exception type of the core. Its message is Greek UTF-8 text, ready for an
// error box: it names what failed (the file, the record and field where known).

#include <stdexcept>
#include <string>

namespace tavrelo {

class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& message);
};

// A short Greek description of a system error number (errno), for messages.
std::string describeSystemError(int error);

// A path, or a text of a file turned into UTF-8, as it stands in a message: between Greek
// quotation marks, a control character or a byte that is not UTF-8 shown as "?", and a long
// one cut to its first and last 60 characters around "…" (a path keeps its file name).
std::string inQuotes(const std::string& path);

}  // namespace tavrelo
