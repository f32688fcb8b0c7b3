#include "tests/screens/screen_test_support.h"

#include "screens/comp_angle.h"
#include "screens/comp_mz_vel.h"
#include "screens/root_find_parameters.h"
#include "screens/setup.h"
#include "toolkit/up_down.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolTip>

namespace {

// The level problem, 1000 m in metres and degrees, on the screen named; the
// set-up screen with its bars open for input.
QWidget *openScreen(const QString &name)
{
    if (name == QLatin1String("Setup")) {
        Screens::show<Setup>();
        QTest::mouseClick(control(name, QStringLiteral("Option3")), Qt::LeftButton);
        QTest::mouseClick(control(name, QStringLiteral("Option5")), Qt::LeftButton);
    } else {
        Module1.DistanceUnitCode = std::string("m");
        Module1.AngleUnitCode = std::string("d");
        Module1.TargetDistance = 1000;
        Module1.setupCommit();
        if (name == QLatin1String("CompMzVel"))
            Screens::show<CompMzVel>();
        else
            Screens::show<CompAngle>();
        if (name == QLatin1String("RootFindParameters"))
            QTest::mouseClick(control(QStringLiteral("CompAngle"), QStringLiteral("Command5")), Qt::LeftButton);
    }
    QWidget *w = window(name);
    w->activateWindow();
    return QTest::qWaitForWindowActive(w) ? w : nullptr;
}

// The thumb dragged and let go; the up-down stepped.
void moveTo(QWidget *w, int position)
{
    if (auto *bar = qobject_cast<QScrollBar *>(w)) {
        bar->setSliderDown(true);
        bar->setSliderPosition(position);
        bar->setSliderDown(false);
        return;
    }
    auto *upDown = dynamic_cast<toolkit::UpDown *>(w);
    auto *box = w->window()->findChild<QLineEdit *>(QStringLiteral("Text4"));
    while (box->text().toInt() != position)
        box->text().toInt() < position ? upDown->stepUp() : upDown->stepDown();
}

// The first key reaches the control, the rest its editor.
void typeInto(QWidget *control, const QString &text)
{
    control->setFocus();
    QTest::keyClick(control, text.front().toLatin1());
    QTest::keyClicks(QApplication::focusWidget(), text.mid(1));
}

QString number(double x)
{
    return QString::number(x, 'g', 17);
}

QLabel *note(QWidget *screen, const QString &box)
{
    return screen->findChild<QLabel *>(box + QStringLiteral("Note"));
}

QLineEdit *editor(QWidget *screen, const QString &box)
{
    return screen->findChild<QLineEdit *>(box + QStringLiteral("Editor"));
}

} // namespace

class TestTyping : public QObject, private ScreenFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { toolkit::installFontSubstitutions(); }
    void init();
    void cleanup();

    void committedValueActsAsScrollingThere_data();
    void committedValueActsAsScrollingThere();
    void keypadEnterCommitsAndLeavingAgainAbandons();
    void refusedOrAbandonedTextChangesNothing_data();
    void refusedOrAbandonedTextChangesNothing();
    void opensOnlyWhereTheControlTakesInput_data();
    void opensOnlyWhereTheControlTakesInput();
    void dragTipShowsWhatTheBoxTakesOnRelease_data();
    void dragTipShowsWhatTheBoxTakesOnRelease();

private:
    // What the user and the computations see of a screen.
    QStringList state(QWidget *screen) const;
};

void TestTyping::init()
{
    setUpShell();
}

void TestTyping::cleanup()
{
    tearDownShell();
}

QStringList TestTyping::state(QWidget *screen) const
{
    QStringList s;
    for (const QLineEdit *box : screen->findChildren<QLineEdit *>())
        if (!box->objectName().endsWith(QLatin1String("Editor")))
            s << box->objectName() + '=' + box->text();
    for (const QPushButton *button : screen->findChildren<QPushButton *>())
        if (toolkit::backColour(button) == toolkit::BackColour::Yellow)
            s << button->objectName() + QStringLiteral(" yellow");
    for (const QScrollBar *bar : screen->findChildren<QScrollBar *>())
        s << bar->objectName() + '@' + QString::number(bar->value());
    for (const RecordedBox &box : m_toolkit->boxes)
        s << box.title + ": " + box.text;
    const ProblemModel &m = Module1;
    s << QString::fromStdString(m.TargetElevationEntry.toText() + " " + m.FiringElevationEntry.toText() + " " +
                                m.MuzzleVelocity.toText() + " " + m.MaxIterations.toText())
      << number(m.TargetDistance) + ' ' + number(m.ElevationAngle) + ' ' + number(m.Tolerance) + ' ' +
             number(m.Increment) + (m.MaxIterations.isWhole() ? " whole" : "");
    return s;
}

void TestTyping::committedValueActsAsScrollingThere_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("note");

    QTest::newRow("distance") << "Setup"
                              << "HScroll3"
                              << "Text3" << 0 << "1000" << 1000 << "";
    QTest::newRow("elevation rounded to a whole number")
        << "Setup"
        << "HScroll2"
        << "Text2" << 0 << "-12.5" << -13 << "Set to -13 Meters \u2014 the nearest whole number this screen can take.";
    QTest::newRow("velocity") << "CompAngle"
                              << "HScroll1"
                              << "Text1" << 990 << "150" << 1500 << "";
    QTest::newRow("velocity nearer the least than 99.1")
        << "CompAngle"
        << "HScroll1"
        << "Text1" << 1500 << "99.05" << 990
        << "Set to 99.032 Meters/Sec \u2014 the nearest velocity this screen can take.";
    QTest::newRow("angle between positions")
        << "CompMzVel"
        << "HScroll1"
        << "Text1" << 1 << "40" << 6981 << "Set to 39.998\u00b0 \u2014 the nearest angle this screen can take.";
    QTest::newRow("lowest angle brings the limit note") << "CompMzVel"
                                                        << "HScroll1"
                                                        << "Text1" << 50 << "0.006" << 1 << "";
    QTest::newRow("tolerance") << "RootFindParameters"
                               << "HScroll1"
                               << "Text1" << 100 << "5E-08" << 50 << "";
    QTest::newRow("increment") << "RootFindParameters"
                               << "HScroll2"
                               << "Text2" << 100 << "2.5e-6" << 25 << "";
    QTest::newRow("iteration limit") << "RootFindParameters"
                                     << "UpDown1"
                                     << "Text4" << 100 << "250" << 250 << "";
}

void TestTyping::committedValueActsAsScrollingThere()
{
    QFETCH(QString, screen);
    QFETCH(QString, control);
    QFETCH(QString, box);
    QFETCH(int, from);
    QFETCH(QString, typed);
    QFETCH(int, position);
    QFETCH(QString, note);

    QWidget *s = openScreen(screen);
    QVERIFY(s);
    QWidget *c = s->findChild<QWidget *>(control);
    moveTo(c, from);
    m_toolkit->boxes.clear();
    moveTo(c, position);
    const QStringList scrolled = state(s);

    resetShell();
    s = openScreen(screen);
    QVERIFY(s);
    c = s->findChild<QWidget *>(control);
    moveTo(c, from);
    m_toolkit->boxes.clear();
    typeInto(c, typed);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(state(s), scrolled);
    QVERIFY(!editor(s, box)->isVisible());
    QCOMPARE(QApplication::focusWidget(), c);
    QLabel *shown = ::note(s, box);
    QCOMPARE(shown && shown->isVisible() ? shown->text() : QString(), note);
    QCOMPARE(c->accessibleDescription(), note);
    if (note.isEmpty())
        return;
    // Gone at the next key, and nothing of it stays behind.
    QTest::keyClick(c, Qt::Key_Shift);
    QVERIFY(!shown->isVisible());
    QVERIFY(c->accessibleDescription().isEmpty());
}

// Keypad Enter commits as Return does; the next editor, left, is abandoned as the first.
void TestTyping::keypadEnterCommitsAndLeavingAgainAbandons()
{
    QWidget *s = openScreen(QStringLiteral("Setup"));
    QVERIFY(s);
    auto *bar = s->findChild<QScrollBar *>(QStringLiteral("HScroll3"));
    typeInto(bar, QStringLiteral("1000"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(bar->value(), 1000);
    QLineEdit *e = editor(s, QStringLiteral("Text3"));
    QVERIFY(!e->isVisible());

    typeInto(bar, QStringLiteral("500"));
    QVERIFY(e->isVisible());
    s->findChild<QWidget *>(QStringLiteral("Option4"))->setFocus();
    QVERIFY(!e->isVisible());
    QCOMPARE(bar->value(), 1000);
}

void TestTyping::refusedOrAbandonedTextChangesNothing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("finish");
    QTest::addColumn<QString>("note");

    QTest::newRow("letters refused; the editor stays for a correction")
        << "12a"
        << "Return"
        << "Not a number: type digits, with \".\" as the decimal point.";
    QTest::newRow("out of range refused, the range said in the unit")
        << "40000"
        << "Return"
        << "Out of range: type a number from 0 to 32000 Meters.";
    QTest::newRow("Escape keeps the old value") << "500"
                                                << "Escape"
                                                << "";
    QTest::newRow("leaving the editor keeps the old value") << "500"
                                                            << "leave"
                                                            << "";
    QTest::newRow("leaving the screen keeps the old value") << "500"
                                                            << "hide"
                                                            << "";
}

void TestTyping::refusedOrAbandonedTextChangesNothing()
{
    QFETCH(QString, typed);
    QFETCH(QString, finish);
    QFETCH(QString, note);

    QWidget *s = openScreen(QStringLiteral("Setup"));
    QVERIFY(s);
    auto *bar = s->findChild<QScrollBar *>(QStringLiteral("HScroll3"));
    moveTo(bar, 700);
    const QStringList before = state(s);
    typeInto(bar, typed);
    QLineEdit *e = editor(s, QStringLiteral("Text3"));
    if (finish == QLatin1String("leave")) {
        s->findChild<QWidget *>(QStringLiteral("Option4"))->setFocus();
    } else if (finish == QLatin1String("hide")) {
        Screens::hide<Setup>();
        Screens::show<Setup>();
    } else {
        QTest::keyClick(e, finish == QLatin1String("Return") ? Qt::Key_Return : Qt::Key_Escape);
    }

    QCOMPARE(state(s), before);
    const bool refused = !note.isEmpty();
    QCOMPARE(e->isVisible(), refused);
    QCOMPARE(e->text(), typed);
    QLabel *shown = ::note(s, QStringLiteral("Text3"));
    QCOMPARE(shown && shown->isVisible() ? shown->text() : QString(), note);
    if (!refused)
        return;
    QCOMPARE(e->accessibleDescription(), note);
    QCOMPARE(QApplication::focusWidget(), e);
    QTest::keyClick(e, Qt::Key_Escape);
    QVERIFY(!shown->isVisible());
    QCOMPARE(QApplication::focusWidget(), bar);
}

void TestTyping::opensOnlyWhereTheControlTakesInput_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("barsOpen");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("selected");

    QTest::newRow("a digit starts a new value") << "7" << true << "7"
                                                << "";
    QTest::newRow("a sign starts a new value") << "-" << true << "-"
                                               << "";
    QTest::newRow("a point starts a new value") << "." << true << "."
                                                << "";
    QTest::newRow("F2 offers the value shown") << "F2" << true << "700"
                                               << "700";
    QTest::newRow("double click on the box offers it too") << "double click" << true << "700"
                                                           << "700";
    QTest::newRow("a letter is not a value") << "a" << true << ""
                                             << "";
    QTest::newRow("Ctrl with a digit is no typing") << "ctrl+1" << true << ""
                                                    << "";
    QTest::newRow("no double click before the bars take input") << "double click" << false << ""
                                                                << "";
}

void TestTyping::opensOnlyWhereTheControlTakesInput()
{
    QFETCH(QString, how);
    QFETCH(bool, barsOpen);
    QFETCH(QString, text);
    QFETCH(QString, selected);

    QWidget *s = openScreen(QStringLiteral("Setup"));
    QVERIFY(s);
    auto *bar = s->findChild<QScrollBar *>(QStringLiteral("HScroll3"));
    auto *box = s->findChild<QLineEdit *>(QStringLiteral("Text3"));
    moveTo(bar, 700);
    if (!barsOpen)
        s->findChild<QWidget *>(QStringLiteral("Frame3"))->setEnabled(false);
    bar->setFocus();
    if (how == QLatin1String("double click"))
        QTest::mouseDClick(box, Qt::LeftButton);
    else if (how == QLatin1String("F2"))
        QTest::keyClick(bar, Qt::Key_F2);
    else if (how == QLatin1String("ctrl+1"))
        QTest::keyClick(bar, '1', Qt::ControlModifier);
    else
        QTest::keyClick(bar, how.front().toLatin1());

    QLineEdit *e = editor(s, QStringLiteral("Text3"));
    if (text.isEmpty()) {
        QVERIFY(!e || !e->isVisible());
        QCOMPARE(box->text(), QStringLiteral("700"));
        return;
    }
    QVERIFY(e && e->isVisible());
    QCOMPARE(QApplication::focusWidget(), e);
    QCOMPARE(e->text(), text);
    QCOMPARE(e->selectedText(), selected);
    QCOMPARE(e->geometry(), box->geometry());
    QCOMPARE(e->accessibleName(), QStringLiteral("Type the horizontal distance to the target"));
    QCOMPARE(e->toolTip(),
             QStringLiteral("A whole number from 0 to 32000 Meters. Enter sets it, Escape keeps the old value."));
    QVERIFY(!box->isEnabled());
}

void TestTyping::dragTipShowsWhatTheBoxTakesOnRelease_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("bar");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("position");

    QTest::newRow("distance") << "Setup"
                              << "HScroll3"
                              << "Text3" << 1234;
    QTest::newRow("velocity at or below the least") << "CompAngle"
                                                    << "HScroll1"
                                                    << "Text1" << 990;
    QTest::newRow("angle") << "CompMzVel"
                           << "HScroll1"
                           << "Text1" << 7854;
    QTest::newRow("tolerance") << "RootFindParameters"
                               << "HScroll1"
                               << "Text1" << 50;
}

void TestTyping::dragTipShowsWhatTheBoxTakesOnRelease()
{
    QFETCH(QString, screen);
    QFETCH(QString, bar);
    QFETCH(QString, box);
    QFETCH(int, position);

    QWidget *s = openScreen(screen);
    QVERIFY(s);
    auto *b = s->findChild<QScrollBar *>(bar);
    auto *t = s->findChild<QLineEdit *>(box);
    moveTo(b, b->maximum());
    const QString before = t->text();
    b->setSliderDown(true);
    b->setSliderPosition(position);
    QTRY_VERIFY(QToolTip::isVisible());
    const QString tip = QToolTip::text();
    QCOMPARE(t->text(), before);
    b->setSliderDown(false);
    QCOMPARE(t->text(), tip);
    QTRY_VERIFY(!QToolTip::isVisible());
}

QTEST_MAIN(TestTyping)
#include "tst_typing.moc"
