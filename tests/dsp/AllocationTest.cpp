// Allocation behaviour of the engine: none at all on the audio path, and a failed buffer
// allocation that leaves the engine silent (or on its old buffers) and is retried. The global
// allocation functions are replaced in this binary to count calls and to refuse on demand.

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> allocations{0};
std::atomic<bool> refuseNothrow{false};

void* allocate(std::size_t n) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(n ? n : 1);
}
} // namespace

void* operator new(std::size_t n) {
    if (void* p = allocate(n)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return allocate(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    return refuseNothrow.load() ? nullptr : allocate(n);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define QX_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QX_SANITIZED 1
#endif

#if defined(__GLIBC__) && !defined(QX_SANITIZED)
// Direct malloc calls count too (the sanitizers bring their own malloc, so not under them).
extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_calloc(std::size_t, std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);
extern "C" void* malloc(std::size_t n) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(n);
}
extern "C" void* calloc(std::size_t n, std::size_t m) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(n, m);
}
extern "C" void* realloc(void* p, std::size_t n) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, n);
}
#endif

namespace qx::test {
namespace {

TEST(Allocation, ProcessNeverAllocates) {
    const std::vector<float> l = material(1, 6000, 2.0f), r = material(2, 6000, 2.0f);
    std::vector<float> ol(6000), orr(6000);
    for (float rate : {44100.0f, 96000.0f}) {
        Rig rig(rate, 700);
        Noise rng(3);
        const long before = allocations.load();
        for (int sw = 0; sw < 64 * 8; ++sw) {
            rig.set(kLimit, sw & 1 ? 1.0f : 0.0f);
            rig.set(kLowPunch, sw & 2 ? 1.0f : 0.0f);
            rig.set(kStereoLink, sw & 4 ? 1.0f : 0.0f);
            rig.set(kLinkQuality, sw & 8 ? 1.0f : 0.0f);
            rig.set(kAutoChannel, sw & 16 ? 1.0f : 0.0f);
            rig.set(kForceChannel, (sw >> 5 & 3) * 0.5f);
            rig.pins.in[1] = rig.pins.out[0] = (sw >> 7) & 1;
            for (int k = 0; k < 6; ++k) {
                const int pos = rng.below(3000), n = rng.below(3000) - 10; // some empty, some long
                const bool mono = rng.below(4) == 0, shared = rng.below(4) == 0;
                rig.run(l.data() + pos, (mono ? l : r).data() + pos, ol.data() + pos,
                        (shared ? ol : orr).data() + pos, n, rng.below(2) == 0);
            }
        }
        EXPECT_EQ(allocations.load() - before, 0) << rate;
    }
}

TEST(Allocation, FailedAllocationIsSilentAndRetried) {
    ParamArray params{};
    for (int i = 0; i < kNumParams; ++i) params[i].store(kDefaults[i]);
    LimiterEngine e(params);
    e.recalculate();
    refuseNothrow = true;
    e.setBlockSize(512);
    e.resume();
    EXPECT_FALSE(e.buffersAllocated());
    EXPECT_TRUE(e.running());

    Pins pins;
    const std::vector<float> x = material(4, 512, 2.0f);
    std::vector<float> ol(512, 3.0f), orr(512, 3.0f);
    const float* in[2] = {x.data(), x.data() + 1};
    float* out[2] = {ol.data(), orr.data()};
    e.process(in, out, 500, true, pins);
    EXPECT_EQ(ol[0], 3.0f) << "accumulating into nothing";
    e.process(in, out, 500, false, pins);
    EXPECT_EQ(ol[0], 0.0f) << "replacing with silence";
    EXPECT_EQ(ol[500], 3.0f);

    refuseNothrow = false;
    e.setSampleRate(48000.0f); // the next set-up call tries again
    ASSERT_TRUE(e.buffersAllocated());
    Rig fresh(48000.0f, 512);
    std::vector<float> want(512), wantR(512);
    e.process(in, out, 500, false, pins);
    fresh.run(in[0], in[1], want.data(), wantR.data(), 500);
    for (int i = 0; i < 500; ++i) ASSERT_EQ(ol[i], want[i]);
}

TEST(Allocation, FailedGrowthKeepsTheOldBuffersInService) {
    const std::vector<float> l = material(5, 5000, 2.0f), r = material(6, 5000, 2.0f);
    Rig rig(44100.0f, 64), reference(44100.0f, 8192);
    const float* old = rig.engine.channel(0).gainBuffer;
    refuseNothrow = true;
    rig.engine.setBlockSize(4096);
    refuseNothrow = false;
    EXPECT_EQ(rig.engine.channel(0).gainBuffer, old);
    std::vector<float> a(5000), b(5000), c(5000), d(5000);
    rig.run(l.data(), r.data(), a.data(), b.data(), 5000);
    reference.run(l.data(), r.data(), c.data(), d.data(), 5000);
    EXPECT_EQ(a, c);
    EXPECT_EQ(b, d);
    rig.engine.resume(); // retried here
    EXPECT_NE(rig.engine.channel(0).gainBuffer, old);
}

} // namespace
} // namespace qx::test
