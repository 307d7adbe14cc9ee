#include "protocol/dispatch.h"

#include "protocol/framing.h"

namespace quorbit::protocol {

DispatchResult Dispatcher::dispatch(std::string_view line) const {
    const auto split = splitLine(line);
    if (!split) return DispatchResult::NoName;
    for (const auto& [name, handler] : handlers_) {
        if (name != split->name) continue;
        try {
            handler(split->payload);
        } catch (const ConversionError&) {
            return DispatchResult::Abandoned;
        }
        return DispatchResult::Handled;
    }
    return DispatchResult::Unknown;
}

}  // namespace quorbit::protocol
