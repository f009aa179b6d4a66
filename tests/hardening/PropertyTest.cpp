// Random host call sequences, and every input the fuzzer has kept, must keep the invariants.
#include "tests/hardening/CallDriver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace {

std::vector<uint8_t> randomBytes(uint32_t seed, size_t size) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<uint8_t>(rng());
    return bytes;
}

} // namespace

TEST(HostileCallSequences, SeededRandomSequencesKeepEveryInvariant) {
    for (uint32_t seed = 1; seed <= 150; ++seed) {
        const auto bytes = randomBytes(seed, 3000 + 97 * seed);
        const auto result = qxtest::runCallSequence(bytes.data(), bytes.size());
        ASSERT_TRUE(result.ok) << "seed " << seed << ": " << result.failure;
    }
}

TEST(HostileCallSequences, KeptFuzzerInputsKeepEveryInvariant) {
    namespace fs = std::filesystem;
    const fs::path dir = QX_CORPUS_DIR;
    ASSERT_TRUE(fs::is_directory(dir));
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        std::ifstream f(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)),
                                         std::istreambuf_iterator<char>());
        const auto result = qxtest::runCallSequence(bytes.data(), bytes.size());
        EXPECT_TRUE(result.ok) << entry.path() << ": " << result.failure;
        ++files;
    }
    EXPECT_GT(files, 0);
}
