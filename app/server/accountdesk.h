#pragma once
// AccountDesk: a table server's accounts and ratings kept in its Store. It answers the
// table server's account requests (server/account_book.h): the argon2id work of a
// request (making a hash, checking a password) runs on a pool of threads of its own, away
// from the event loop, while every SQL statement runs on the loop's thread, which owns the
// Store's connection; the answer is handed back on the loop. Sessions are kept in the
// Store, so that servers sharing a database take each other's tokens.
#include <QObject>
#include <QThreadPool>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/account_book.h"

namespace quorbit::store {
class Store;
}

namespace quorbit::serverhost {

class AccountDesk : public QObject, public server::AccountBook {
public:
    using Answer = std::function<void(std::uint64_t serial, const server::AccountAnswer& answer)>;

    AccountDesk(store::Store& store, Answer answer, QObject* parent = nullptr);
    ~AccountDesk() override;  // waits for the hashes in hand; their answers are dropped

    void ask(const server::AccountRequest& request) override;
    bool registered(std::string_view name) override;
    std::optional<server::PersonRatings> ratings(std::string_view name) override;
    std::vector<server::LeaderRow> top(protocol::accounts::RatingModel model, int count) override;
    std::optional<server::PersonHistory> history(std::string_view name, int count) override;

private:
    void registerAccount(const server::AccountRequest& r);
    void login(const server::AccountRequest& r);
    void resume(const server::AccountRequest& r);
    // A password change or a deletion: both check the password first.
    void withPassword(const server::AccountRequest& r);
    // Runs `work` on the pool, then `then` with its result on this object's thread.
    template <typename R>
    void offLoop(std::function<R()> work, std::function<void(const R&)> then);
    // The answer, handed over from the event loop (never from within ask()).
    void reply(std::uint64_t serial, server::AccountAnswer answer);
    void refuse(std::uint64_t serial, std::string_view text);
    void loggedIn(std::uint64_t serial, const std::string& name);
    // How long the request's name and address must still wait after failures (0: none).
    std::int64_t throttled(const server::AccountRequest& r);

    store::Store& store_;
    Answer answer_;
    QThreadPool pool_;
};

}  // namespace quorbit::serverhost
