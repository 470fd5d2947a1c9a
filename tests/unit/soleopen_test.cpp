// A file is deleted only after it was opened alone and closed again; no error the open may
// give (2 not found, 5 access denied, 32 sharing, 33 lock, 83 failed critical error, or
// none set at all on Windows 9x) leads to a deletion.
#include <gtest/gtest.h>
#include "core/soleopen.h"

TEST(SoleOpen, DeletesOnlyWhatWasOpenedAloneAndClosed) {
    const struct {
        bool opened, closed, deletes;
    } rows[] = {{true, true, true}, {true, false, false}, {false, false, false}};
    for (const auto& row : rows)
        EXPECT_EQ(MayDeleteAfterSoleOpen(row.opened, row.closed), row.deletes) << row.opened << row.closed;
}
