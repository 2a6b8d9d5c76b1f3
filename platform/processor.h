#pragma once
// The one processor check, and the one switch over every fast path: FASTQ reads taken whole
// from the buffer, and the AVX2 paths where the processor runs them. Each gives what its plain
// path gives; tests set the switch to compare them on any machine. Header only, and no Qt: the
// analysis and input libraries use it without linking the platform library.

#include <sched.h>

namespace kelmarin {

// The processors this process may run on (its affinity, as a batch system sets it).
inline unsigned UsableProcessors() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return unsigned(CPU_COUNT(&set));
    return 1;
}

#if defined(__x86_64__)
inline const bool kProcessorHasAvx2 = __builtin_cpu_supports("avx2");
#else
inline const bool kProcessorHasAvx2 = false;
#endif

// None: every record read line by line, every scan plain; Plain: the fast paths without vector
// instructions; Vector: all of them, the vector ones where the processor has them (the default).
enum class FastPaths { None, Plain, Vector };

namespace detail {
inline bool wholeRecords = true;
inline bool useVectors = true;
inline bool useAvx2 = kProcessorHasAvx2;
}  // namespace detail

// Read once per call of a hot function, so each is a flag of its own. Vectors: the SSE2 steps
// every x86-64 processor has; AVX2 only where the processor has it.
inline bool UseVectors() { return detail::useVectors; }
inline bool UseAvx2() { return detail::useAvx2; }
inline bool TakeWholeRecords() { return detail::wholeRecords; }

inline void SetFastPaths(FastPaths paths) {
    detail::wholeRecords = paths != FastPaths::None;
    detail::useVectors = paths == FastPaths::Vector;
    detail::useAvx2 = paths == FastPaths::Vector && kProcessorHasAvx2;
}

}  // namespace kelmarin
