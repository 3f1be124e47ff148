#pragma once

#include "CChildView.h"
#include "CMainFrame.h"
#include "ICuePlayer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

inline std::ostream& operator<<(std::ostream& out, const QString& text)
{
    return out << text.toStdString();
}

inline QString Score(int total, int group)
{
    return QString::asprintf("Total Score %d  --  Group Score %d", total, group);
}

// Counts the cues a view hands to its player, in order.
struct CountingCuePlayer : ICuePlayer
{
    void Play(const char* fileName) override { cues.emplace_back(fileName); }
    std::vector<std::string> cues;
};

// The tests' stand-in for the "Error" box: records the text, waits for nobody.
struct ErrorBoxLog
{
    static void Record(const QString& text) { texts.push_back(text); }
    static inline std::vector<QString> texts;
};

// The board picture's pixels of each cell (row * 16 + column) from the cell map, in reading
// order; the last list holds the pixels of no cell.
using CellPixelLists = std::array<std::vector<QPoint>, kBoardCells + 1>;
inline CellPixelLists CellPixels(const CBoardImage& image)
{
    CellPixelLists lists;
    const CBoardSet& set = image.BaseSet();
    for (int i = 0; i < set.Width() * set.Height(); ++i)
    {
        const QPoint p(i % set.Width(), i / set.Width());
        lists[CBoardSet::CellOfEntry(*set.EntryAt(p.x(), p.y()))].push_back(p);
    }
    return lists;
}

// The middle one of a cell's pixels, in the view's coordinates: where a press hits the cell.
inline QPoint ViewPoint(const CChildView& view, const CellPixelLists& lists, int cell)
{
    const std::vector<QPoint>& pixels = lists[static_cast<std::size_t>(cell)];
    return pixels[pixels.size() / 2] + QPoint(15, 20) + view.ClientOrigin();
}

inline void Click(CChildView& view, int column, int row, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(&view, button, Qt::NoModifier,
                      ViewPoint(view, CellPixels(view.BoardImage()), row * kBoardColumns + column));
}

// Fills every cell from a colour function; clears marks, selection and the end of the game.
template <typename ColourOf> void SetBoard(CChildView& view, ColourOf colourOf)
{
    for (std::uint32_t i = 0; i < kBoardCells; ++i)
        view.Game().cells[i] = Cell{colourOf(i % kBoardColumns, i / kBoardColumns), 0};
    view.Game().selection.clear();
    view.Game().groupScore = 0;
    view.Game().gameOver = false;
    view.BoardImage().Compose(view.Game());
}

// A full board without a pair but the red balls at (0, 0) and (1, 0): removing them ends it.
inline std::uint32_t LastPairBoard(std::uint32_t column, std::uint32_t row)
{
    return row == 0 && column < 2 ? 1 : (column < 2 ? 4 : 2) + (column + row) % 2;
}

// The tests' view: no box waits for a click, moves do not wait between frames, pictures loaded.
inline void PrepareView(CChildView& view)
{
    view.SetErrorBox(&ErrorBoxLog::Record);
    view.SetFrameMilliseconds(0);
    view.PreCreateWindow();
}

// A shown, active frame over the data folder, its view's cues counted.
class ShownFrame : public testing::Test
{
protected:
    void SetUp() override
    {
        PrepareView(view);
        view.SetCuePlayer(&player);
        frame.show();
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        ASSERT_EQ(QApplication::focusWidget(), &view);
        ASSERT_TRUE(view.BoardImage().Loaded()) << "run from the data folder";
    }
    QImage Grab() { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    CMainFrame frame;
    CChildView& view = frame.View();
    CountingCuePlayer player;
};

// Copies the pictures and waves of folder `from` into `to`, but the file `except`.
inline bool CopyData(const QString& from, const QString& to, const QString& except = {})
{
    bool done = QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList({"*.bmp", "*.wav"}, QDir::Files))
    {
        QFile::remove(to + "/" + name);
        done = done && (name == except || QFile::copy(from + "/" + name, to + "/" + name));
    }
    return done;
}
