#pragma once

#include <QString>
#include <QWidget>

namespace ui {

// Every message the program shows goes through here, so that tests can read the texts.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Returns when the user has dismissed the message.
    virtual void show(const QString& text) = 0;
};

// A modal box titled "Tandrel", without icon, with only an OK button.
class QtMessageBoxService : public MessageBoxService {
public:
    explicit QtMessageBoxService(QWidget* parent = nullptr);
    void show(const QString& text) override;

private:
    QWidget* m_parent;
};

}  // namespace ui
