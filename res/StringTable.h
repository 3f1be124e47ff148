#pragma once

// The program's own texts: window title, application name, menus and command prompts.
namespace StringTable
{
inline constexpr const char* kAppName = "Daviz";
inline constexpr const char* kOrganisation = "Dudoziri";
inline constexpr const char* kFrameTitle = "Daviz";

inline constexpr const char* kMenuFile = "&File";
inline constexpr const char* kMenuOptions = "&Options";
inline constexpr const char* kMenuHelp = "&Help";

inline constexpr const char* kNewGame = "New Game";
inline constexpr const char* kExit = "E&xit";
inline constexpr const char* kToggleSounds = "Toggle Sounds";
inline constexpr const char* kUndo = "&Undo";
inline constexpr const char* kAbout = "&About Daviz...";

inline constexpr const char* kKeyNewGame = "Ctrl+N";
inline constexpr const char* kKeyExit = "Ctrl+X";
inline constexpr const char* kKeyToggleSounds = "Ctrl+W";
inline constexpr const char* kKeyUndo = "Ctrl+Z";
inline constexpr const char* kKeyUndoAlt = "Alt+Backspace";

inline constexpr const char* kPromptNewGame = "Reset and start a new game";
inline constexpr const char* kPromptToggleSounds = "Switch the sounds on and off";
inline constexpr const char* kPromptUndo = "Undo upto the last 4 moves you made";

inline constexpr const char* kScoreFormat = "Total Score %d  --  Group Score %d";
inline constexpr const char* kGameOver = "GAME OVER";
inline constexpr const char* kErrorCaption = "Error";
} // namespace StringTable
