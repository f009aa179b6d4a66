// record_layout_check DLL: the effect record as a 32-bit Windows host finds it. Loads the module
// with LoadLibrary, calls `main` with the test host's callback and reads the record's 144 bytes
// at fixed offsets, not through our AEffect declaration, so a declaration that drifted from the
// interface cannot hide a wrong layout. Prints every field; exits 1 on the first run with a
// mismatch.
#include "host/HostSession.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

int failures = 0;

void expect(bool ok, int offset, const char* field, const char* what, unsigned long value) {
    std::printf("%3d  %-16s 0x%08lx  %s%s\n", offset, field, value, ok ? "" : "WRONG, expected ",
                ok ? "" : what);
    if (!ok) ++failures;
}

// True when `address` lies in the loaded image of `module` and the page is executable (for
// entries) or at least mapped there (for the object's table pointer).
bool inModule(uint32_t address, HMODULE module, bool code) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(reinterpret_cast<void*>(uintptr_t(address)), &info, sizeof info) == 0)
        return false;
    const DWORD exec = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                       PAGE_EXECUTE_WRITECOPY;
    return info.AllocationBase == module && (!code || (info.Protect & exec) != 0);
}

} // namespace

int main(int argc, char** argv) {
    static_assert(sizeof(void*) == 4, "this check is for the 32-bit module");
    if (argc != 2) {
        std::fprintf(stderr, "usage: record_layout_check Orv4417-QX.dll\n");
        return 2;
    }
    qxhost::HostSession host;
    if (!host.load(argv[1]) || host.create() == nullptr) {
        std::fprintf(stderr, "%s\n", host.error().c_str());
        return 1;
    }
    AEffect* record = host.effect();
    const HMODULE module = GetModuleHandleA("Orv4417-QX.dll");
    unsigned char bytes[144];
    std::memcpy(bytes, record, sizeof bytes);
    auto word = [&](int offset) {
        uint32_t v;
        std::memcpy(&v, bytes + offset, 4);
        return v;
    };
    auto equals = [&](int offset, const char* field, uint32_t expected, const char* what) {
        expect(word(offset) == expected, offset, field, what, word(offset));
    };

    std::printf("record at %p, module at %p\n", static_cast<void*>(record),
                static_cast<void*>(module));
    equals(0, "magic", 0x56737450, "VstP");
    const char* entries[] = {"dispatcher", "process", "setParameter", "getParameter"};
    for (int i = 0; i < 4; ++i)
        expect(inModule(word(4 + 4 * i), module, true), 4 + 4 * i, entries[i],
               "code in the module", word(4 + 4 * i));
    equals(20, "numPrograms", 10, "10");
    equals(24, "numParams", 11, "11");
    equals(28, "numInputs", 2, "2");
    equals(32, "numOutputs", 2, "2");
    equals(36, "flags", 0x19, "0x19");
    const char* zeros[] = {"resvd1", "resvd2", "initialDelay", "realQualities", "offQualities"};
    for (int i = 0; i < 5; ++i) equals(40 + 4 * i, zeros[i], 0, "0");
    equals(60, "ioRatio", 0x40000000, "2.0f");
    // The record is the object's first data member, right after its table pointer, which in
    // turn points into the module's read-only data.
    const uint32_t object = word(64);
    const uint32_t self = uint32_t(uintptr_t(record));
    const bool holdsRecord =
        object + 4 == self &&
        inModule(*reinterpret_cast<const uint32_t*>(uintptr_t(object)), module, false);
    expect(holdsRecord, 64, "object", "the object holding the record", object);
    equals(68, "user", 0, "null");
    equals(72, "uniqueID", 0x4B567172, "KVqr");
    equals(76, "version", 2, "2");
    expect(inModule(word(80), module, true), 80, "processReplacing", "code in the module",
           word(80));
    int nonZero = 0;
    for (int i = 84; i < 144; ++i) nonZero += bytes[i] != 0;
    expect(nonZero == 0, 84, "future", "60 zero bytes", static_cast<unsigned long>(nonZero));
    // Distinct entries, each reaching the operation it is named for.
    uint32_t distinct[] = {word(4), word(8), word(12), word(16), word(80)};
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 5; ++j)
            if (distinct[i] == distinct[j]) {
                std::printf("entries at %d and %d are the same function\n", 4 * i, 4 * j);
                ++failures;
            }
    host.dispatch(qx::effMainsChanged, 0, 1);
    char name[64] = {};
    record->dispatcher(record, qx::effGetEffectName, 0, 0, name, 0.0f);
    record->setParameter(record, 0, 0.25f);
    float in[4] = {}, left[4] = {1, 1, 1, 1}, right[4] = {1, 1, 1, 1};
    float* ins[2] = {in, in};
    float* outs[2] = {left, right};
    record->process(record, ins, outs, 4);      // adds silence: the ones stay
    const bool accumulates = left[3] == 1.0f;
    record->processReplacing(record, ins, outs, 4);
    const bool replaces = left[3] == 0.0f;
    const bool calls = std::strcmp(name, "Orv4417-QX") == 0 &&
                       record->getParameter(record, 0) == 0.25f && accumulates && replaces;
    std::printf("entries reach their operations: %s\n", calls ? "yes" : "NO");
    failures += !calls;

    // A second `main` gives a second record holding a second object.
    qxhost::HostSession other;
    if (!other.load(argv[1]) || other.create() == nullptr ||
        other.effect()->object == record->object || other.effect() == record) {
        std::printf("a second instance does not have a record and object of its own\n");
        ++failures;
    }
    std::printf("%s\n", failures == 0 ? "record layout as the interface fixes it"
                                      : "record layout WRONG");
    return failures == 0 ? 0 : 1;
}
