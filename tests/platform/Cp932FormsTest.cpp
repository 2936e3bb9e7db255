// The code page 932 forms that UTF-8 and UTF-16 text is converted with: the
// same in both builds, where iconv and the Windows tables differ by
// themselves (look-alikes, the second Unicode form of a character, lone
// bytes that are no character).
#include <gtest/gtest.h>

#include "search/text/Cp932Forms.h"

namespace {

struct Form {
    char32_t c;
    unsigned short form;
};

const Form kForms[] = {
    {U'A', 0x41},    {U'\\', 0x5C},   {U'~', 0x7E},    {U'あ', 0x82A0}, {U'漢', 0x8ABF},
    {U'ｱ', 0xB1},    {U'ﾟ', 0xDF},    {U'〜', 0x8160}, {U'～', 0x8160}, {U'−', 0x817C},
    {U'－', 0x817C}, {U'‖', 0x8161},  {U'∥', 0x8161},  {U'—', 0x815C},  {U'―', 0x815C},
    {U'¢', 0x8191},  {U'￠', 0x8191}, {U'£', 0x8192},  {U'￡', 0x8192}, {U'¬', 0x81CA},
    {U'￢', 0x81CA}, {U'Ⅰ', 0x8754},  {U'纊', 0xFA5C}, {U'¥', 0},       {U'‾', 0},
    {U'\u0080', 0},  {U'\uF8F0', 0},  {U'\uF8F3', 0},  {U'é', 0},       {U'\uFFFD', 0},
    {U'😀', 0},       {U'𠮷', 0},      {0xD800, 0},
};

TEST(Cp932Forms, SameInBothBuilds) {
    for (const Form& f : kForms) {
        EXPECT_EQ(cp932::FormOf(f.c), f.form) << "U+" << std::hex << static_cast<unsigned>(f.c);
    }
}

}  // namespace
