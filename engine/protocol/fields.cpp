#include "protocol/fields.h"

namespace quorbit::protocol {

std::string FieldReader::next() {
    const std::size_t plus = text_.find('+', pos_);
    if (plus == std::string::npos) return {};
    std::string field = text_.substr(pos_, plus - pos_);
    pos_ = plus + 1;
    return field;
}

std::int32_t FieldReader::nextInt() { return strToInt(next()); }

}  // namespace quorbit::protocol
