#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

#include "conversion/RowIndex.h"

namespace kestrom {
namespace {

using Transitions = Table<TransitionRec, kMaxObjects>;

// Full tables whose source numbers are spread, repeated, negative or apt to
// share a slot of the index.
std::vector<Transitions> TablesWithSources() {
    const std::vector<std::function<int(int)>> sourceOfRow = {
        [](int row) { return row; },
        [](int) { return 7; },
        [](int row) { return row % 2 == 0 ? -32768 : 32767; },
        [](int row) { return row * 512 - 32768; },
        [](int row) { return (row * 7919) % 23 - 11; },
    };
    std::vector<Transitions> tables;
    for (const auto& source : sourceOfRow) {
        Transitions table{};
        for (int row = 1; row <= kMaxObjects; ++row)
            table[row].SourceId = static_cast<Integer>(source(row));
        tables.push_back(table);
    }
    return tables;
}

TEST(RowIndex, EveryNumberFindsItsRowsInTableOrder) {
    for (const Transitions& table : TablesWithSources()) {
        for (const int count : {0, 1, 149, kMaxObjects}) {
            const RowIndex bySource(table, count,
                                    [](const TransitionRec& row) { return row.SourceId; });
            for (int number = std::numeric_limits<Integer>::min();
                 number <= std::numeric_limits<Integer>::max(); ++number) {
                std::vector<int> scanned;
                for (int row = 1; row <= count; ++row)
                    if (table[row].SourceId == number) scanned.push_back(row);
                std::vector<int> found;
                for (int row = bySource.First(static_cast<Integer>(number)); row != 0;
                     row = bySource.Next(row))
                    found.push_back(row);
                ASSERT_EQ(found, scanned) << "number " << number << ", " << count << " rows";
                ASSERT_EQ(bySource.Last(static_cast<Integer>(number)),
                          scanned.empty() ? 0 : scanned.back());
            }
        }
    }
}

} // namespace
} // namespace kestrom
