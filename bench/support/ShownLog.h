#pragma once

// The window's message log on a shown list, without the rest of the window: what the log
// benchmarks feed.

#include "messages/MessageLog.h"
#include "ui/MessageBoxService.h"

#include <QCheckBox>
#include <QListView>

namespace benchsupport {

class NoBoxes : public ui::MessageBoxService {
public:
    void show(const QString&) override {}
};

struct ShownLog {
    ShownLog() {
        chkSync.setChecked(true);
        lstMessage.resize(449, 112);  // the form's size of the list
        lstMessage.show();
    }
    QCheckBox chkSync;
    QListView lstMessage;
    NoBoxes boxes;
    messages::MessageLog log{{&chkSync, &lstMessage}, boxes};
};

}  // namespace benchsupport
