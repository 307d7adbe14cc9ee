#pragma once
// Tabout: created once at start, shown and hidden on request.
#include <QDialog>

class Tabout : public QDialog {
    Q_OBJECT
public:
    explicit Tabout(QWidget* parent = nullptr);
};
