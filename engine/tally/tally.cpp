#include "tally/tally.h"

#include "common/numbers.h"

namespace quorbit::tally {
namespace {

Row zeroRow() {
    Row r;
    r.fill("0");
    return r;
}

}  // namespace

Tally::Tally() : grid_{zeroRow()} {
    for (std::size_t n = 1; n <= 4; ++n) mylabels_[n] = "0";
    for (std::size_t n = 1; n <= 8; ++n) labels_[n] = "0";
}

void Tally::setGrid(Grid grid) {
    grid_ = std::move(grid);
    if (grid_.empty()) grid_.push_back(zeroRow());
    ++revision_;
}

void Tally::loadtally() {
    for (int c = 1; c <= 3; ++c) mylabels_[static_cast<std::size_t>(c)] = grid_[0][static_cast<std::size_t>(c)];
    if (!grid_[0][5].empty()) mylabels_[4] = grid_[0][4] + " (" + grid_[0][5] + ")";
    tallied_.clear();
    for (std::size_t r = 1; r < grid_.size(); ++r) {
        tallied_.push_back({grid_[r][0], true});
        for (std::size_t c = 5; c <= 8; ++c) grid_[r][c] = "0";
    }
    selected_ = -1;
    ++revision_;
}

int Tally::talliedRow(std::string_view name) const {
    for (std::size_t i = 0; i < tallied_.size(); ++i)
        if (tallied_[i].name == name) return static_cast<int>(i) + 1;
    return -1;
}

void Tally::loadchecklist(const std::vector<std::string>& otherPlayers) {
    checklist_.clear();
    for (const auto& name : otherPlayers) checklist_.push_back({name, talliedRow(name) > 0});
    ++revision_;
}

// Adds 1 to a counter cell; a cell that is not a number throws ConversionError.
int Tally::addit(int column, int row) {
    std::string& cell = grid_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
    const int value = strToInt(cell) + 1;
    cell = std::to_string(value);
    ++revision_;
    return value;
}

void Tally::addtomineincrease(int column) {
    if (!counting() || column < 1 || column >= kColumns) return;
    const int value = addit(column, 0);
    if (column <= 4) mylabels_[static_cast<std::size_t>(column)] = std::to_string(value);
}

void Tally::anotherword(int column) { addtomineincrease(column); }

void Tally::addtomineset(int column, int points, std::string_view word) {
    if (!counting() || column < 1 || column + 1 >= kColumns) return;
    const auto best = toInt(grid_[0][static_cast<std::size_t>(column + 1)]);
    if (!best || *best >= points) return;  // a word worth the same does not replace the best
    grid_[0][static_cast<std::size_t>(column)] = std::string(word);
    grid_[0][static_cast<std::size_t>(column + 1)] = std::to_string(points);
    if (column <= 4) mylabels_[static_cast<std::size_t>(column)] = std::string(word) + " (" + std::to_string(points) + ")";
    ++revision_;
}

void Tally::addgame(std::string_view winner, const std::vector<std::string>& otherPlayers) {
    loadchecklist(otherPlayers);
    if (!counting()) return;
    addtomineincrease(1);
    if (winner == kAddToMine) addtomineincrease(2);
    for (const auto& entry : checklist_) {
        const int row = talliedRow(entry.name);
        if (row < 0) continue;
        for (std::size_t c = 1; c <= 8; ++c)
            if (grid_[static_cast<std::size_t>(row)][c].empty()) grid_[static_cast<std::size_t>(row)][c] = "0";
        addit(1, row);
        addit(5, row);
        if (entry.name == winner) {
            addit(2, row);
            addit(6, row);
        } else if (winner == kAddToMine) {
            addit(3, row);
            addit(7, row);
        } else {
            addit(4, row);
            addit(8, row);
        }
    }
    if (selected_ >= 0) showOpponent();
}

void Tally::follow(int checklistIndex) {
    if (checklistIndex < 0 || checklistIndex >= static_cast<int>(checklist_.size())) return;
    auto& entry = checklist_[static_cast<std::size_t>(checklistIndex)];
    entry.checked = true;  // the box shows whether the player is followed
    ++revision_;
    if (talliedRow(entry.name) > 0) return;
    tallied_.push_back({entry.name, true});
    Row row = zeroRow();
    row[0] = entry.name;
    grid_.push_back(row);
}

std::string Tally::dropQuestion(int index) const {
    if (index < 0 || index >= static_cast<int>(tallied_.size())) return {};
    return "This will delete " + tallied_[static_cast<std::size_t>(index)].name +
           "'s Tally, Are you want to delete it?";
}

void Tally::drop(int index, bool yes) {
    if (index < 0 || index >= static_cast<int>(tallied_.size())) return;
    ++revision_;
    if (!yes) {
        tallied_[static_cast<std::size_t>(index)].checked = true;
        return;
    }
    const std::string name = tallied_[static_cast<std::size_t>(index)].name;
    grid_.erase(grid_.begin() + index + 1);
    tallied_.erase(tallied_.begin() + index);
    for (auto& entry : checklist_)
        if (entry.name == name) entry.checked = false;
    if (selected_ == index) {
        selected_ = -1;
        for (std::size_t n = 1; n <= 8; ++n) labels_[n].clear();
        hisname_.clear();
        hisnametop_.clear();
    } else if (selected_ > index) {
        --selected_;
    }
}

void Tally::select(int index) {
    selected_ = (index >= 0 && index < static_cast<int>(tallied_.size())) ? index : -1;
    showOpponent();
}

void Tally::showOpponent() {
    ++revision_;
    if (selected_ < 0) return;
    const Row& row = grid_[static_cast<std::size_t>(selected_) + 1];
    for (std::size_t n = 1; n <= 8; ++n) labels_[n] = row[n];
    hisname_ = row[0] + " Wins:";
    hisnametop_ = row[0] + "'s Tally";
}

void Tally::reset() {
    grid_.assign(1, zeroRow());
    grid_[0][0].clear();
    tallied_.clear();
    selected_ = -1;
    for (std::size_t n = 1; n <= 4; ++n) mylabels_[n] = "0";
    for (std::size_t n = 1; n <= 8; ++n) labels_[n] = "0";
    for (auto& entry : checklist_) entry.checked = false;
    ++revision_;
}

}  // namespace quorbit::tally
