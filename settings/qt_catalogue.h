// Qt's own texts (standard buttons, file and folder pickers) in the
// interface language, from the catalogues Qt ships for its libraries.
#pragma once

#include <QString>

// Replaces the Qt catalogue installed on the running QCoreApplication by the
// one of language row `languageIndex`. Returns true when a catalogue is now
// installed; false for English (Qt's own language), a language Qt has no
// catalogue for, or when there is no application object. Without a catalogue
// Qt's texts stay English.
bool InstallQtCatalogue(int languageIndex);

// Where the catalogues are looked for; QLibraryInfo's translations folder
// unless overridden (tests).
void SetQtCatalogueFolder(const QString& folder);
