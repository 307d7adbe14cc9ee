#pragma once
// Lobby: the book of a table server's lobby. Who is in the lobby (its members, with the
// lines they sent and not yet served), who is online anywhere on the server and where (the
// people, one per name as names are compared), what the members have been told of the
// public tables and the people, and what changed since.
//
// Names are one namespace across the lobby and every table: the people's book answers
// whether a name is taken, for entering the lobby and for logging in at a table. A lobby
// member who logs in at a table under the member's own name from the same address is one
// person, shown at the table.
//
// Changes are gathered and sent by flush(): each table or person that changed, however
// often, is compared with what the members were told and sent only when it differs. While
// nobody is in the lobby nothing is gathered; the first member to enter has what was told
// rebuilt from the tables and the people as they are.
//
// The other servers' public tables (remote_tables.h) are told to every member as they
// change, and to a newcomer after its first listing (after the ready line, which does not
// count them).
//
// A member's lines are served one per pump tick for the whole lobby, round-robin, as a
// table serves its seats', with the same caps on what may wait.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "protocol/framing.h"
#include "protocol/lobby_messages.h"
#include "server/remote_tables.h"
#include "server/server_output.h"

namespace quorbit::server {

// A table's number, never reused in the life of its TableServer.
using TableId = std::uint64_t;

// Where somebody seated at a table is shown: "playing", "watching" or "private", and the
// public table's name.
struct Whereabouts {
    std::string place;
    std::string table;
};

// What the lobby asks of the server that holds it.
class LobbyHost {
public:
    virtual ~LobbyHost() = default;
    virtual void sendLobby(ConnectionId id, std::string_view bytes) = 0;  // framed bytes
    // A table's line for the lobby; nothing when the table is gone or private.
    virtual std::optional<protocol::lobby::Lobbytable> lobbyLine(TableId table) const = 0;
    virtual std::vector<TableId> publicTables() const = 0;
    virtual Whereabouts whereabouts(TableId table, int seat) const = 0;
    // The ratings line of a registered person (told after the person), or empty.
    virtual std::string ratingLine(const std::string& /*name*/) { return {}; }
};

class Lobby {
public:
    explicit Lobby(LobbyHost& host) : host_(host) {}

    bool empty() const { return members_.empty(); }
    std::size_t memberCount() const { return members_.size(); }
    bool isMember(ConnectionId id) const { return members_.count(id) != 0; }
    const std::string* memberName(ConnectionId id) const;

    // Whether a login under `name` at `seat` of `table` from `address` would take a name
    // that is somebody else's: a lobby member's from another address, or another seat's.
    // A member's name is no clash either for a connection that owns it (`owner`: logged in
    // to the account of that name).
    bool taken(std::string_view name, const std::string& address, TableId table, int seat, bool owner = false) const;

    // Enters connection `id` under `name` (cleaned, with something visible in it), made
    // unique across the lobby and the tables, and sends it the lobby as it is. The name kept.
    // `alsoTaken` says which further names are not free (names of accounts it does not own).
    std::string enter(ConnectionId id, const std::string& address, const std::string& name,
                      const std::function<bool(std::string_view)>& alsoTaken = {});
    void leave(ConnectionId id);  // ignored for a connection that is not a member

    // A seat of `table` logged in under `name`, or its logged-in holder left.
    void seated(TableId table, int seat, const std::string& name);
    void unseated(TableId table, int seat);
    // Something in a table's line may have changed (it may be gone).
    void touched(TableId table);

    // The other servers' public tables, the whole list: the changes go to every member.
    void setRemote(const std::vector<RemoteTable>& tables);
    const RemoteTables& remote() const { return remote_; }

    // A member said `text` (cleaned as a chat line): to every member.
    void said(ConnectionId id, const std::string& text);

    // Queues bytes a member sent. False when the member has sent more than may wait (a line
    // over the framing's limit, or too many lines or bytes unserved): it must be closed.
    bool queue(ConnectionId id, std::string_view bytes);
    // A held member's lines wait (while its account request is out) until it is let go.
    void hold(ConnectionId id, bool held);
    // The next member's next line, round-robin; nothing when no line waits.
    std::optional<std::pair<ConnectionId, std::string>> nextLine();

    // Whether lines wait or changes are to be sent.
    bool hasWork() const { return waitingLines_ != 0 || hasChanges(); }
    bool hasChanges() const { return !members_.empty() && (!dirtyTables_.empty() || !dirtyPeople_.empty()); }
    // A person's ratings may have changed: the members hear the new line if it differs.
    void ratingsChanged(const std::string& name);
    // Sends every change gathered since the last flush to every member.
    void flush();

private:
    struct Member {
        std::string name;
        std::string address;
        protocol::LineCutter cutter;
        std::deque<std::string> lines;
        std::size_t queuedBytes = 0;
        bool held = false;
    };
    struct Person {
        std::optional<ConnectionId> lobby;  // in the lobby under lobbyName
        std::string lobbyName;
        TableId table = 0;  // seated at table, seat, under seatName
        int seat = 0;
        std::string seatName;
        std::string toldName;  // as the members were told; empty: not told
        std::string toldLine;
        std::string toldRating;  // the ratings line told after it; empty: none
    };
    struct ToldTable {
        std::string name;
        std::string line;
    };

    void sendAll(std::string_view message);
    void changed(const std::string& key);  // a person's whereabouts may have changed
    void release(const std::string& key);  // a person lost a place
    void flushTables();
    void flushPeople();
    void rebuild();  // what was told, from scratch, for a lobby that was empty
    void welcome(ConnectionId id, const std::string& name);

    LobbyHost& host_;
    std::map<ConnectionId, Member> members_;
    std::map<std::string, Person> people_;                   // by the name's key
    std::map<std::pair<TableId, int>, std::string> seats_;  // seat -> its holder's key
    std::map<TableId, ToldTable> told_;                     // public tables as told
    RemoteTables remote_;                                   // other servers' tables, as told
    std::set<TableId> dirtyTables_;
    std::set<std::string> dirtyPeople_;
    std::size_t waitingLines_ = 0;
    std::optional<ConnectionId> lastServed_;
};

}  // namespace quorbit::server
