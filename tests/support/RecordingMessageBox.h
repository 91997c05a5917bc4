#pragma once

#include "ui/MessageBoxService.h"

#include <QStringList>

#include <functional>

// Remembers every message instead of showing it; onShow runs while the "box is open".
class RecordingMessageBox : public ui::MessageBoxService {
public:
    void show(const QString& text) override {
        shown << text;
        if (onShow) onShow(text);
    }
    QStringList shown;
    std::function<void(const QString&)> onShow;
};
