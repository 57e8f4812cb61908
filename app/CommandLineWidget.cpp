#include "app/CommandLineWidget.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/CommandCompleter.h"
#include "app/CommandProcessor.h"

CommandLineWidget::CommandLineWidget(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(2);
    history_ = new QPlainTextEdit;
    history_->setReadOnly(true);
    history_->setMaximumBlockCount(2000);
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    history_->setFont(mono);
    auto* row = new QHBoxLayout;
    prompt_ = new QLabel;
    prompt_->setFont(mono);
    input_ = new QLineEdit;
    input_->setFont(mono);
    input_->installEventFilter(this);
    completer_ = new CommandCompleter(input_, this);
    row->addWidget(prompt_);
    row->addWidget(input_, 1);
    layout->addWidget(history_, 1);
    layout->addLayout(row);
    connect(input_, &QLineEdit::returnPressed, this, &CommandLineWidget::submit);
    showCommandPrompt();
}

CommandLineWidget::~CommandLineWidget() { cancelPrompt(); }

void CommandLineWidget::cancelPrompt() {
    if (!waiting_) return;
    cancelled_ = true;
    waiting_->quit();
}

void CommandLineWidget::showCommandPrompt() { prompt_->setText("Command:"); }

void CommandLineWidget::print(const TkString& text) {
    QString t = QString::fromStdWString(text);
    history_->moveCursor(QTextCursor::End);
    history_->insertPlainText(t);
    history_->verticalScrollBar()->setValue(history_->verticalScrollBar()->maximum());
}

int CommandLineWidget::prompt(const TkString& text, bool allowSpaces, TkString& answer) {
    TkString pending;
    print(text);
    if (commandProcessor().takePending(pending, allowSpaces)) {
        print(pending);
        answer = pending;
        return RTNORM;
    }
    QString p = QString::fromStdWString(text).trimmed();
    prompt_->setText(p);
    allowSpaces_ = allowSpaces;
    cancelled_ = false;
    QEventLoop loop;
    waiting_ = &loop;
    input_->setCompleter(nullptr);  // an answer is not a command's name
    input_->setFocus();
    loop.exec();
    waiting_ = nullptr;
    input_->setCompleter(completer_);
    showCommandPrompt();
    if (cancelled_) {
        print(L"*Cancel*");
        return RTCAN;
    }
    answer = input_->text().toStdWString();
    input_->clear();
    print(answer);
    return RTNORM;
}

void CommandLineWidget::submit() {
    if (waiting_) {
        waiting_->quit();
        return;
    }
    QString line = input_->text();
    input_->clear();
    if (!line.trimmed().isEmpty()) {
        typed_ << line;
        typedPos_ = typed_.size();
    }
    commandProcessor().run(line.toStdWString());
}

bool CommandLineWidget::focusNextPrevChild(bool next) {
    if (next && input_->hasFocus()) {
        if (!waiting_) completer_->completeTyped();
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

bool CommandLineWidget::eventFilter(QObject* o, QEvent* e) {
    if (o == input_ && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Escape) {
            if (waiting_) {
                cancelPrompt();
            } else {
                input_->clear();
                print(L"\n*Cancel*");
            }
            return true;
        }
        if (k->key() == Qt::Key_Space && waiting_ && !allowSpaces_) {
            waiting_->quit();  // a blank ends a word answer, as Enter does
            return true;
        }
        if (!waiting_ && (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) && !typed_.isEmpty()) {
            typedPos_ = std::clamp(typedPos_ + (k->key() == Qt::Key_Up ? -1 : 1), 0, static_cast<int>(typed_.size()));
            input_->setText(typedPos_ < typed_.size() ? typed_[typedPos_] : QString());
            return true;
        }
    }
    return QWidget::eventFilter(o, e);
}
