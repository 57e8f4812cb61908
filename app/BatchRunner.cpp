#include "app/BatchRunner.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <deque>
#include <iostream>

#include "app/CommandProcessor.h"
#include "host/UiResponder.h"

namespace {

class BatchIo : public VrCommandLineIo {
public:
    std::deque<QString> lines;
    int starvedPrompts = 0;

    void print(const TkString& text) override { std::cout << QString::fromStdWString(text).toStdString() << std::flush; }

    int prompt(const TkString& text, bool allowSpaces, TkString& answer) override {
        print(text);
        TkString pending;
        if (commandProcessor().takePending(pending, allowSpaces)) {
            answer = pending;
        } else if (!lines.empty()) {
            answer = lines.front().toStdWString();
            lines.pop_front();
        } else {
            ++starvedPrompts;  // the script ended while a command still asked
            print(L"*Cancel*");
            return RTCAN;
        }
        print(answer);
        return RTNORM;
    }
};

}  // namespace

int runBatch(const std::string& scriptPath, const std::vector<TkString>& firstLines) {
    QFile f(QString::fromStdString(scriptPath));
    if (!f.open(QIODevice::ReadOnly)) {
        std::cerr << "vorn: cannot read the script " << scriptPath << "\n";
        return 2;
    }
    BatchIo io;
    for (const TkString& line : firstLines) io.lines.push_back(QString::fromStdWString(line));
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        QString line = in.readLine();
        if (line.trimmed().startsWith(';')) continue;  // comments
        io.lines.push_back(line);
    }
    vrSetCommandLine(&io);
    VrUiResponder responder;
    responder.answerDefaults = true;
    responder.onShown = [&](const VrUiResponder::Shown& s) {
        if (s.kind == VrUiResponder::Kind::MessageBox)
            io.print(L"\n** " + s.caption + L": " + s.text + L" **");
        else if (s.kind == VrUiResponder::Kind::TaskDialog)
            io.print(L"\n** " + s.caption + L": " + s.text + L" **");
    };
    VrUiResponder::install(&responder);
    int failures = 0;
    while (!io.lines.empty()) {
        QString line = io.lines.front();
        io.lines.pop_front();
        QString cmd = line.trimmed().toUpper();
        if (cmd == "QUIT" || cmd == "EXIT") break;
        if (!commandProcessor().run(line.toStdWString())) ++failures;
    }
    failures += io.starvedPrompts;
    io.print(L"\n");
    VrUiResponder::install(nullptr);
    vrSetCommandLine(nullptr);
    return failures ? 1 : 0;
}
