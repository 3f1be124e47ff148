#pragma once

#include "CChildView.h"
#include "ICuePlayer.h"

#include <QPoint>
#include <QString>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Counts the cues a view hands to its player, in order.
class CountingCuePlayer : public ICuePlayer
{
public:
    void Play(const char* fileName) override { cues.emplace_back(fileName); }
    std::vector<std::string> cues;
};

// The "Error" box texts shown since the last Clear; the tests' stand-in for the real box.
struct ErrorBoxLog
{
    static void Record(const QString& text) { texts.push_back(text); }
    static void Clear() { texts.clear(); }
    static std::vector<QString> texts;
};

// The pixel of the board picture nearest to the middle of a cell's pixels, from the cell map.
bool CellPixel(const CBoardImage& image, std::uint32_t column, std::uint32_t row, QPoint& pixel);

// Where to press on the view to hit that cell, in the view's widget coordinates.
QPoint ViewPointOfCell(const CChildView& view, std::uint32_t column, std::uint32_t row);

// Presses the left button on a cell through the view's own mouse handling.
void ClickCell(CChildView& view, std::uint32_t column, std::uint32_t row);

// Fills every cell from a colour function; clears marks, selection and the end of the game.
template <typename ColourOf> void SetBoard(CGameState& game, ColourOf colourOf)
{
    for (std::uint32_t r = 0; r < kBoardRows; ++r)
    {
        for (std::uint32_t c = 0; c < kBoardColumns; ++c)
        {
            game.cells[r * kBoardColumns + c] = Cell{colourOf(c, r), 0};
        }
    }
    game.selection.clear();
    game.groupScore = 0;
    game.gameOver = false;
}

// A full board without any pair but the two red balls at (0, 0) and (1, 0); removing them
// ends the game.
std::uint32_t LastPairBoard(std::uint32_t column, std::uint32_t row);
