#include "platform/printers.h"

#include <QPrinterInfo>

namespace ravelto::platform {

QStringList SystemPrinterList::Names() const {
    return QPrinterInfo::availablePrinterNames();
}

}  // namespace ravelto::platform
