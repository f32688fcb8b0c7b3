// Renders every screen in its typical state to <folder>/<screen>.png for the
// README. Run it on a real display (scripts/screenshots uses Xvfb).

#include "benchmarks/screen_driver.h"
#include "benchmarks/screen_tour.h"
#include "screens/screens.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder for the PNG files>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const driver::AnswerEveryBox answers;

    bool saved = true;
    const QString error = tourEveryScreen([&](QWidget *screen, const QString &name) {
        const QString path = folder.filePath(name + QStringLiteral(".png"));
        // Opaque, at the strongest compression: the pictures are committed.
        const QImage picture = screen->grab().toImage().convertToFormat(QImage::Format_RGB888);
        saved = picture.save(path, "PNG", 0) && saved;
        std::printf("%s\n", qPrintable(path));
    });
    Screens::discardAll();
    driver::settle();
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return saved ? 0 : 1;
}
