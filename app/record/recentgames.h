#pragma once
// TrecentGames: the "Recent Games" window. It lists the saved games, newest first, with
// date, players, scores and winner; a game can be replayed in the main window or copied
// as text. A record that cannot be read is listed with the reason instead.
//
// The files are read on a thread of their own, one after the other, and each row is filled
// in as its file has been read: a large or slow file never holds the window.
#include <QDialog>
#include <QString>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class QLabel;
class QTreeWidget;

class TrecentGames : public QDialog {
    Q_OBJECT
public:
    explicit TrecentGames(QWidget* parent = nullptr);
    ~TrecentGames() override;

    void setFolder(const QString& folder) { folder_ = folder; }
    // Lists the folder again; the rows are filled in as their files are read, and
    // refreshed() follows once every row is.
    void refresh();
    bool refreshing() const { return refreshing_; }
    void showOver(QWidget* over);

    QTreeWidget* list() const { return list_games_; }
    QString selectedPath() const;
    // The selected game as text; empty (and the reason shown) when it cannot be read.
    QString selectedSummary();

signals:
    void replayRequested(const QString& path);
    void refreshed();

private:
    struct Row;
    struct Reader {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> stop;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    void fillRow(int generation, int index, const Row& row);
    void stopReaders();

    QTreeWidget* list_games_;
    QLabel* label_message_;
    QString folder_;
    int generation_ = 0;  // which refresh the rows belong to
    bool refreshing_ = false;
    std::vector<Reader> readers_;  // the current one last; earlier ones are told to stop
};
