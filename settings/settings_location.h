// Where the program keeps "Kolvex.ini". A "Kolvex.ini" in the folder the
// program starts in wins (a card or a portable folder that carries its own
// settings); otherwise the file lives in the user's configuration folder,
// "$XDG_CONFIG_HOME/kolvex/" or "~/.config/kolvex/", so that a start from a
// desktop menu leaves nothing in the home folder. Without any home folder
// the starting folder is used after all.
#pragma once

#include <QString>

namespace kolvex {

struct SettingsLocation {
    enum class Rule {
        StartingFolder, // a Kolvex.ini was there
        ConfigFolder,   // the user's configuration folder
        NoHome,         // neither XDG_CONFIG_HOME nor HOME named a folder
    };
    QString path; // absolute where a folder was known
    Rule rule = Rule::StartingFolder;
    // Why the settings cannot be kept (the folder could not be made); empty
    // when all is well. Reads still give the defaults.
    QString problem;
};

// The decision alone, from the three inputs; creates nothing.
// `xdgConfigHome` counts only when absolute, as the XDG base directory
// rules say.
SettingsLocation ChooseSettingsLocation(const QString& startingFolder, const QString& xdgConfigHome,
                                        const QString& home);

// Makes the configuration folder of a ConfigFolder location (mode 0700 for
// the folders it creates); on failure sets `problem`.
void PrepareSettingsFolder(SettingsLocation& location);

// The location of this process, chosen from its starting folder and
// environment at the first call and kept from then on.
const SettingsLocation& ProcessSettingsLocation();

// One line for the user: which file is in use and why.
QString DescribeSettingsLocation(const SettingsLocation& location);

} // namespace kolvex
