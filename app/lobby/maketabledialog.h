#pragma once
// "Make a Table": the new table's name, play-to score, seconds per turn, shuffles, teams,
// Zubo's level, whether it is listed for everybody or reached only by its invite link,
// and its language. The ranges are the game-start dialog's.
#include <QDialog>

#include "client/lobby_model.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace quorbit::lobby {

class MakeTableDialog : public QDialog {
    Q_OBJECT
public:
    explicit MakeTableDialog(QWidget* parent = nullptr);

    client::TableRequest request() const;
    void setTableName(const QString& name);

private:
    QLineEdit* name_;
    QSpinBox* playTo_;
    QSpinBox* seconds_;
    QSpinBox* shuffles_;
    QCheckBox* teams_;
    QComboBox* zubo_;
    QCheckBox* private_;
    QComboBox* language_;
};

}  // namespace quorbit::lobby
