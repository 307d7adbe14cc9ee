#pragma once
// The lobby's two lists as Qt models over the engine's LobbyModel: the public tables and
// the people online. They are told of each change (apply), so that a view redraws the
// one row that changed; a first listing of many rows is taken in one reset (bulk).
#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <functional>

#include "client/lobby_model.h"

namespace quorbit::lobby {

// Owns the engine's book and the two Qt models that show it.
class LobbyLists : public QObject {
    Q_OBJECT
public:
    explicit LobbyLists(QObject* parent = nullptr);

    // Applies received lines; many at once are shown in one reset of each list.
    // Returns the changes that are not rows (name, ready, chat, table made or refused).
    std::vector<client::LobbyChange> apply(const std::vector<std::string>& lines);
    void clear();

    const client::LobbyModel& book() const { return book_; }
    // The lobby's own server as the Server column shows it for its own tables.
    void setOwnServer(const QString& server);
    QAbstractItemModel* tables() const;
    QAbstractItemModel* people() const;
    // Whether row a comes before row b when the list is sorted by that column: names
    // without regard to case, numbers as numbers. Straight from the book, so that sorting
    // a thousand rows makes no text of them.
    bool tableBefore(int a, int b, int column) const;
    bool personBefore(int a, int b, int column) const;

    // Lines per read from which the lists are reset instead of told row by row.
    static constexpr std::size_t kBulkLines = 64;

signals:
    // A table row was added, changed or taken away (after the change).
    void tablesChanged();

private:
    class Tables;
    class People;
    void before(const client::LobbyChange& c);
    void after(const client::LobbyChange& c);

    client::LobbyModel book_;
    Tables* tables_;
    People* people_;
    bool bulk_ = false;
};

// A list sorted by the order its owner gives (the view's sorting by column header).
class SortedRows : public QSortFilterProxyModel {
public:
    using Before = std::function<bool(int a, int b, int column)>;
    SortedRows(Before before, QObject* parent) : QSortFilterProxyModel(parent), before_(std::move(before)) {}

protected:
    bool lessThan(const QModelIndex& a, const QModelIndex& b) const override {
        return before_(a.row(), b.row(), a.column());
    }

private:
    Before before_;
};

// The columns of the table list.
enum class TableColumn { Name, Players, Watchers, State, PlayTo, Seconds, Zubo, Language, Server, Count };

// A table's language for the list: its name ("French") when this program knows the code,
// else the code.
QString languageName(const std::string& code);
// Where somebody is, as the online list says it.
QString placeText(const client::LobbyPerson& p);

}  // namespace quorbit::lobby
