// The texts of the filter import summary: places filled in from the values,
// and numbers written the same in every locale.
#include <gtest/gtest.h>

#include "model/filter_import_summary.h"

namespace {

TEST(FilterImportText, PlacesAreFilledInOrderAndNeverPastTheValues) {
    EXPECT_EQ(model::FillInValues("Filter %d: Q %s is above %s.", {"7", "12.00", "9.00"}),
              "Filter 7: Q 12.00 is above 9.00.");
    EXPECT_EQ(model::FillInValues("%s and %s and %s", {"a"}), "a and  and ");
    EXPECT_EQ(model::FillInValues("only %d", {"1", "2"}), "only 1");
    EXPECT_EQ(model::FillInValues("100%% of %d", {"3"}), "100% of 3");
    EXPECT_EQ(model::FillInValues("%x %", {"1"}), "%x %");
    EXPECT_EQ(model::FillInValues("%s", {"%d"}), "%d") << "a value is not read again";
    EXPECT_EQ(model::FixedText(-0.04, 1), "0.0");
    EXPECT_EQ(model::FixedText(-4.25, 2), "-4.25");
}

}  // namespace
