// The kernel for processors with AVX2: three-operand forms.
#define QX_KERNEL_ENTRY runAvx2
#include "dsp/KernelInstance.inc"
