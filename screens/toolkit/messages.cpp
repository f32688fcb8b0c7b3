#include "messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace toolkit {

namespace {

MessageBoxHandler &messageBoxHandler()
{
    static MessageBoxHandler handler;
    return handler;
}

BeepHandler &beepHandler()
{
    static BeepHandler handler;
    return handler;
}

EndProcessHandler &endProcessHandler()
{
    static EndProcessHandler handler;
    return handler;
}

int platformMessageBox(const QString &text, const QString &title, MessageButtons buttons)
{
    QMessageBox box;
    box.setWindowModality(Qt::ApplicationModal);
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(lines);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    for (QAbstractButton *answer : box.buttons())
        answer->setIcon(QIcon());
    switch (box.exec()) {
    case QMessageBox::Yes:
        return answerYes;
    case QMessageBox::No:
        return answerNo;
    default:
        return answerOk;
    }
}

} // namespace

int messageBox(const QString &text, const QString &title, MessageButtons buttons)
{
    if (const auto &handler = messageBoxHandler())
        return handler(text, title, buttons);
    return platformMessageBox(text, title, buttons);
}

void beep()
{
    if (const auto &handler = beepHandler())
        handler();
    else
        QApplication::beep();
}

void endProcess()
{
    if (const auto &handler = endProcessHandler()) {
        handler();
        return;
    }
    // Nothing is kept between runs, so there is nothing to shut down: leaving
    // without unwinding guarantees that no handler further up the stack, and
    // no queued event, runs after the user's Yes.
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(messageBoxHandler(), std::move(handler));
}

BeepHandler setBeepHandler(BeepHandler handler)
{
    return std::exchange(beepHandler(), std::move(handler));
}

EndProcessHandler setEndProcessHandler(EndProcessHandler handler)
{
    return std::exchange(endProcessHandler(), std::move(handler));
}

} // namespace toolkit
