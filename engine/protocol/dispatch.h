#pragma once
// Dispatch of a queued line to its handler by exact, case-sensitive name, in the
// receiver's list order. Unknown names and lines without a name are dropped.
//
// A typed handler (on<M>) is handed the line read as message M (protocol/messages.h): the
// whole line is read before the handler runs, so a field that is not a number abandons the
// line before anything is done. A field handler (add) reads the fields itself.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "protocol/fields.h"
#include "protocol/names.h"

namespace quorbit::protocol {

enum class DispatchResult {
    Handled,          // a handler ran to its end
    Abandoned,        // a field that is not a number stopped the line
    NoName,           // the line had no "+" or an empty name
    Unknown,          // no handler has that name
};

// One entry of a receiver's handler table: a message name beside the member that answers
// it. A table of these pairs cannot bind a name to another's handler by position.
template <typename Receiver>
struct HandlerEntry {
    std::string_view name;
    void (Receiver::*handler)(FieldReader&);
};

class Dispatcher {
public:
    using Handler = std::function<void(FieldReader&)>;

    // Adds a whole handler table, each handler called on `receiver`.
    template <typename Receiver, std::size_t N>
    void add(const std::array<HandlerEntry<Receiver>, N>& table, Receiver& receiver) {
        for (const auto& entry : table) {
            const auto handler = entry.handler;
            add(entry.name, [&receiver, handler](FieldReader& f) { (receiver.*handler)(f); });
        }
    }

    // Handlers are compared in the order they are added.
    void add(std::string_view name, Handler handler) {
        handlers_.emplace_back(std::string(name), [h = std::move(handler)](std::string_view payload) {
            FieldReader reader(payload);
            h(reader);
        });
    }

    // Message M, by its own name, to `handler(const M&)`.
    template <typename M, typename F>
    void on(F handler) {
        handlers_.emplace_back(std::string(M::kName),
                               [h = std::move(handler)](std::string_view payload) { h(M::parse(payload)); });
    }
    // Message M to a member of `receiver`: on<toserver::Chat>(*this, &TServer::chat).
    template <typename M, typename Receiver>
    void on(Receiver& receiver, void (Receiver::*handler)(const M&)) {
        on<M>([&receiver, handler](const M& m) { (receiver.*handler)(m); });
    }

    DispatchResult dispatch(std::string_view line) const;
    std::size_t size() const { return handlers_.size(); }

private:
    std::vector<std::pair<std::string, std::function<void(std::string_view)>>> handlers_;
};

}  // namespace quorbit::protocol
