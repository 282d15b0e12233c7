#pragma once
// What a numeric field of a file holds once read: a number, a text (a field that is quoted
// or does not read as a number), or empty. Empty counts as 0 in arithmetic.

#include <string>

namespace tavrelo {

struct Value {
    enum class Kind { Empty, Number, Text };

    Kind kind = Kind::Empty;
    double number = 0.0;  // when kind is Number
    std::string text;     // when kind is Text: the field's bytes as read

    static Value makeNumber(double n) { return Value{Kind::Number, n, {}}; }
    static Value makeText(std::string t) { return Value{Kind::Text, 0.0, std::move(t)}; }

    bool isEmpty() const { return kind == Kind::Empty; }
    bool isNumber() const { return kind == Kind::Number; }
    bool isText() const { return kind == Kind::Text; }

    // The value for arithmetic: the number, 0 for empty; nothing for a text.
    bool arithmetic(double& out) const
    {
        if (kind == Kind::Text)
            return false;
        out = number;
        return true;
    }
};

// The print form of a value: a number as " 12.5 " or "-12.5 ", a text as held, empty as
// nothing.
void appendPrintForm(std::string& out, const Value& value);

}  // namespace tavrelo
