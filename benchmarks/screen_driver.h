#pragma once

// What the screen benchmarks and the screen tour share: a headless
// application set up as start-up sets up the real one, boxes that answer
// themselves, and the problem committed straight into Module1.

#include "model/module1.h"
#include "platform/messages.h"
#include "toolkit/controls.h"

#include <QApplication>

namespace driver {

// Offscreen unless the caller chose a platform. The offscreen platform warns
// at every raise() and size hint change, which shows and layouts cause: those
// lines would bury the figures.
inline void preferOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (!message.endsWith(QLatin1String("does not support raise()")) &&
                !message.endsWith(QLatin1String("does not support propagateSizeHints()")))
                previous(type, context, message);
        });
}

// A modal box would wait for a person: answer OK, and No to the exit
// question so nothing ends the process.
class AnswerEveryBox
{
public:
    AnswerEveryBox()
    {
        m_box = platform::setMessageBoxHandler([](const QString &, const QString &, platform::MessageButtons buttons) {
            return buttons == platform::MessageButtons::YesNo ? platform::answerNo : platform::answerOk;
        });
        m_beep = platform::setBeepHandler([] {});
        m_end = platform::setEndProcessHandler([] {});
    }
    ~AnswerEveryBox()
    {
        platform::setMessageBoxHandler(m_box);
        platform::setBeepHandler(m_beep);
        platform::setEndProcessHandler(m_end);
    }
    AnswerEveryBox(const AnswerEveryBox &) = delete;
    AnswerEveryBox &operator=(const AnswerEveryBox &) = delete;

private:
    platform::MessageBoxHandler m_box;
    platform::BeepHandler m_beep;
    platform::EndProcessHandler m_end;
};

// The named control of that screen; a missing one ends the run rather than
// timing nothing.
template <class T>
T *control(const QWidget *screen, const char *name)
{
    T *found = screen->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("%s has no %s named %s", qPrintable(screen->objectName()), T::staticMetaObject.className(), name);
    return found;
}

// Pending paints, layouts and discarded screens all dealt with.
inline void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The state "Next >>" leaves behind for metres and degrees.
inline void commitMetricProblem(double sx, double so, double sy)
{
    Module1 = ProblemModel{};
    Module1.DistanceUnitCode = "m";
    Module1.AngleUnitCode = "d";
    Module1.TargetDistance = sx;
    Module1.FiringElevationEntry = so;
    Module1.TargetElevationEntry = sy;
    Module1.setupCommit();
}

} // namespace driver
