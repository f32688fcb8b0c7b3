#include "tests/screens/screen_test_support.h"

#include "screens/comp_angle.h"
#include "screens/comp_mz_vel.h"
#include "screens/flight/firing_table_window.h"
#include "screens/flight/flight_results.h"
#include "screens/flight/trajectory_plot.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

namespace {

QWidget *open(const QString &name, int position, bool compute)
{
    Module1.DistanceUnitCode = std::string("m");
    Module1.AngleUnitCode = std::string("d");
    Module1.TargetDistance = 1000;
    Module1.FiringElevationEntry = 100;
    Module1.TargetElevationEntry = 0;
    Module1.setupCommit();
    if (name == QLatin1String("CompAngle"))
        Screens::show<CompAngle>();
    else
        Screens::show<CompMzVel>();
    QWidget *screen = window(name);
    screen->findChild<QScrollBar *>(QStringLiteral("HScroll1"))->setValue(position);
    if (compute)
        QTest::mouseClick(screen->findChild<QPushButton *>(QStringLiteral("Command4")), Qt::LeftButton);
    return screen;
}

QString text(QWidget *screen, const QString &name)
{
    const QObject *control = screen->findChild<QObject *>(name);
    return control ? control->property("text").toString() : QStringLiteral("<no %1>").arg(name);
}

} // namespace

class TestResultExtras : public QObject, private ScreenFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void copyHoldsTheBoxesAsShown_data();
    void copyHoldsTheBoxesAsShown();
    void copyAddsAirResistanceWhileOn();
    void menuOpensFromDisabledBoxes();
    void firingTableHoldsTheScreensFigures();
    void firingTableStepsAreChecked_data();
    void firingTableStepsAreChecked();
    void controlPPrintsLikePrintResults();

private:
};

void TestResultExtras::initTestCase()
{
    // Printing reports the missing printer instead of reaching a real spooler.
    qputenv("CUPS_SERVER", QByteArray("/nonexistent/trajectrix-extras.sock"));
    toolkit::installFontSubstitutions();
}

void TestResultExtras::init()
{
    setUpShell();
}

void TestResultExtras::cleanup()
{
    tearDownShell();
}

void TestResultExtras::copyHoldsTheBoxesAsShown_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("compute");
    // The controls each copied line must show, cell by cell after the first.
    QTest::addColumn<QList<QStringList>>("lines");
    // The first cell of each line: what the row holds.
    QTest::addColumn<QStringList>("labels");

    const QList<QStringList> problem{{"Text2", "Label20"}, {"Text5", "Label20"}, {"Text6", "Label20"}};
    const QList<QStringList> angle = problem + QList<QStringList>{{"Text4"},
                                                                  {"Text1", "Label26"},
                                                                  {},
                                                                  {"Label8", "Label9", "Label15"},
                                                                  {"Text7", "Text8", "Label16"},
                                                                  {"Text9", "Text11", "Label17"},
                                                                  {"Text10", "Text12", "Label18"},
                                                                  {"Text13", "Text15", "Label19"},
                                                                  {"Text14", "Text16", "Label20"},
                                                                  {"Text17", "Text18", "Label21"}};
    const QList<QStringList> velocity = problem + QList<QStringList>{{"Text4"},
                                                                     {"Text1", "Label9"},
                                                                     {},
                                                                     {"Label8", "Label15"},
                                                                     {"Text7", "Label16"},
                                                                     {"Text9", "Label17"},
                                                                     {"Text10", "Label18"},
                                                                     {"Text13", "Label19"},
                                                                     {"Text14", "Label20"},
                                                                     {"Text17", "Label21"}};

    const QStringList problemLabels{"Horizontal distance to target (Sx)", "Firing point elevation (So)",
                                    "Target elevation (Sy)", "Acceleration due to gravity (g)"};
    const QStringList figureLabels{"Velocity x - direction", "Velocity y - direction", "Time to apogee",
                                   "Apogee altitude", "Projectile time of flight"};
    const QStringList angleLabels = problemLabels + QStringList{"Muzzle velocity", "", "", "Angle"} + figureLabels;
    const QStringList velocityLabels =
        problemLabels + QStringList{"Super elevation angle", "", "", "Muzzle Velocity"} + figureLabels;

    QTest::newRow("angle screen computed") << "CompAngle" << 1500 << true << angle << angleLabels;
    QTest::newRow("angle screen with its results emptied") << "CompAngle" << 1500 << false << angle << angleLabels;
    QTest::newRow("muzzle velocity screen computed") << "CompMzVel" << 2256 << true << velocity << velocityLabels;
    QTest::newRow("muzzle velocity screen with its results emptied")
        << "CompMzVel" << 2256 << false << velocity << velocityLabels;
}

void TestResultExtras::copyHoldsTheBoxesAsShown()
{
    QFETCH(QString, screen);
    QFETCH(int, position);
    QFETCH(bool, compute);
    QFETCH(QList<QStringList>, lines);
    QFETCH(QStringList, labels);

    QWidget *w = open(screen, position, compute);
    QApplication::clipboard()->clear();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_C, Qt::ControlModifier);

    QStringList copied = QApplication::clipboard()->text().split(QLatin1Char('\n'));
    QCOMPARE(copied.takeLast(), QString());
    QCOMPARE(copied.takeFirst(), w->windowTitle());
    QCOMPARE(copied.size(), lines.size());
    QCOMPARE(labels.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        QStringList cells = copied[i].split(QLatin1Char('\t'));
        if (lines[i].isEmpty()) {
            QCOMPARE(copied[i], QString());
            continue;
        }
        QCOMPARE(cells.takeFirst(), labels[i]);
        QStringList shown;
        for (const QString &name : lines[i])
            shown.append(text(w, name));
        // The gravity line's unit is the copy's own, the distance's per second squared: the
        // screen shows none.
        if (lines[i] == QStringList{"Text4"}) {
            const QString distance = copied[0].section(QLatin1Char('\t'), -1);
            QVERIFY2(cells.size() == 2 && !distance.isEmpty() && cells[1].startsWith(distance) &&
                         cells[1].endsWith(QStringLiteral("ec\u00b2")),
                     qPrintable(copied[i]));
            cells = cells.mid(0, 1);
        }
        QCOMPARE(cells, shown);
    }
    QCOMPARE(text(w, QStringLiteral("Text7")).isEmpty(), !compute);
}

void TestResultExtras::copyAddsAirResistanceWhileOn()
{
    QWidget *w = open(QStringLiteral("CompAngle"), 1500, true);
    QVERIFY(QTest::qWaitForWindowActive(w));
    const auto copied = [w] {
        QApplication::clipboard()->clear();
        QTest::keyClick(w, Qt::Key_C, Qt::ControlModifier);
        return QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    const QStringList without = copied();
    QTest::keyClick(w, Qt::Key_T, Qt::ControlModifier);
    auto *plot = w->findChild<TrajectoryPlot *>();
    QVERIFY(plot);
    QCOMPARE(copied(), without);

    plot->findChild<QComboBox *>(QStringLiteral("Projectile"))->setCurrentIndex(4);
    plot->findChild<QCheckBox *>(QStringLiteral("AirResistance"))->click();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QStringList rows = copied();
    QCOMPARE(rows.mid(0, without.size()), without);
    rows = rows.mid(without.size());
    QStringList expected{"Air resistance",
                         "Projectile\t12-pound iron cannonball\t",
                         "Drag law\tSphere\t",
                         "Mass\t5.57919\tkg",
                         "Diameter\t114.808\tmm",
                         "Altitude\t0\tm",
                         "Atmosphere\tStandard\t",
                         "Temperature\t15\t\u00b0C",
                         "Pressure\t1013.25\thPa",
                         "Humidity\t0\t%",
                         "Density with height\tYes\t",
                         "Air density\t1.225\tkg/m\u00b3",
                         "Wind\t0\tm/s"};
    // The flight window's own table: its header, then its rows with air, one value a cell.
    const QList<QStringList> table = plot->results().cells();
    expected << table.front().join(QLatin1Char('\t'));
    for (const QStringList &row : table.mid(1))
        if (row.front().startsWith(QLatin1String("With air")) || row.front().startsWith(QLatin1String("Corrected")))
            expected << row.join(QLatin1Char('\t'));
    QCOMPARE(rows, expected);
    QVERIFY(expected.size() > 13 + 1 + 8);

    // Closed, the flight window takes its rows along, as Print leaves out its page.
    plot->close();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(copied(), without);

    QTest::keyClick(w, Qt::Key_T, Qt::ControlModifier);
    QVERIFY(QTest::qWaitForWindowExposed(plot));
    plot->findChild<QCheckBox *>(QStringLiteral("AirResistance"))->click();
    // The screen's own Ctrl+C, not the flight window's.
    QApplication::setActiveWindow(w);
    QTRY_COMPARE(QApplication::activeWindow(), w);
    QCOMPARE(copied(), without);
}

void TestResultExtras::menuOpensFromDisabledBoxes()
{
    QWidget *w = open(QStringLiteral("CompAngle"), 1500, true);
    auto *box = w->findChild<QLineEdit *>(QStringLiteral("Text16"));
    QVERIFY(!box->isEnabled());

    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box, &click);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QStringList items;
    for (const QAction *action : menu->actions())
        items.append(action->text());
    QCOMPARE(items, (QStringList{"Show Trajectory", "Copy Results", "Print Results", "Firing Table"}));

    menu->actions().constFirst()->trigger();
    menu->close();
    QTRY_VERIFY(shown(QStringLiteral("TrajectoryPlot")));
}

void TestResultExtras::controlPPrintsLikePrintResults()
{
    for (const QString &name : {QStringLiteral("CompAngle"), QStringLiteral("CompMzVel")}) {
        QWidget *w = open(name, 1500, true);
        m_toolkit->boxes.clear();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(m_toolkit->boxes.size(), 1);
        QVERIFY(m_toolkit->boxes[0].text.startsWith(QLatin1String("No printer is available.")));
        QCOMPARE(m_toolkit->boxes[0].buttons, platform::MessageButtons::OkSaveAsPdf);
        resetShell();
    }
}

namespace {

FiringTableWindow *openFiringTable(QWidget *screen)
{
    screen->activateWindow();
    if (!QTest::qWaitForWindowActive(screen))
        return nullptr;
    QTest::keyClick(screen, Qt::Key_R, Qt::ControlModifier);
    auto *table = screen->findChild<FiringTableWindow *>();
    if (table && !QTest::qWaitFor([table] { return !table->computing(); }, 20000))
        return nullptr;
    return table;
}

} // namespace

// The row of the screen's own distance reads as the screen; the view, Copy, Save as CSV
// and the PDF give the same rows; the flight window's air adds its columns.
void TestResultExtras::firingTableHoldsTheScreensFigures()
{
    QWidget *w = open(QStringLiteral("CompAngle"), 1500, true);
    FiringTableWindow *table = openFiringTable(w);
    QVERIFY(table);
    const QList<QStringList> rows = table->rows();
    QCOMPARE(rows.size(), 21);
    QCOMPARE(rows.front().front(), QStringLiteral("distance (m)"));
    QCOMPARE(rows[1].front() + ' ' + rows.back().front(), QStringLiteral("100 2000")); // in the order stepped
    const auto own = std::find_if(rows.begin(), rows.end(), [](const QStringList &r) { return r.front() == "1000"; });
    QVERIFY(own != rows.end());
    QStringList shown;
    for (const char *box : {"Text7", "Text17", "Text14", "Text8", "Text18", "Text16"})
        shown << text(w, QLatin1String(box)).trimmed();
    QCOMPARE((QStringList{(*own)[1], (*own)[2], (*own)[3], (*own)[6], (*own)[7], (*own)[8]}), shown);
    QCOMPARE(table->findChild<QTableView *>(QStringLiteral("FiringTableRows"))->model()->rowCount(), 20);

    QApplication::clipboard()->clear();
    QApplication::setActiveWindow(table); // the offscreen platform leaves the screen active
    QTest::keyClick(table->findChild<QTableView *>(QStringLiteral("FiringTableRows")), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), flight::tabSeparated(rows));

    QTemporaryDir folder;
    const QString csvPath = folder.filePath(QStringLiteral("table.csv"));
    const QString pdfPath = folder.filePath(QStringLiteral("table.pdf"));
    QString answer = csvPath;
    platform::setSaveFileHandler([&](const QString &, const QString &) { return answer; });
    table->saveCsv();
    QFile csv(csvPath);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(csv.readAll()), flight::csv(rows));
    answer = pdfPath;
    m_toolkit->answerNext(platform::answerSaveAsPdf);
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    table->print();
    platform::setSaveFileHandler({});
    QProcess pdf;
    pdf.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdfPath, QStringLiteral("-")});
    QVERIFY(pdf.waitForFinished(20000));
    const QString page = QString::fromUtf8(pdf.readAllStandardOutput()).simplified();
    for (const QString &cell : *own)
        QVERIFY2(page.contains(cell), qPrintable(cell));

    // With the flight window's air on, the same rows gain the figures with air.
    QApplication::setActiveWindow(w);
    QTest::keyClick(w, Qt::Key_T, Qt::ControlModifier);
    auto *plot = w->findChild<TrajectoryPlot *>();
    QVERIFY(plot);
    plot->findChild<QCheckBox *>(QStringLiteral("AirResistance"))->click();
    QVERIFY(QTest::qWaitFor([table] { return !table->computing(); }, 60000));
    const QStringList header = table->rows().front();
    QVERIFY2(header.contains(QStringLiteral("air angle 1 (degrees)")), qPrintable(header.join(',')));
    QCOMPARE(table->rows().size(), 21);
}

void TestResultExtras::firingTableStepsAreChecked_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("status");

    QTest::newRow("a step of 0") << "100"
                                 << "2000"
                                 << "0"
                                 << "Step: a step of 0 never reaches the last value.";
    QTest::newRow("a step away from the last") << "100"
                                               << "2000"
                                               << "-100"
                                               << "Step: from 100 a step of -100 leads away from 2000; turn its sign.";
    QTest::newRow("letters") << "1oo"
                             << "2000"
                             << "100"
                             << "From: Not a number: type digits, with \".\" as the decimal point.";
    QTest::newRow("too many rows") << "1"
                                   << "200000"
                                   << "1"
                                   << "Step: that makes more than 10000 rows; take a larger step.";
    QTest::newRow("counting down") << "300"
                                   << "100"
                                   << "-100"
                                   << "3 rows.";
}

void TestResultExtras::firingTableStepsAreChecked()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, step);
    QFETCH(QString, status);

    FiringTableWindow *table = openFiringTable(open(QStringLiteral("CompAngle"), 1500, true));
    QVERIFY(table);
    const std::array<std::pair<const char *, QString>, 3> entries{
        {{"TableFrom", from}, {"TableTo", to}, {"TableStep", step}}};
    for (const auto &[name, typed] : entries)
        table->findChild<QLineEdit *>(QLatin1String(name))->setText(typed);
    QTest::keyClick(table->findChild<QLineEdit *>(QStringLiteral("TableStep")), Qt::Key_Return);
    QVERIFY(QTest::qWaitFor([table] { return !table->computing(); }, 20000));
    QCOMPARE(table->findChild<QLabel *>(QStringLiteral("TableStatus"))->text(), status);
    // A refused range leaves no rows behind, never a message as a row.
    QCOMPARE(table->rows().size() - 1, status.endsWith(QLatin1String("rows.")) ? status.section(' ', 0, 0).toInt() : 0);
}

QTEST_MAIN(TestResultExtras)
#include "tst_result_extras.moc"
