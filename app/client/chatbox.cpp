#include "app/client/chatbox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QMessageBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

#include "social/links.h"
#include "social/chat_rules.h"

namespace quorbit::app {

ChatBox::ChatBox(QWidget* parent) : QTextEdit(parent) {
    setObjectName("mainchat");
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor(0xF2, 0xF9, 0xFF));  // pale blue
    pal.setColor(QPalette::Text, Qt::black);
    // The selection stays visible when the box loses focus.
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);
    setChatFont(8);
    document()->setDocumentMargin(3);

    popup_ = new QMenu(this);
    popup_->setObjectName("popup_mainchat");
    QAction* copy = popup_->addAction("Copy", this, &QTextEdit::copy);
    copy->setObjectName("Copy1");
    copy->setShortcut(QKeySequence("Ctrl+C"));
    popup_->addAction("Clear Main Chat", this, [this] { emit clearRequested(); })->setObjectName("ClearMainChat1");
    popup_->addSeparator();
    scrollChatOff_ = popup_->addAction("Scroll Chat Off");
    scrollChatOff_->setObjectName("ScrollChatOff1");
    scrollChatOff_->setCheckable(true);
    scrollChatOff_->setShortcut(QKeySequence("Ctrl+S"));
    scrollChatOff_->setShortcutContext(Qt::WidgetShortcut);
    connect(scrollChatOff_, &QAction::triggered, this, [this] { setScrollFrozen(!scrollFrozen_); });

    document()->setMaximumBlockCount(kMaxChatLines);
    confirmLink = [this](const QString& link) {
        // Plain text, with any format character shown: the address reads as what opens.
        QMessageBox question(QMessageBox::Question, "Quorbit",
                             "Open this link?\n\n" +
                                 QString::fromStdString(social::showFormatCharactersNearLinks(link.toStdString())),
                             QMessageBox::Yes | QMessageBox::No, this);
        question.setTextFormat(Qt::PlainText);
        question.setDefaultButton(QMessageBox::No);
        return question.exec() == QMessageBox::Yes;
    };
    openLink = [this](const QString& link) {
        if (link.startsWith(QString::fromUtf8(social::kInviteLinkPrefix.data()), Qt::CaseInsensitive)) {
            emit inviteLinkOpened(link);
            return;
        }
        const QUrl url = QUrl::fromUserInput(link);
        if (url.isValid() && (url.scheme() == "http" || url.scheme() == "https")) QDesktopServices::openUrl(url);
    };
}

void ChatBox::setChatFont(int points) {
    fontSize_ = points;
    QFont f("DejaVu Sans");
    f.setPointSizeF((points > 0 ? points : 8) * zoom_);
    setFont(f);
    document()->setDefaultFont(f);
}

void ChatBox::setZoom(qreal zoom) {
    zoom_ = zoom;
    setChatFont(fontSize_);
}

void ChatBox::setScrollFrozen(bool on) {
    scrollFrozen_ = on;
    scrollChatOff_->setChecked(on);
    emit scrollFrozenChanged(on);
}

void ChatBox::addlinetochat(const QString& text, const QColor& colour) {
    setUpdatesEnabled(false);
    QScrollBar* bar = verticalScrollBar();
    const int keptScroll = bar->value();
    const QTextCursor keptCaret = textCursor();

    // In a line with a link, bidirectional and other invisible format characters are
    // shown as marks, so a link cannot read as another address.
    const std::string utf8 = social::showFormatCharactersNearLinks(text.toStdString());
    const std::size_t headBytes = social::headLength(utf8);
    const QString head = QString::fromStdString(utf8.substr(0, headBytes));
    const QString rest = QString::fromStdString(utf8.substr(headBytes));

    QTextCursor c(document());
    c.movePosition(QTextCursor::End);
    if (!document()->isEmpty()) c.insertBlock();
    QTextCharFormat fmt;
    fmt.setForeground(colour);
    fmt.setFontWeight(QFont::Bold);
    if (!head.isEmpty()) c.insertText(head, fmt);
    fmt.setFontWeight(QFont::Normal);
    c.insertText(rest, fmt);

    if (scrollFrozen_) {
        setTextCursor(keptCaret);
        bar->setValue(keptScroll);
    } else {
        QTextCursor end(document());
        end.movePosition(QTextCursor::End);
        setTextCursor(end);
        bar->setValue(bar->maximum());
    }
    setUpdatesEnabled(true);
    viewport()->update();
}

void ChatBox::clearChat() {
    clear();
    emit focusEntry();
}

QString ChatBox::linkAt(const QPoint& viewportPos) const {
    const QTextCursor c = cursorForPosition(viewportPos);
    // cursorForPosition snaps to the nearest character: a point beyond the line's text,
    // or below the last line, is no link.
    const QRect r = cursorRect(c);
    if (viewportPos.y() > r.bottom() + 1 || viewportPos.y() < r.top() - 1) return {};
    const QString plain = toPlainText();
    int index = c.position();
    const QTextBlock block = c.block();
    if (index >= block.position() + block.length() - 1) {
        // Past the end of the line: only the last character itself counts, when the point
        // lies on it.
        if (index == 0) return {};
        index -= 1;
        if (viewportPos.x() > r.right() + 1) return {};
    }
    const std::string text = plain.toStdString();
    const std::string before = plain.left(index).toStdString();  // character index as byte index
    auto link = social::linkAt(text, before.size());
    return link ? QString::fromStdString(*link) : QString();
}

void ChatBox::mouseMoveEvent(QMouseEvent* e) {
    viewport()->setCursor(linkAt(e->position().toPoint()).isEmpty() ? Qt::IBeamCursor : Qt::PointingHandCursor);
    QTextEdit::mouseMoveEvent(e);
}

void ChatBox::mousePressEvent(QMouseEvent* e) {
    QTextEdit::mousePressEvent(e);
    if (e->button() != Qt::LeftButton) return;
    const QString link = linkAt(e->position().toPoint());
    if (link.isEmpty()) return;
    // Select the link in the box, then hand it to the desktop.
    const QString plain = toPlainText();
    const QTextCursor at = cursorForPosition(e->position().toPoint());
    const int from = plain.lastIndexOf(link, at.position());
    if (from >= 0) {
        QTextCursor sel(document());
        sel.setPosition(from);
        sel.setPosition(from + static_cast<int>(link.size()), QTextCursor::KeepAnchor);
        setTextCursor(sel);
    }
    if (confirmLink && !confirmLink(link)) return;
    if (openLink) openLink(link);
}

void ChatBox::mouseReleaseEvent(QMouseEvent* e) {
    QTextEdit::mouseReleaseEvent(e);
    emit focusEntry();
}

void ChatBox::contextMenuEvent(QContextMenuEvent* e) { popup_->exec(e->globalPos()); }

ChatEntry::ChatEntry(QWidget* parent) : QLineEdit(parent) {
    setObjectName("mychat");
    QFont f("DejaVu Sans");  // the entry field's 13-pixel font
    f.setPixelSize(13);
    setFont(f);
    setText(QString::fromUtf8(social::kChatPlaceholder.data(), static_cast<int>(social::kChatPlaceholder.size())));
    popup_ = new QMenu(this);
    popup_->setObjectName("popup_mychat");
    QAction* paste = popup_->addAction("Paste", this, &ChatEntry::paste);
    paste->setObjectName("Paste1");
    paste->setShortcut(QKeySequence("Ctrl+V"));
}

void ChatEntry::paste() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data && data->hasText()) setText(data->text());
}

void ChatEntry::keyPressEvent(QKeyEvent* e) {
    if (text() == QString::fromUtf8(social::kChatPlaceholder.data(), static_cast<int>(social::kChatPlaceholder.size())))
        clear();
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        emit sendRequested(text());
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        paste();
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void ChatEntry::contextMenuEvent(QContextMenuEvent* e) { popup_->exec(e->globalPos()); }

}  // namespace quorbit::app
