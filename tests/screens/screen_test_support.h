#pragma once

// Shared by the screen tests: answers and records message boxes, counts beeps
// and observes the end of the process instead of exiting; fails instead of
// hanging if a real modal box opens; finds windows and controls by name.

#include "model/module1.h"
#include "platform/messages.h"
#include "screens/screens.h"
#include "toolkit/controls.h"

#include <QApplication>
#include <QList>
#include <QQueue>
#include <QSettings>
#include <QTimer>
#include <QtTest>
#include <memory>

struct RecordedBox
{
    QString text;
    QString title;
    platform::MessageButtons buttons;
};

class ToolkitRecorder
{
public:
    ToolkitRecorder()
    {
        m_previousBox = platform::setMessageBoxHandler(
            [this](const QString &text, const QString &title, platform::MessageButtons buttons) {
                boxes.append({text, title, buttons});
                if (!m_answers.isEmpty())
                    return m_answers.dequeue();
                if (buttons == platform::MessageButtons::YesNo) {
                    ++unscriptedQuestions;
                    return platform::answerNo;
                }
                return platform::answerOk;
            });
        m_previousBeep = platform::setBeepHandler([this] { ++beeps; });
        m_previousEnd = platform::setEndProcessHandler([this] { ++ends; });
    }

    ~ToolkitRecorder()
    {
        platform::setMessageBoxHandler(m_previousBox);
        platform::setBeepHandler(m_previousBeep);
        platform::setEndProcessHandler(m_previousEnd);
    }

    ToolkitRecorder(const ToolkitRecorder &) = delete;
    ToolkitRecorder &operator=(const ToolkitRecorder &) = delete;

    void answerNext(int answer) { m_answers.enqueue(answer); }

    QList<RecordedBox> boxes;
    int beeps = 0;
    int ends = 0;
    int unscriptedQuestions = 0;

private:
    QQueue<int> m_answers;
    platform::MessageBoxHandler m_previousBox;
    platform::BeepHandler m_previousBeep;
    platform::EndProcessHandler m_previousEnd;
};

// Closes any real modal window that opens and remembers that it did.
class ModalWatchdog
{
public:
    ModalWatchdog()
    {
        m_timer.callOnTimeout([this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                m_tripped = true;
                modal->close();
            }
        });
        m_timer.start(100);
    }

    bool tripped() const { return m_tripped; }

private:
    QTimer m_timer;
    bool m_tripped = false;
};

// As after a restart: every screen absent, the record at its start values.
inline void resetShellKeepingSettings()
{
    Screens::discardAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Module1 = ProblemModel{};
}

// Back to the state at start-up, nothing kept from an earlier run either (CTest
// gives each test program a settings folder of its own).
inline void resetShell()
{
    resetShellKeepingSettings();
    QSettings(QStringLiteral("Trajectrix"), QStringLiteral("Trajectrix")).clear();
}

// What every screen test starts and ends with: the shell as at start-up, boxes and
// beeps answered by a recorder, and a watchdog that fails the test when a real modal box
// opens. A test class derives from it beside QObject and calls these from init() and
// cleanup().
class ScreenFixture
{
protected:
    void setUpShell()
    {
        resetShell();
        m_recorder = std::make_unique<ToolkitRecorder>();
        m_watchdog = std::make_unique<ModalWatchdog>();
        m_toolkit = m_recorder.get();
    }

    // With `scripted`, every question a box asked must have had its answer ready.
    void tearDownShell(bool scripted = false)
    {
        const bool tripped = m_watchdog->tripped();
        const int unscripted = m_recorder->unscriptedQuestions;
        m_watchdog.reset();
        m_toolkit = nullptr;
        m_recorder.reset();
        resetShell();
        QVERIFY2(!tripped, "a real modal box opened");
        if (scripted)
            QCOMPARE(unscripted, 0);
    }

    ToolkitRecorder *m_toolkit = nullptr;

private:
    std::unique_ptr<ToolkitRecorder> m_recorder;
    std::unique_ptr<ModalWatchdog> m_watchdog;
};

// The live window of that name, shown or hidden; discarded screens are not found.
inline QWidget *window(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            return w;
    return nullptr;
}

inline int windowCount(const QString &name)
{
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        count += w->objectName() == name ? 1 : 0;
    return count;
}

template <class T = QWidget>
T *control(const QString &windowName, const QString &controlName)
{
    QWidget *w = window(windowName);
    return w ? w->findChild<T *>(controlName) : nullptr;
}

// The named control of that screen; a missing one ends the test run at once
// instead of crashing it later.
template <class T = QWidget>
T *control(const QWidget *screen, const char *name)
{
    T *found = screen->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("%s has no %s named %s", qPrintable(screen->objectName()), T::staticMetaObject.className(), name);
    return found;
}

inline bool shown(const QString &name)
{
    QWidget *w = window(name);
    return w && w->isVisible();
}
