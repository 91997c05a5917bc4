#include "ui/MessageBoxService.h"

#include <QMessageBox>

namespace ui {

QtMessageBoxService::QtMessageBoxService(QWidget* parent) : m_parent(parent) {}

void QtMessageBoxService::show(const QString& text) {
    QMessageBox box(m_parent);
    box.setWindowTitle(QStringLiteral("Tandrel"));
    box.setIcon(QMessageBox::NoIcon);
    // Descriptions come from the engine and the user's input: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace ui
