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
#include <string_view>

namespace tavrelo {

struct Field {
    std::string text;
    bool quoted = false;
};

// A field as the reader holds it: its text stays valid until the next read from the reader.
struct FieldView {
    std::string_view text;
    bool quoted = false;
    // For a field that readFields was asked to read as a number and that it could read on the
    // way (a plain decimal): true, and the number, as readDecimalNumber gives it.
    bool hasNumber = false;
    double number = 0.0;
};

class ListReader {
public:
    explicit ListReader(const PathName& path) : file_(path) {}

    // True when no character is left to read. Asked before a record, never between the
    // fields of one.
    bool atEnd() { return file_.atEnd(); }

    // Reads the next field into `field`. False when the file has no character left, that is
    // when a field is asked for past the end of the data.
    bool readField(Field& field);
    // The same without copying: most fields are seen where they lie in the read buffer.
    bool readField(FieldView& field);

    // Reads the next `count` fields (at most kMaxFields) at once; their texts all stay valid
    // until the next read. Field i is also read as a number on the way when bit i of
    // `numberFields` is set. Returns how many were read: fewer than `count` when the data ends.
    static constexpr int kMaxFields = 5;
    int readFields(FieldView* fields, int count, unsigned numberFields = 0);

    const std::string& name() const { return file_.name(); }

private:
    std::string_view readQuoted();
    std::string_view readUnquotedAcrossBlocks(std::string_view start);

    InputFile file_;
    std::string held_;  // a field's text that does not lie whole in the read buffer
    std::string heldFields_[kMaxFields];  // the texts of readFields when not all lie in it
};

// A field read into a text target: its text.
inline const std::string& textOf(const Field& field) { return field.text; }

// A field read into a value target: a number when unquoted and it reads as a decimal number
// ('.' the only separator), empty when unquoted and empty, a text otherwise.
Value valueOf(const Field& field);
Value valueOf(const FieldView& field);

}  // namespace tavrelo
