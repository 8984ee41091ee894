#include "TempDir.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/Identifiers.h"
#include "TunnelKit/JsonCoding.h"
#include "TunnelKit/Text.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tunnelkit;

TEST(Text, CharacterClassesFollowUnicode) {
    EXPECT_TRUE(text::isBlank(U'\t'));
    EXPECT_TRUE(text::isBlank(0x00A0)); // no-break space is a space separator
    EXPECT_FALSE(text::isBlank(U'\n'));
    EXPECT_TRUE(text::isBlankOrLineBreak(U'\n'));
    EXPECT_TRUE(text::isBlankOrLineBreak(0x85));
    EXPECT_TRUE(text::isBlankOrLineBreak(0x2028));
    EXPECT_TRUE(text::isWhitespace(0x3000));
    EXPECT_FALSE(text::isWhitespace(U'x'));
    EXPECT_TRUE(text::isControl(U'\n'));
    EXPECT_TRUE(text::isControl(0x200B)); // zero-width space is a format character
    EXPECT_FALSE(text::isControl(U' '));
}

TEST(Text, TrimmingKeepsWhatTheClassDoesNotName) {
    EXPECT_EQ(text::trimBlanks(" \t\u00A0web 1\u00A0 "), "web 1");
    EXPECT_EQ(text::trimBlanks("8080\n"), "8080\n");
    EXPECT_EQ(text::trimBlanksAndLineBreaks("\r\n host \u2028"), "host");
    EXPECT_EQ(text::trimBlanks("   "), "");
}

TEST(Text, IllFormedUtf8BecomesReplacementCharacters) {
    // A lone continuation byte and a truncated sequence each give one U+FFFD.
    EXPECT_EQ(text::fromCodePoints(text::toCodePoints("a\x80z\xE2\x82")), "a\uFFFDz\uFFFD");
}

TEST(Text, LowercasingIsFullUnicode) {
    EXPECT_EQ(text::lowercased("ServerAliveInterval"), "serveraliveinterval");
    EXPECT_EQ(text::lowercased("ÅNGSTRÖM"), "ångström");
}

TEST(Text, StandardCompareIgnoresCaseAndComparesDigitRunsByValue) {
    EXPECT_LT(text::localizedStandardCompare("web2", "web10"), 0);
    EXPECT_EQ(text::localizedStandardCompare("Web", "web"), 0);
    EXPECT_LT(text::localizedStandardCompare("alpha", "Beta"), 0);
}

TEST(Identifiers, RandomOnesAreVersionFourAndAForkedChildDrawsItsOwn) {
    const std::string text = Uuid::random().toString();
    EXPECT_EQ(text[14], '4');
    EXPECT_NE(std::string_view("89AB").find(text[19]), std::string_view::npos) << text;
    // The parent's buffer of random bytes is full now; the child must not hand out what is in it.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto bytes = Uuid::random().bytes();
        ::_exit(::write(ends[1], bytes.data(), bytes.size()) == ssize_t(bytes.size()) ? 0 : 1);
    }
    std::array<uint8_t, 16> fromChild{};
    ASSERT_EQ(::read(ends[0], fromChild.data(), fromChild.size()), ssize_t(fromChild.size()));
    ::waitpid(child, nullptr, 0);
    ::close(ends[0]);
    ::close(ends[1]);
    EXPECT_NE(Uuid(fromChild), Uuid::random());
}

TEST(Identifiers, UuidsAreWrittenUpperCaseAndReadInAnyCase) {
    const auto id = Uuid::random();
    const auto textForm = id.toString();
    ASSERT_EQ(textForm.size(), 36u);
    for (char c : textForm) {
        EXPECT_FALSE(c >= 'a' && c <= 'z');
    }
    EXPECT_EQ(Uuid::parse(text::asciiLowercased(textForm)), id);
    EXPECT_FALSE(Uuid::parse("not-a-uuid").has_value());
    EXPECT_FALSE(Uuid::parse(textForm + "0").has_value());
    EXPECT_NE(Uuid::random(), Uuid::random());
}

TEST(Identifiers, IsoDatesAreWholeSecondsInUtc) {
    const auto date = parseIsoDate("2026-01-31T09:15:00Z");
    ASSERT_TRUE(date);
    EXPECT_EQ(formatIsoDate(*date), "2026-01-31T09:15:00Z");
    EXPECT_EQ(formatIsoDate(*date + std::chrono::milliseconds(900)), "2026-01-31T09:15:00Z");
    EXPECT_FALSE(parseIsoDate("2026-01-31T09:15:00.5Z"));
    EXPECT_FALSE(parseIsoDate("2026-01-31T09:15:00"));
    EXPECT_FALSE(parseIsoDate("2026-01-31T09:15:00+01:00"));
    EXPECT_FALSE(parseIsoDate("2026-02-30T09:15:00Z"));
}

TEST(JsonReading, WrongTypesAreDecodingErrorsWithTheirPlace) {
    auto readInt = [](std::string_view bytes) {
        return json::decode(bytes, [](const json::Reader& r) { return r.required("n").intValue(); });
    };
    EXPECT_EQ(readInt(R"({"n": 8})").value(), 8);
    EXPECT_EQ(readInt(R"({"n": 8.0})").value(), 8);
    using Problem = DecodingError::Problem;
    EXPECT_EQ(readInt(R"({"n": 1.5})").error(), (DecodingError{Problem::notWholeNumber, "n"}));
    EXPECT_EQ(readInt(R"({"n": true})").error(), (DecodingError{Problem::wrongType, "n"}));
    EXPECT_EQ(readInt(R"({"n": "8"})").error(), (DecodingError{Problem::wrongType, "n"}));
    EXPECT_EQ(readInt(R"({"n": null})").error(), (DecodingError{Problem::nullValue, "n"}));
    EXPECT_EQ(readInt(R"({"m": 1})").error(), (DecodingError{Problem::missingKey, "n"}));
    EXPECT_EQ(readInt(R"({"n": 99999999999})").error(), (DecodingError{Problem::numberOutOfRange, "n"}));
    EXPECT_EQ(readInt(R"({"n": 1e300})").error(), (DecodingError{Problem::numberOutOfRange, "n"}));
    EXPECT_EQ(readInt(R"([1])").error(), (DecodingError{Problem::wrongType, ""}));
    EXPECT_EQ(readInt("{\"n\":").error(), (DecodingError{Problem::notJSON, ""}));

    EXPECT_EQ(readInt(R"({"n": 1.5})").error().kind(), DecodingError::Kind::dataCorrupted);
    EXPECT_EQ(readInt(R"({"n": true})").error().kind(), DecodingError::Kind::typeMismatch);
    EXPECT_EQ(readInt(R"({"n": null})").error().kind(), DecodingError::Kind::valueNotFound);
    EXPECT_EQ(readInt(R"({"m": 1})").error().kind(), DecodingError::Kind::keyNotFound);
}

TEST(JsonReading, ANumberBeyondEveryDoubleIsADecodingErrorNotACrash) {
    for (const char* bytes : {R"({"n": 1e400})", R"({"n": -1e999})", R"({"m": [1e400], "n": 1})"}) {
        const auto read =
            json::decode(bytes, [](const json::Reader& r) { return r.required("n").intValue(); });
        ASSERT_FALSE(read) << bytes;
        EXPECT_EQ(read.error(), (DecodingError{DecodingError::Problem::numberOutOfRange, ""})) << bytes;
    }
}

// The library's own pretty form, "/" escaped: empty and nested containers, every kind of
// character, invalid UTF-8.
TEST(JsonWriting, TheLibrarysPrettyFormWithSlashesEscaped) {
    const std::string text = "a/b \"q\" \\ \x01\x1f\b\t\n\r\x7f é 😀";
    const std::string invalid = "\xc0\xaf / \xe2\x82";
    json::PrettyWriter writer;
    writer.beginObject();
    writer.key("alpha");
    writer.beginArray();
    writer.endArray();
    writer.key("beta");
    writer.beginArray();
    writer.integer(-3);
    writer.boolean(false);
    writer.beginObject();
    writer.endObject();
    writer.string(text);
    writer.endArray();
    writer.key("zeta");
    writer.beginObject();
    writer.key("bad");
    writer.string(invalid);
    writer.endObject();
    writer.endObject();

    const nlohmann::json same{{"alpha", nlohmann::json::array()},
                              {"beta", {-3, false, nlohmann::json::object(), text}},
                              {"zeta", {{"bad", invalid}}}};
    std::string expected;
    for (char c : same.dump(2, ' ', false, nlohmann::json::error_handler_t::replace)) {
        expected += c == '/' ? std::string("\\/") : std::string(1, c);
    }
    EXPECT_EQ(std::move(writer).take(), expected);
}

TEST(AtomicWrite, CreatesFoldersAndReplacesWhole) {
    testing_support::TempDir dir;
    const auto path = dir.file("deep/er/file.json");
    ASSERT_TRUE(writeFileAtomically(path, "first"));
    ASSERT_TRUE(writeFileAtomically(path, "second"));
    EXPECT_EQ(readFile(path).value(), "second");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // Nothing but the file itself is left in the folder.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.file("deep/er"))) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(AtomicWrite, FailureLeavesTheOldFile) {
    testing_support::TempDir dir;
    const auto path = dir.file("file");
    ASSERT_TRUE(writeFileAtomically(path, "old"));
    // A file-size limit makes the write fail even for root.
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto* previous = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 4;
    ::setrlimit(RLIMIT_FSIZE, &tiny);
    const auto result = writeFileAtomically(path, "new and longer than four bytes");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previous);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().code, EFBIG);
    EXPECT_EQ(readFile(path).value(), "old");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "the temporary file is removed";
}

TEST(AtomicWrite, AFileInTheWayOfTheFolderIsAnError) {
    testing_support::TempDir dir;
    ASSERT_TRUE(writeFileAtomically(dir.file("blocker"), "x"));
    const auto result = writeFileAtomically(dir.file("blocker/file"), "y");
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().code, ENOTDIR);
}
