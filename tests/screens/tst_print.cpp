#include "platform/print.h"
#include "screens/comp_angle.h"
#include "screens/comp_mz_vel.h"
#include "screens/flight/trajectory_plot.h"
#include "screens/intro.h"
#include "tests/screens/screen_test_support.h"

#include <QDateTime>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// The level 1000 m problem computed at 150 m/s.
CompAngle *computedAngleScreen()
{
    Module1.DistanceUnitCode = std::string("m");
    Module1.AngleUnitCode = std::string("d");
    Module1.TargetDistance = 1000;
    Module1.setupCommit();
    Screens::show<CompAngle>();
    auto *screen = Screens::get<CompAngle>();
    control<QScrollBar>(screen, "HScroll1")->setValue(1500);
    QTest::mouseClick(control<QPushButton>(screen, "Command4"), Qt::LeftButton);
    return screen;
}

} // namespace

// Runs against the private spooler of scripts/test-printer (CUPS_SERVER set by CTest),
// or with CUPS_SERVER pointing nowhere for the no-printer case.
class TestPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { toolkit::installFontSubstitutions(); }
    void cleanup() { resetShell(); }

    void printsThroughSpooler();
    void printsOpenPlotAsSecondPage();
    void printsComputedMuzzleVelocityScreen();
    void refusesPrinterThatRejectsJobs();
    void reportsMissingPrinter();
    void savesPdfWithoutPrinter_data();
    void savesPdfWithoutPrinter();

private:
    static QString lpCommand(const QString &program, const QStringList &args);
    static QFileInfo waitForPdf(const QString &jobPrefix, const QDateTime &since);
    static void comparePage(const QString &pdf, int page, const QImage &screen, double tolerance = 12);
};

QString TestPrint::lpCommand(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
}

// The spooler names each job's PDF after its title, in a folder of this run's own
// (TRAJECTRIX_PDF_DIR), and moves it there only once it is complete.
QFileInfo TestPrint::waitForPdf(const QString &jobPrefix, const QDateTime &since)
{
    const QString folder = qEnvironmentVariable("TRAJECTRIX_PDF_DIR");
    if (folder.isEmpty())
        qWarning("TRAJECTRIX_PDF_DIR is not set");
    const QDir out(folder);
    // The spooler's filters take tens of seconds for a page on a busy machine.
    QDeadlineTimer deadline(120000);
    while (!folder.isEmpty() && !deadline.hasExpired()) {
        const QFileInfoList files = out.entryInfoList({jobPrefix + QStringLiteral("*.pdf")}, QDir::Files, QDir::Time);
        if (!files.isEmpty() && files.first().lastModified() >= since)
            return files.first();
        QTest::qWait(200);
    }
    return {};
}

void TestPrint::printsComputedMuzzleVelocityScreen()
{
    ToolkitRecorder recorder;
    Module1.DistanceUnitCode = std::string("m");
    Module1.AngleUnitCode = std::string("d");
    Module1.TargetDistance = 1000;
    Module1.setupCommit();
    Screens::show<CompMzVel>();
    auto *screen = Screens::get<CompMzVel>();
    control<QScrollBar>(screen, "HScroll1")->setValue(7854);
    QTest::mouseClick(control<QPushButton>(screen, "Command4"), Qt::LeftButton);
    QCOMPARE(control<QLineEdit>(screen, "Text7")->text(), QStringLiteral("99.03"));
    const QImage screenImage = screen->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QDateTime since = QDateTime::currentDateTime().addSecs(-1);
    recorder.boxes.clear();

    QTest::mouseClick(control<QPushButton>(screen, "Command3"), Qt::LeftButton);
    QVERIFY2(recorder.boxes.isEmpty(), qPrintable(recorder.boxes.value(0).text));

    const QFileInfo pdf = waitForPdf(QStringLiteral("Compute_Muzzle"), since);
    QVERIFY2(pdf.exists(), "no PDF arrived from the spooler");
    const QString info = lpCommand(QStringLiteral("pdfinfo"), {pdf.absoluteFilePath()});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\b"))), qPrintable(info));
    comparePage(pdf.absoluteFilePath(), 1, screenImage);
    QFile::remove(pdf.absoluteFilePath());
}

// The spooler's PDF goes through PostScript and comes back as one bitmap per page, so
// the page is compared with the screen as a picture.
void TestPrint::printsThroughSpooler()
{
    ToolkitRecorder recorder;
    auto *intro = Screens::get<Intro>();
    QVERIFY(intro);
    const QImage screen = intro->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QDateTime since = QDateTime::currentDateTime().addSecs(-1);

    QVERIFY(platform::printWindow(intro));
    QVERIFY2(recorder.boxes.isEmpty(), qPrintable(recorder.boxes.value(0).text));

    const QFileInfo pdf = waitForPdf(QStringLiteral("Introduction"), since);
    QVERIFY2(pdf.exists(), "no PDF arrived from the spooler");
    const QString info = lpCommand(QStringLiteral("pdfinfo"), {pdf.absoluteFilePath()});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\b"))), qPrintable(info));
    comparePage(pdf.absoluteFilePath(), 1, screen);
    QFile::remove(pdf.absoluteFilePath());
}

void TestPrint::printsOpenPlotAsSecondPage()
{
    ToolkitRecorder recorder;
    CompAngle *screen = computedAngleScreen();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    QTest::keyClick(screen, Qt::Key_T, Qt::ControlModifier);
    auto *plot = screen->findChild<TrajectoryPlot *>();
    QVERIFY(plot);
    QVERIFY(QTest::qWaitForWindowExposed(plot));
    const QImage screenImage = screen->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage plotImage = plot->printPage()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QDateTime since = QDateTime::currentDateTime().addSecs(-1);
    recorder.boxes.clear();

    QTest::mouseClick(control<QPushButton>(screen, "Command3"), Qt::LeftButton);
    QVERIFY2(recorder.boxes.isEmpty(), qPrintable(recorder.boxes.value(0).text));

    const QFileInfo pdf = waitForPdf(QStringLiteral("Compute"), since);
    QVERIFY2(pdf.exists(), "no PDF arrived from the spooler");
    const QString info = lpCommand(QStringLiteral("pdfinfo"), {pdf.absoluteFilePath()});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\b"))), qPrintable(info));
    comparePage(pdf.absoluteFilePath(), 1, screenImage);
    // A table of small text comes back too blurred at this resolution to compare by
    // pixels: the page's shape only here; its figures are read as text where the page
    // is saved as a PDF (tst_trajectory_plot).
    comparePage(pdf.absoluteFilePath(), 2, plotImage, 256);
    QFile::remove(pdf.absoluteFilePath());

    // Closed, the plot takes its page along.
    plot->close();
    const QDateTime closed = QDateTime::currentDateTime().addSecs(-1);
    QTest::mouseClick(control<QPushButton>(screen, "Command3"), Qt::LeftButton);
    const QFileInfo alone = waitForPdf(QStringLiteral("Compute"), closed);
    QVERIFY2(alone.exists(), "no PDF arrived from the spooler");
    const QString pages = lpCommand(QStringLiteral("pdfinfo"), {alone.absoluteFilePath()});
    QVERIFY2(pages.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\b"))), qPrintable(pages));
    QFile::remove(alone.absoluteFilePath());
}

// The spooler's PDF goes through PostScript and comes back as one bitmap per page, so
// each page is compared with its window as a picture.
void TestPrint::comparePage(const QString &pdf, int page, const QImage &screen, double tolerance)
{
    const QString stem =
        QDir::temp().filePath(QStringLiteral("trajectrix-print-%1").arg(QCoreApplication::applicationPid()));
    const QString number = QString::number(page);
    lpCommand(QStringLiteral("pdftoppm"),
              {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"), QStringLiteral("-f"), number,
               QStringLiteral("-l"), number, QStringLiteral("-singlefile"), pdf, stem});
    const QImage paper = QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    QFile::remove(stem + QStringLiteral(".png"));
    QVERIFY(!paper.isNull());

    // Whatever is not paper white is the printed window.
    QRect printed;
    for (int y = 0; y < paper.height(); ++y)
        for (int x = 0; x < paper.width(); ++x)
            if (qGray(paper.pixel(x, y)) < 250)
                printed |= QRect(x, y, 1, 1);
    QVERIFY(!printed.isEmpty());
    const double aspect = double(printed.width()) / printed.height();
    const double screenAspect = double(screen.width()) / screen.height();
    if (screenAspect >= double(paper.width()) / paper.height())
        QVERIFY2(printed.width() > paper.width() * 8 / 10, "the window does not fill the page width");
    QVERIFY2(qAbs(aspect / screenAspect - 1) < 0.03,
             qPrintable(QStringLiteral("%1 vs %2").arg(aspect).arg(screenAspect)));

    const QImage expected = screen.scaled(printed.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage actual = paper.copy(printed);
    double difference = 0;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
            difference += qAbs(qRed(a) - qRed(e)) + qAbs(qGreen(a) - qGreen(e)) + qAbs(qBlue(a) - qBlue(e));
        }
    difference /= 3.0 * actual.width() * actual.height();
    qInfo("page %d differs from its window by %.1f per channel on average", page, difference);
    QVERIFY2(difference < tolerance,
             qPrintable(QStringLiteral("page %1 differs from its window by %2 per channel").arg(page).arg(difference)));
}

// The spooler keeps the queue but refuses new jobs: Qt still reports it idle.
void TestPrint::refusesPrinterThatRejectsJobs()
{
    ToolkitRecorder recorder;
    lpCommand(QStringLiteral("cupsreject"), {QStringLiteral("PDF")});
    const bool printed = platform::printWindow(Screens::get<Intro>());
    lpCommand(QStringLiteral("cupsaccept"), {QStringLiteral("PDF")});

    QVERIFY(!printed);
    QCOMPARE(recorder.boxes.size(), 1);
    QCOMPARE(recorder.boxes[0].title, QStringLiteral("Note!"));
    QVERIFY(recorder.boxes[0].text.contains(QStringLiteral("not accepting jobs")));
    QVERIFY(recorder.boxes[0].text.contains(QStringLiteral("The page was not printed.")));
}

void TestPrint::reportsMissingPrinter()
{
    if (QFile::exists(qEnvironmentVariable("CUPS_SERVER")))
        QSKIP("runs only without a spooler");
    ToolkitRecorder recorder;
    auto *intro = Screens::get<Intro>();
    intro->show();
    QVERIFY(!platform::printWindow(intro));
    QCOMPARE(recorder.boxes.size(), 1);
    QCOMPARE(recorder.boxes[0].title, QStringLiteral("Note!"));
    QCOMPARE(recorder.boxes[0].text, QStringLiteral("No printer is available.\rThe page was not printed."));
    QCOMPARE(recorder.boxes[0].buttons, platform::MessageButtons::OkSaveAsPdf);
    QCOMPARE(recorder.ends, 0);
    QVERIFY(intro->isVisible());
}

void TestPrint::savesPdfWithoutPrinter_data()
{
    QTest::addColumn<QString>("chosen"); // relative to a fresh folder; empty cancels the dialog
    QTest::addColumn<QString>("reportTitle");
    QTest::addColumn<QString>("report");

    QTest::newRow("saved where the user chose") << "results.pdf"
                                                << "Note!"
                                                << "The PDF file was saved as\r%1";
    QTest::newRow("replacing an older file") << "old.pdf"
                                             << "Note!"
                                             << "The PDF file was saved as\r%1";
    QTest::newRow("folder that does not exist") << "missing/results.pdf"
                                                << "Error"
                                                << "The PDF file could not be saved as\r%1\r";
    QTest::newRow("dialog cancelled") << ""
                                      << ""
                                      << "";
}

void TestPrint::savesPdfWithoutPrinter()
{
    QFETCH(QString, chosen);
    QFETCH(QString, reportTitle);
    QFETCH(QString, report);
    if (QFile::exists(qEnvironmentVariable("CUPS_SERVER")))
        QSKIP("runs only without a spooler");

    QTemporaryDir folder;
    QString path = chosen.isEmpty() ? QString() : folder.filePath(chosen);
    QFile old(folder.filePath(QStringLiteral("old.pdf")));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("not a PDF") > 0);
    old.close();

    ToolkitRecorder recorder;
    CompAngle *screen = computedAngleScreen();
    QString suggested;
    platform::setSaveFileHandler([&](const QString &, const QString &proposal) {
        suggested = proposal;
        return path;
    });
    recorder.boxes.clear();
    recorder.answerNext(platform::answerSaveAsPdf);
    QTest::mouseClick(control<QPushButton>(screen, "Command3"), Qt::LeftButton);
    platform::setSaveFileHandler({});

    QCOMPARE(QFileInfo(suggested).fileName(), QStringLiteral("Compute Angle Given Muzzle Velocity.pdf"));
    QCOMPARE(recorder.boxes.size(), report.isEmpty() ? 1 : 2);
    QCOMPARE(recorder.boxes[0].buttons, platform::MessageButtons::OkSaveAsPdf);
    if (report.isEmpty())
        return;
    QCOMPARE(recorder.boxes[1].title, reportTitle);
    QVERIFY2(recorder.boxes[1].text.startsWith(report.arg(QDir::toNativeSeparators(path))),
             qPrintable(recorder.boxes[1].text));
    if (reportTitle == QLatin1String("Error")) {
        QVERIFY(!QFile::exists(path));
        QVERIFY2(recorder.boxes[1].text.size() > report.arg(path).size(), "no reason given");
        return;
    }

    const QString info = lpCommand(QStringLiteral("pdfinfo"), {path});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\b"))), qPrintable(info));
    const QString text = lpCommand(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    for (const char *name : {"Text1", "Text2", "Text4", "Text7", "Text8", "Text9", "Text10", "Text11", "Text12",
                             "Text13", "Text14", "Text15", "Text16", "Text17", "Text18"}) {
        const QString shown = screen->findChild<QLineEdit *>(QLatin1String(name))->text();
        QVERIFY(!shown.isEmpty());
        QVERIFY2(text.contains(shown), qPrintable(QStringLiteral("%1 (%2) missing from:\n%3").arg(name, shown, text)));
    }
    QVERIFY(text.contains(QLatin1String("Computed Output")));
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
