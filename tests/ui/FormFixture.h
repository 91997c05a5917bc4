#pragma once

#include "ui/FormControls.h"
#include "ui/WidgetState.h"
#include "ui_frmMain.h"

#include <QWidget>

#include <memory>

namespace ui::test {

// The main window as the program builds it: the form, then its control arrays.
struct Form {
    Form() {
        form.setupUi(&window);
        controls = std::make_unique<FormControls>(form);
    }

    template <typename T = QWidget>
    T* control(const QString& name) {
        return window.findChild<T*>(name);
    }

    QWidget window;
    Ui::frmMain form;
    std::unique_ptr<FormControls> controls;
};

}  // namespace ui::test
