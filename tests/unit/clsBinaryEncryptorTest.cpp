#include "settings/clsBinaryEncryptor.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using quorvel::clsBinaryEncryptor;
using Bytes = std::vector<std::uint8_t>;

namespace {

const std::u16string kPassword = u"\u00A9KWZ";

class CipherTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("quorvel-cipher-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const char* name) const { return (dir_ / name).string(); }

    static void Write(const std::string& path, const Bytes& data) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    }
    static Bytes Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<fs::path> Files() const {
        std::vector<fs::path> out;
        for (const auto& e : fs::directory_iterator(dir_))
            out.push_back(e.path().filename());
        return out;
    }

    fs::path dir_;
    clsBinaryEncryptor cipher_;
};

Bytes RandomBytes(std::mt19937& rng, std::size_t n) {
    Bytes b(n);
    for (auto& x : b)
        x = static_cast<std::uint8_t>(rng());
    return b;
}

} // namespace

TEST_F(CipherTest, RoundTripInPlaceForEveryLengthKeepsLength) {
    std::mt19937 rng(42);
    const std::string f = Path("config.bin");
    for (std::size_t n = 1; n <= 3000; n += (n < 600 ? 1 : 37)) {
        const Bytes plain = RandomBytes(rng, n);
        Write(f, plain);
        ASSERT_TRUE(cipher_.EncryptFile(f, f, kPassword)) << n;
        const Bytes scrambled = Read(f);
        ASSERT_EQ(scrambled.size(), n);
        if (n >= 8) {
            EXPECT_NE(scrambled, plain) << n;
        }
        ASSERT_TRUE(cipher_.DecryptFile(f, f, kPassword)) << n;
        ASSERT_EQ(Read(f), plain) << n;
    }
}

TEST_F(CipherTest, KnownScrambleOfTheSettingsHeader) {
    // "[INIT]" under the settings password: byte 1 is keyed by 'K', byte 2 by
    // 'W', byte 3 by 'Z', byte 4 by the copyright sign (0xA9), then again.
    const std::string f = Path("config.bin");
    const std::string plain = "[INIT]";
    Write(f, Bytes(plain.begin(), plain.end()));
    ASSERT_TRUE(cipher_.EncryptFile(f, f, kPassword));
    const std::uint8_t keys[] = {'K' ^ 0x11, 'W' ^ 0x11, 'Z' ^ 0x11, 0xA9 ^ 0x11};
    Bytes expected;
    for (std::size_t i = 0; i < plain.size(); ++i)
        expected.push_back(static_cast<std::uint8_t>(static_cast<std::uint8_t>(plain[i]) + keys[i % 4]));
    EXPECT_EQ(Read(f), expected);
}

TEST_F(CipherTest, PasswordRules) {
    // Two characters: byte 1 takes the second, byte 2 the first, alternately.
    EXPECT_EQ(clsBinaryEncryptor::KeyByte(u"ab", 1), 'b' ^ 0x11);
    EXPECT_EQ(clsBinaryEncryptor::KeyByte(u"ab", 2), 'a' ^ 0x11);
    EXPECT_EQ(clsBinaryEncryptor::KeyByte(u"ab", 3), 'b' ^ 0x11);
    // One character keys every byte.
    EXPECT_EQ(clsBinaryEncryptor::KeyByte(u"x", 1), 'x' ^ 0x11);
    EXPECT_EQ(clsBinaryEncryptor::KeyByte(u"x", 7), 'x' ^ 0x11);

    // Only the low byte of each UTF-16 unit counts.
    std::mt19937 rng(7);
    const Bytes plain = RandomBytes(rng, 777);
    const std::string a = Path("a.bin");
    const std::string b = Path("b.bin");
    Write(a, plain);
    Write(b, plain);
    ASSERT_TRUE(cipher_.EncryptFile(a, a, u"\u0141\u2057Z"));
    ASSERT_TRUE(cipher_.EncryptFile(b, b, u"\u0041\u0057Z"));
    EXPECT_EQ(Read(a), Read(b));
    // A different low byte scrambles differently.
    Write(b, plain);
    ASSERT_TRUE(cipher_.EncryptFile(b, b, u"\u0042\u0057Z"));
    EXPECT_NE(Read(a), Read(b));
}

TEST_F(CipherTest, ProgressAfterEveryFiveHundredthByte) {
    for (const auto& sizeAndEvents :
         std::vector<std::pair<std::size_t, std::vector<std::int32_t>>>{
             {499, {}}, {500, {500}}, {1000, {500, 1000}}, {1499, {500, 1000}}}) {
        const std::size_t size = sizeAndEvents.first;
        const std::vector<std::int32_t>& expected = sizeAndEvents.second;
        const std::string f = Path("p.bin");
        Write(f, Bytes(size, 0x41));
        std::vector<std::int32_t> seen;
        std::vector<std::string> order;
        cipher_.DoEvents = [&] { order.push_back("pump"); };
        cipher_.EncryptProgress = [&](std::int32_t p, std::int32_t max) {
            EXPECT_EQ(max, static_cast<std::int32_t>(size));
            seen.push_back(p);
            order.push_back("event");
        };
        cipher_.DecryptProgress = [&](std::int32_t, std::int32_t) { order.push_back("decrypt"); };
        ASSERT_TRUE(cipher_.EncryptFile(f, f, kPassword));
        EXPECT_EQ(seen, expected) << size;
        // The messages are pumped just before each event.
        for (std::size_t i = 0; i < order.size(); i += 2) {
            EXPECT_EQ(order[i], "pump");
            EXPECT_EQ(order[i + 1], "event");
        }
        order.clear();
        ASSERT_TRUE(cipher_.DecryptFile(f, f, kPassword));
        EXPECT_EQ(order.size(), expected.size() * 2) << size;
        cipher_ = clsBinaryEncryptor{};
    }
}

TEST_F(CipherTest, FailuresCreateOrChangeNothing) {
    const std::string missing = Path("missing.bin");
    const std::string out = Path("out.bin");
    EXPECT_FALSE(cipher_.EncryptFile(missing, missing, kPassword));
    EXPECT_FALSE(cipher_.DecryptFile(missing, out, kPassword));
    EXPECT_TRUE(Files().empty());

    const std::string empty = Path("empty.bin");
    Write(empty, {});
    EXPECT_FALSE(cipher_.EncryptFile(empty, empty, kPassword));
    EXPECT_FALSE(cipher_.DecryptFile(empty, out, kPassword));
    EXPECT_EQ(fs::file_size(empty), 0u);

    const std::string data = Path("data.bin");
    const Bytes content = {1, 2, 3, 4, 5};
    Write(data, content);
    EXPECT_FALSE(cipher_.EncryptFile(data, data, u""));
    EXPECT_FALSE(cipher_.DecryptFile(data, out, u""));
    EXPECT_FALSE(cipher_.EncryptFile(data, data, std::u16string(32768, u'k')));
    EXPECT_TRUE(cipher_.EncryptFile(data, out, std::u16string(32767, u'k')));
    fs::remove(out);
    EXPECT_EQ(Read(data), content);
    EXPECT_EQ(Files().size(), 2u); // empty.bin and data.bin only

    // A destination that cannot be written: a folder of that name.
    fs::create_directories(dir_ / "folder.bin");
    EXPECT_FALSE(cipher_.EncryptFile(data, Path("folder.bin"), kPassword));
    EXPECT_EQ(Read(data), content);
}

TEST_F(CipherTest, CopiesToAnotherFileAndCutsALongerDestination) {
    const std::string src = Path("src.bin");
    const std::string dst = Path("dst.bin");
    Write(src, Bytes(37, 0x20));
    Write(dst, Bytes(100, 0xEE));
    ASSERT_TRUE(cipher_.EncryptFile(src, dst, kPassword));
    EXPECT_EQ(fs::file_size(dst), 37u);
    EXPECT_EQ(fs::file_size(src), 37u);
    ASSERT_TRUE(cipher_.DecryptFile(dst, dst, kPassword));
    EXPECT_EQ(Read(dst), Bytes(37, 0x20));
}

TEST_F(CipherTest, SeededRandomFilesAndPasswordsNeverCrash) {
    // Hostile inputs: any bytes, any password, any length up to 64 KB.
    std::mt19937 rng(20261206);
    const std::string f = Path("fuzz.bin");
    for (int round = 0; round < 300; ++round) {
        const Bytes data = RandomBytes(rng, rng() % (round < 250 ? 600 : 65536));
        std::u16string password(rng() % 6, u'\0');
        for (auto& c : password)
            c = static_cast<char16_t>(rng());
        Write(f, data);
        const bool enc = cipher_.EncryptFile(f, f, password);
        EXPECT_EQ(enc, !data.empty() && !password.empty());
        if (enc) {
            ASSERT_TRUE(cipher_.DecryptFile(f, f, password));
            ASSERT_EQ(Read(f), data) << "round " << round;
        } else {
            ASSERT_EQ(Read(f), data) << "round " << round;
        }
    }
    EXPECT_EQ(Files().size(), 1u);
}
