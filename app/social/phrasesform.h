#pragma once
// Tphrases: edits the ten phrases of the phrase buttons. "Done" keeps the edits; closing
// the window by its frame discards them.
#include <QDialog>
#include <array>

class QLineEdit;

class Tphrases : public QDialog {
    Q_OBJECT
public:
    explicit Tphrases(QWidget* parent = nullptr);

    // Copies the buttons' phrases into the fields and shows the window over `over`.
    void showWith(const QStringList& phrases, QWidget* over);
    QStringList fields() const;
    QLineEdit* field(int n) const;  // 1..10

signals:
    void done(const QStringList& phrases);  // "Done" (SelButton8)

private:
    std::array<QLineEdit*, 10> phrase_{};
};
