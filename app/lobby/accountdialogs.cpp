#include "app/lobby/accountdialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorbit::lobby {
namespace {

const char* titleOf(AccountDialog::Kind kind) {
    switch (kind) {
        case AccountDialog::Kind::LogIn: return "Log In";
        case AccountDialog::Kind::Register: return "Register";
        case AccountDialog::Kind::ChangePassword: return "Change Password";
        case AccountDialog::Kind::Delete: return "Delete Account";
    }
    return "";
}

QString lengthProblem(const QString& password) {
    if (password.size() < AccountDialog::kMinPassword || password.size() > AccountDialog::kMaxPassword)
        return "A password has 8 to 256 characters.";
    return {};
}

}  // namespace

AccountDialog::AccountDialog(Kind kind, QWidget* parent) : QDialog(parent), kind_(kind) {
    setObjectName("dialog_account");
    setWindowTitle(titleOf(kind));
    auto* form = new QFormLayout;
    auto addRow = [&](const QString& label, QLineEdit* edit) {
        auto* l = new QLabel(label, this);
        l->setBuddy(edit);
        form->addRow(l, edit);
    };
    if (kind == Kind::LogIn || kind == Kind::Register) {
        edit_account = field("edit_account", false);
        edit_account->setMaxLength(24);
        addRow("&Name:", edit_account);
    }
    edit_password = field("edit_password", true);
    addRow(kind == Kind::ChangePassword ? "&Old password:" : "&Password:", edit_password);
    if (kind == Kind::ChangePassword) {
        edit_newpassword = field("edit_newpassword", true);
        addRow("&New password:", edit_newpassword);
    }
    if (kind == Kind::Register || kind == Kind::ChangePassword) {
        edit_again = field("edit_again", true);
        addRow("&Again:", edit_again);
    }
    label_problem = new QLabel(this);
    label_problem->setObjectName("label_problem");
    label_problem->setTextFormat(Qt::PlainText);
    label_problem->setStyleSheet("color: #b00020;");
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(titleOf(kind));
    buttons_->button(QDialogButtonBox::Ok)->setObjectName("button_ok");
    connect(buttons_, &QDialogButtonBox::accepted, this, &AccountDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &AccountDialog::reject);
    auto* layout = new QVBoxLayout(this);
    if (kind == Kind::Delete) {
        auto* warning = new QLabel("Deleting your account takes away its ratings and its name. "
                                   "Type your password to delete it.", this);
        warning->setWordWrap(true);
        layout->addWidget(warning);
    }
    layout->addLayout(form);
    layout->addWidget(label_problem);
    layout->addWidget(buttons_);
    check();
}

QLineEdit* AccountDialog::field(const char* name, bool masked) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    if (masked) {
        e->setEchoMode(QLineEdit::Password);
        e->setMaxLength(kMaxPassword);
    }
    e->setAccessibleName(QString(name).mid(5));
    connect(e, &QLineEdit::textChanged, this, &AccountDialog::check);
    return e;
}

void AccountDialog::setName(const QString& name) {
    if (edit_account) edit_account->setText(name);
    if (edit_account && !name.isEmpty()) edit_password->setFocus();
}

QString AccountDialog::name() const { return edit_account ? edit_account->text().trimmed() : QString(); }
QString AccountDialog::password() const { return edit_password->text(); }
QString AccountDialog::newPassword() const { return edit_newpassword ? edit_newpassword->text() : QString(); }

void AccountDialog::check() {
    QString problem;
    if (edit_account && edit_account->text().trimmed().isEmpty())
        problem = "Type the account's name.";
    else if (kind_ != Kind::LogIn && kind_ != Kind::ChangePassword && !password().isEmpty())
        problem = lengthProblem(password());
    else if (password().isEmpty())
        problem = "Type the password.";
    if (problem.isEmpty() && kind_ == Kind::ChangePassword) problem = lengthProblem(newPassword());
    if (problem.isEmpty() && edit_again && edit_again->text() != (kind_ == Kind::Register ? password() : newPassword()))
        problem = "The two passwords differ.";
    label_problem->setText(problem);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(problem.isEmpty());
}

void AccountDialog::accept() {
    if (!buttons_->button(QDialogButtonBox::Ok)->isEnabled()) return;
    if (kind_ == Kind::Delete &&
        QMessageBox::question(this, "Delete Account", "Delete your account and its ratings for good?",
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    QDialog::accept();
}

}  // namespace quorbit::lobby
