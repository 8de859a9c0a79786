#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// One fuzz target over the bytes of an outside file. Under libFuzzer (build/fuzz) it is the
// fuzzer's entry point; in the native tests it is registered by name, and the core tests replay
// it over tests/fuzz/corpus/<name>/, so every sample (and every crash ever found) is rerun at
// each `make test`.
namespace zelk::fuzz {

using Target = int (*)(const uint8_t* data, size_t size);
bool Register(const char* name, Target target);

inline std::string_view Bytes(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace zelk::fuzz

// A property that must hold for every input: a broken one is a finding, like a crash.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", __FILE__, __LINE__,             \
                         #condition);                                                              \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

#ifdef ZELK_LIBFUZZER
#define ZELK_FUZZ_TARGET(name)                                                                     \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
#else
#define ZELK_FUZZ_TARGET(name)                                                                     \
    static int FuzzTarget_##name(const uint8_t* data, size_t size);                                \
    [[maybe_unused]] static const bool registered_##name =                                         \
        zelk::fuzz::Register(#name, FuzzTarget_##name);                                            \
    static int FuzzTarget_##name(const uint8_t* data, size_t size)
#endif
