#include <QApplication>
#include <QMainWindow>

#include "platform/single_instance.h"
#include "ui/application_setup.h"

int main(int argc, char** argv) {
    // One running copy per user: a second copy ends at once, without a word.
    auto instance = ravelto::platform::MakeInstanceLock("EX_Ravelto");
    if (!instance->Acquire()) return 0;

    QApplication app(argc, argv);
    ravelto::ui::SetUpApplication(app);
    QMainWindow window;
    window.setWindowTitle(QString::fromUtf8(ravelto::ui::kApplicationTitle));
    window.resize(672, 493);
    window.show();
    int result = QApplication::exec();
    instance->Release();
    return result;
}
