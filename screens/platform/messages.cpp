#include "platform/messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace platform {

namespace {

enum class Service { MessageBox, Beep, EndProcess, SaveFile, OpenFile };

// The one installed handler of each service (two share a type); empty runs the real service.
template <Service S, class Handler>
Handler &installed()
{
    static Handler handler;
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
    QPushButton *saveAsPdf = nullptr;
    if (buttons == MessageButtons::OkSaveAsPdf) {
        saveAsPdf = box.addButton(QStringLiteral("Save as PDF\u2026"), QMessageBox::ActionRole);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    for (QAbstractButton *answer : box.buttons())
        answer->setIcon(QIcon());
    const int result = box.exec();
    if (saveAsPdf && box.clickedButton() == saveAsPdf)
        return answerSaveAsPdf;
    switch (result) {
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
    if (const auto &handler = installed<Service::MessageBox, MessageBoxHandler>())
        return handler(text, title, buttons);
    return platformMessageBox(text, title, buttons);
}

void beep()
{
    if (const auto &handler = installed<Service::Beep, BeepHandler>())
        handler();
    else
        QApplication::beep();
}

QString saveFileName(const QString &title, const QString &suggestedPath, const QString &filter, const QString &suffix)
{
    if (const auto &handler = installed<Service::SaveFile, SaveFileHandler>())
        return handler(title, suggestedPath);
    QFileDialog dialog(QApplication::activeWindow(), title, suggestedPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString openFileName(const QString &title, const QString &folder, const QString &filter)
{
    if (const auto &handler = installed<Service::OpenFile, OpenFileHandler>())
        return handler(title, folder);
    QFileDialog dialog(QApplication::activeWindow(), title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void endProcess()
{
    if (const auto &handler = installed<Service::EndProcess, EndProcessHandler>()) {
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
    return std::exchange(installed<Service::MessageBox, MessageBoxHandler>(), std::move(handler));
}

BeepHandler setBeepHandler(BeepHandler handler)
{
    return std::exchange(installed<Service::Beep, BeepHandler>(), std::move(handler));
}

EndProcessHandler setEndProcessHandler(EndProcessHandler handler)
{
    return std::exchange(installed<Service::EndProcess, EndProcessHandler>(), std::move(handler));
}

SaveFileHandler setSaveFileHandler(SaveFileHandler handler)
{
    return std::exchange(installed<Service::SaveFile, SaveFileHandler>(), std::move(handler));
}

OpenFileHandler setOpenFileHandler(OpenFileHandler handler)
{
    return std::exchange(installed<Service::OpenFile, OpenFileHandler>(), std::move(handler));
}

} // namespace platform
