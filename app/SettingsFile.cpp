// Rewriting the player's settings file in place of what they changed.
#include "app/SettingsFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "base/PlayerFiles.h"

namespace {


bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v' || c == '\n';
}

// The line with its value (between '=' and a comment or the line's end,
// less surrounding spaces, never empty in a line the reader took)
// replaced by value.
std::string WithValue(const std::string& line, const std::string& value)
{
    size_t comment = line.find('#');
    size_t end = comment == std::string::npos ? line.size() : comment;
    size_t first = line.find('=') + 1;
    while (first < end && IsSpace(line[first])) {
        ++first;
    }
    size_t last = end;
    while (last > first && IsSpace(line[last - 1])) {
        --last;
    }
    return line.substr(0, first) + value + line.substr(last);
}

}  // namespace

std::vector<std::string> SettingsLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

bool SettingsDiffer(const Settings& a, const Settings& b)
{
    for (int setting = 0; setting < SETTING_COUNT; ++setting) {
        if (SettingValue(a, setting) != SettingValue(b, setting)) {
            return true;
        }
    }
    return false;
}

std::string RewriteSettings(const std::string& text, const Settings& from, const Settings& to)
{
    std::vector<int> changed;
    for (int setting = 0; setting < SETTING_COUNT; ++setting) {
        if (SettingValue(from, setting) != SettingValue(to, setting)) {
            changed.push_back(setting);
        }
    }
    if (changed.empty()) {
        return text;
    }
    std::vector<std::string> problems;
    std::vector<int> settingOfLine;
    Settings wanted = ParseSettingsLines(text, "", problems, settingOfLine);
    std::vector<std::string> lines = SettingsLines(text);
    std::string lineEnd = !lines.empty() && lines[0].size() >= 2 && lines[0].compare(lines[0].size() - 2, 2, "\r\n") == 0
                              ? "\r\n"
                              : "\n";
    std::string appended;
    for (int setting : changed) {
        CopySetting(wanted, to, setting);
        int last = -1;
        for (size_t i = 0; i < settingOfLine.size(); ++i) {
            if (settingOfLine[i] == setting) {
                last = static_cast<int>(i);
            }
        }
        if (last >= 0) {
            lines[last] = WithValue(lines[last], SettingValue(to, setting));
        } else {
            appended += std::string(SettingName(setting)) + " = " + SettingValue(to, setting) + lineEnd;
        }
    }
    std::string result;
    for (const std::string& line : lines) {
        result += line;
    }
    if (!result.empty() && result.back() != '\n' && !appended.empty()) {
        result += lineEnd;
    }
    result += appended;
    // A key line of the player's that a key serving one action undid, and
    // that a changed action's key now frees, would take its key back: each
    // action whose last line names another key than wanted gets a line at
    // the end. Every action's last word is then the key wanted, one each.
    KeyBindings lastLines;
    std::vector<int> settingOfResult;
    const Settings read = ParseSettingsLines(result, "", problems, settingOfResult, &lastLines);
    bool settled = std::equal(read.m_Keys.m_Keys, read.m_Keys.m_Keys + ACTION_COUNT, wanted.m_Keys.m_Keys);
    std::string again;
    for (int action = 0; action < ACTION_COUNT && !settled; ++action) {
        if (lastLines.m_Keys[action] != wanted.m_Keys.m_Keys[action]) {
            again += std::string(SettingName(SETTING_ACTION_FIRST + action)) + " = " +
                     SettingValue(wanted, SETTING_ACTION_FIRST + action) + lineEnd;
        }
    }
    if (!again.empty() && !result.empty() && result.back() != '\n') {
        result += lineEnd;
    }
    result += again;
    return result;
}

bool SaveSettings(const std::string& path, const Settings& from, const Settings& to, std::string& outProblem)
{
    std::string text;
    if (!ReadWholeFile(path, SETTINGS_MOST_BYTES, text, outProblem) && !outProblem.empty()) {
        // Read whole or not rewritten: a part would lose the rest.
        return false;
    }
    std::string rewritten = RewriteSettings(text, from, to);
    if (rewritten == text) {
        return true;
    }
    if (!MakeParentFolders(ThroughLinks(path)) || !ReplaceFile(path, rewritten)) {
        outProblem = std::string("cannot be written (") + strerror(errno) + ")";
        return false;
    }
    return true;
}
