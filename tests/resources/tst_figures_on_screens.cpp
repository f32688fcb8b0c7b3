#include "platform/messages.h"
#include "resources/figures.h"
#include "screens/example.h"
#include "screens/example2.h"
#include "screens/intro.h"
#include "screens/root_find_parameters.h"
#include "screens/screens.h"
#include "screens/setup.h"
#include "toolkit/controls.h"
#include "toolkit/figure_box.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <functional>

Q_DECLARE_METATYPE(Figure)

using ScreenFactory = std::function<QWidget *()>;
Q_DECLARE_METATYPE(ScreenFactory)

// Each figure sits unscaled in the top-left corner of its box, and where the box is
// larger than the figure the box's own background shows.
class TestFiguresOnScreens : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        toolkit::installFontSubstitutions();
        platform::setMessageBoxHandler(
            [](const QString &, const QString &, platform::MessageButtons) { return platform::answerOk; });
    }
    void cleanup() { Screens::discardAll(); }

    void figureAtNaturalSize_data();
    void figureAtNaturalSize();
};

void TestFiguresOnScreens::figureAtNaturalSize_data()
{
    QTest::addColumn<ScreenFactory>("screen");
    QTest::addColumn<QString>("box");
    QTest::addColumn<Figure>("figure");
    QTest::addColumn<bool>("backgroundShows");

    QTest::newRow("firing situation on the introduction")
        << ScreenFactory([] { return Screens::get<Intro>(); }) << "Picture1" << Figure::FiringSituation << true;
    QTest::newRow("terrain on the set-up screen")
        << ScreenFactory([] { return Screens::get<Setup>(); }) << "Picture1" << Figure::Terrain << true;
    QTest::newRow("example problem") << ScreenFactory([] { return Screens::get<Example>(); }) << "Image1"
                                     << Figure::ExampleProblem << false;
    QTest::newRow("general analysis") << ScreenFactory([] { return Screens::get<Example2>(); }) << "Image1"
                                      << Figure::GeneralAnalysis << false;
    QTest::newRow("Newton's method on the root-finding screen")
        << ScreenFactory([] { return Screens::get<RootFindParameters>(); }) << "Image1" << Figure::NewtonsMethod
        << false;
}

void TestFiguresOnScreens::figureAtNaturalSize()
{
    QFETCH(ScreenFactory, screen);
    QFETCH(QString, box);
    QFETCH(Figure, figure);
    QFETCH(bool, backgroundShows);

    QWidget *window = screen();
    QVERIFY(window);
    auto *figureBox = window->findChild<toolkit::FigureBox *>(box);
    QVERIFY(figureBox);
    QCOMPARE(figureBox->figureSize(), naturalSize(figure));

    const QImage shown = figureBox->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect drawn(figureBox->figureOrigin(), naturalSize(figure));
    QVERIFY2(figureBox->contentsRect().contains(drawn), "the figure does not fit its box unscaled");

    // Something dark is drawn inside the figure's natural rectangle...
    int dark = 0;
    for (int y = drawn.top(); y <= drawn.bottom(); ++y)
        for (int x = drawn.left(); x <= drawn.right(); ++x)
            dark += qGray(shown.pixel(x, y)) < 100;
    QVERIFY2(dark > drawn.width(), qPrintable(QStringLiteral("%1 dark pixels").arg(dark)));

    // ...and nothing outside it: the box's background, unscaled figure, no stretching.
    if (backgroundShows) {
        const QRect inside = figureBox->contentsRect();
        const QRgb background = shown.pixel(inside.right() - 1, inside.bottom() - 1);
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                if (!drawn.contains(x, y))
                    QCOMPARE(shown.pixel(x, y), background);
        QVERIFY(shown.pixel(drawn.right() + 1, drawn.top()) == background);
    }
}

QTEST_MAIN(TestFiguresOnScreens)
#include "tst_figures_on_screens.moc"
