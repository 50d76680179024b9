// Named lighting profiles: the stored record, the name rules in the program's three languages, the book over the
// settings key, and prismelctl's profile records and what the program does with them.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "base/Utf8.h"
#include "lighting/HandOverAdapter.h"
#include "lighting/ProfileHandOver.h"
#include "lighting/Profiles.h"

namespace {

const LightingChoice kMeteor{kModeMeteor, {0, 255, 0}, 0, true};
const LightingChoice kStaticOff{kModeStatic, {0x3D, 0x45, 0xFF}, 4, false};

TEST(ProfileRecord, RoundTripsAndRefusesEveryMalformedForm) {
    for (const LightingChoice& lighting : {kMeteor, kStaticOff}) {
        const ProfileRecord record = EncodeProfile(lighting);
        EXPECT_EQ(DecodeProfile(record), lighting);
    }
    const ProfileRecord good = EncodeProfile(kMeteor);
    const struct {
        std::size_t at;
        std::uint8_t value;
    } damage[] = {{0, 2}, {1, 1}, {2, 0x02}, {3, 0}, {3, 11}, {4, 5}};
    for (const auto& d : damage) {
        ProfileRecord bad = good;
        bad[d.at] = d.value;
        EXPECT_FALSE(DecodeProfile(bad)) << "byte " << d.at << " = " << int{d.value};
    }
    EXPECT_FALSE(DecodeProfile(std::span(good.data(), 7)));
    std::vector<std::uint8_t> longer(good.begin(), good.end());
    longer.push_back(0);
    EXPECT_FALSE(DecodeProfile(longer));
}

TEST(ProfileNames, AnyLanguageWithinTheBoundsAndComparedWithoutCase) {
    const std::u16string sixtyFour(64, u'工');
    const std::u16string pairs = std::u16string(63, u'a') + u"\U0001F308"; // 64 characters in 65 units
    const struct {
        std::u16string name;
        ProfileNameProblem problem;
    } cases[] = {
        {u"Work", ProfileNameProblem::None},
        {u"游戏 night", ProfileNameProblem::None},
        {u"電影", ProfileNameProblem::None},
        {sixtyFour, ProfileNameProblem::None},
        {pairs, ProfileNameProblem::None},
        {u"", ProfileNameProblem::Empty},
        {sixtyFour + u"x", ProfileNameProblem::TooLong},
        {u"a\tb", ProfileNameProblem::ControlCharacter},
        {u"a\u0085", ProfileNameProblem::ControlCharacter},
        {u"a\\b", ProfileNameProblem::Backslash},
        {std::u16string(1, char16_t{0xD800}), ProfileNameProblem::NotText},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckProfileName(c.name), c.problem) << ToUtf8(c.name);
    }
    EXPECT_TRUE(SameProfileName(u"Gaming", u"gAMING"));
    EXPECT_TRUE(SameProfileName(u"Ärger Ωμέγα Ночь", u"äRGER ωμέγα ночь"));
    EXPECT_TRUE(SameProfileName(u"夜间", u"夜间"));
    EXPECT_FALSE(SameProfileName(u"夜间", u"夜間")) << "Simplified and Traditional are different names";
    EXPECT_FALSE(SameProfileName(u"work", u"works"));
}

// The settings key's Profiles subkey, in memory.
class MemoryList final : public ISettingsList {
public:
    std::vector<NamedValue> ReadAll(std::size_t maxValues, std::size_t, std::size_t) override {
        std::vector<NamedValue> out;
        for (const auto& [name, data] : values) {
            if (out.size() < maxValues) {
                out.push_back({name, data, false});
            }
        }
        return out;
    }
    bool WriteBinary(std::u16string_view name, const std::vector<std::uint8_t>& data) override {
        if (failWrites) {
            return false;
        }
        values[std::u16string(name)] = data;
        return true;
    }
    bool Remove(std::u16string_view name) override { return values.erase(std::u16string(name)) == 1; }
    std::map<std::u16string, std::vector<std::uint8_t>> values;
    bool failWrites = false;
};

TEST(ProfileBook, SavesListsLoadsReplacesAndDeletes) {
    MemoryList store;
    ProfileBook book(store);
    EXPECT_EQ(book.Save(u"work", kStaticOff), ProfileResult::Done);
    EXPECT_EQ(book.Save(u"Gaming", kMeteor), ProfileResult::Done);
    EXPECT_EQ(book.Save(u"WORK", kMeteor), ProfileResult::Done) << "the same name without case replaces it";
    const std::vector<Profile> listed = book.List();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].name, u"Gaming") << "in the order of the names";
    EXPECT_EQ(listed[1].name, u"WORK") << "under the new spelling";
    LightingChoice loaded;
    EXPECT_EQ(book.Load(u"work", loaded), ProfileResult::Done);
    EXPECT_EQ(loaded, kMeteor);
    EXPECT_EQ(book.Load(u"movie", loaded), ProfileResult::UnknownName);
    EXPECT_EQ(book.Save(u"a\\b", kMeteor), ProfileResult::BadName);
    EXPECT_EQ(book.Delete(u"gaming"), ProfileResult::Done);
    EXPECT_EQ(book.Delete(u"gaming"), ProfileResult::UnknownName);
    store.failWrites = true;
    EXPECT_EQ(book.Save(u"night", kMeteor), ProfileResult::NotStored);
}

TEST(ProfileBook, HoldsAHundredAndNeverLoadsADamagedRecord) {
    MemoryList store;
    ProfileBook book(store);
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(
            book.Save(u"p" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + std::u16string(i / 26 + 1, u'x'),
                      kMeteor),
            ProfileResult::Done);
    }
    EXPECT_EQ(book.Save(u"one more", kMeteor), ProfileResult::Full) << "the 101st";
    EXPECT_EQ(book.Save(u"PAX", kStaticOff), ProfileResult::Done) << "replacing one is not a new one";
    store.values.clear();
    store.values[u"old"] = {1, 0, 1, 99, 0, 0, 0, 0}; // mode 99
    const std::vector<Profile> listed = book.List();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_FALSE(listed[0].lighting) << "listed as damaged";
    LightingChoice loaded = kStaticOff;
    EXPECT_EQ(book.Load(u"old", loaded), ProfileResult::Damaged);
    EXPECT_EQ(loaded, kStaticOff) << "nothing taken from it";
    EXPECT_EQ(book.Delete(u"old"), ProfileResult::Done) << "a damaged profile can still be deleted";
}

TEST(ProfileHandOver, RecordsRoundTripAndRefuseWhatDoesNotFit) {
    for (const ProfileRequest& request :
         {ProfileRequest{ProfileCommand::List, {}}, ProfileRequest{ProfileCommand::Load, u"夜間 \U0001F319"}}) {
        EXPECT_EQ(DecodeProfileRequest(EncodeProfileRequest(request)), request);
    }
    const ProfileAnswer answer{ProfileResult::Done, {{u"work", false, true}, {u"old", true, false}}};
    EXPECT_EQ(DecodeProfileAnswer(EncodeProfileAnswer(answer)), answer);

    std::vector<std::uint8_t> bytes = EncodeProfileRequest({ProfileCommand::Save, u"work"});
    const auto refused = [&](std::size_t at, std::uint8_t value) {
        std::vector<std::uint8_t> bad = bytes;
        bad[at] = value;
        return !DecodeProfileRequest(bad);
    };
    EXPECT_TRUE(refused(0, 2)) << "version";
    EXPECT_TRUE(refused(2, 5)) << "command";
    EXPECT_TRUE(refused(3, 5)) << "a length past the end";
    EXPECT_TRUE(refused(3, 0)) << "save without a name";
    EXPECT_FALSE(DecodeProfileRequest(std::span(bytes.data(), bytes.size() - 1))) << "cut short";
    std::vector<std::uint8_t> listWithName = EncodeProfileRequest({ProfileCommand::List, u"x"});
    EXPECT_FALSE(DecodeProfileRequest(listWithName));
    std::vector<std::uint8_t> answerBytes = EncodeProfileAnswer(answer);
    answerBytes[3] = 3; // one profile more than follows
    EXPECT_FALSE(DecodeProfileAnswer(answerBytes));
}

class ProfileTarget final : public HandOverTarget {
public:
    void ChooseAndTurnOn(std::int32_t, std::int32_t, const std::optional<std::array<std::uint8_t, 3>>&) override {}
    void TurnOn() override {}
    void TurnOff() override {}
    void Reset() override {}
    void LoadLighting(const LightingChoice& lighting) override { loaded.push_back(lighting); }
    LightingChoice AppliedLighting() const override { return kMeteor; }
    HandOverStatus Status() const override { return {}; }
    bool LibraryStarted() const override { return true; }
    const DarkSettings& DarkRules() const override { return rules; }
    void SetDarkRules(const DarkSettings& now) override { rules = now; }
    std::uint8_t DarkReasons() const override { return 0; }
    DarkSettings rules;
    std::vector<LightingChoice> loaded;
};

TEST(ProfileHandOver, TheProgramListsSavesAndLoadsAsTheButtonsWould) {
    MemoryList store;
    ProfileBook book(store);
    ProfileTarget target;
    const auto take = [&](const ProfileRequest& request) {
        const auto answer = TakeProfileHandOver(EncodeProfileRequest(request), book, target);
        EXPECT_TRUE(answer);
        return DecodeProfileAnswer(answer.value_or(std::vector<std::uint8_t>{})).value_or(ProfileAnswer{});
    };
    EXPECT_EQ(take({ProfileCommand::Save, u"gaming"}).result, ProfileResult::Done) << "the applied lighting";
    ASSERT_EQ(book.Save(u"night", kStaticOff), ProfileResult::Done);
    EXPECT_EQ(take({ProfileCommand::List, {}}).profiles,
              (std::vector<ListedProfile>{{u"gaming", false, true}, {u"night", false, false}}));
    EXPECT_EQ(take({ProfileCommand::Load, u"NIGHT"}).result, ProfileResult::Done);
    EXPECT_EQ(target.loaded, std::vector<LightingChoice>{kStaticOff});
    EXPECT_EQ(take({ProfileCommand::Load, u"movie"}).result, ProfileResult::UnknownName);
    EXPECT_EQ(target.loaded.size(), 1u);
    EXPECT_FALSE(TakeProfileHandOver(std::vector<std::uint8_t>{1, 0, 9, 0}, book, target)) << "refused bytes";
}

} // namespace
