#pragma once
// The tally: the local player's own record and a head-to-head record against each
// followed opponent, kept as text cells of a grid of nine columns.
//
// Row 0 is the local player: 1 games, 2 wins, 3 words, 4 best word, 5 its points.
// Rows 1..n are followed opponents: 0 name; 1-4 all-time games together, his wins,
// the local player's wins, wins by somebody else; 5-8 the same four for this session.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quorbit::tally {

inline constexpr int kColumns = 9;
// The winner argument of addgame() when the local player won.
inline constexpr std::string_view kAddToMine = "addtomine";
inline constexpr std::string_view kResetQuestion = "Are you sure you want to reset the Tally?";

using Row = std::array<std::string, kColumns>;
using Grid = std::vector<Row>;

struct CheckEntry {
    std::string name;
    bool checked = false;
};

class Tally {
public:
    Tally();

    // The grid as loaded from the tally file; then call loadtally().
    void setGrid(Grid grid);
    const Grid& grid() const { return grid_; }
    // Fills the labels and the followed list from the grid and zeroes the session columns.
    void loadtally();

    // "Players In Current Game": the other players of the current game, in seat order.
    void loadchecklist(const std::vector<std::string>& otherPlayers);
    const std::vector<CheckEntry>& checklist() const { return checklist_; }
    // "Players Being Tallied": one entry per opponent row, in row order.
    const std::vector<CheckEntry>& listboxTally() const { return tallied_; }

    // A valid word of the local player: anotherword(3), then addtomineset(4, points, word).
    void anotherword(int column);
    void addtomineset(int column, int points, std::string_view word);
    // A finished game; `winner` is kAddToMine or the winner's name.
    void addgame(std::string_view winner, const std::vector<std::string>& otherPlayers);

    // A check box of "Players In Current Game" was clicked: follow that player.
    void follow(int checklistIndex);
    // A check box of "Players Being Tallied" was cleared: the question to ask, then the answer.
    std::string dropQuestion(int index) const;
    void drop(int index, bool yes);
    // An entry of "Players Being Tallied" was selected (-1: none).
    void select(int index);
    int selected() const { return selected_; }
    // "Reset Tally", after the user answered Yes to kResetQuestion.
    void reset();

    // The labels of the window: mylabel(1..4), label(1..8), and the selected opponent's.
    const std::string& mylabel(int n) const { return mylabels_.at(static_cast<std::size_t>(n)); }
    const std::string& label(int n) const { return labels_.at(static_cast<std::size_t>(n)); }
    const std::string& labelHisname() const { return hisname_; }
    const std::string& labelHisnametop() const { return hisnametop_; }

    // Grows whenever anything shown or saved changes.
    unsigned revision() const { return revision_; }

private:
    bool counting() const { return !checklist_.empty(); }
    int addit(int column, int row);
    void addtomineincrease(int column);
    void showOpponent();
    int talliedRow(std::string_view name) const;

    Grid grid_;
    std::vector<CheckEntry> checklist_;
    std::vector<CheckEntry> tallied_;
    std::array<std::string, 5> mylabels_{};
    std::array<std::string, 9> labels_{};
    std::string hisname_, hisnametop_;
    int selected_ = -1;
    unsigned revision_ = 0;
};

}  // namespace quorbit::tally
