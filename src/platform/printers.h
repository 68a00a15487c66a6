#pragma once

// The installed printers. Replaceable in tests.

#include <QStringList>

namespace ravelto::platform {

class PrinterList {
  public:
    virtual ~PrinterList() = default;
    virtual QStringList Names() const = 0;
};

// The printers the system knows (QPrinterInfo).
class SystemPrinterList : public PrinterList {
  public:
    QStringList Names() const override;
};

class FixedPrinterList : public PrinterList {
  public:
    explicit FixedPrinterList(QStringList names) : names_(std::move(names)) {}
    QStringList Names() const override { return names_; }

  private:
    QStringList names_;
};

// More than one printer is installed (the print functions then offer a
// calibration per printer).
inline bool SeveralPrinters(const PrinterList& printers) {
    return printers.Names().size() > 1;
}

}  // namespace ravelto::platform
