// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The settings of a session, one value, with their store.
//
// The session loads them once, when its start-up begins (LoadSettings), owns
// the value, hands it (or the part they need) to the dialogs and the
// connection, and the main window stores it once, when it is destroyed
// (SaveSettings).
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
// The section "Connection" also holds "Computer strength", "Animation
// speed" and "Vary the computer's play" (1 or 0). Every value is decimal text. Missing or unusable
// values load as their defaults, silently; nothing out of range ever reaches a TSettings.

#include <QSettings>
#include <QString>

#include <array>
#include <cstdint>

struct TSettings {
  // Board dimensions, 4..8 as loaded.
  uint8_t NumRows = 5;
  uint8_t NumCols = 5;
  // [0] the local player's name (stored), [1] the opponent's (never stored).
  std::array<QString, 2> PlayerNames;
  // 0 a game against the computer, 1 a game against another computer.
  uint8_t ConnectionLastGame = 0;
  // 1 once a game against another computer was ever chosen.
  uint8_t LCC = 0;
  // 0 not chosen yet, 1 master, 2 slave.
  uint8_t RelationLastGame = 0;
  // The role of the most recent game against another computer (0..2).
  uint8_t LCR = 0;
  // The opponent's host name or address as typed, at most 60 characters.
  QString InternetAddress;
  // The computer's strength: 0 Standard (the default), 1 Strong, 2 Expert.
  uint8_t ComputerLevel = 0;
  // How cascades are shown: 0 Normal (the default), 1 Fast, 2 Off.
  uint8_t AnimationSpeed = 0;
  // The stronger levels vary their play from game to game (the default).
  bool VaryPlay = true;

  bool operator==(const TSettings&) const = default;
};

// [0] the local player's name when none was given, [1] the computer's name.
inline const std::array<QString, 2> DefaultNames = {QStringLiteral("You"),
                                                    QStringLiteral("Computer")};

// Longest player name and longest address kept in the settings.
inline constexpr int MaxNameLength = 20;
inline constexpr int MaxAddressLength = 60;

// The settings in the store, defaults where nothing usable is stored.
TSettings LoadSettings();

// Writes every stored field. Returns false when the store cannot be
// written; ErrorText (when given) then receives a message for the user.
bool SaveSettings(const TSettings& Settings, QString* ErrorText = nullptr);

// Where the settings live: the file path, or the registry key on Windows.
QString SettingsLocation();

// The reader and the writer behind LoadSettings and SaveSettings, on the
// store's values by key ("Dimensions/Number of Rows", ...).
TSettings SettingsFrom(const QSettings::SettingsMap& Store);
QSettings::SettingsMap StoreOf(const TSettings& Settings);
