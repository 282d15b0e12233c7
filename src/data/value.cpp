#include "data/value.h"

#include "text/number_form.h"

namespace tavrelo {

void appendPrintForm(std::string& out, const Value& value)
{
    switch (value.kind) {
    case Value::Kind::Number: appendPrintForm(out, value.number); break;
    case Value::Kind::Text: out += value.text; break;
    case Value::Kind::Empty: break;
    }
}

}  // namespace tavrelo
