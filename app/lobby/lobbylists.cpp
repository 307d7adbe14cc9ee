#include "app/lobby/lobbylists.h"

#include <algorithm>

#include "language/language.h"

namespace quorbit::lobby {
namespace {

using Kind = client::LobbyChange::Kind;

QString rowText(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A tooltip shows rich text when it looks like some: a name from the server is shown as
// the characters it is, never as markup.
QString plainTip(const QString& plain) { return "<qt>" + plain.toHtmlEscaped() + "</qt>"; }

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
// ASCII letters without regard to case, then byte order; equal texts by their case.
bool sortsBefore(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return static_cast<unsigned char>(lowerAscii(a[i])) < static_cast<unsigned char>(lowerAscii(b[i]));
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace

QString languageName(const std::string& code) {
    const language::Language* l = language::find(code);
    if (code.empty()) return "English";
    return l ? rowText(std::string(l->name)) : rowText(code);
}

QString placeText(const client::LobbyPerson& p) {
    if (p.place == "lobby") return "in the lobby";
    if (p.place == "playing") return "playing at " + rowText(p.table);
    if (p.place == "watching") return "watching " + rowText(p.table);
    if (p.place == "private") return "at a private table";
    return rowText(p.place);
}

// A list drawn from the lobby's book, told of its changes a row at a time.
class BookList : public QAbstractTableModel {
public:
    BookList(const client::LobbyModel& book, QObject* parent) : QAbstractTableModel(parent), book_(book) {}
    void changed(int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); }
    using QAbstractTableModel::beginInsertRows;
    using QAbstractTableModel::beginRemoveRows;
    using QAbstractTableModel::beginResetModel;
    using QAbstractTableModel::endInsertRows;
    using QAbstractTableModel::endRemoveRows;
    using QAbstractTableModel::endResetModel;

protected:
    const client::LobbyModel& book_;
};

// The public tables, one row each, in the book's order.
class LobbyLists::Tables : public BookList {
public:
    using BookList::BookList;
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(book_.tables().size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(TableColumn::Count);
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        static const char* const kHeads[] = {"Table", "Players", "Watchers", "Game", "Play to", "Seconds", "Zubo",
                                             "Language", "Server"};
        if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
            section >= static_cast<int>(TableColumn::Count))
            return {};
        return QString(kHeads[section]);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) return {};
        const client::LobbyTable& t = book_.tables()[static_cast<std::size_t>(index.row())];
        const auto column = static_cast<TableColumn>(index.column());
        if (role == Qt::TextAlignmentRole && column != TableColumn::Name)
            return QVariant(Qt::AlignCenter);
        if (role == Qt::ToolTipRole && (column == TableColumn::Name || column == TableColumn::Server))
            return plainTip(data(index, Qt::DisplayRole).toString());
        if (role != Qt::DisplayRole) return {};
        switch (column) {
            case TableColumn::Name: return t.name.empty() ? QString("(the server's own table)") : rowText(t.name);
            case TableColumn::Players: return QString("%1 of 4").arg(t.players);
            case TableColumn::Watchers: return t.watchers;
            case TableColumn::State: return t.running ? QString("running") : QString("waiting");
            case TableColumn::PlayTo: return t.playTo > 0 ? QVariant(t.playTo) : QVariant(QString("-"));
            case TableColumn::Seconds: return t.seconds > 0 ? QVariant(t.seconds) : QVariant(QString("-"));
            case TableColumn::Zubo: return rowText(t.zubo);
            case TableColumn::Language: return languageName(t.language);
            case TableColumn::Server: return t.server.empty() ? ownServer : rowText(t.server);
            case TableColumn::Count: break;
        }
        return {};
    }
    QString ownServer;
};

// The people online: name and where they are.
class LobbyLists::People : public BookList {
public:
    using BookList::BookList;
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(book_.people().size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 3; }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o != Qt::Horizontal) return {};
        if (role == Qt::ToolTipRole && section == 2) return QString("The rating of two-player games");
        if (role != Qt::DisplayRole) return {};
        return section == 0 ? QString("Name") : section == 1 ? QString("Where") : QString("Rating");
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) return {};
        const client::LobbyPerson& p = book_.people()[static_cast<std::size_t>(index.row())];
        if (role == Qt::FontRole && index.column() == 0 && p.name == book_.ownName()) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        if (index.column() == 2) return rating(p, role);
        const QString shown = index.column() == 0 ? rowText(p.name) : placeText(p);
        if (role == Qt::ToolTipRole) return plainTip(shown);
        return role == Qt::DisplayRole ? QVariant(shown) : QVariant();
    }

private:
    // The duel rating in the column; both ratings and the games in its tooltip. A guest
    // has none.
    QVariant rating(const client::LobbyPerson& p, int role) const {
        const client::PersonRating* r = book_.rating(p.name);
        if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignCenter);
        if (!r) return role == Qt::ToolTipRole ? QVariant(QString("A guest: not rated")) : QVariant();
        if (role == Qt::DisplayRole) return r->duel.empty() ? QString("-") : rowText(r->duel);
        if (role != Qt::ToolTipRole) return {};
        return QString("Two players: %1\nThree or more: %2\n%3 rated games")
            .arg(r->duel.empty() ? QString("not yet rated") : rowText(r->duel),
                 r->group.empty() ? QString("not yet rated") : rowText(r->group))
            .arg(r->games);
    }
};

LobbyLists::LobbyLists(QObject* parent)
    : QObject(parent), tables_(new Tables(book_, this)), people_(new People(book_, this)) {
    book_.beforeRowsMove = [this](const client::LobbyChange& c) { before(c); };
}

QAbstractItemModel* LobbyLists::tables() const { return tables_; }

void LobbyLists::setOwnServer(const QString& server) {
    tables_->ownServer = server;
    if (tables_->rowCount() > 0)
        emit tables_->dataChanged(tables_->index(0, static_cast<int>(TableColumn::Server)),
                                  tables_->index(tables_->rowCount() - 1, static_cast<int>(TableColumn::Server)));
}

bool LobbyLists::tableBefore(int a, int b, int column) const {
    const client::LobbyTable& x = book_.tables()[static_cast<std::size_t>(a)];
    const client::LobbyTable& y = book_.tables()[static_cast<std::size_t>(b)];
    auto byName = [&] { return sortsBefore(x.name, y.name); };
    auto number = [&](int p, int q) { return p != q ? p < q : byName(); };
    switch (static_cast<TableColumn>(column)) {
        case TableColumn::Players: return number(x.players, y.players);
        case TableColumn::Watchers: return number(x.watchers, y.watchers);
        case TableColumn::State: return number(x.running, y.running);
        case TableColumn::PlayTo: return number(x.playTo, y.playTo);
        case TableColumn::Seconds: return number(x.seconds, y.seconds);
        case TableColumn::Zubo: return x.zubo != y.zubo ? sortsBefore(x.zubo, y.zubo) : byName();
        case TableColumn::Language: return x.language != y.language ? sortsBefore(x.language, y.language) : byName();
        case TableColumn::Server: return x.server != y.server ? sortsBefore(x.server, y.server) : byName();
        default: return byName();
    }
}

bool LobbyLists::personBefore(int a, int b, int column) const {
    const client::LobbyPerson& x = book_.people()[static_cast<std::size_t>(a)];
    const client::LobbyPerson& y = book_.people()[static_cast<std::size_t>(b)];
    if (column == 2) {
        // Rated people by their duel rating, highest last in ascending order; guests first.
        const client::PersonRating* rx = book_.rating(x.name);
        const client::PersonRating* ry = book_.rating(y.name);
        const double dx = rx && !rx->duel.empty() ? std::stod(rx->duel) : -1e9;
        const double dy = ry && !ry->duel.empty() ? std::stod(ry->duel) : -1e9;
        if (dx != dy) return dx < dy;
    }
    if (column == 1 && (x.place != y.place || x.table != y.table))
        return x.place != y.place ? sortsBefore(x.place, y.place) : sortsBefore(x.table, y.table);
    return sortsBefore(x.name, y.name);
}
QAbstractItemModel* LobbyLists::people() const { return people_; }

void LobbyLists::before(const client::LobbyChange& c) {
    if (bulk_) return;
    const int row = static_cast<int>(c.row);
    switch (c.kind) {
        case Kind::TableAdded: tables_->beginInsertRows({}, row, row); break;
        case Kind::TableGone: tables_->beginRemoveRows({}, row, row); break;
        case Kind::PersonAdded: people_->beginInsertRows({}, row, row); break;
        case Kind::PersonGone: people_->beginRemoveRows({}, row, row); break;
        default: break;
    }
}

void LobbyLists::after(const client::LobbyChange& c) {
    if (bulk_) return;
    const int row = static_cast<int>(c.row);
    switch (c.kind) {
        case Kind::TableAdded: tables_->endInsertRows(); break;
        case Kind::TableGone: tables_->endRemoveRows(); break;
        case Kind::TableChanged: tables_->changed(row); break;
        case Kind::PersonAdded: people_->endInsertRows(); break;
        case Kind::PersonGone: people_->endRemoveRows(); break;
        case Kind::PersonChanged:
        case Kind::Rated: people_->changed(row); break;
        default: break;
    }
}

std::vector<client::LobbyChange> LobbyLists::apply(const std::vector<std::string>& lines) {
    std::vector<client::LobbyChange> others;
    bulk_ = lines.size() >= kBulkLines;
    if (bulk_) {
        tables_->beginResetModel();
        people_->beginResetModel();
    }
    bool tablesMoved = false;
    for (const std::string& line : lines) {
        client::LobbyChange c = book_.apply(line);
        after(c);
        switch (c.kind) {
            case Kind::None: break;
            case Kind::TableAdded:
            case Kind::TableChanged:
            case Kind::TableGone: tablesMoved = true; break;
            case Kind::PersonAdded:
            case Kind::PersonChanged:
            case Kind::PersonGone:
            case Kind::Rated: break;
            case Kind::Named:
                // The player's own row is shown in bold.
                if (const long row = book_.personRow(c.name); row >= 0 && !bulk_) people_->changed(static_cast<int>(row));
                others.push_back(std::move(c));
                break;
            default: others.push_back(std::move(c)); break;
        }
    }
    if (bulk_) {
        tables_->endResetModel();
        people_->endResetModel();
        bulk_ = false;
    }
    if (tablesMoved) emit tablesChanged();
    return others;
}

void LobbyLists::clear() {
    tables_->beginResetModel();
    people_->beginResetModel();
    book_.clear();
    tables_->endResetModel();
    people_->endResetModel();
}

}  // namespace quorbit::lobby
