#pragma once
// The name of every message of the protocol, each spelled once. The builders in
// messages.h write them, the server's and the client's handler tables match them, and
// game records pick lines out by them; no other code writes a "CMD_" text.
#include <array>
#include <string>
#include <string_view>

// The members every message value has, declared once: its name on the wire, its one
// format (the line without its terminator) and its one parse (the payload after the
// name; a field that must be a number and is not throws ConversionError), and equality.
#define QUORBIT_WIRE_MESSAGE(Type, wireName)                             \
    static constexpr std::string_view kName = ::quorbit::protocol::names::wireName; \
    std::string format() const;                                          \
    static Type parse(std::string_view payload);                         \
    friend bool operator==(const Type&, const Type&) = default

namespace quorbit::protocol::names {

// Client to server only.
inline constexpr std::string_view logininfo = "CMD_logininfo";
inline constexpr std::string_view kickhim = "CMD_kickhim";
inline constexpr std::string_view justwatch = "CMD_justwatch";
inline constexpr std::string_view playerdone = "CMD_playerdone";
inline constexpr std::string_view direction = "CMD_direction";
inline constexpr std::string_view shuffle = "CMD_shuffle";

// Both ways.
inline constexpr std::string_view chat = "CMD_chat";
inline constexpr std::string_view action = "CMD_action";
inline constexpr std::string_view startgame = "CMD_startgame";
inline constexpr std::string_view selectletter = "CMD_selectletter";
inline constexpr std::string_view selectclear = "CMD_selectclear";
inline constexpr std::string_view clearletter = "CMD_clearletter";

// Server to client only.
inline constexpr std::string_view sendlogininfo = "CMD_sendlogininfo";
inline constexpr std::string_view newplayerinfo = "CMD_newplayerinfo";
inline constexpr std::string_view havewrongversion = "CMD_havewrongversion";
inline constexpr std::string_view wrongversion = "CMD_wrongversion";
inline constexpr std::string_view existingplayers = "CMD_existingplayers";
inline constexpr std::string_view playerdisconnected = "CMD_playerdisconnected";
inline constexpr std::string_view nextplayer = "CMD_nextplayer";
inline constexpr std::string_view winner = "CMD_winner";
inline constexpr std::string_view full = "CMD_full";
inline constexpr std::string_view justwatching = "CMD_justwatching";
inline constexpr std::string_view theboard = "CMD_theboard";
inline constexpr std::string_view notvalid = "CMD_notvalid";
inline constexpr std::string_view madeword = "CMD_madeword";
inline constexpr std::string_view timeup = "CMD_timeup";
inline constexpr std::string_view gamestats = "CMD_gamestats";
inline constexpr std::string_view moving = "CMD_moving";
inline constexpr std::string_view useshuffle = "CMD_useshuffle";
inline constexpr std::string_view shufflesl = "CMD_shufflesl";
inline constexpr std::string_view bonus = "CMD_bonus";
inline constexpr std::string_view language = "CMD_language";

// The table server. A connection that has not sat down at a table yet may name its
// table or ask for the list of tables; the host of a table is told to every seat.
inline constexpr std::string_view table = "CMD_table";
inline constexpr std::string_view listtables = "CMD_listtables";
inline constexpr std::string_view tableinfo = "CMD_tableinfo";
inline constexpr std::string_view tablesend = "CMD_tablesend";
inline constexpr std::string_view host = "CMD_host";

// The lobby of a table server: people online, the public tables and their changes, the
// lobby's chat, making tables, and private tables reached by their invite code.
inline constexpr std::string_view lobby = "CMD_lobby";
inline constexpr std::string_view lobbychat = "CMD_lobbychat";
inline constexpr std::string_view maketable = "CMD_maketable";
inline constexpr std::string_view invite = "CMD_invite";
inline constexpr std::string_view watchtable = "CMD_watchtable";
inline constexpr std::string_view lobbyname = "CMD_lobbyname";
inline constexpr std::string_view person = "CMD_person";
inline constexpr std::string_view persongone = "CMD_persongone";
inline constexpr std::string_view lobbytable = "CMD_lobbytable";
inline constexpr std::string_view lobbytablegone = "CMD_lobbytablegone";
inline constexpr std::string_view lobbyready = "CMD_lobbyready";
inline constexpr std::string_view lobbysaid = "CMD_lobbysaid";
inline constexpr std::string_view tablemade = "CMD_tablemade";
inline constexpr std::string_view tablerefused = "CMD_tablerefused";
inline constexpr std::string_view tableoptions = "CMD_tableoptions";

// Accounts and ratings (a table server's, before sitting at a table and in the lobby):
// registering a name with a password, logging in to it (or resuming a session), changing
// the password and deleting the account; the ratings of people online, the leaderboard
// and one person's rated games.
inline constexpr std::string_view registeraccount = "CMD_register";
inline constexpr std::string_view login = "CMD_login";
inline constexpr std::string_view resume = "CMD_resume";
inline constexpr std::string_view newpassword = "CMD_newpassword";
inline constexpr std::string_view deleteaccount = "CMD_deleteaccount";
inline constexpr std::string_view leaderboard = "CMD_leaderboard";
inline constexpr std::string_view history = "CMD_history";
inline constexpr std::string_view loggedin = "CMD_loggedin";
inline constexpr std::string_view accountrefused = "CMD_accountrefused";
inline constexpr std::string_view accountdone = "CMD_accountdone";
inline constexpr std::string_view personrating = "CMD_personrating";
inline constexpr std::string_view leader = "CMD_leader";
inline constexpr std::string_view leaderend = "CMD_leaderend";
inline constexpr std::string_view historygame = "CMD_historygame";
inline constexpr std::string_view historyend = "CMD_historyend";
// The account messages a table server hears (before sitting down and in the lobby), the
// rating asks it hears in the lobby, and what it answers.
inline constexpr std::array<std::string_view, 5> kAccountHears = {registeraccount, login, resume, newpassword,
                                                                  deleteaccount};
inline constexpr std::array<std::string_view, 2> kRatingHears = {leaderboard, history};
inline constexpr std::array<std::string_view, 8> kAccountSays = {loggedin, accountrefused, accountdone, personrating,
                                                                 leader, leaderend, historygame, historyend};

// What each side understands, in the order its handler table lists them.
inline constexpr std::array<std::string_view, 12> kServerHears = {
    logininfo, kickhim, chat, action, startgame, justwatch,
    playerdone, direction, selectletter, selectclear, clearletter, shuffle};
inline constexpr std::array<std::string_view, 26> kClientHears = {
    sendlogininfo, chat, action, newplayerinfo, havewrongversion, wrongversion, existingplayers,
    playerdisconnected, startgame, nextplayer, winner, full, justwatching, theboard, notvalid,
    madeword, timeup, gamestats, selectletter, selectclear, moving, clearletter, useshuffle,
    shufflesl, bonus, language};

// What a table server hears from a connection before it sits at a table.
inline constexpr std::array<std::string_view, 7> kLobbyHears = {table, listtables, lobby, lobbychat,
                                                                maketable, invite, watchtable};
// What a table server says beside the messages of a table.
inline constexpr std::array<std::string_view, 13> kTableServerSays = {
    tableinfo, tablesend, host, lobbyname, person, persongone, lobbytable,
    lobbytablegone, lobbyready, lobbysaid, tablemade, tablerefused, tableoptions};

}  // namespace quorbit::protocol::names
