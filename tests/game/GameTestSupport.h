#pragma once

#include "CGameState.h"
#include "IAnimator.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

// A board as 176 letters, row 0 first, 16 to a row: R G B Y M for the balls, '.' for empty.
// Marked balls are lower case; GameWith lists them as the selection, row by row.
using Picture = std::string;
inline constexpr char kLetters[] = ".RGBYM";

// Cells as letters: a whole board row by row, or the pending column from entry 0.
inline std::string Letters(const Cell* cells, std::size_t count = kBoardCells)
{
    std::string letters;
    for (const Cell* cell = cells; cell != cells + count; ++cell)
    {
        const char letter = cell->colour < 6 ? kLetters[cell->colour] : '?';
        letters +=
            (cell->flags & kCellSelected) != 0 ? static_cast<char>(std::tolower(letter)) : letter;
    }
    return letters;
}

// The board as rows, for failure messages.
inline std::string Rows(const std::string& board)
{
    std::string text;
    for (std::size_t i = 0; i < board.size(); i += kBoardColumns)
    {
        text += "\n  " + board.substr(i, kBoardColumns);
    }
    return text;
}

// From start on, the first ball with a partner of its colour to its right or below.
inline std::size_t FindPair(const std::string& b, std::size_t start, bool wrap)
{
    for (std::size_t k = 0; k < b.size(); ++k)
    {
        const std::size_t i = (start + k) % b.size(), right = i - i % 16 + (i + 1) % 16;
        if (b[i] != '.' &&
            (((wrap || right > i) && b[right] == b[i]) || (i + 16 < b.size() && b[i + 16] == b[i])))
        {
            return i;
        }
    }
    return std::string::npos;
}

inline std::uint32_t ColourOf(char letter)
{
    const char* found = std::strchr(kLetters, std::toupper(static_cast<unsigned char>(letter)));
    EXPECT_TRUE(letter != '\0' && found != nullptr) << "unknown board letter '" << letter << "'";
    return found == nullptr ? 0u : static_cast<std::uint32_t>(found - kLetters);
}

inline void SetPending(CGameState& game, const std::string& letters)
{
    for (std::size_t i = 0; i < kBoardRows; ++i)
    {
        game.nextColumn[i] = Cell{i < letters.size() ? ColourOf(letters[i]) : 0u, 0};
    }
}

// R and G in a checkerboard: no pair anywhere, the wrap included.
inline Picture Checkerboard()
{
    Picture picture;
    for (int row = 0; row < kBoardRows; ++row)
    {
        picture += row % 2 == 0 ? "RGRGRGRGRGRGRGRG" : "GRGRGRGRGRGRGRGR";
    }
    return picture;
}

// The picture with some cells replaced, given as (column, row, letter).
inline Picture Put(Picture picture, std::initializer_list<std::tuple<int, int, char>> balls)
{
    for (const auto& [column, row, letter] : balls)
    {
        picture.at(static_cast<std::size_t>(row * kBoardColumns + column)) = letter;
    }
    return picture;
}

// A game dealt with a fixed seed whose cells are then replaced by the picture.
inline CGameState GameWith(const Picture& picture)
{
    CGameState game;
    game.NewGameWithSeed(1);
    EXPECT_EQ(picture.size(), static_cast<std::size_t>(kBoardCells)) << Rows(picture);
    for (std::uint32_t i = 0; i < kBoardCells && i < picture.size(); ++i)
    {
        const bool marked = std::islower(picture[i]) != 0;
        game.cells[i] = Cell{ColourOf(picture[i]), marked ? kCellSelected : 0u};
        if (marked)
        {
            game.selection.push_back(CellPos{i % kBoardColumns, i / kBoardColumns});
        }
    }
    const auto n = static_cast<std::int32_t>(game.selection.size());
    game.groupScore = n * (n - 1);
    return game;
}

// Both boards go out as rows, so a failure shows a line by line diff.
#define EXPECT_BOARD(game, picture) EXPECT_EQ(Rows(Letters((game).cells)), Rows(picture))

// Logs a move as text: cues without their ".wav", runs of steps as "step*N". With a game and a
// column given, every step sets that pending column, so feeds bring a known column. With watch
// set, every step also keeps the board and the pending column as it stands then.
struct RecordingAnimator : IAnimator
{
    void Step() override
    {
        ++steps;
        ++run;
        if (watch != nullptr)
        {
            frames.push_back(Letters(watch->cells));
            pendings.push_back(Letters(watch->nextColumn, kBoardRows));
        }
        if (game != nullptr)
        {
            SetPending(*game, column);
        }
    }
    void PlayCue(const char* fileName) override
    {
        const std::string name(fileName);
        const bool wave = name.size() > 4 && name.ends_with(".wav");
        Add(wave ? name.substr(0, name.size() - 4) : "bad-cue-name:" + name);
    }
    // The log so far, then emptied.
    std::string Take()
    {
        Add("");
        const std::string taken = log.empty() ? log : log.substr(1);
        log.clear();
        return taken;
    }
    void Add(const std::string& word)
    {
        log += (run > 0 ? " step*" + std::to_string(run) : "") + (word.empty() ? "" : " " + word);
        run = 0;
    }

    CGameState* game = nullptr;
    const CGameState* watch = nullptr;
    std::string column, log;
    std::vector<std::string> frames, pendings;
    int steps = 0, run = 0;
};
