#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Headless unless told otherwise, also while the test list is being collected.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
