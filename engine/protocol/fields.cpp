#include "protocol/fields.h"

namespace quorbit::protocol {

std::string_view FieldReader::nextView() {
    const std::size_t plus = text_.find('+', pos_);
    if (plus == std::string::npos) return {};
    const std::string_view field = std::string_view(text_).substr(pos_, plus - pos_);
    pos_ = plus + 1;
    return field;
}

std::string FieldReader::next() { return std::string(nextView()); }

// Numbers are read in place: most fields are numbers, and a copy of each would cost more
// than reading it.
std::int32_t FieldReader::nextInt() { return strToInt(nextView()); }

std::string joinedFields(std::string_view name, std::initializer_list<std::string> fields) {
    std::string text(name);
    for (const std::string& f : fields) {
        text += '+';
        text += f;
    }
    text += '+';
    return text;
}
}  // namespace quorbit::protocol
