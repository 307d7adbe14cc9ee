#pragma once
// The lobby's account dialogs: logging in, registering (the password asked twice),
// changing the password (the new one asked twice) and deleting the account (the password,
// then a confirmation). Password fields are masked; a dialog's OK stays off until what it
// asks for is there, and the reason shows under the fields.
#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace quorbit::lobby {

class AccountDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { LogIn, Register, ChangePassword, Delete };
    AccountDialog(Kind kind, QWidget* parent = nullptr);

    void setName(const QString& name);
    QString name() const;
    // The password to log in or register with, the old one when changing, the one that
    // deletes.
    QString password() const;
    QString newPassword() const;
    Kind kind() const { return kind_; }
    // Deletion asks once more before it is accepted.
    void accept() override;

    static constexpr int kMinPassword = 8;
    static constexpr int kMaxPassword = 256;

private:
    QLineEdit* field(const char* name, bool masked);
    void check();

    Kind kind_;
    QLineEdit* edit_account = nullptr;
    QLineEdit* edit_password = nullptr;
    QLineEdit* edit_newpassword = nullptr;
    QLineEdit* edit_again = nullptr;
    QLabel* label_problem = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace quorbit::lobby
