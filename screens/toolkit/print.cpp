#include "print.h"

#include "messages.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

#include <cups/cups.h>

namespace toolkit {

namespace {

// Qt reports a queue that rejects jobs as idle, and its end() succeeds even when
// the spooler drops the job: ask the spooler itself before printing.
bool acceptsJobs(const QPrinterInfo &printer)
{
    const QByteArray name = printer.printerName().toLocal8Bit();
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    if (!dest)
        return false;
    const char *accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool ok = !accepting || qstrcmp(accepting, "false") != 0;
    cupsFreeDests(1, dest);
    return ok;
}

void notPrinted(const QString &why)
{
    messageBox(why + QStringLiteral("\rThe page was not printed."), QStringLiteral("Note!"));
}

} // namespace

bool printWindow(QWidget *screen)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        notPrinted(QStringLiteral("No printer is available."));
        return false;
    }
    if (!acceptsJobs(info)) {
        notPrinted(QStringLiteral("The printer \"%1\" is not accepting jobs.").arg(info.printerName()));
        return false;
    }

    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(screen->windowTitle());
    printer.setCreator(QStringLiteral("Trajectrix"));
    QPainter painter;
    if (!painter.begin(&printer)) {
        notPrinted(QStringLiteral("The printer \"%1\" could not start the job.").arg(info.printerName()));
        return false;
    }
    // Scaled up before the widgets paint, so Qt renders them at printer resolution
    // rather than enlarging a screen-sized bitmap.
    const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSize client = screen->size();
    const QSize fitted = client.scaled(printable.size(), Qt::KeepAspectRatio);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    painter.scale(double(fitted.width()) / client.width(), double(fitted.height()) / client.height());
    screen->render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return painter.end();
}

} // namespace toolkit
