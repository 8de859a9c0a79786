#include <gtest/gtest.h>

#include <tuple>

#include "core/list_properties.h"

using namespace zelk;

namespace {

ListAmbient Ambient() {
    ListAmbient a;
    a.font = {L"Tahoma", 8.25};
    a.backColor = 0x000000;
    a.resolve = [](int index) { return index == 0x0D ? Colour{0xD77800} : Colour{0x808080}; };
    return a;
}

} // namespace

TEST(ListProperties, FilterColourDefaultFollowsTheBackColourRead) {
    const ListAmbient ambient = Ambient();
    PropertyBag bag;
    bag.Write(L"BackColor", L"16777215");
    const ListProperties p = ReadProperties(bag, ambient);
    EXPECT_EQ(p.FindTextColor, BlendColors(0xD77800, 0xFFFFFF, 200));
    // Saved with that blend, it is not written and reads back the same.
    const PropertyBag saved = WriteProperties(p, ambient);
    EXPECT_FALSE(saved.Read(L"FindTextColor").has_value());
    EXPECT_EQ(ReadProperties(saved, ambient).FindTextColor, p.FindTextColor);
    // A colour the bag gives is kept, each in its own field.
    bag.Write(L"FindTextColor", L"1193046");
    bag.Write(L"LineColor", L"13487565");
    const ListProperties given = ReadProperties(bag, ambient);
    EXPECT_EQ(std::tuple(given.FindTextColor, given.LineColor, given.BorderColor),
              std::tuple(0x123456u, 0xCDCDCDu, ListProperties{}.BorderColor));
}

TEST(ListProperties, ValuesAreReadOnlyInTheirOwnForm) {
    // A value read from the bag, as it is saved again: nothing when the default applies.
    const std::tuple<const wchar_t*, std::wstring, std::optional<std::wstring>> cases[] = {
        {L"ShowFilter", L"True", L"True"},
        {L"ShowFilter", L"-1", L"True"},
        {L"ShowFilter", L"1", L"True"},
        {L"ShowFilter", L"yes", std::nullopt},
        {L"BorderVisible", L"0", L"False"},
        {L"BorderVisible", L"maybe", std::nullopt},
        {L"ItemHeight", L"00000000000000000024", L"24"}, // 20 characters, the most there are
        {L"ItemHeight", L"000000000000000000024", std::nullopt},
        {L"ItemHeight", L"", std::nullopt},
        {L"ItemHeight", L"24px", std::nullopt},
        {L"ListWidth", std::wstring(5000, L'9'), std::nullopt},
        {L"Font", L"Arial;1999.5;U", L"Arial;1999.50;U"},
        {L"Font", L"Arial;12;I", L"Arial;12.00;I"},
        {L"Font", L";8;B", std::nullopt},
        {L"Font", L"Arial;0;", std::nullopt},
        {L"Font", L"Arial;2000;", std::nullopt},
        {L"Font", L"no size", std::nullopt},
        {L"OLEDropMode", L"1", L"1"},
        {L"OLEDropMode", L"2", std::nullopt},
        {L"OLEDropMode", L"-1", std::nullopt},
    };
    const ListAmbient ambient = Ambient();
    for (const auto& [name, text, saved] : cases) {
        PropertyBag bag;
        bag.Write(name, text);
        EXPECT_EQ(WriteProperties(ReadProperties(bag, ambient), ambient).Read(name), saved)
            << testing::PrintToString(std::wstring(name)) << " = "
            << testing::PrintToString(text.substr(0, 30));
    }

    ListProperties q;
    const auto error = SetOLEDropMode(q, 5);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number, 380);
    EXPECT_EQ(q.OLEDropMode, 0);
    EXPECT_FALSE(SetOLEDropMode(q, 1));
    EXPECT_EQ(q.OLEDropMode, 1);

    // Writing a name again replaces its value.
    PropertyBag bag;
    bag.Write(L"ItemHeight", L"20");
    bag.Write(L"ItemHeight", L"24");
    EXPECT_EQ(bag.Entries().size(), 1u);
    EXPECT_EQ(bag.Read(L"ItemHeight"), L"24");
}
