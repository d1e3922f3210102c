// ZProfile under code page 932 with NULL, empty, over-long and double-byte
// sections, keys, values and names: defaults or refusals, whole characters,
// and nothing written past the caller's buffers.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ZProfile.h"
#include "testutil.h"

namespace {

char* s(const std::string& text) { return const_cast<char*>(text.c_str()); }

using testutil::Guarded;
using testutil::kIntactGuards;

const std::string g_sub = "Software\\gtapi32 tests\\profile bad " + std::to_string(GetCurrentProcessId());
const std::string g_key = "HKEY_CURRENT_USER\\" + g_sub;
const std::string g_ini = testutil::freshTempDir("profilebad") + "p.ini";

struct Store { const char* name; ZProfile* profile; };
struct Argument { const char* name; const char* text; };  // text nullptr: a NULL argument

class ProfileBadInput : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8"; }
    static void TearDownTestSuite() { RegDeleteTreeA(HKEY_CURRENT_USER, g_sub.c_str()); }
    ZProfile registry{nullptr, s(g_key)};
    ZProfile ini{s(g_ini), nullptr};
    const std::string longText = std::string(300, 'k');
    const std::string dbcs = testutil::ansiFromUtf8("表示");  // 95 5C 8E A6: a trail byte 0x5C
};

TEST_F(ProfileBadInput, SectionsAndKeysGiveTheDefaultInsideTheBuffer) {
    const Argument args[] = {
        {"NULL", nullptr}, {"empty", ""}, {"long", longText.c_str()}, {"double-byte", dbcs.c_str()}};
    for (Store store : {Store{"registry", &registry}, Store{"ini", &ini}}) {
        for (const Argument& arg : args) {
            SCOPED_TRACE(std::string(store.name) + ", " + arg.name);
            Guarded asSection(16), asKey(16);
            store.profile->GetProfileStringA(const_cast<char*>(arg.text), s("k"), s("d"), asSection.get(), 16);
            store.profile->GetProfileStringA(s("S"), const_cast<char*>(arg.text), s("d"), asKey.get(), 16);
            EXPECT_EQ(asSection.guards(), kIntactGuards);
            EXPECT_EQ(asKey.guards(), kIntactGuards);
        }
    }
}

TEST_F(ProfileBadInput, NullSectionReadsTheDefaultAndWritesNothing) {
    for (Store store : {Store{"registry", &registry}, Store{"ini", &ini}}) {
        SCOPED_TRACE(store.name);
        EXPECT_EQ(store.profile->GetProfileIntA(nullptr, s("k"), 11), 11);
        EXPECT_FALSE(store.profile->WriteProfileInt(nullptr, s("k"), 1));
    }
}

TEST_F(ProfileBadInput, ValuesReadBackWholeOrAreRefused) {
    const Argument args[] = {{"empty", ""}, {"long", longText.c_str()}, {"double-byte", dbcs.c_str()}};
    for (Store store : {Store{"registry", &registry}, Store{"ini", &ini}}) {
        for (const Argument& arg : args) {
            SCOPED_TRACE(std::string(store.name) + ", " + arg.name);
            if (!store.profile->WriteProfileStringA(s("S"), s("v"), const_cast<char*>(arg.text))) continue;
            Guarded back(400);
            store.profile->GetProfileStringA(s("S"), s("v"), s("?"), back.get(), 400);
            EXPECT_EQ(back.guards(), kIntactGuards);
            // INI reads stop at 255 bytes; the registry gives the whole value.
            if (store.profile == &registry || std::strlen(arg.text) < 255) {
                EXPECT_STREQ(back.get(), arg.text);
            }
        }
    }
}

TEST_F(ProfileBadInput, DoubleByteNamesRoundTripAsSectionAndKey) {
    ASSERT_TRUE(registry.WriteProfileStringA(s(dbcs), s(dbcs), s(dbcs)));
    char out[32] = {};
    EXPECT_STREQ(registry.GetProfileStringA(s(dbcs), s(dbcs), s(""), out, sizeof out), dbcs.c_str());
}

TEST_F(ProfileBadInput, OverLongRegistryPathFailsEveryOperation) {
    ZProfile tooLong(nullptr, s("HKEY_CURRENT_USER\\" + std::string(300, 'x')));
    EXPECT_FALSE(tooLong.WriteProfileInt(s("S"), s("k"), 1));
    EXPECT_EQ(tooLong.GetProfileIntA(s("S"), s("k"), 8), 8);
}

TEST_F(ProfileBadInput, TrailByteBackslashIsNoSeparatorOfTheSubKey) {
    ZProfile p(nullptr, s(testutil::ansiFromUtf8("表\\HKEY_USERS\\x")));
    EXPECT_EQ(p.GetMainRegistryKey(), static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(HKEY_USERS)));
    EXPECT_STREQ(p.GetSubRegistryKey(), "HKEY_USERS\\x");
}

TEST_F(ProfileBadInput, NamesCutAtALengthKeepWholeCharacters) {
    ZProfile p;
    ASSERT_TRUE(p.SetProfileName(s(dbcs)));
    Guarded name(8);
    p.GetProfileName(name.get(), 3);  // room for 3 bytes: one character
    EXPECT_STREQ(name.get(), testutil::ansiFromUtf8("表").c_str());
    EXPECT_EQ(name.guards(), kIntactGuards);
    char* copy = p.GetProfileName(nullptr, 3);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, testutil::ansiFromUtf8("表").c_str());
    delete[] copy;
}

}  // namespace
