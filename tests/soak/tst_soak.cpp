#include "tests/screens/screen_test_support.h"

#include "model/conversions.h"
#include "screens/application.h"
#include "screens/comp_angle.h"
#include "screens/comp_mz_vel.h"
#include "solvers/angle_solver.h"
#include "solvers/muzzle_velocity.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace {

constexpr std::uint64_t defaultSeed = 19650412;
constexpr int logLines = 30;
// Exit confirmations come up often; a Yes ends the run of the program, so only rarely.
constexpr int yesOneIn = 25;
// Far beyond the slowest handler (a minimum velocity search under the sanitizers).
constexpr auto hangLimit = std::chrono::seconds(60);

// TRAJECTRIX_SOAK_SEED: a number, or "time" for a new seed on every run.
std::uint64_t soakSeed()
{
    const QByteArray given = qgetenv("TRAJECTRIX_SOAK_SEED");
    if (given == "time")
        return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    bool ok = false;
    const qulonglong seed = given.toULongLong(&ok);
    return ok ? seed : defaultSeed;
}

int soakActions()
{
    bool ok = false;
    const int given = qEnvironmentVariableIntValue("TRAJECTRIX_SOAK_ACTIONS", &ok);
    return ok && given > 0 ? given : TRAJECTRIX_SOAK_DEFAULT_ACTIONS;
}

bool showsNonFinite(const QString &text)
{
    static const QRegularExpression token(QStringLiteral(R"(\b(nan|inf|infinity)\b)"),
                                          QRegularExpression::CaseInsensitiveOption);
    return token.match(text).hasMatch();
}

QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1String(" / "));
}

// "Setup.Frame3.HScroll3": the named widgets from the window down.
QString path(const QWidget *w)
{
    QStringList names;
    for (; w; w = w->isWindow() ? nullptr : w->parentWidget())
        if (!w->objectName().isEmpty())
            names.prepend(w->objectName());
    return names.join(QLatin1Char('.'));
}

// Every existing screen, hidden ones too, in a stable order: the order of
// topLevelWidgets() follows pointer values and would spoil a replay.
QList<QWidget *> screensByName()
{
    QList<QWidget *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (!w->objectName().isEmpty())
            found.append(w);
    std::sort(found.begin(), found.end(),
              [](const QWidget *a, const QWidget *b) { return a->objectName() < b->objectName(); });
    return found;
}

QString nonFiniteField()
{
    const std::pair<const char *, double> plain[] = {
        {"TargetElevation", Module1.TargetElevation},
        {"FiringElevation", Module1.FiringElevation},
        {"TargetDistance", Module1.TargetDistance},
        {"Gravity", Module1.Gravity},
        {"Tolerance", Module1.Tolerance},
        {"Increment", Module1.Increment},
        {"ElevationAngle", Module1.ElevationAngle},
        {"FlightTime", Module1.FlightTime},
        {"NextAngle", Module1.NextAngle},
        {"SearchAngle", Module1.SearchAngle},
    };
    const std::pair<const char *, const DynamicValue &> dynamic[] = {
        {"ExitAnswer", Module1.ExitAnswer},
        {"TargetElevationEntry", Module1.TargetElevationEntry},
        {"FiringElevationEntry", Module1.FiringElevationEntry},
        {"SightAngle", Module1.SightAngle},
        {"MinVelocity", Module1.MinVelocity},
        {"SearchPrevVelocity", Module1.SearchPrevVelocity},
        {"SearchVelocity", Module1.SearchVelocity},
        {"SearchVelocityScale", Module1.SearchVelocityScale},
        {"SearchVelocityRoot", Module1.SearchVelocityRoot},
        {"MaxIterations", Module1.MaxIterations},
        {"MuzzleVelocity", Module1.MuzzleVelocity},
        {"VelocityScale", Module1.VelocityScale},
        {"VelocityRoot", Module1.VelocityRoot},
        {"FlightTime1", Module1.FlightTime1},
        {"FlightTime2", Module1.FlightTime2},
        {"AngleResidual", Module1.AngleResidual},
        {"AngleSlope", Module1.AngleSlope},
        {"AngleSlopePart1", Module1.AngleSlopePart1},
        {"AngleSlopePart2", Module1.AngleSlopePart2},
        {"AngleSpanSteps", Module1.AngleSpanSteps},
        {"IterationCounter", Module1.IterationCounter},
        {"DenominatorTerm1", Module1.DenominatorTerm1},
        {"DenominatorTerm2", Module1.DenominatorTerm2},
        {"DenominatorTerm3", Module1.DenominatorTerm3},
        {"DenominatorTerm4", Module1.DenominatorTerm4},
        {"DenominatorTerm5", Module1.DenominatorTerm5},
    };
    for (const auto &[name, value] : plain)
        if (!std::isfinite(value))
            return QStringLiteral("Module1.%1 = %2").arg(QLatin1String(name)).arg(value);
    for (const auto &[name, value] : dynamic)
        if (value.isDouble() && !std::isfinite(std::get<double>(value.storage())))
            return QStringLiteral("Module1.%1 = %2").arg(QLatin1String(name)).arg(value.toNumber());
    return {};
}

// A solution's boxes are written together: some empty next to some filled
// means a result that no longer matches, or one cut short.
QString mixedColumn(std::initializer_list<const QLineEdit *> boxes)
{
    const auto filled = std::count_if(boxes.begin(), boxes.end(), [](auto *b) { return !b->text().isEmpty(); });
    if (filled == 0 || filled == static_cast<long>(boxes.size()))
        return {};
    QStringList shown;
    for (const QLineEdit *b : boxes)
        shown.append(QStringLiteral("%1=\"%2\"").arg(path(b), b->text()));
    return QStringLiteral("empty next to filled: ") + shown.join(QLatin1Char(' '));
}

bool filled(const QLineEdit *box)
{
    return !box->text().isEmpty();
}

double number(const QLineEdit *box)
{
    return conv::leadingNumber(box->text().toStdString());
}

const QLineEdit *textBox(const QWidget *screen, const char *name)
{
    return control<QLineEdit>(screen, name);
}

// Results on show must be those of the problem the same screen shows: figures
// computed from entries changed elsewhere would answer another question.
QString velocityMismatch(const CompMzVel *s)
{
    if (!filled(textBox(s, "Text7")))
        return {};
    const double sx = number(textBox(s, "Text2"));
    const double so = number(textBox(s, "Text5"));
    const double sy = number(textBox(s, "Text6"));
    const double g =
        control<QLabel>(s, "Label22")->text() == QLatin1String("Feet") ? units::imperialGravity : units::metricGravity;
    const double theta =
        angleForPosition(minimumAngleRange(sx, so, sy).sightAngle, control<QScrollBar>(s, "HScroll1")->value());
    const MuzzleVelocity v = muzzleVelocityFor(sx, so, sy, g, theta);
    const QString expected = QString::fromStdString(conv::formatPattern(v.velocity, "######.00"));
    if (v.outcome == MuzzleVelocityOutcome::Computed && textBox(s, "Text7")->text() == expected)
        return {};
    return QStringLiteral("CompMzVel shows V = %1 for Sx %2, So %3, Sy %4 at position %5, which gives %6")
        .arg(textBox(s, "Text7")->text(), textBox(s, "Text2")->text(), textBox(s, "Text5")->text(),
             textBox(s, "Text6")->text())
        .arg(control<QScrollBar>(s, "HScroll1")->value())
        .arg(v.outcome == MuzzleVelocityOutcome::Computed ? expected : QStringLiteral("no velocity"));
}

QString angleMismatch(const CompAngle *s)
{
    const AngleProblem p{number(textBox(s, "Text2")), number(textBox(s, "Text5")), number(textBox(s, "Text6")),
                         number(textBox(s, "Text4")), number(textBox(s, "Text1"))};
    const bool radians = control<QLabel>(s, "Label16")->text() == QLatin1String("Radians");
    // Half the last shown digit, and a little for Newton's tolerance.
    const double allowance = radians ? 0.00051 : 0.0051;
    for (const auto &[box, which] :
         {std::pair{textBox(s, "Text7"), AngleSolution::Low}, std::pair{textBox(s, "Text8"), AngleSolution::High}}) {
        if (!filled(box))
            continue;
        const std::optional<double> own = closedFormAngle(p, which);
        const double expected = own ? (radians ? *own : (*own * 180) / 3.14159) : qQNaN();
        if (!(std::fabs(number(box) - expected) <= allowance))
            return QStringLiteral("CompAngle shows %1 = %2 for V %3, Sx %4, So %5, Sy %6, g %7; the angle is %8")
                .arg(path(box), box->text(), textBox(s, "Text1")->text(), textBox(s, "Text2")->text(),
                     textBox(s, "Text5")->text(), textBox(s, "Text6")->text(), textBox(s, "Text4")->text())
                .arg(expected);
    }
    return {};
}

// What a user would see is wrong with the program now; empty when nothing is.
QString faultOnScreens()
{
    if (!Screens::anyShown())
        return QStringLiteral("no screen is visible");
    for (const QWidget *screen : screensByName()) {
        for (const QLineEdit *box : screen->findChildren<QLineEdit *>())
            if (showsNonFinite(box->text()))
                return QStringLiteral("%1 shows \"%2\"").arg(path(box), box->text());
        for (const QLabel *label : screen->findChildren<QLabel *>())
            if (showsNonFinite(label->text()))
                return QStringLiteral("%1 shows \"%2\"").arg(path(label), label->text());
    }
    if (Screens::exists<CompAngle>()) {
        const CompAngle *s = Screens::get<CompAngle>();
        for (const QString &wrong : {mixedColumn({textBox(s, "Text7"), textBox(s, "Text9"), textBox(s, "Text10"),
                                                  textBox(s, "Text13"), textBox(s, "Text17"), textBox(s, "Text14")}),
                                     mixedColumn({textBox(s, "Text8"), textBox(s, "Text11"), textBox(s, "Text12"),
                                                  textBox(s, "Text15"), textBox(s, "Text18"), textBox(s, "Text16")}),
                                     angleMismatch(s)})
            if (!wrong.isEmpty())
                return wrong;
    }
    if (Screens::exists<CompMzVel>()) {
        const CompMzVel *s = Screens::get<CompMzVel>();
        for (const QString &wrong : {mixedColumn({textBox(s, "Text7"), textBox(s, "Text9"), textBox(s, "Text10"),
                                                  textBox(s, "Text13"), textBox(s, "Text14"), textBox(s, "Text17")}),
                                     velocityMismatch(s)})
            if (!wrong.isEmpty())
                return wrong;
    }
    return nonFiniteField();
}

// Aborts with the replay and the recent actions if one action never returns.
class HangWatch
{
public:
    HangWatch(std::uint64_t seed, std::mutex &logLock, const QStringList &log)
        : m_thread([this, seed, &logLock, &log] {
              std::unique_lock lock(m_lock);
              long seen = -1;
              while (!m_stop) {
                  if (m_wake.wait_for(lock, hangLimit, [this] { return m_stop; }))
                      return;
                  const long now = progress.load();
                  if (now == seen) {
                      const std::lock_guard logged(logLock);
                      std::fprintf(stderr, "soak: action %ld hangs (seed %llu); last actions:\n%s\n", now,
                                   static_cast<unsigned long long>(seed), qPrintable(log.join(QLatin1Char('\n'))));
                      std::abort();
                  }
                  seen = now;
              }
          })
    {}

    ~HangWatch()
    {
        {
            const std::lock_guard lock(m_lock);
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }

    std::atomic<long> progress{0};

private:
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

// Plays random user actions on whatever the program shows, answers every box,
// and restarts the program's state when the user's Yes ends it.
class Soak
{
public:
    explicit Soak(std::uint64_t seed) : m_rng(seed), m_watch(seed, m_logLock, m_log)
    {
        platform::setMessageBoxHandler([this](const QString &text, const QString &title, platform::MessageButtons b) {
            ++boxes;
            int answer = platform::answerOk;
            if (b == platform::MessageButtons::YesNo)
                answer = oneIn(yesOneIn) ? platform::answerYes : platform::answerNo;
            else if (b == platform::MessageButtons::OkSaveAsPdf && oneIn(4))
                answer = platform::answerSaveAsPdf;
            note(QStringLiteral("    box %1 \"%2\" -> %3")
                     .arg(title, oneLine(text),
                          answer == platform::answerYes         ? QStringLiteral("Yes")
                          : answer == platform::answerNo        ? QStringLiteral("No")
                          : answer == platform::answerSaveAsPdf ? QStringLiteral("Save as PDF")
                                                                : QStringLiteral("OK")));
            m_savedTo.clear();
            if (showsNonFinite(text) || showsNonFinite(title))
                m_fault = QStringLiteral("message box shows \"%1\"").arg(oneLine(text));
            return answer;
        });
        platform::setSaveFileHandler([this](const QString &, const QString &) {
            m_savedTo = oneIn(3) ? QString() : m_pdfs.filePath(QStringLiteral("soak-%1.pdf").arg(m_number));
            note(QStringLiteral("    save as \"%1\"").arg(m_savedTo));
            return m_savedTo;
        });
        platform::setBeepHandler([] {});
        platform::setEndProcessHandler([this] { m_ended = true; });
        startApplication();
    }

    ~Soak()
    {
        platform::setMessageBoxHandler({});
        platform::setBeepHandler({});
        platform::setEndProcessHandler({});
        platform::setSaveFileHandler({});
    }

    Soak(const Soak &) = delete;
    Soak &operator=(const Soak &) = delete;

    // One action, its events delivered, and the program restarted if it ended.
    void act(long number)
    {
        m_watch.progress = number;
        m_number = number;
        m_ended = false;
        const Target t = pickTarget();
        if (t.widget)
            perform(t);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (m_ended) {
            ++restarts;
            note(QStringLiteral("    ended: start again"));
            resetShell();
            startApplication();
        }
        tally();
    }

    // What is wrong after the last action; empty when everything holds.
    QString check()
    {
        if (!m_fault.isEmpty())
            return std::exchange(m_fault, {});
        // A file chosen and no box after it means the program says it saved.
        if (!m_savedTo.isEmpty() && QFileInfo(std::exchange(m_savedTo, {})).size() == 0)
            return QStringLiteral("Save as PDF wrote nothing and said nothing");
        return faultOnScreens();
    }

    QString recentActions() const
    {
        const std::lock_guard lock(m_logLock);
        return m_log.join(QLatin1Char('\n'));
    }

    int boxes = 0;
    int restarts = 0;
    int angleSolutions = 0;
    int velocitySolutions = 0;
    QMap<QString, int> shownAfterActions;

private:
    enum class Kind { Click, AccessKey, Scroll, CloseBox };

    struct Target
    {
        QPointer<QWidget> widget;
        Kind kind;
    };

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_rng); }
    bool oneIn(int n) { return uniform(1, n) == 1; }

    void note(const QString &line)
    {
        const std::lock_guard lock(m_logLock);
        m_log.append(line);
        while (m_log.size() > logLines)
            m_log.removeFirst();
    }

    void noteAction(const QString &what) { note(QStringLiteral("#%1 %2").arg(m_number).arg(what)); }

    // Only what a user could reach: visible, enabled controls of visible windows.
    Target pickTarget()
    {
        std::vector<Target> targets;
        std::vector<double> weights;
        auto offer = [&](QWidget *w, Kind kind, double weight) {
            targets.push_back({w, kind});
            weights.push_back(weight);
        };
        for (QWidget *screen : screensByName()) {
            if (!screen->isVisible())
                continue;
            offer(screen, Kind::CloseBox, 0.3);
            for (QAbstractButton *b : screen->findChildren<QAbstractButton *>()) {
                if (!b->isVisible() || !b->isEnabled())
                    continue;
                offer(b, Kind::Click, 1.0);
                if (!QKeySequence::mnemonic(b->text()).isEmpty())
                    offer(b, Kind::AccessKey, 0.05);
            }
            for (QScrollBar *bar : screen->findChildren<QScrollBar *>())
                if (bar->isVisible() && bar->isEnabled())
                    offer(bar, Kind::Scroll, 2.0);
        }
        if (targets.empty())
            return {};
        return targets[std::discrete_distribution<std::size_t>(weights.begin(), weights.end())(m_rng)];
    }

    void perform(const Target &t)
    {
        switch (t.kind) {
        case Kind::Click:
            noteAction(path(t.widget) + QStringLiteral(" click"));
            QTest::mouseClick(t.widget, Qt::LeftButton, {}, t.widget->rect().center());
            break;
        case Kind::AccessKey:
            pressAccessKey(static_cast<QAbstractButton *>(t.widget.data()));
            break;
        case Kind::CloseBox:
            noteAction(path(t.widget) + QStringLiteral(" close box"));
            t.widget->close();
            break;
        case Kind::Scroll:
            scroll(static_cast<QScrollBar *>(t.widget.data()));
            break;
        }
    }

    // The button clicks itself through animateClick() a little later.
    void pressAccessKey(QAbstractButton *button)
    {
        const QKeySequence key = QKeySequence::mnemonic(button->text());
        noteAction(path(button) + QStringLiteral(" access key ") + key.toString());
        QWidget *screen = button->window();
        screen->activateWindow();
        if (!QTest::qWaitForWindowActive(screen, 1000))
            return;
        QTest::keyClick(screen, key[0].key(), key[0].keyboardModifiers());
        QPointer<QAbstractButton> pressed = button;
        if (!QTest::qWaitFor([&] { return !pressed || !pressed->isDown(); }, 2000))
            m_fault = path(button) + QStringLiteral(" stays pressed after its access key");
    }

    void scroll(QScrollBar *bar)
    {
        const QString name = path(bar);
        const int roll = uniform(0, 99);
        if (roll < 30) {
            const bool up = oneIn(2);
            noteAction(name + (up ? QStringLiteral(" right arrow") : QStringLiteral(" left arrow")));
            bar->triggerAction(up ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
        } else if (roll < 55) {
            const bool up = oneIn(2);
            noteAction(name + (up ? QStringLiteral(" track right") : QStringLiteral(" track left")));
            bar->triggerAction(up ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
        } else if (roll < 60) {
            const bool end = oneIn(2);
            noteAction(name + (end ? QStringLiteral(" End key") : QStringLiteral(" Home key")));
            bar->triggerAction(end ? QAbstractSlider::SliderToMaximum : QAbstractSlider::SliderToMinimum);
        } else if (roll < 65) {
            drag(bar, bar->value(), name + QStringLiteral(" drag and back"));
        } else if (roll < 75) {
            const int reach = uniform(1, 3) * bar->pageStep();
            drag(bar, std::clamp(bar->value() + uniform(-reach, reach), bar->minimum(), bar->maximum()),
                 name + QStringLiteral(" drag"));
        } else {
            drag(bar, telling(bar), name + QStringLiteral(" drag"));
        }
    }

    // Where plain stepping seldom gets: the ends, the first steps, zero and its
    // neighbours (a distance of 1 under a high target is a steep sight line).
    int telling(const QScrollBar *bar)
    {
        const int low = bar->minimum();
        const int high = bar->maximum();
        const int candidates[] = {
            low, high, low + 1, low + 2, high - 1, -1, 0, 1, 2, low + uniform(0, 50), uniform(low, high)};
        return std::clamp(candidates[uniform(0, std::size(candidates) - 1)], low, high);
    }

    void drag(QScrollBar *bar, int target, const QString &what)
    {
        noteAction(QStringLiteral("%1 from %2 to %3").arg(what).arg(bar->value()).arg(target));
        QPointer<QScrollBar> held = bar;
        const int start = bar->sliderPosition();
        const int wiggle = uniform(-bar->pageStep(), bar->pageStep());
        bar->setSliderDown(true);
        for (int p : {start + wiggle, start + (target - start) / 2, target}) {
            if (!held)
                return;
            held->setSliderPosition(p);
        }
        if (held)
            held->setSliderDown(false);
    }

    void tally()
    {
        for (const QWidget *screen : screensByName())
            if (screen->isVisible())
                ++shownAfterActions[screen->objectName()];
        if (Screens::exists<CompAngle>() && filled(textBox(Screens::get<CompAngle>(), "Text7")))
            ++angleSolutions;
        if (Screens::exists<CompMzVel>() && filled(textBox(Screens::get<CompMzVel>(), "Text7")))
            ++velocitySolutions;
    }

    std::mt19937_64 m_rng;
    mutable std::mutex m_logLock;
    QStringList m_log;
    HangWatch m_watch;
    long m_number = 0;
    bool m_ended = false;
    QString m_fault;
    QTemporaryDir m_pdfs;
    QString m_savedTo;
};

QtMessageHandler testLog = nullptr;

// The offscreen platform says so on every show: thousands of lines that would bury a failure.
void withoutRaiseNotices(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message != QLatin1String("This plugin does not support raise()"))
        testLog(type, context, message);
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void randomUserActions();
    void angleScreenBackFromSettingsShowsWhatItComputes_data();
    void angleScreenBackFromSettingsShowsWhatItComputes();
};

void TestSoak::initTestCase()
{
    testLog = qInstallMessageHandler(withoutRaiseNotices);
    // "Print Results" is pressed hundreds of times: never let it reach a real spooler.
    qputenv("CUPS_SERVER", "/nonexistent/trajectrix-soak.sock");
    resetShell();
}

void TestSoak::randomUserActions()
{
    const std::uint64_t seed = soakSeed();
    const int actions = soakActions();
    qInfo("seed %llu, %d actions; replay with TRAJECTRIX_SOAK_SEED=%llu TRAJECTRIX_SOAK_ACTIONS=%d",
          static_cast<unsigned long long>(seed), actions, static_cast<unsigned long long>(seed), actions);

    ModalWatchdog watchdog;
    QElapsedTimer clock;
    clock.start();
    {
        Soak soak(seed);
        for (long i = 1; i <= actions; ++i) {
            soak.act(i);
            const QString fault = soak.check();
            if (!fault.isEmpty() || watchdog.tripped()) {
                const QString why = fault.isEmpty() ? QStringLiteral("a real modal window opened") : fault;
                QFAIL(qPrintable(QStringLiteral("after action %1 (seed %2): %3\nlast actions:\n%4")
                                     .arg(i)
                                     .arg(seed)
                                     .arg(why, soak.recentActions())));
            }
        }
        QStringList shown;
        for (auto it = soak.shownAfterActions.cbegin(); it != soak.shownAfterActions.cend(); ++it)
            shown.append(QStringLiteral("%1 %2").arg(it.key()).arg(it.value()));
        qInfo("%d actions in %.1f s: %d boxes, %d restarts, angles shown after %d, velocity after %d; visible: %s",
              actions, clock.elapsed() / 1000.0, soak.boxes, soak.restarts, soak.angleSolutions, soak.velocitySolutions,
              qPrintable(shown.join(QStringLiteral(", "))));

        // A soak that never reaches the results tests little: a control renamed or a
        // path blocked would otherwise pass unnoticed.
        if (actions >= 1000) {
            for (const char *screen :
                 {"Intro", "Example", "Example2", "Setup", "CompAngle", "CompMzVel", "RootFindParameters"})
                QVERIFY2(soak.shownAfterActions.value(QLatin1String(screen)) > 0, screen);
            QVERIFY(soak.angleSolutions > 0);
            QVERIFY(soak.velocitySolutions > 0);
            QVERIFY(soak.restarts > 0);
        }
    }
    resetShell();
}

void TestSoak::angleScreenBackFromSettingsShowsWhatItComputes_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("position");

    QTest::newRow("radians chosen meanwhile") << "Option6" << 0;
    QTest::newRow("distance changed meanwhile") << "HScroll3" << 500;
}

// Found by the soak: "Back with changes" brought the angle screen back over the
// set-up screen, loaded from the old commit while the solver read the new entries.
void TestSoak::angleScreenBackFromSettingsShowsWhatItComputes()
{
    QFETCH(QString, control);
    QFETCH(int, position);

    const ToolkitRecorder toolkit;
    const ModalWatchdog watchdog;
    startApplication();
    const auto click = [](const char *screen, const char *name) {
        auto *b = ::control<QAbstractButton>(QLatin1String(screen), QLatin1String(name));
        QVERIFY2(b && b->isVisible() && b->isEnabled(), name);
        QTest::mouseClick(b, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    click("Intro", "Command3");
    click("Setup", "Option3");
    click("Setup", "Option5");
    ::control<QScrollBar>(QStringLiteral("Setup"), QStringLiteral("HScroll3"))->setValue(1000);
    click("Setup", "Option1");
    click("Setup", "Command2");
    click("CompAngle", "Command5");
    click("CompAngle", "Command1");

    if (position == 0)
        click("Setup", qPrintable(control));
    else
        ::control<QScrollBar>(QStringLiteral("Setup"), control)->setValue(position);
    click("RootFindParameters", "Command1");
    ::control<QScrollBar>(Screens::get<CompAngle>(), "HScroll1")->triggerAction(QAbstractSlider::SliderPageStepAdd);
    click("CompAngle", "Command4");

    QVERIFY(filled(textBox(Screens::get<CompAngle>(), "Text8")));
    QCOMPARE(faultOnScreens(), QString());
    // Otherwise the next move on it would pull the problem from under the angle screen.
    QVERIFY(!shown(QStringLiteral("Setup")));
    QVERIFY(!watchdog.tripped());
    resetShell();
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
