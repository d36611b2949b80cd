// The settings file as the menu writes it: only the settings the player
// changed, every other byte of the file as the player left it.
#ifndef APP_SETTINGS_FILE_H
#define APP_SETTINGS_FILE_H

#include <string>
#include <vector>

#include "app/Settings.h"

// The file's lines, each with its own end ("\n", "\r\n", or none at the
// file's end); a byte-order mark stays with the first.
std::vector<std::string> SettingsLines(const std::string& text);

// Whether a setting differs between a and b, as the file would spell it.
bool SettingsDiffer(const Settings& a, const Settings& b);

// The file's text with the settings that differ between from and to set as
// in to: a setting's value is replaced in the last line that set it (its
// spacing, trailing comment and line end kept), a setting no line set is
// appended as "name = value". Every other line stays byte for byte. Where
// the file's keys would settle otherwise (a line binding a key that a
// changed action now has), the setting is appended again so that it reads
// back as to has it. Unchanged text when nothing differs.
std::string RewriteSettings(const std::string& text, const Settings& from, const Settings& to);

// Rewrites the file at path (through a symbolic link to its target) with
// the changes from from to to, as above, by the player's files' steps: a
// temporary file beside it, flushed, renamed over it. No file: one is made
// holding just those changes. Nothing is written when the text would not
// change. Returns false with outProblem ("cannot be written (REASON)", ...)
// when the file was not written.
bool SaveSettings(const std::string& path, const Settings& from, const Settings& to, std::string& outProblem);

#endif
