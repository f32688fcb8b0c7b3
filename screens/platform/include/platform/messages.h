#pragma once

// Message boxes, the beep and ending the process. Each goes through a
// replaceable handler so tests can answer, count and observe them without a
// nested event loop; with no handler installed the real platform services run.

#include <QString>

#include <functional>

namespace platform {

enum class MessageButtons {
    Ok,
    YesNo,
    OkSaveAsPdf, // OK and "Save as PDF…", for a page that found no printer
};

inline constexpr int answerOk = 1;
inline constexpr int answerYes = 6;
inline constexpr int answerNo = 7;
inline constexpr int answerSaveAsPdf = 8;

// Modal to the whole application, no icon, `title` and `text` exactly; a
// carriage return (character 13) in `text` starts a new line. Yes/No boxes
// default to Yes, the others to OK. Returns answerOk, answerYes, answerNo or
// answerSaveAsPdf.
int messageBox(const QString &text, const QString &title, MessageButtons buttons = MessageButtons::Ok);

void beep();

// A modal save-file dialog starting at `suggestedPath`. Returns the chosen path,
// ending in ".`suffix`" when the user typed no suffix, or an empty string when cancelled.
QString saveFileName(const QString &title, const QString &suggestedPath, const QString &filter, const QString &suffix);

// A modal open-file dialog in `folder`, for an existing file. Returns its path, or an
// empty string when cancelled.
QString openFileName(const QString &title, const QString &folder, const QString &filter);

// Ends the process at once: every window goes, no further handler runs.
void endProcess();

using MessageBoxHandler = std::function<int(const QString &text, const QString &title, MessageButtons buttons)>;
using BeepHandler = std::function<void()>;
using EndProcessHandler = std::function<void()>;
using SaveFileHandler = std::function<QString(const QString &title, const QString &suggestedPath)>;
using OpenFileHandler = std::function<QString(const QString &title, const QString &folder)>;

// Each returns the handler it replaces; an empty handler restores the real service.
MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);
BeepHandler setBeepHandler(BeepHandler handler);
EndProcessHandler setEndProcessHandler(EndProcessHandler handler);
SaveFileHandler setSaveFileHandler(SaveFileHandler handler);
OpenFileHandler setOpenFileHandler(OpenFileHandler handler);

} // namespace platform
