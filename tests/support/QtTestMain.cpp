#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

namespace {

// Every test must close what it opened: a window left over would leak into the next test.
class NoWindowLeftOver : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo& info) override {
        QApplication::processEvents();
        QStringList left;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible()) left << w->objectName() + "(" + w->metaObject()->className() + ")";
        }
        EXPECT_TRUE(left.isEmpty())
            << info.name() << " left windows open: " << left.join(", ").toStdString();
    }
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    testing::InitGoogleMock(&argc, argv);
    QApplication app(argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new NoWindowLeftOver);
    return RUN_ALL_TESTS();
}
