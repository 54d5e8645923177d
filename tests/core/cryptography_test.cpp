// The cipher framework (key folding, the chunk loop, strings and streams) and
// RC6-32/20 against the published vectors.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Cryptography.h"
#include "core/RC6.h"
#include "core/Rotate.h"

using namespace core;

namespace {

std::vector<std::uint8_t> FromHex(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string ToHex(const std::vector<std::uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (std::uint8_t b : bytes) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

// Text with every byte value, zeros included, so no padding byte is special.
std::string Sample(std::size_t length) {
    std::string s(length, '\0');
    for (std::size_t i = 0; i < length; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return s;
}

class TestRC6 : public TRC6 {
public:
    const std::vector<std::uint8_t>& KeyBuffer() const { return keyBuffer_; }
    std::vector<std::uint8_t>& MutableKeyBuffer() { return keyBuffer_; }
    const TRC6Table& Table() const { return table_; }
    void UseTable(const TRC6Table& Table) { table_ = Table; }
    const std::string& HeldKey() const { return key_; }
    int BufferSize() const { return bufferSize_; }
};

// A stand-in cipher for the chunk loop: XORs each block and can be told to
// fail at a given block.
class TXorCipher : public TCryptography {
public:
    TXorCipher() : TCryptography("XOR", 16, 64) {}
    void KeySchedule() override {}
    bool EncryptBlock(void* Block) override {
        ++Blocks;
        if (Blocks == FailAtBlock) return false;
        auto* p = static_cast<std::uint8_t*>(Block);
        for (int i = 0; i < blockSize_; ++i) p[i] ^= 0x5A;
        return true;
    }
    bool DecryptBlock(void* Block) override { return EncryptBlock(Block); }
    int Blocks = 0;
    int FailAtBlock = 0;
};

class TMemoryCipherStream : public TCipherStream {
public:
    explicit TMemoryCipherStream(std::string data = {}) : Data(std::move(data)) {}
    std::int64_t Read(void* Buffer, std::int64_t Count) override {
        const std::int64_t n = std::min<std::int64_t>(Count, std::int64_t(Data.size()) - Pos);
        if (n <= 0) return 0;
        std::memcpy(Buffer, Data.data() + Pos, std::size_t(n));
        Pos += n;
        return n;
    }
    std::int64_t Write(const void* Buffer, std::int64_t Count) override {
        ++Writes;
        if (RefuseWrites) return 0;
        Data.append(static_cast<const char*>(Buffer), std::size_t(Count));
        return Count;
    }
    std::string Data;
    std::int64_t Pos = 0;
    int Writes = 0;
    bool RefuseWrites = false;
};

}  // namespace

TEST(Rotate, CountIsTakenModulo32) {
    struct Case {
        std::uint32_t value;
        std::uint8_t count;
        std::uint32_t left, right;
    } cases[] = {
        {1, 33, 2, 0x80000000u},
        {1, 0, 1, 1},
        {0x80000001u, 1, 0x00000003u, 0xC0000000u},
        {1, 255, 0x80000000u, 2},
        {0x12345678u, 8, 0x34567812u, 0x78123456u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RotateLeft(c.value, c.count), c.left)
            << std::hex << c.value << " rotated left by " << std::dec << int(c.count);
        EXPECT_EQ(RotateRight(c.value, c.count), c.right)
            << std::hex << c.value << " rotated right by " << std::dec << int(c.count);
    }
}

TEST(RC6, MatchesThePublishedVectors) {
    struct Case {
        const char* key;
        const char* plain;
        const char* cipher;
    } cases[] = {
        {"00000000000000000000000000000000", "00000000000000000000000000000000", "8fc3a53656b1f778c129df4e9848a41e"},
        {"0123456789abcdef0112233445566778", "02132435465768798a9bacbdcedfe0f1", "524e192f4715c6231f51f6367ea43f18"},
        {"000000000000000000000000000000000000000000000000", "00000000000000000000000000000000",
         "6cd61bcb190b30384e8a3f168690ae82"},
        {"0123456789abcdef0112233445566778899aabbccddeeff0", "02132435465768798a9bacbdcedfe0f1",
         "688329d019e505041e52e92af95291d4"},
        {"0000000000000000000000000000000000000000000000000000000000000000", "00000000000000000000000000000000",
         "8f5fbd0510d15fa893fa3fda6e857ec2"},
        {"0123456789abcdef0112233445566778899aabbccddeeff01032547698badcfe", "02132435465768798a9bacbdcedfe0f1",
         "c8241816f0d7e48920ad16a1674e5d48"},
    };
    for (const auto& c : cases) {
        TestRC6 rc6;
        rc6.UseTable(RC6ExpandKey(FromHex(c.key)));
        std::vector<std::uint8_t> block = FromHex(c.plain);
        ASSERT_TRUE(rc6.EncryptBlock(block.data()));
        EXPECT_EQ(ToHex(block), c.cipher) << "encrypting with key " << c.key;
        ASSERT_TRUE(rc6.DecryptBlock(block.data()));
        EXPECT_EQ(ToHex(block), c.plain) << "decrypting with key " << c.key;
    }
}

TEST(RC6, KeyScheduleUsesTheWholeKeyBuffer) {
    for (std::size_t changed : {std::size_t(0), std::size_t(31), std::size_t(63)}) {
        TestRC6 rc6;
        rc6.SetKey("abc");
        std::vector<std::uint8_t> first(16, 0), second(16, 0);
        rc6.EncryptBlock(first.data());
        rc6.MutableKeyBuffer()[changed] ^= 1;
        rc6.KeySchedule();
        rc6.EncryptBlock(second.data());
        EXPECT_NE(first, second) << "key buffer byte " << changed << " does not affect the cipher";
    }
}

TEST(Cryptography, ConstructionLeavesTheKeyUnscheduled) {
    TestRC6 rc6;
    EXPECT_EQ(rc6.KeyBuffer(), std::vector<std::uint8_t>(64, 0));
    EXPECT_EQ(rc6.Table(), TRC6Table{}) << "the default key must not be scheduled at construction";
    EXPECT_EQ(rc6.BufferSize(), 2048);
}

#ifdef _WIN32
TEST(Cryptography, DefaultKeyComesFromTheStringTable) {
    // cryptography_test.rc holds it for this program.
    TestRC6 rc6;
    EXPECT_EQ(rc6.HeldKey(), "qwerty");
    rc6.SetKey("abc");
    rc6.Init("RC6", 16, 64, "qwerty");
    EXPECT_EQ(rc6.HeldKey(), "qwerty") << "Init starts again from the default key";
    EXPECT_EQ(rc6.KeyBuffer(), std::vector<std::uint8_t>(64, 0)) << "setting the default key schedules nothing";
}
#endif

TEST(Cryptography, FoldKeyRepeatsTheKeyAndMixesIntoThePreviousBuffer) {
    TestRC6 rc6;
    rc6.SetKey("abc");
    std::string repeated;
    while (repeated.size() < 64) repeated += "abc";
    repeated.resize(64);
    EXPECT_EQ(rc6.KeyBuffer(), std::vector<std::uint8_t>(repeated.begin(), repeated.end()))
        << "a key folded onto a zero buffer is the key repeated";

    rc6.SetKey("xyz");
    EXPECT_EQ(ToHex(rc6.KeyBuffer()), "1a1a1b19bfb8bcbdfff1f4f71a1a1b19bfb8bcbdfff1f4f71a1a1b19bfb8bcbd"
                                      "fff1f4f71a1a1b19bfb8bcbdfff1f4f71a1a1b19bfb8bcbdfff1f4f71a1a1b19")
        << "the second key must fold on top of the first";

    TestRC6 longKey;
    std::string key;
    for (int i = 0; i < 65; ++i) key += char('A' + i % 26);
    longKey.SetKey(key);
    EXPECT_EQ(ToHex(longKey.KeyBuffer()), "c5690a2b102132c3040000004898aabb0305030121d00332021818184f52515c"
                                          "94561adb73667d78da9b4305070a190400c18e4c534c5346102132c304000000")
        << "a key longer than the buffer wraps round onto its own beginning";
}

TEST(Cryptography, SetKeyIgnoresTheHeldKeyAndAnEmptyKey) {
    TestRC6 rc6;
    rc6.SetKey("abc");
    const auto buffer = rc6.KeyBuffer();
    const auto table = rc6.Table();

    rc6.SetKey("abc");
    EXPECT_EQ(rc6.KeyBuffer(), buffer) << "the held key was folded again";
    EXPECT_EQ(rc6.Table(), table);

    rc6.SetKey("");
    EXPECT_EQ(rc6.KeyBuffer(), buffer) << "an empty key changed the key buffer";
    EXPECT_EQ(rc6.Table(), table);
    EXPECT_EQ(rc6.HeldKey(), "");

    rc6.SetKey("abc");
    EXPECT_NE(rc6.KeyBuffer(), buffer) << "after '' the same key is new again and folds on top";
    EXPECT_NE(rc6.Table(), table);
}

TEST(Cryptography, StringsArePaddedWithZerosToWholeBlocks) {
    TRC6 rc6;
    rc6.SetKey(AppCipherKey);
    for (std::size_t length : {0, 1, 15, 16, 17, 2047, 2048, 2049, 4100}) {
        const std::string plain = Sample(length);
        std::string text = plain;
        ASSERT_TRUE(rc6.EncryptString(text));
        const std::size_t padded = (length + 15) / 16 * 16;
        ASSERT_EQ(text.size(), padded) << "encrypted length of " << length << " bytes";
        if (length > 0) {
            EXPECT_NE(text.substr(0, length), plain) << length << " bytes came out unencrypted";
        }
        ASSERT_TRUE(rc6.DecryptString(text));
        EXPECT_EQ(text, plain + std::string(padded - length, '\0')) << "round trip of " << length << " bytes";
    }
}

TEST(Cryptography, BufferSizeIsWholeBlocksOfAtLeast256Bytes) {
    struct Case {
        int asked, got;
    } cases[] = {{2048, 2048}, {1000, 992}, {300, 288}, {256, 256}, {255, 256}, {17, 256}, {0, 256}, {-5, 256}};
    for (const auto& c : cases) {
        TestRC6 rc6;
        EXPECT_EQ(rc6.SetBufferSize(c.asked), c.got) << "asked for " << c.asked;
        EXPECT_EQ(rc6.BufferSize(), c.got) << "asked for " << c.asked;
    }
}

TEST(Cryptography, StreamsRoundTrip) {
    TRC6 rc6;
    rc6.SetKey("stream");
    const std::string plain = Sample(5000);
    TMemoryCipherStream source(plain), encrypted, decrypted;
    ASSERT_TRUE(rc6.EncryptStream(&source, &encrypted));
    ASSERT_EQ(encrypted.Data.size(), 5008u);
    std::string viaString = plain;
    rc6.EncryptString(viaString);
    EXPECT_EQ(encrypted.Data, viaString) << "stream and string encryption disagree";
    ASSERT_TRUE(rc6.DecryptStream(&encrypted, &decrypted));
    EXPECT_EQ(decrypted.Data, plain + std::string(8, '\0'));
}

TEST(Cryptography, AFailedPassIsReportedAndTheRestOfTheInputStillProcessed) {
    // 5000 bytes make three chunks (2048, 2048, 904) and an empty last pass,
    // so a run that reaches the end of the input calls the writer four times.
    constexpr int AllPasses = 4;
    struct Case {
        const char* what;
        int failAtBlock;
        int readerOverrun;    // bytes the reader claims beyond what it was asked
        int refuseWriteCall;  // 1-based writer call that fails; 0 = none, -1 = every call
        bool shortWrite;
        int passes;
        int blocks;  // block operations run in all
    } cases[] = {
        {"writer refuses the first chunk", 0, 0, 1, false, AllPasses, 313},
        {"writer refuses the second chunk", 0, 0, 2, false, AllPasses, 313},
        {"writer takes less than asked", 0, 0, 2, true, AllPasses, 313},
        {"writer fails every call, the empty last one too", 0, 0, -1, false, AllPasses, 313},
        {"block operation fails", 130, 0, 0, false, AllPasses, 130 + 57},
        {"reader claims more than the buffer", 0, 1, 0, false, 0, 0},
    };
    for (const auto& c : cases) {
        TXorCipher cipher;
        cipher.FailAtBlock = c.failAtBlock;
        const std::string plain = Sample(5000);
        std::size_t readAt = 0;
        int writes = 0;
        std::string lastChunk;
        auto reader = [&](void* buffer, int count) {
            const int n = int(std::min<std::size_t>(std::size_t(count), plain.size() - readAt));
            std::memcpy(buffer, plain.data() + readAt, std::size_t(n));
            readAt += std::size_t(n);
            return n + c.readerOverrun;
        };
        auto writer = [&](const void* buffer, int count) {
            if (++writes > AllPasses) throw std::runtime_error("written again after the input ended");
            if (count > 0) lastChunk.assign(static_cast<const char*>(buffer), std::size_t(count));
            if (c.refuseWriteCall == -1) return -1;
            if (writes == c.refuseWriteCall) return c.shortWrite ? count - 1 : 0;
            return count;
        };
        bool result = true;
        EXPECT_NO_THROW(result = cipher.Encrypt(reader, writer)) << c.what;
        EXPECT_FALSE(result) << c.what << ": failure reported as success";
        EXPECT_EQ(writes, c.passes) << c.what;
        EXPECT_EQ(cipher.Blocks, c.blocks) << c.what;
        if (c.passes == AllPasses) {
            std::string expected = plain.substr(4096) + std::string(8, '\0');
            for (char& ch : expected) ch = static_cast<char>(ch ^ 0x5A);
            EXPECT_EQ(lastChunk, expected) << c.what << ": the chunk after the failure was not processed";
        }
    }
}

TEST(Cryptography, AStreamThatRefusesWritesIsReadToTheEndAndFails) {
    TRC6 rc6;
    rc6.SetKey("abc");
    TMemoryCipherStream source(Sample(3000)), dest;
    dest.RefuseWrites = true;
    EXPECT_FALSE(rc6.EncryptStream(&source, &dest));
    EXPECT_EQ(dest.Writes, 3);
    EXPECT_EQ(source.Pos, 3000);
}
