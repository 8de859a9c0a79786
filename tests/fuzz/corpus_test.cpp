#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "fuzz_target.h"

namespace zelk::fuzz {

namespace {

std::map<std::string, Target>& Targets() {
    static std::map<std::string, Target> targets;
    return targets;
}

} // namespace

bool Register(const char* name, Target target) {
    Targets()[name] = target;
    return true;
}

} // namespace zelk::fuzz

// Every fuzz target over its starting samples and every crash it ever found: a fix that comes
// undone fails here, in the ordinary test run, without a fuzzer.
TEST(FuzzCorpus, EveryTargetRunsOverItsSamples) {
    namespace fs = std::filesystem;
    const fs::path root = ZELK_FUZZ_CORPUS;
    size_t corpora = 0;
    for (const auto& entry : fs::directory_iterator(root)) {
        ++corpora;
        EXPECT_TRUE(zelk::fuzz::Targets().count(entry.path().filename().string()))
            << "no target for " << entry.path();
    }
    EXPECT_EQ(corpora, zelk::fuzz::Targets().size());
    for (const auto& [name, target] : zelk::fuzz::Targets()) {
        size_t samples = 0;
        for (const auto& entry : fs::directory_iterator(root / name)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), {}};
            // A block of exactly the sample's size, as the fuzzer hands it over.
            const auto exact = std::make_unique<uint8_t[]>(bytes.size());
            std::copy(bytes.begin(), bytes.end(), exact.get());
            SCOPED_TRACE(entry.path().string());
            target(exact.get(), bytes.size());
            ++samples;
        }
        EXPECT_GE(samples, 3u) << name;
    }
}
