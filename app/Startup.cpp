#include "app/Startup.h"

#include "app/frmMain.h"
#include "ui/MessageBoxService.h"

#include <QApplication>

namespace app {

int run(ui::MessageBoxService& messageBox, const std::function<cao::EnginePtr()>& createEngine,
        std::ostream& errors) {
    frmMain window(messageBox);
    try {
        window.load(createEngine);
    } catch (const cao::Error& e) {
        const QString text = QStringLiteral("Tandrel cannot start: %1").arg(e.description());
        errors << text.toStdString() << std::endl;
        messageBox.show(text);
        return 1;
    }
    // The program ends as soon as its window has unloaded. Qt's own rule, quit when the last
    // window closes, also waits for every other top-level window to go.
    QObject::connect(&window, &frmMain::unloaded, qApp, [] { QCoreApplication::exit(0); });
    window.show();
    return QApplication::exec();
}

}  // namespace app
