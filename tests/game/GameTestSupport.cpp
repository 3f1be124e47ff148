#include "GameTestSupport.h"

#include <cctype>
#include <cstring>
#include <sstream>
#include <utility>

namespace
{
const char kLetters[] = ".RGBYM";

std::uint32_t ColourOf(char letter)
{
    const char* found = std::strchr(kLetters, letter);
    EXPECT_TRUE(letter != '\0' && found != nullptr) << "unknown board letter '" << letter << "'";
    return found == nullptr ? 0u : static_cast<std::uint32_t>(found - kLetters);
}

char LetterOf(const Cell& cell)
{
    const char letter = cell.colour < sizeof kLetters - 1 ? kLetters[cell.colour] : '?';
    const bool marked = (cell.flags & kCellSelected) != 0;
    return marked ? static_cast<char>(std::tolower(static_cast<unsigned char>(letter))) : letter;
}
} // namespace

Picture Checkerboard()
{
    Picture picture;
    for (int row = 0; row < kBoardRows; ++row)
    {
        std::string line;
        for (int column = 0; column < kBoardColumns; ++column)
        {
            line += (row + column) % 2 == 0 ? 'R' : 'G';
        }
        picture.push_back(line);
    }
    return picture;
}

Picture Put(Picture picture, std::initializer_list<std::tuple<int, int, char>> balls)
{
    for (const auto& [column, row, letter] : balls)
    {
        picture[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = letter;
    }
    return picture;
}

CGameState GameWith(const Picture& picture)
{
    CGameState game;
    game.NewGameWithSeed(1);
    SetBoard(game, picture);
    return game;
}

void SetBoard(CGameState& game, const Picture& picture)
{
    EXPECT_EQ(picture.size(), static_cast<std::size_t>(kBoardRows));
    game.selection.clear();
    game.groupScore = 0;
    for (std::uint32_t row = 0; row < kBoardRows; ++row)
    {
        const std::string line = row < picture.size() ? picture[row] : std::string();
        EXPECT_EQ(line.size(), static_cast<std::size_t>(kBoardColumns)) << "row " << row;
        for (std::uint32_t column = 0; column < kBoardColumns; ++column)
        {
            const char letter = column < line.size() ? line[column] : '.';
            const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
            const bool marked = letter != upper;
            game.cells[row * kBoardColumns + column] =
                Cell{ColourOf(upper), marked ? kCellSelected : 0u};
            if (marked)
            {
                game.selection.push_back(CellPos{column, row});
            }
        }
    }
}

Picture PictureOf(const CGameState& game)
{
    Picture picture;
    for (std::uint32_t row = 0; row < kBoardRows; ++row)
    {
        std::string line;
        for (std::uint32_t column = 0; column < kBoardColumns; ++column)
        {
            line += LetterOf(game.CellAt(column, row));
        }
        picture.push_back(line);
    }
    return picture;
}

std::string ColumnFromBottom(const CGameState& game, std::uint32_t column)
{
    std::string letters;
    for (int row = kBoardRows - 1; row >= 0; --row)
    {
        letters += LetterOf(game.CellAt(column, static_cast<std::uint32_t>(row)));
    }
    return letters;
}

std::string PendingColumn(const CGameState& game)
{
    std::string letters;
    for (const Cell& cell : game.nextColumn)
    {
        letters += LetterOf(cell);
    }
    return letters;
}

int BallCount(const CGameState& game, std::uint32_t column)
{
    int count = 0;
    for (std::uint32_t row = 0; row < kBoardRows; ++row)
    {
        count += game.CellAt(column, row).colour != 0 ? 1 : 0;
    }
    return count;
}

void SetPending(CGameState& game, const std::string& letters)
{
    for (std::size_t i = 0; i < kBoardRows; ++i)
    {
        game.nextColumn[i] = Cell{i < letters.size() ? ColourOf(letters[i]) : 0u, 0};
    }
}

::testing::AssertionResult BoardIs(const char* gameText, const char* pictureText,
                                   const CGameState& game, const Picture& picture)
{
    const Picture actual = PictureOf(game);
    if (actual == picture)
    {
        return ::testing::AssertionSuccess();
    }
    std::ostringstream text;
    text << gameText << " is not " << pictureText << "\n  actual            expected\n";
    for (std::size_t row = 0; row < actual.size() || row < picture.size(); ++row)
    {
        const std::string left = row < actual.size() ? actual[row] : "";
        const std::string right = row < picture.size() ? picture[row] : "";
        text << "  " << left << "  " << right << (left == right ? "" : "  <-") << "\n";
    }
    return ::testing::AssertionFailure() << text.str();
}

void PrintTo(const CGameState& game, std::ostream* os)
{
    *os << "\n";
    for (const std::string& line : PictureOf(game))
    {
        *os << "  " << line << "\n";
    }
    *os << "  total " << game.totalScore << ", group " << game.groupScore << ", pending "
        << PendingColumn(game) << (game.gameOver ? ", over" : "");
}

RecordingAnimator::RecordingAnimator(CGameState* forcedGame, std::string forcedColumn)
    : m_pForcedGame(forcedGame), m_strForcedColumn(std::move(forcedColumn))
{
}

void RecordingAnimator::Step()
{
    ++steps;
    ++m_nRun;
    if (m_pForcedGame != nullptr)
    {
        SetPending(*m_pForcedGame, m_strForcedColumn);
    }
}

void RecordingAnimator::PlayCue(const char* fileName)
{
    FlushSteps();
    cues.emplace_back(fileName);
    std::string name(fileName);
    const std::size_t dot = name.rfind(".wav");
    m_strLog += (m_strLog.empty() ? "" : " ") + name.substr(0, dot);
}

std::string RecordingAnimator::Take()
{
    FlushSteps();
    std::string log;
    log.swap(m_strLog);
    return log;
}

void RecordingAnimator::FlushSteps()
{
    if (m_nRun > 0)
    {
        m_strLog += (m_strLog.empty() ? "" : " ") + std::string("step*") + std::to_string(m_nRun);
        m_nRun = 0;
    }
}
