#include "print.h"

#include "messages.h"

namespace toolkit {

bool printWindow(QWidget *)
{
    messageBox(QStringLiteral("Printing is not available in this version."), QStringLiteral("Note!"));
    return false;
}

} // namespace toolkit
