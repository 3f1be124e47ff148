#pragma once

#include "CChildView.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <vector>

// What the tests' "Error" box was given; it waits for nobody.
inline std::vector<QString> g_errorTexts;

// The board picture's pixels of each cell (row * 16 + column) from the cell map, in reading
// order; the last list holds the pixels of no cell.
using CellPixelLists = std::array<std::vector<QPoint>, kBoardCells + 1>;
inline CellPixelLists CellPixels(const CBoardImage& image)
{
    CellPixelLists lists;
    const CBoardSet& set = image.BaseSet();
    for (int y = 0; y < set.Height(); ++y)
        for (int x = 0; x < set.Width(); ++x)
            lists[CBoardSet::CellOfEntry(*set.EntryAt(x, y))].emplace_back(x, y);
    return lists;
}

// The middle one of a cell's pixels, in the view's coordinates: where a press hits the cell.
inline QPoint CellPoint(const CChildView& view, int column, int row)
{
    const std::vector<QPoint> pixels =
        CellPixels(view.BoardImage())[static_cast<std::size_t>(row * kBoardColumns + column)];
    return pixels[pixels.size() / 2] + QPoint(15, 20) + view.ClientOrigin();
}

inline void Click(CChildView& view, int column, int row)
{
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, CellPoint(view, column, row));
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

// The tests' view: no box waits for a click, moves do not wait between frames, pictures loaded.
inline void PrepareView(CChildView& view)
{
    view.SetErrorBox([](const QString& text) { g_errorTexts.push_back(text); });
    view.SetFrameMilliseconds(0);
    view.PreCreateWindow();
}

// Copies the pictures and waves of folder `from` into the empty folder `to`.
inline bool CopyData(const QString& from, const QString& to)
{
    bool done = true;
    for (const QString& name : QDir(from).entryList({"*.bmp", "*.wav"}, QDir::Files))
        done = done && QFile::copy(from + "/" + name, to + "/" + name);
    return done;
}
