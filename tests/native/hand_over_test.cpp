// The hand-over records and prismelctl's command line: what is taken, what is refused and why.
#include <gtest/gtest.h>

#include <vector>

#include "lighting/HandOver.h"
#include "prismelctl/CtlCommand.h"

namespace {

std::variant<HandOverRequest, HandOverRefusal> Decode(std::vector<std::uint8_t> bytes) {
    return DecodeRequest(bytes);
}

TEST(HandOverRequestCodec, EveryValidRequestMakesTheRoundTrip) {
    const HandOverRequest requests[] = {
        {HandOverCommand::Mode, 7, true, {255, 128, 0}, 5},
        {HandOverCommand::Mode, 1, false, {}, 0},
        {HandOverCommand::Mode, 10, false, {}, 1},
        {HandOverCommand::On},
        {HandOverCommand::Off},
        {HandOverCommand::Reset},
        {HandOverCommand::Status},
    };
    for (const HandOverRequest& request : requests) {
        const RequestBytes bytes = EncodeRequest(request);
        const auto decoded = DecodeRequest(bytes);
        ASSERT_TRUE(std::holds_alternative<HandOverRequest>(decoded));
        EXPECT_EQ(std::get<HandOverRequest>(decoded), request);
    }
}

TEST(HandOverRequestCodec, RefusesEveryDamagedField) {
    const std::vector<std::uint8_t> good = {1, 0, 1, 7, 1, 5, 255, 128, 0, 0, 0, 0};
    ASSERT_TRUE(std::holds_alternative<HandOverRequest>(Decode(good)));
    struct Case {
        std::size_t at;
        std::uint8_t value;
        HandOverRefusal refusal;
    };
    const Case cases[] = {
        {0, 2, HandOverRefusal::WrongVersion},   {1, 1, HandOverRefusal::WrongVersion},
        {2, 0, HandOverRefusal::UnknownCommand}, {2, 6, HandOverRefusal::UnknownCommand},
        {3, 0, HandOverRefusal::BadMode},        {3, 11, HandOverRefusal::BadMode},
        {4, 2, HandOverRefusal::BadFlags},       {5, 6, HandOverRefusal::BadSpeed},
        {9, 1, HandOverRefusal::NonzeroPadding}, {11, 0x80, HandOverRefusal::NonzeroPadding},
    };
    for (const Case& c : cases) {
        auto bytes = good;
        bytes[c.at] = c.value;
        const auto decoded = Decode(bytes);
        ASSERT_TRUE(std::holds_alternative<HandOverRefusal>(decoded)) << c.at;
        EXPECT_EQ(std::get<HandOverRefusal>(decoded), c.refusal) << c.at;
    }
    // Fields that only a mode request may carry.
    EXPECT_EQ(std::get<HandOverRefusal>(Decode({1, 0, 3, 7, 0, 0, 0, 0, 0, 0, 0, 0})), HandOverRefusal::BadMode);
    EXPECT_EQ(std::get<HandOverRefusal>(Decode({1, 0, 3, 0, 1, 0, 1, 0, 0, 0, 0, 0})), HandOverRefusal::BadFlags);
    EXPECT_EQ(std::get<HandOverRefusal>(Decode({1, 0, 5, 0, 0, 3, 0, 0, 0, 0, 0, 0})), HandOverRefusal::BadSpeed);
    EXPECT_EQ(std::get<HandOverRefusal>(Decode({1, 0, 1, 7, 0, 0, 9, 0, 0, 0, 0, 0})), HandOverRefusal::NonzeroPadding);
    for (std::size_t size : {0u, 11u, 13u, 64u}) {
        std::vector<std::uint8_t> bytes = good;
        bytes.resize(size);
        EXPECT_EQ(std::get<HandOverRefusal>(Decode(bytes)), HandOverRefusal::WrongSize) << size;
    }
}

TEST(HandOverStatusCodec, RoundTripAndRefusals) {
    const HandOverStatus status{7, 5, {0, 255, 0}, false, true, true, 2};
    const StatusBytes bytes = EncodeStatus(status);
    ASSERT_TRUE(std::holds_alternative<HandOverStatus>(DecodeStatus(bytes)));
    EXPECT_EQ(std::get<HandOverStatus>(DecodeStatus(bytes)), status);
    struct Case {
        std::size_t at;
        std::uint8_t value;
        HandOverRefusal refusal;
    };
    for (const Case& c : {Case{2, 11, HandOverRefusal::BadMode}, Case{3, 0, HandOverRefusal::BadSpeed},
                          Case{7, 8, HandOverRefusal::BadFlags}, Case{8, 13, HandOverRefusal::BadFlags},
                          Case{10, 1, HandOverRefusal::NonzeroPadding}}) {
        StatusBytes damaged = bytes;
        damaged[c.at] = c.value;
        EXPECT_EQ(std::get<HandOverRefusal>(DecodeStatus(damaged)), c.refusal) << c.at;
    }
}

CtlParse Parse(std::vector<std::string_view> words) {
    return ParseCtlArgs(words);
}

TEST(CtlCommandLine, WordsBecomeRequests) {
    struct Case {
        std::vector<std::string_view> words;
        HandOverRequest request;
        bool json;
    };
    const Case cases[] = {
        {{"mode", "meteor"}, {HandOverCommand::Mode, 7}, false},
        {{"mode", "METEOR", "--speed", "5"}, {HandOverCommand::Mode, 7, false, {}, 5}, false},
        {{"mode", "Single flash"}, {HandOverCommand::Mode, 3}, false},
        {{"mode", "double-flash"}, {HandOverCommand::Mode, 4}, false},
        {{"mode", "colour_cycle"}, {HandOverCommand::Mode, 10}, false},
        {{"mode", "Color-Cycle"}, {HandOverCommand::Mode, 10}, false},
        {{"mode", "2", "--colour", "FF8000"}, {HandOverCommand::Mode, 2, true, {255, 128, 0}}, false},
        {{"mode", "10", "--color", "1,2,255", "--speed", "1"},
         {HandOverCommand::Mode, 10, true, {1, 2, 255}, 1},
         false},
        {{"mode", "static", "--colour", "00ff0a"}, {HandOverCommand::Mode, 1, true, {0, 255, 10}}, false},
        {{"on"}, {HandOverCommand::On}, false},
        {{"off"}, {HandOverCommand::Off}, false},
        {{"reset"}, {HandOverCommand::Reset}, false},
        {{"status"}, {HandOverCommand::Status}, false},
        {{"status", "--json"}, {HandOverCommand::Status}, true},
    };
    for (const Case& c : cases) {
        const CtlParse parse = Parse(c.words);
        ASSERT_TRUE(parse.command) << c.words[0] << " " << parse.error;
        EXPECT_EQ(parse.command->action, CtlCommand::Action::Send);
        EXPECT_EQ(parse.command->request, c.request) << c.words.size();
        EXPECT_EQ(parse.command->json, c.json);
    }
    EXPECT_EQ(Parse({"--help"}).command->action, CtlCommand::Action::Help);
    EXPECT_EQ(Parse({"--version"}).command->action, CtlCommand::Action::Version);
}

TEST(CtlCommandLine, BadWordsAreRefusedWithAReason) {
    struct Case {
        std::vector<std::string_view> words;
        std::string_view reason;
    };
    const Case cases[] = {
        {{}, "no command"},
        {{"blink"}, "unknown command"},
        {{"mode"}, "needs a name"},
        {{"mode", "strobe"}, "unknown mode"},
        {{"mode", "0"}, "unknown mode"},
        {{"mode", "11"}, "unknown mode"},
        {{"mode", "7", "--speed", "0"}, "speed '0' out of range"},
        {{"mode", "7", "--speed", "6"}, "out of range"},
        {{"mode", "7", "--speed", "+3"}, "out of range"},
        {{"mode", "7", "--speed"}, "needs a value"},
        {{"mode", "7", "--colour", "FF80"}, "bad colour"},
        {{"mode", "7", "--colour", "GG0000"}, "bad colour"},
        {{"mode", "7", "--colour", "1,2"}, "bad colour"},
        {{"mode", "7", "--colour", "1,2,3,4"}, "bad colour"},
        {{"mode", "7", "--colour", "256,0,0"}, "bad colour"},
        {{"mode", "7", "--colour", "1,,3"}, "bad colour"},
        {{"mode", "7", "--fast"}, "unknown option"},
        {{"off", "now"}, "unexpected 'now'"},
        {{"status", "--xml"}, "unexpected"},
        {{"on", "--json"}, "unexpected"},
    };
    for (const Case& c : cases) {
        const CtlParse parse = Parse(c.words);
        EXPECT_FALSE(parse.command) << c.reason;
        EXPECT_NE(parse.error.find(c.reason), std::string::npos) << parse.error;
    }
}

TEST(CtlOutput, OneLineOrOneJsonObject) {
    const HandOverStatus status{7, 5, {255, 128, 0}, true, true, false, 2};
    EXPECT_EQ(DescribeStatus(status, false),
              "on: mode 7 Meteor, speed 5, colour FF8000; RGBI2CMode yes, SetZorvaEffect no; 2 module(s)");
    EXPECT_EQ(DescribeStatus(status, true),
              "{\"mode\": 7, \"modeName\": \"Meteor\", \"speed\": 5, \"colour\": \"FF8000\", \"on\": true, "
              "\"useRGBI2CMode\": true, \"useSetZorvaEffect\": false, \"modules\": 2}");
}

} // namespace
