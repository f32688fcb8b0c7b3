#pragma once

class QWidget;

namespace toolkit {

// Prints an image of `screen`'s client area, with its controls as they show
// now, on the default printer and ends the document so the page comes out at
// once. Reports a missing printer in a message box and returns false; never
// ends the process.
bool printWindow(QWidget *screen);

} // namespace toolkit
