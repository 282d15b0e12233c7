#include "data/list_input.h"

#include "text/number_form.h"

namespace tavrelo {

namespace {

bool isBlank(int c) { return c == ' ' || c == '\t'; }

}  // namespace

void ListReader::consumeLineEnd(int c)
{
    // CR LF is one line end; a lone CR or a lone LF is one too.
    if (c == '\r' && file_.peek() == '\n')
        file_.get();
}

bool ListReader::readField(Field& field)
{
    field.text.clear();
    field.quoted = false;
    if (file_.atEnd())
        return false;

    int c = file_.get();
    while (isBlank(c))
        c = file_.get();

    if (c == '"') {
        field.quoted = true;
        for (c = file_.get(); c >= 0 && c != '"'; c = file_.get())
            field.text += static_cast<char>(c);
        // Up to the comma or line end that ends the field; what stands there is dropped.
        if (c == '"')
            c = file_.get();
        while (c >= 0 && c != ',' && c != '\r' && c != '\n')
            c = file_.get();
    } else {
        while (c >= 0 && c != ',' && c != '\r' && c != '\n') {
            field.text += static_cast<char>(c);
            c = file_.get();
        }
        while (!field.text.empty() && isBlank(field.text.back()))
            field.text.pop_back();
    }
    consumeLineEnd(c);
    return true;
}

Value valueOf(const Field& field)
{
    if (field.quoted)
        return Value::makeText(field.text);
    if (field.text.empty())
        return Value{};
    if (const auto number = readDecimalNumber(field.text))
        return Value::makeNumber(*number);
    return Value::makeText(field.text);
}

}  // namespace tavrelo
