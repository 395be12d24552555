#include "platform/InputScript.h"

#include <gtest/gtest.h>

using platform::InputScript;
using Kind = platform::ScriptEvent::Kind;

TEST(InputScript, ReadsEveryCommand)
{
    std::string error;
    const auto script = InputScript::parse(
        "# a comment\n"
        "0 touch 1 10 20\n"
        "\n"
        "  2\tmove 1 -5 30\r\n"
        "2 release 1 15 25\n"
        "3 key 27\n"
        "4 pause\n"
        "5 resume\n"
        "6 keyboard shown\n"
        "6 keyboard hidden\n"
        "7 accel 0.5 -1 1e-2\n"
        "8 shot out/a.png\n"
        "9 exit",
        error);
    ASSERT_TRUE(script) << error;
    const auto& e = script->events();
    ASSERT_EQ(e.size(), 11u);
    const Kind kinds[] = {Kind::Touch, Kind::Move, Kind::Release, Kind::Key, Kind::Pause, Kind::Resume,
                          Kind::KeyboardShown, Kind::KeyboardHidden, Kind::Accel, Kind::Shot, Kind::Exit};
    for (size_t i = 0; i < e.size(); ++i)
        EXPECT_EQ(e[i].kind, kinds[i]) << i;
    EXPECT_EQ(e[1].frame, 2u);
    EXPECT_EQ(e[1].id, 1);
    EXPECT_EQ(e[1].x, -5);
    EXPECT_EQ(e[1].y, 30);
    EXPECT_EQ(e[3].id, 27);
    EXPECT_DOUBLE_EQ(e[8].force[1], -1.0);
    EXPECT_DOUBLE_EQ(e[8].force[2], 0.01);
    EXPECT_EQ(e[9].path, "out/a.png");
    EXPECT_EQ(e[10].frame, 9u);
}

TEST(InputScript, BadLinesNameTheirLine)
{
    const struct {
        const char* text;
        const char* error;
    } kCases[] = {
        {"0 touch 0 1 2\nx touch 0 1 2", "line 2: bad frame number \"x\""},
        {"-1 pause", "line 1: bad frame number \"-1\""},
        {"99999999999 pause", "line 1: bad frame number \"99999999999\""},
        {"\n\n5", "line 3: missing command"},
        {"1 jump", "line 1: unknown command \"jump\""},
        {"1 touch 0 1", "line 1: touch takes 3 argument(s)"},
        {"1 touch 0 1 2 3", "line 1: touch takes 3 argument(s)"},
        {"1 touch -1 1 2", "line 1: bad touch id \"-1\""},
        {"1 move 0 1x 2", "line 1: bad position"},
        {"1 release 0 1 99999999999", "line 1: bad position"},
        {"1 key esc", "line 1: bad key code \"esc\""},
        {"1 keyboard up", "line 1: keyboard takes shown or hidden"},
        {"1 accel 0 nan 0", "line 1: bad force \"nan\""},
        {"1 accel 0 1", "line 1: accel takes 3 argument(s)"},
        {"1 shot picture.jpg", "line 1: shot needs a path ending in .png"},
        {"1 shot .png", "line 1: shot needs a path ending in .png"},
        {"1 exit now", "line 1: exit takes 0 argument(s)"},
        {"5 pause\n3 resume", "line 2: frame 3 comes after frame 5"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        std::string error;
        EXPECT_FALSE(InputScript::parse(c.text, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(InputScript, MissingFileIsAnError)
{
    std::string error;
    EXPECT_FALSE(InputScript::load("/nonexistent/script.txt", error));
    EXPECT_EQ(error, "cannot be read");
}
