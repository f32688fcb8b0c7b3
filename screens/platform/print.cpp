#include "platform/print.h"

#include "platform/messages.h"

#include <QDir>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWidget>

#include <cups/cups.h>

namespace platform {

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

QString notPrintedText(const QString &why)
{
    return why + QStringLiteral("\rThe page was not printed.");
}

void notPrinted(const QString &why)
{
    messageBox(notPrintedText(why), QStringLiteral("Note!"));
}

// Each page fills the paint rectangle's width or height, keeping its aspect. Scaled
// before the widgets paint, so they draw at the device's resolution rather than as
// an enlarged screen-sized bitmap, and a PDF writer keeps their text as text.
void renderPages(QPainter &painter, QPagedPaintDevice &device, const QSize &printable, const QList<QWidget *> &pages)
{
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    bool first = true;
    for (QWidget *page : pages) {
        if (!first)
            device.newPage();
        first = false;
        const QSize client = page->size();
        const QSize fitted = client.scaled(printable, Qt::KeepAspectRatio);
        painter.save();
        painter.scale(double(fitted.width()) / client.width(), double(fitted.height()) / client.height());
        page->render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
        painter.restore();
    }
}

QString suggestedPdfPath(const QString &caption)
{
    QString name = caption.trimmed();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    if (name.isEmpty())
        name = QStringLiteral("Trajectrix");
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

void notSaved(const QString &path, const QString &why)
{
    messageBox(QStringLiteral("The PDF file could not be saved as\r%1\r%2").arg(QDir::toNativeSeparators(path), why),
               QStringLiteral("Error"));
}

// Written through a temporary file that replaces the target only once complete, so a
// failed save never leaves a truncated PDF or destroys the file it was to replace.
bool saveAsPdf(const QList<QWidget *> &pages)
{
    const QString caption = pages.constFirst()->windowTitle();
    const QString path = saveFileName(QStringLiteral("Save as PDF"), suggestedPdfPath(caption),
                                      QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return false;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        notSaved(path, file.errorString());
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(caption);
        pdf.setCreator(QStringLiteral("Trajectrix"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                      QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            file.cancelWriting();
            notSaved(path, QStringLiteral("The PDF writer could not start."));
            return false;
        }
        renderPages(painter, pdf, pdf.pageLayout().paintRectPixels(pdf.resolution()).size(), pages);
        painter.end();
    }
    if (!file.commit()) {
        notSaved(path, file.errorString());
        return false;
    }
    messageBox(QStringLiteral("The PDF file was saved as\r%1").arg(QDir::toNativeSeparators(path)),
               QStringLiteral("Note!"));
    return true;
}

} // namespace

bool printWindow(QWidget *screen, const QList<QWidget *> &morePages)
{
    const QList<QWidget *> pages = QList<QWidget *>{screen} + morePages;
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const int answer = messageBox(notPrintedText(QStringLiteral("No printer is available.")),
                                      QStringLiteral("Note!"), MessageButtons::OkSaveAsPdf);
        return answer == answerSaveAsPdf && saveAsPdf(pages);
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
    renderPages(painter, printer, printer.pageLayout().paintRectPixels(printer.resolution()).size(), pages);
    return painter.end();
}

} // namespace platform
