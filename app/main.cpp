#include "app/EngineChoice.h"
#include "app/Startup.h"
#include "ui/MessageBoxService.h"
#include "ui/ProgramFont.h"
#include "ui/ProgramIcon.h"

#include <QApplication>

#include <iostream>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tandrel"));
    QApplication::setApplicationVersion(QStringLiteral(TANDREL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tandrel"));
    QApplication::setWindowIcon(ui::programIcon());
    QApplication::setFont(ui::programFont());

    ui::QtMessageBoxService messageBox;
    return app::finishProgram(app::run(messageBox, app::createEngine, std::cerr));
}
