#include "dsp/KernelEntry.h"

#include <atomic>

namespace qx::kernel {

namespace {

#if defined(QX_KERNEL_X86_VARIANTS) && (defined(__GNUC__) || defined(__clang__))
Isa detect() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl")) return Isa::Avx512;
    if (__builtin_cpu_supports("avx2")) return Isa::Avx2;
    return Isa::Baseline;
}
#else
Isa detect() { return Isa::Baseline; }
#endif

const Isa kBest = detect();
std::atomic<int> active{static_cast<int>(kBest)};

} // namespace

Isa bestIsa() { return kBest; }
Isa activeIsa() { return static_cast<Isa>(active.load(std::memory_order_relaxed)); }

void useIsa(Isa isa) {
    if (static_cast<int>(isa) > static_cast<int>(kBest)) isa = kBest;
    active.store(static_cast<int>(isa), std::memory_order_relaxed);
}

void run(Job& job) {
    switch (activeIsa()) {
#if defined(QX_KERNEL_X86_VARIANTS)
    case Isa::Avx512: runAvx512(job); return;
    case Isa::Avx2: runAvx2(job); return;
#endif
    default: runBaseline(job); return;
    }
}

#if !defined(QX_KERNEL_X86_VARIANTS)
void runAvx2(Job& job) { runBaseline(job); }
void runAvx512(Job& job) { runBaseline(job); }
#endif

} // namespace qx::kernel
