#pragma once

// The process-wide settings shared by the main window, the dialogs and the
// communication layer, with their store.
//
// LoadSettings runs once, first thing when the main window is created;
// SaveSettings once, first thing when it is destroyed. In between the
// variables are plain globals that every part reads and assigns directly.
//
// Store: on Windows the registry key HKEY_CURRENT_USER\Software\Fizzgrid;
// elsewhere the file "Fizzgrid.ini" in the user's configuration folder
// ($XDG_CONFIG_HOME or ~/.config), with the sections "Dimensions", "Names"
// and "Connection" and the value names written literally, for example
//
//   [Connection]
//   TCP/IP=192.168.1.7
//   [Dimensions]
//   Number of Rows=5
//
// The section "Connection" also holds "Computer strength" and "Animation
// speed". Every value is decimal text. Missing or unusable values load as their
// defaults, silently; nothing out of range ever reaches the variables.

#include <QString>

#include <array>
#include <cstdint>

// Board dimensions, 4..8 as loaded; 5 by default.
extern uint8_t NumRows;
extern uint8_t NumCols;
// [0] the local player's name (stored), [1] the opponent's (never stored).
extern std::array<QString, 2> PlayerNames;
// 0 a game against the computer, 1 a game against another computer.
extern uint8_t ConnectionLastGame;
// 1 once a game against another computer was ever chosen.
extern uint8_t LCC;
// 0 not chosen yet, 1 master, 2 slave.
extern uint8_t RelationLastGame;
// The role of the most recent game against another computer (0..2).
extern uint8_t LCR;
// The opponent's host name or address as typed, at most 60 characters.
extern QString InternetAddress;
// The computer's strength: 0 Standard (the default), 1 Strong, 2 Expert.
extern uint8_t ComputerLevel;
// How cascades are shown: 0 Normal (the default), 1 Fast, 2 Off.
extern uint8_t AnimationSpeed;

// [0] the local player's name when none was given, [1] the computer's name.
inline const std::array<QString, 2> DefaultNames = {QStringLiteral("You"),
                                                    QStringLiteral("Computer")};

// Longest player name and longest address kept in the settings.
inline constexpr int MaxNameLength = 20;
inline constexpr int MaxAddressLength = 60;

// Fills every variable from the store (defaults where nothing usable is
// stored) and sets the computer's SearchDepth to 1.
void LoadSettings();

// Writes every stored variable. Returns false when the store cannot be
// written; ErrorText (when given) then receives a message for the user.
bool SaveSettings(QString* ErrorText = nullptr);

// Where the settings live: the file path, or the registry key on Windows.
QString SettingsLocation();
