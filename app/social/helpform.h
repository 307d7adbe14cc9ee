#pragma once
// Thelp: the help window ("Quorbit - Help File"), six topic pages behind six buttons.
// Created once at start, shown and hidden on request.
#include <QDialog>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTextBrowser;
class TLbBackground;

class Thelp : public QDialog {
    Q_OBJECT
public:
    explicit Thelp(QWidget* parent = nullptr);

    // Brings page n (1..6) to the front and sets the caption line to its topic; any other
    // number changes nothing.
    void showTopic(int n);
    int currentTopic() const;
    QTextBrowser* memo(int n) const;  // memo1 ... memo6; nullptr outside 1..6

signals:
    // The "About" button. Without a receiver the button shows the program's about window
    // (the top-level Tabout) itself.
    void aboutRequested();

private:
    QLabel* label_caption = nullptr;
    QStackedWidget* pages_ = nullptr;
    QTextBrowser* memos_[6] = {};
    TLbBackground* background_ = nullptr;
};
