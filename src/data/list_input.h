#pragma once
// List input: the field-by-field reading of every text file the program reads.
//
// The file is one stream of fields. A field ends at a comma, a line end (CR LF, lone LF or
// lone CR) or the end of the file, and that comma or line end is consumed with it. Blanks
// (spaces, tabs) before a field are skipped. A field that starts with a double quote runs to
// the next double quote, commas and line ends included; anything between the closing quote
// and the comma or line end after it is dropped. An unquoted field is the text up to the next
// comma or line end, without trailing blanks. Lines are not records: a reader takes the next
// fields of the stream wherever the line ends fall.

#include "data/file_io.h"
#include "data/value.h"

#include <filesystem>
#include <string>

namespace tavrelo {

struct Field {
    std::string text;
    bool quoted = false;
};

class ListReader {
public:
    explicit ListReader(const std::filesystem::path& path) : file_(path) {}

    // True when no character is left to read. Asked before a record, never between the
    // fields of one.
    bool atEnd() { return file_.atEnd(); }

    // Reads the next field into `field`. False when the file has no character left, that is
    // when a field is asked for past the end of the data.
    bool readField(Field& field);

    const std::string& name() const { return file_.name(); }

private:
    void consumeLineEnd(int c);

    InputFile file_;
};

// A field read into a text target: its text.
inline const std::string& textOf(const Field& field) { return field.text; }

// A field read into a value target: a number when unquoted and it reads as a decimal number
// ('.' the only separator), empty when unquoted and empty, a text otherwise.
Value valueOf(const Field& field);

}  // namespace tavrelo
