// The recording library with fake lists and a fake main window, loaded from
// a temporary card.
#pragma once

#include "card_fixture.h"
#include "recording_fakes.h"

#include "library/recording_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kolvex::testing {

struct Library {
    CallLog log;
    FakeGroupList groups{log};
    FakeFileList files{log};
    FakeMainWindow window{log};
    CRecordingManager manager;
    Library() { manager.Init(&groups, &files, nullptr, nullptr, &window); }
    void Load(const TempCard& card) {
        ASSERT_EQ(manager.Load(card.Root(), QString()), 1);
        log.clear();
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const RecordingEntry& e : manager.Entries())
            names.push_back(Text(e.name));
        return names;
    }
};

} // namespace kolvex::testing
