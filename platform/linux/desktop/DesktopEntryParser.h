#pragma once

#include <string>
#include <string_view>
#include <vector>

// What the process names need from one .desktop file's [Desktop Entry] group.
struct DesktopEntry {
    std::string name;        // Name, in the best matching language; raw bytes
    std::string executable;  // file name of the program Exec starts, without its folder
    // Exec starts the program with nothing but options and file placeholders; otherwise the
    // program is an interpreter or launcher (python3 script.py, env VAR=1 app, flatpak run id)
    // and its name says nothing about which application a process is.
    bool execNamesTheApplication = false;
    bool isApplication = false;  // Type=Application
    bool hidden = false;         // Hidden=true: the entry counts as deleted
    bool operator==(const DesktopEntry&) const = default;
};

// `localeKeys` are the language tags to try for Name[...], best first ("de_AT", "de"); the
// plain Name comes last.
DesktopEntry parseDesktopEntry(std::string_view text, const std::vector<std::string>& localeKeys);

// Language tags for Name[...] from LC_ALL, LC_MESSAGES or LANG, as the desktop entry format
// matches them: lang_COUNTRY@MODIFIER, lang_COUNTRY, lang@MODIFIER, lang.
std::vector<std::string> localeKeysFor(std::string_view locale);
