#pragma once
// Reading the fields of a message payload.
//
// A field is the text before the next "+"; reading it deletes it and that "+". When no
// "+" is left, the field is empty and nothing is deleted. Numbers use the strict
// text-to-integer conversion: an optional "-" and decimal digits within 32-bit range.
// Anything else throws ConversionError, which abandons the handler at that field.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/numbers.h"

namespace quorbit::protocol {

// Reading moves a position through the payload, so a payload of many fields is read in
// time proportional to its length.
class FieldReader {
public:
    explicit FieldReader(std::string_view payload) : text_(payload) {}

    std::string next();     // the next field, up to "+"
    std::string_view nextView();  // the same, valid until the reader changes or goes
    std::int32_t nextInt(); // the next field as a number (throws ConversionError)
    std::string rest() const { return text_.substr(pos_); }  // the whole remaining payload (free text)

    // Lists: append "+@", then read groups of fields while atListEnd() is false.
    void beginList() { text_ += "+@"; }
    bool atListEnd() const { return text_.compare(pos_, std::string::npos, "@") == 0; }

private:
    std::string text_;
    std::size_t pos_ = 0;  // start of the remaining payload
};

// Writing: a message's name and its fields, each followed by "+"; a yes/no field is "t" or "f".
std::string joinedFields(std::string_view name, std::initializer_list<std::string> fields);
inline std::string_view flagField(bool on) { return on ? "t" : "f"; }

}  // namespace quorbit::protocol
