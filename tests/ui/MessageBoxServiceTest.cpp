#include "ui/MessageBoxService.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {

// What the box looked like while it was up.
struct SeenBox {
    bool found = false;
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::Information;
    QList<QMessageBox::StandardButton> buttons;
    bool modal = false;
};

// Waits for the modal box to come up, records it and presses its OK button.
class BoxCloser {
public:
    BoxCloser() {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    const SeenBox& seen() const { return m_seen; }

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        m_timer.stop();
        m_seen.found = true;
        m_seen.title = box->windowTitle();
        m_seen.text = box->text();
        m_seen.format = box->textFormat();
        m_seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons()) m_seen.buttons << box->standardButton(b);
        m_seen.modal = box->isModal() && box->isVisible();
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        if (ok != nullptr) {
            ok->click();
        } else {
            box->reject();
        }
    }

    QTimer m_timer;
    SeenBox m_seen;
};

TEST(QtMessageBoxService, ShowsAModalUntitledIconlessOkBoxAndReturnsWhenDismissed) {
    const QString texts[] = {"Tandrel on ORiN  version 1.0", "<b>not bold</b> & <CaoVariable>", ""};
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        QWidget parent;
        ui::QtMessageBoxService service(&parent);
        BoxCloser closer;
        service.show(text);
        const SeenBox& seen = closer.seen();
        ASSERT_TRUE(seen.found);
        EXPECT_TRUE(seen.modal);
        EXPECT_EQ(seen.title, "Tandrel");
        EXPECT_EQ(seen.text, text);
        EXPECT_EQ(seen.format, Qt::PlainText);
        EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
        EXPECT_EQ(seen.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST(QtMessageBoxService, WorksWithoutAParentWindow) {
    ui::QtMessageBoxService service;
    BoxCloser closer;
    service.show("no parent");
    EXPECT_TRUE(closer.seen().found);
    EXPECT_EQ(closer.seen().title, "Tandrel");
}

}  // namespace
