// An LV2 host none of us wrote: lv2apply renders a WAV file through the bundle, and the samples
// equal those of `qxhost process` through the VST 2 module with the same settings.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<float> samples(const std::string& path, SF_INFO& info) {
    info = SF_INFO{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (f == nullptr) return {};
    std::vector<float> x(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(f, x.data(), info.frames);
    sf_close(f);
    return x;
}

int run(const std::string& command) { return std::system((command + " >/dev/null").c_str()); }

TEST(Lv2Apply, RendersTheSameBitsAsTheVst2Module) {
#ifdef QX_SANITIZED_MODULES
    GTEST_SKIP() << "lv2apply cannot load a module built with sanitizers";
#endif
    setenv("LV2_PATH", QX_LV2_PATH, 1);
    const std::string dir = QX_TEST_DIR;
    const std::string in = dir + "/lv2apply-in.wav", viaLv2 = dir + "/lv2apply-lv2.wav",
                      viaVst = dir + "/lv2apply-vst.wav";
    ASSERT_EQ(run(std::string(QX_QXHOST) + " demo " + in + " 1.5"), 0);
    ASSERT_EQ(run(std::string(QX_LV2APPLY) + " -i " + in + " -o " + viaLv2 +
                  " -c input 0.55 -c limit 0 -c low_punch 1 -c release1 0.2 urn:qem:orv4417-qx"),
              0);
    ASSERT_EQ(run(std::string(QX_QXHOST) + " process " + QX_MODULE_PATH + " " + in + " " +
                  viaVst +
                  " --float --param Input=0.55 --param Limit=0 --param 'Low Punch=1'"
                  " --param Release1=0.2"),
              0);
    SF_INFO a, b;
    const std::vector<float> x = samples(viaLv2, a), y = samples(viaVst, b);
    ASSERT_FALSE(x.empty());
    ASSERT_EQ(a.format & SF_FORMAT_SUBMASK, SF_FORMAT_FLOAT);
    ASSERT_EQ(x.size(), y.size());
    EXPECT_EQ(std::memcmp(x.data(), y.data(), x.size() * sizeof(float)), 0);
}

} // namespace
