// `qxhost demo OUT [SECONDS]`: writes the built-in demo material, 32-bit float where the format
// that OUT's extension names holds it, else 24-bit.
#include "host/AudioFile.h"
#include "host/Commands.h"
#include "host/DemoSignal.h"
#include "host/OutputFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace qxhost {

namespace {

int fail(const std::string& message, int code = 2) {
    std::fprintf(stderr, "qxhost demo: %s\n", message.c_str());
    return code;
}

} // namespace

int runDemoCommand(int argc, char** argv) {
    if (argc >= 1 && (std::string(argv[0]) == "--help" || std::string(argv[0]) == "-h")) {
        std::printf("usage: qxhost demo OUT.wav [SECONDS]\n");
        return 0;
    }
    // An OUT that looks like an option is a mistyped one, not a file to create.
    if (argc >= 1 && argv[0][0] == '-' && argv[0][1] != '\0')
        return fail(std::string("unknown option ") + argv[0]);
    if (argc < 1 || argc > 2) return fail("expected OUT.wav [SECONDS]");
    const std::string path = argv[0];
    double seconds = 6.0;
    if (argc == 2) {
        char* end = nullptr;
        seconds = std::strtod(argv[1], &end);
        if (*argv[1] == '\0' || *end != '\0' || !(seconds > 0.0 && seconds <= 600.0))
            return fail("SECONDS must be more than 0 and at most 600");
    }
    const int rate = 44100;
    AudioFormat like;
    like.channels = 2;
    like.sampleRate = rate;
    AudioFormat format;
    std::string error;
    if (!AudioWriter::formatFor(path, like, true, format, error) &&
        !AudioWriter::formatFor(path, like, false, format, error))
        return fail(error);
    OutputFile::installSignalCleanup();
    OutputFile out;
    if (!out.begin(path, {})) return fail(out.error(), 1);

    // Block by block: ten minutes take no more memory than a second.
    DemoSignal signal(rate, seconds);
    std::vector<float> block(2 * 4096);
    AudioWriter writer;
    bool ok = writer.open(out.tempPath(), format, false);
    for (size_t n; ok && (n = signal.read(block.data(), block.size() / 2)) > 0;)
        ok = writer.write(block.data(), static_cast<int64_t>(n));
    if (!ok || !writer.close()) return fail(out.mentioningPath(path + ": " + writer.error()), 1);
    if (!out.commit()) return fail(out.error(), 1);
    std::printf("demo signal: %.1f s at %d Hz written to %s (%s)\n", seconds, rate, path.c_str(),
                format.description.c_str());
    return 0;
}

} // namespace qxhost
