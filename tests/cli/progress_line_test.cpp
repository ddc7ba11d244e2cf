#include "cli/progress_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace ulvren::cli {
namespace {

using std::chrono::milliseconds;

struct Write {
    std::uint64_t written;
    milliseconds at;
};

// The updates that reach the terminal, each after its carriage return.
std::string Shown(const std::vector<Write>& writes, bool end = false) {
    std::ostringstream err;
    ProgressLine line(err, UiLanguage::EnglishUnitedStates);
    for (const Write& write : writes) {
        line.Update(write.written, 1000, ProgressLine::Clock::time_point(write.at));
    }
    if (end) {
        line.End();
    }
    return err.str();
}

TEST(ProgressLine, ShowsAWholePercentNoMoreThanFourTimesASecondAndAlwaysTheEnd) {
    const std::string first = "\rFormatting: 0% (0.0 of 0.4 MB written)";
    const struct {
        const char* name;
        std::vector<Write> writes;
        bool end;
        std::string shown;
    } cases[] = {
        {"the first write shows", {{1, milliseconds(0)}}, false, first},
        {"the same percent later waits",
         {{1, milliseconds(0)}, {5, milliseconds(900)}},
         false,
         first},
        {"a new percent too soon waits",
         {{1, milliseconds(0)}, {500, milliseconds(249)}},
         false,
         first},
        {"a new percent after 250 ms shows",
         {{1, milliseconds(0)}, {500, milliseconds(250)}},
         false,
         first + "\rFormatting: 50% (0.2 of 0.4 MB written)"},
        {"the end shows at once and ends the line",
         {{1, milliseconds(0)}, {1000, milliseconds(1)}},
         true,
         first + "\rFormatting: 100% (0.4 of 0.4 MB written)\n"},
        {"a format that stopped half-way has its line ended",
         {{1, milliseconds(0)}},
         true,
         first + "\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Shown(c.writes, c.end), c.shown) << c.name;
    }
}

}  // namespace
}  // namespace ulvren::cli
