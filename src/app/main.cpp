#include <QApplication>
#include <QMainWindow>

#include "ui/application_setup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ravelto::ui::SetUpApplication(app);
    QMainWindow window;
    window.setWindowTitle(QString::fromUtf8(ravelto::ui::kApplicationTitle));
    window.resize(672, 493);
    window.show();
    return QApplication::exec();
}
