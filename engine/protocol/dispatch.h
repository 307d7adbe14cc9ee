#pragma once
// Dispatch of a queued line to its handler by exact, case-sensitive name, in the
// receiver's list order. Unknown names and lines without a name are dropped.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "protocol/fields.h"
#include "protocol/names.h"

namespace quorbit::protocol {

// The names each side handles, for tests and fuzzers.
inline constexpr const auto& kServerDispatch = names::kServerHears;
inline constexpr const auto& kClientDispatch = names::kClientHears;

enum class DispatchResult {
    Handled,          // a handler ran to its end
    Abandoned,        // a handler stopped at a field that is not a number
    NoName,           // the line had no "+" or an empty name
    Unknown,          // no handler has that name
};

class Dispatcher {
public:
    using Handler = std::function<void(FieldReader&)>;

    // Handlers are compared in the order they are added.
    void add(std::string_view name, Handler handler) {
        handlers_.emplace_back(std::string(name), std::move(handler));
    }
    DispatchResult dispatch(std::string_view line) const;
    std::size_t size() const { return handlers_.size(); }
    const std::string& nameAt(std::size_t i) const { return handlers_[i].first; }

private:
    std::vector<std::pair<std::string, Handler>> handlers_;
};

}  // namespace quorbit::protocol
