#pragma once
// Tdownload: created once at start, shown and hidden on request.
#include <QDialog>

class Tdownload : public QDialog {
    Q_OBJECT
public:
    explicit Tdownload(QWidget* parent = nullptr);
};
