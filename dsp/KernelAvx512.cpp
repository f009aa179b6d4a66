// The kernel for processors with AVX-512VL: 32 vector registers, so the chain state stays in registers.
#define QX_KERNEL_ENTRY runAvx512
#include "dsp/KernelInstance.inc"
