// artgen: renders the panel bitmaps of Orv4417-QX.
//
//   artgen OUTDIR              write the six BMP files into OUTDIR
//   artgen --check DIR         read the BMP files in DIR and check that they
//                              fit the editor's layout and compositing
//   artgen --preview DIR OUT   compose the panel from the BMP files in DIR as
//                              the editor does and write OUT-idle.png,
//                              OUT-busy.png and OUT-about.png, and the idle
//                              panel three times enlarged as OUT-idle-x3.png
#include "Artwork.h"
#include "Compose.h"
#include "Image.h"
#include "editor/MeterScale.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace artgen;

namespace {

struct File {
    const char* name;
    Image Artwork::*member;
};
const File kFiles[] = {{"panel.bmp", &Artwork::panel}, {"bar.bmp", &Artwork::bar},
                       {"switches.bmp", &Artwork::switches}, {"clip.bmp", &Artwork::clip},
                       {"knob.bmp", &Artwork::knob},   {"about.bmp", &Artwork::about}};

bool load(const std::string& dir, Artwork& art) {
    for (const File& f : kFiles) {
        std::string error;
        if (!readBmp(dir + "/" + f.name, art.*f.member, &error)) {
            std::fprintf(stderr, "artgen: %s\n", error.c_str());
            return false;
        }
    }
    return true;
}

int generate(const std::string& dir) {
    Artwork art = renderArtwork();
    std::vector<std::string> problems;
    checkArtwork(art, problems);
    for (const std::string& p : problems)
        std::fprintf(stderr, "artgen: %s\n", p.c_str());
    if (!problems.empty())
        return 1;
    for (const File& f : kFiles) {
        std::string path = dir + "/" + f.name;
        if (!writeBmp(art.*f.member, path)) {
            std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

int check(const std::string& dir) {
    Artwork art;
    if (!load(dir, art))
        return 1;
    std::vector<std::string> problems;
    checkArtwork(art, problems);
    for (const std::string& p : problems)
        std::fprintf(stderr, "artgen: %s\n", p.c_str());
    std::printf("%s: %s\n", dir.c_str(), problems.empty() ? "artwork fits the editor" : "problems found");
    return problems.empty() ? 0 : 1;
}

// Nearest-neighbour enlargement, for looking at single pixels.
Image enlarge(const Image& img, int k) {
    Image out(img.width() * k, img.height() * k);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            out.at(x, y) = img.at(x / k, y / k);
    return out;
}

int preview(const std::string& dir, const std::string& out) {
    Artwork art;
    if (!load(dir, art))
        return 1;
    PanelState idle;
    PanelState busy;
    const float busyParams[9] = {0.35f, 0.9f, 0.15f, 0.8f, 0.25f, 0.0f, 1.0f, 1.0f, 0.0f};
    std::memcpy(busy.params, busyParams, sizeof busyParams);
    busy.clipHold = 27;
    busy.singleChannel = 1;
    busy.grUnits = qx::MeterScale::entry(600); // 6 dB of gain reduction
    busy.levelUnits = 20;  // output peaking near full scale
    PanelState about;
    about.about = true;
    const Image idleImg = composePanel(art, idle);
    bool ok = writePng(idleImg, out + "-idle.png") && writePng(enlarge(idleImg, 3), out + "-idle-x3.png") &&
              writePng(composePanel(art, busy), out + "-busy.png") &&
              writePng(composePanel(art, about), out + "-about.png");
    return ok ? 0 : 1;
}

void usage() {
    std::fprintf(stderr, "usage: artgen OUTDIR | artgen --check DIR | artgen --preview DIR OUTPREFIX\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && argv[1][0] != '-')
        return generate(argv[1]);
    if (argc == 3 && std::strcmp(argv[1], "--check") == 0)
        return check(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "--preview") == 0)
        return preview(argv[2], argv[3]);
    usage();
    return 2;
}
