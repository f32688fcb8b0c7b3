#pragma once

#include <QList>

class QWidget;

namespace platform {

// Prints an image of `screen`'s client area, with its controls as they show
// now, on the default printer, then each of `morePages` on a page of its own,
// and ends the print job so the pages come out at once. Reports a missing
// printer in a message box that also offers to save the same pages as a PDF
// file; returns true only when the pages went to a printer or into a file.
// Never ends the process.
bool printWindow(QWidget *screen, const QList<QWidget *> &morePages = {});

} // namespace platform
