#include "dialogs/field_rules.h"
#include "dialogs/property_values.h"
#include "dialogs/replace_rows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

float gZoom = 1.5f;
int32_t gWait = 0;
char gText[6] = "";
const Field kZoom = {1091, FieldKind::Edit, FieldType::Real, true, &gZoom, 1, 99, "%.3lf"};
const Field kWait = {1095, FieldKind::Edit, FieldType::Integer, false, &gWait, 0, 9999, nullptr};
const Field kText = {1092, FieldKind::Edit, FieldType::Text, false, gText,
                     0,    sizeof gText,    nullptr};
// A range whose ends almost meet is no range.
const Field kOpen = {1, FieldKind::Edit, FieldType::Real, false, &gZoom, 5, 5.0000005f, nullptr};

TEST(FieldRules, NumbersAreClampedAndFormattedWhenTheFieldIsLeft) {
    const struct {
        const Field* field;
        const char* typed;
        const char* shown;
    } cases[] = {
        {&kZoom, "150", "99.000"}, {&kZoom, "abc", "1.000"},   {&kZoom, "2.5x", "2.500"},
        {&kZoom, "nan", "1.000"},  {&kWait, "-5", "0"},        {&kWait, "12345", "9999"},
        {&kWait, "77.9", "77"},    {&kOpen, "-42", "-42.000"},
    };
    for (const auto& c : cases) EXPECT_EQ(fieldNormalise(*c.field, c.typed), c.shown) << c.typed;
    // Without a range a value still has to fit the float it ends in.
    fieldStore(kOpen, "1e300");
    EXPECT_TRUE(std::isfinite(gZoom));
}

// The spinner steps by one within the range; radio values outside the
// group select its ends.
TEST(FieldRules, SpinnerAndRadioStayWithinTheirRange) {
    EXPECT_EQ(fieldSpin(kZoom, "1.5", 1), "2.500");
    EXPECT_EQ(fieldSpin(kZoom, "1.5", -1), "1.000");
    EXPECT_EQ(fieldSpin(kWait, "9999", 1), "9999");
    EXPECT_EQ(fieldRadioIndex(-3, 3), 0);
    EXPECT_EQ(fieldRadioIndex(1, 3), 1);
    EXPECT_EQ(fieldRadioIndex(7, 3), 2);
}

TEST(FieldRules, TextIsCutOnACharacterBoundary) {
    EXPECT_EQ(fieldTextLimit(kText), 5);
    fieldStore(kText, "abcd\x88\xa0");  // the double-byte character would end past byte 5
    EXPECT_STREQ(gText, "abcd");
    fieldStore(kText, "ab\x88\xa0z");
    EXPECT_STREQ(gText, "ab\x88\xa0z");
}

TEST(PropertyValues, ApplyKeepsOtherBitsAndIgnoresAMatrixThatIsNoPermutation) {
    AppSettings s;
    SetSettingsDefaults(&s);
    s.registerStatus = 0x30 | 0x8;
    s.viewStatus = 0x1000 | 0x1F3;
    uint32_t custom[kColorCount] = {};
    PropertyWork w;
    LoadPropertyWork(s, custom, &w);
    EXPECT_EQ(w.registerFont, 2);
    w.registerFont = 0;
    w.registerBold = 1;
    w.displayMask[7] = 1;  // tool image, 0x4
    const int32_t notPermutation[4] = {0, 0, 2, 3};
    memcpy(w.matrix[0], notPermutation, sizeof notPermutation);
    const int32_t swapped[4] = {s.viewMatrix[1][1], s.viewMatrix[1][0], s.viewMatrix[1][2],
                                s.viewMatrix[1][3]};
    memcpy(w.matrix[1], swapped, sizeof swapped);
    const PropertyChanges c = ApplyPropertyWork(w, &s, custom);
    EXPECT_EQ(s.registerStatus, 0x30 | 0x4 | 0x1);
    EXPECT_EQ(s.viewStatus, 0x1000 | 0x1F7);
    EXPECT_TRUE(c.registerStyle && c.viewStatus && !c.codeStyle && !c.anglesOrColors);
    EXPECT_FALSE(c.matrix[0]);
    EXPECT_TRUE(c.matrix[1]);
}

TEST(ReplaceRows, AddDeleteAndApplyFollowTheirRules) {
    ReplaceRows rows = {};
    EXPECT_EQ(AddReplaceRow(&rows, "", "x"), -1);
    const std::string long64(64, 'a');
    EXPECT_EQ(AddReplaceRow(&rows, long64.c_str(), "b"), 0);
    EXPECT_EQ(strlen(rows.org[0]), 63u);
    for (int k = 1; k < kMachineReplacePairs; ++k) EXPECT_EQ(AddReplaceRow(&rows, "s", "d"), k);
    EXPECT_EQ(AddReplaceRow(&rows, "s", "d"), -1);
    EXPECT_FALSE(ApplyReplaceRow(&rows, 3, "", "d"));
    EXPECT_EQ(DeleteReplaceRow(&rows, kMachineReplacePairs - 1), kMachineReplacePairs - 2);
    EXPECT_EQ(DeleteReplaceRow(&rows, 0), 0);
    MachineDefinition m;
    SetMachineDefaults(&m);
    StoreReplaceRows(rows, &m);
    EXPECT_STREQ(m.replaceOrg[0], "s");
    EXPECT_STREQ(m.replaceOrg[kMachineReplacePairs - 2], "");
}

}  // namespace
