// The kernel for every processor (SSE2 on x86).
#define QX_KERNEL_ENTRY runBaseline
#include "dsp/KernelInstance.inc"
