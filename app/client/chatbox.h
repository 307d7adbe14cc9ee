#pragma once
// The chat box (mainchat) and the entry field (mychat).
//
// The chat box is read-only rich text: each line in one colour, its head up to the first
// ":" in bold. With "Scroll Chat Off" a new line keeps the view and the caret where they
// were. Links found in the text show a hand cursor and open with a left click, once the
// user has confirmed the whole address: web addresses and Quorbit invite links. The box keeps the last kMaxChatLines lines.
#include <QColor>
#include <QLineEdit>
#include <QTextEdit>
#include <functional>

class QMenu;
class QAction;

namespace quorbit::app {

inline constexpr int kMaxChatLines = 2000;

class ChatBox : public QTextEdit {
    Q_OBJECT
public:
    explicit ChatBox(QWidget* parent = nullptr);

    void addlinetochat(const QString& text, const QColor& colour);
    void clearChat();

    bool scrollFrozen() const { return scrollFrozen_; }
    void setScrollFrozen(bool on);

    void setChatFont(int points);
    int chatFontSize() const { return fontSize_; }
    // The window's scale: the chat's text is drawn at its size times this.
    void setZoom(qreal zoom);

    // The link under a viewport point, empty when there is none.
    QString linkAt(const QPoint& viewportPos) const;

    QMenu* popup() const { return popup_; }
    QAction* scrollChatOffAction() const { return scrollChatOff_; }

    // Asking before a link opens; tests replace it. By default a Yes/No box "Open this
    // link?" that shows the whole address.
    std::function<bool(const QString&)> confirmLink;
    // Opening a link; tests replace it. By default the desktop's handler opens a web
    // address, and a Quorbit invite link (quorbit://...) is handed on as inviteLinkOpened.
    std::function<void(const QString&)> openLink;

signals:
    void inviteLinkOpened(const QString& link);
    void scrollFrozenChanged(bool on);
    void clearRequested();
    void focusEntry();

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    bool scrollFrozen_ = false;
    int fontSize_ = 8;
    qreal zoom_ = 1;
    QMenu* popup_ = nullptr;
    QAction* scrollChatOff_ = nullptr;
};

// The one-line entry field. Its first text is the placeholder "<Enter Chat Here>", which
// the first key typed replaces; Enter hands the text over and is swallowed.
class ChatEntry : public QLineEdit {
    Q_OBJECT
public:
    explicit ChatEntry(QWidget* parent = nullptr);
    void paste();  // the whole text becomes the clipboard's text, when it holds text
    QMenu* popup() const { return popup_; }

signals:
    void sendRequested(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    QMenu* popup_ = nullptr;
};

}  // namespace quorbit::app
