#include "CAnimator.h"
#include "CChildView.h"
#include "ShellTestSupport.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    // Moves run without waiting between frames, and no box may wait for a click.
    CAnimator::s_nFrameMilliseconds = 0;
    CChildView::s_pfnShowError = &ErrorBoxLog::Record;
    return RUN_ALL_TESTS();
}
