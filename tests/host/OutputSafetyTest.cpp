// qxhost as a user runs it: it writes the file it was told to write and nothing else, refuses
// what it must not touch (before any audio runs), cleans up after signals, goes on past a bad
// file in a batch, and says when an input is short, when the output went over full scale, and
// what to do with a Windows module.
#include "host/WavFileWriter.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Outcome {
    int code = -1;   // exit status, -1 when killed
    int signal = 0;  // the signal that ended it
    std::string out, err;
};

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

class QxhostRun : public ::testing::Test {
protected:
    void SetUp() override {
        dir = ::testing::TempDir() + "qxhost-run-" + std::to_string(getpid()) + "/";
        std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
        ASSERT_EQ(run({"demo", dir + "in.wav", "1"}).code, 0);
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    pid_t start(const std::vector<std::string>& args) {
        const pid_t pid = fork();
        if (pid == 0) {
            const int out = open((dir + ".stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = open((dir + ".stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(err, 2);
            std::vector<char*> argv{const_cast<char*>(QXHOST_PATH)};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(QXHOST_PATH, argv.data());
            _exit(127);
        }
        return pid;
    }
    Outcome wait(pid_t pid) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        peakKilobytes = usage.ru_maxrss;
        Outcome r;
        if (WIFEXITED(status)) r.code = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
        r.out = slurp(dir + ".stdout");
        r.err = slurp(dir + ".stderr");
        return r;
    }
    Outcome run(const std::vector<std::string>& args) { return wait(start(args)); }
    Outcome process(const std::string& out, std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"process", QX_MODULE_PATH, dir + "in.wav", out};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    }
    // Names in the directory, the captured output left out.
    std::vector<std::string> files() {
        std::vector<std::string> names;
        std::istringstream ls(listing());
        for (std::string n; std::getline(ls, n);) names.push_back(n);
        return names;
    }
    std::string listing() {
        std::string out;
        FILE* p = popen(("ls '" + dir + "'").c_str(), "r");
        char buf[256];
        while (p != nullptr && std::fgets(buf, sizeof buf, p) != nullptr) out += buf;
        if (p != nullptr) pclose(p);
        return out;
    }
    std::string dir;
    long peakKilobytes = 0; // of the last process waited for
};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

} // namespace

TEST_F(QxhostRun, RefusesWhatIsNotARegularFileAndLeavesItAlone) {
    ASSERT_EQ(mkdir((dir + "empty").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo((dir + "fifo.wav").c_str(), 0644), 0); // stands in for a device node
    ASSERT_EQ(link((dir + "in.wav").c_str(), (dir + "hard.wav").c_str()), 0);
    const std::string input = slurp(dir + "in.wav");
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    const std::string so = QX_MODULE_PATH, in = dir + "in.wav";
    const std::vector<Case> cases = {
        {{"process", so, in, dir + "empty"}, "is a directory"},
        {{"process", so, in, dir + "fifo.wav"}, "is a fifo"},
        {{"process", so, in, in}, "is the input file"},
        {{"process", so, in, dir + "hard.wav"}, "is the input file"},
        {{"process", so, in, dir + "out.wav", "--plot", dir + "empty"}, "must end in"},
        {{"process", so, in, dir + "out.wav", "--plot", dir + "fifo.png"}, ""},
        {{"demo", dir + "empty"}, "no extension"},
        {{"demo", dir + "fifo.wav"}, "is a fifo"},
        {{"demo", "--seconds"}, "unknown option"},
        {{"panel", so, dir + "fifo.png", "--input", in}, ""},
    };
    ASSERT_EQ(mkfifo((dir + "fifo.png").c_str(), 0644), 0);
    for (const auto& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_NE(r.code, 0) << c.args[3 < c.args.size() ? 3 : 1];
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    struct stat st;
    EXPECT_TRUE(stat((dir + "empty").c_str(), &st) == 0 && S_ISDIR(st.st_mode));
    EXPECT_TRUE(stat((dir + "fifo.wav").c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_TRUE(stat((dir + "fifo.png").c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_EQ(slurp(dir + "in.wav"), input);
    EXPECT_EQ(listing(), "empty\nfifo.png\nfifo.wav\nhard.wav\nin.wav\n");
}

TEST_F(QxhostRun, WritesThroughALinkAndReplacesARegularFile) {
    { std::ofstream(dir + "old.wav") << "not audio"; }
    ASSERT_EQ(symlink("old.wav", (dir + "link.wav").c_str()), 0);
    ASSERT_EQ(process(dir + "link.wav").code, 0);
    struct stat st;
    ASSERT_EQ(lstat((dir + "link.wav").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(slurp(dir + "old.wav").substr(0, 4), "RIFF");
    ASSERT_EQ(process(dir + "old.wav", {"--param", "Input=1"}).code, 0);
    EXPECT_EQ(listing(), "in.wav\nlink.wav\nold.wav\n");
}

TEST_F(QxhostRun, SignalsRemoveTheTemporaryFileAndEndTheUsualWay) {
    ASSERT_EQ(run({"demo", dir + "long.wav", "40"}).code, 0);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        // One frame per call keeps it busy for seconds.
        const pid_t pid = start({"process", QX_MODULE_PATH, dir + "long.wav", dir + "out.wav", "--block", "1"});
        bool writing = false;
        for (int i = 0; i < 400 && !writing; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            writing = listing().find(".part") != std::string::npos;
        }
        EXPECT_TRUE(writing);
        kill(pid, sig);
        const Outcome r = wait(pid);
        EXPECT_EQ(r.signal, sig);
        EXPECT_EQ(listing(), "in.wav\nlong.wav\n") << sig;
    }
}

TEST_F(QxhostRun, ShortFilesAreReportedAndConflictsRefused) {
    const std::string whole = slurp(dir + "in.wav");
    { std::ofstream(dir + "short.wav", std::ios::binary) << whole.substr(0, whole.size() / 2); }
    const Outcome r = run({"process", QX_MODULE_PATH, dir + "short.wav", dir + "out.wav"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.err.find("warning: " + dir + "short.wav ends before its header says"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(std::to_string((whole.size() / 2 - 58) / 8) + " frames read"), std::string::npos) << r.err;

    const std::string so = QX_MODULE_PATH, in = dir + "in.wav";
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"process", so, in, dir + "a.wav", "--replace", "--accumulate"},
             {"process", so, in, dir + "a.wav", "--float", "--dither", "tpdf"},
             {"process", so, in, dir + "a.wav", "--dither", "tpdf"}, // float input, float output
             {"process", so, in, dir + "a.txt"},
             {"process", so, in, dir + "a.wav", "--plot", dir + "a.gif"},
             {"process", so, in, dir + "a.wav", "--json", dir + "a.wav"},
             {"panel", so, dir + "a.jpg"},
             {"panel", so, dir + "a.png", "--meter", "1,0", "--input", in},
             {"demo", dir + "a.wav", "0"}}) {
        const Outcome bad = run(args);
        EXPECT_EQ(bad.code, 2) << args[3 < args.size() ? 3 : 1] << bad.err;
    }
    EXPECT_EQ(listing(), "in.wav\nout.wav\nshort.wav\n");
    ASSERT_EQ(run({"demo", dir + "x.flac", "0.5"}).code, 0);
    EXPECT_EQ(slurp(dir + "x.flac").substr(0, 4), "fLaC");
}

TEST_F(QxhostRun, SeveralFilesIntoADirectoryWithJson) {
    ASSERT_EQ(run({"demo", dir + "second.wav", "0.5"}).code, 0);
    const Outcome r = run({"process", QX_MODULE_PATH, dir + "in.wav", dir + "second.wav", "--out-dir", dir + "done",
                       "--json", "-", "--param", "Limit=Hard"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(slurp(dir + "done/in.wav").substr(0, 4), "RIFF");
    EXPECT_EQ(slurp(dir + "done/second.wav").substr(0, 4), "RIFF");
    EXPECT_NE(r.err.find("total: 2 files"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.front(), '{');
    EXPECT_NE(r.out.find("\"files\": ["), std::string::npos);
    EXPECT_NE(r.out.find("\"integrated_lufs\": -"), std::string::npos) << r.out;
}

TEST_F(QxhostRun, OutputPathsAreCheckedBeforeAnyAudioRuns) {
    { std::ofstream(dir + "file") << "x"; }
    const std::string so = QX_MODULE_PATH, in = dir + "in.wav", out = dir + "out.wav";
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    for (const Case& c : std::vector<Case>{
             {{"process", so, in, out, "--plot", dir + "missing/p.png"}, dir + "missing/p.png: No such directory"},
             {{"process", so, in, out, "--json", dir + "missing/j.json"}, dir + "missing/j.json: No such directory"},
             {{"process", so, in, dir + "file/out.wav"}, dir + "file/out.wav: " + dir + "file is not a directory"},
             {{"demo", dir + "missing/x.wav"}, dir + "missing/x.wav: No such directory"},
             {{"process", so, in, dir + "x.wav", "--out-dir", dir + "file/sub"}, "file is not a directory"}}) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.code, 1) << c.says;
        EXPECT_TRUE(contains(r.err, c.says)) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(listing(), "file\nin.wav\n");
    }
    const Outcome gui = run({"gui", so, "--seconds", "0"});
    EXPECT_EQ(gui.code, 2);
    EXPECT_TRUE(contains(gui.err, "--seconds needs a number of seconds above 0")) << gui.err;
}

TEST_F(QxhostRun, ABatchReportsEachFileGoesOnPastAFailureAndSumsUp) {
    { std::ofstream(dir + "bad.wav") << "not audio"; }
    ASSERT_EQ(run({"demo", dir + "z.wav", "0.5"}).code, 0);
    const std::string done = dir + "a/b/done"; // parents made as needed
    const Outcome r = run({"process", QX_MODULE_PATH, dir + "in.wav", dir + "bad.wav", dir + "z.wav", "--out-dir",
                           done, "--json", dir + "report.json"});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_TRUE(contains(r.out, dir + "in.wav -> " + done + "/in.wav: ")) << r.out;
    EXPECT_TRUE(contains(r.out, dir + "z.wav -> " + done + "/z.wav: ")) << r.out;
    EXPECT_TRUE(contains(r.out, "total: 2 files") && contains(r.out, "failed: 1 of 3 files\n  " + dir + "bad.wav: "))
        << r.out;
    EXPECT_TRUE(contains(r.err, dir + "bad.wav")) << r.err;
    EXPECT_EQ(slurp(done + "/z.wav").substr(0, 4), "RIFF");
    EXPECT_TRUE(contains(slurp(dir + "report.json"), "\"failed\": [\n    {\"input_file\": \"" + dir + "bad.wav\""));
}

TEST_F(QxhostRun, OversGetOneWarningWithTheAdvice) {
    // A loud bass square in 16 bit: Low Punch turns its edges into peaks above full scale.
    qxhost::WavFileWriter square;
    ASSERT_TRUE(square.open(dir + "square.wav", 2, 44100, 16, false));
    std::vector<float> frames(2 * 44100);
    for (size_t i = 0; i < frames.size(); ++i) frames[i] = (i / 2) % 802 < 401 ? 0.99f : -0.99f;
    ASSERT_TRUE(square.write(frames.data(), 44100) && square.close());
    const Outcome loud = run({"process", QX_MODULE_PATH, dir + "square.wav", dir + "out.wav", "--param",
                              "Low Punch=On", "--param", "Input=0"});
    EXPECT_EQ(loud.code, 0);
    EXPECT_EQ(std::count(loud.err.begin(), loud.err.end(), '\n'), 1) << loud.err;
    EXPECT_TRUE(contains(loud.err, "warning: " + dir + "out.wav peaks at +")) << loud.err;
    EXPECT_TRUE(contains(loud.err, "samples above full scale (clipped in the integer file)")) << loud.err;
    EXPECT_TRUE(contains(loud.err, "lower Input or Output, raise Pressure, set Limit to Hard")) << loud.err;
    EXPECT_EQ(process(dir + "quiet.wav").err, "");
}

TEST_F(QxhostRun, WritesTheFormatItsSummaryNames) {
    for (const int subformat : {SF_FORMAT_DOUBLE, SF_FORMAT_ULAW}) {
        SF_INFO info{0, 44100, 2, SF_FORMAT_WAV | subformat, 0, 0};
        SNDFILE* f = sf_open((dir + "in2.wav").c_str(), SFM_WRITE, &info);
        std::vector<double> frames(2 * 4410, 0.25);
        ASSERT_TRUE(f != nullptr && sf_writef_double(f, frames.data(), 4410) == 4410);
        sf_close(f);
        const Outcome r = run({"process", QX_MODULE_PATH, dir + "in2.wav", dir + "out.wav"});
        ASSERT_EQ(r.code, 0) << r.err;
        SF_INFO written{};
        sf_close(sf_open((dir + "out.wav").c_str(), SFM_READ, &written));
        EXPECT_EQ(written.format & SF_FORMAT_SUBMASK, subformat);
        EXPECT_TRUE(contains(r.out, subformat == SF_FORMAT_DOUBLE ? "64 bit float)" : "U-Law)")) << r.out;
    }
}

TEST_F(QxhostRun, TheDemoTakesTheSameMemoryForAnyLength) {
    ASSERT_EQ(run({"demo", dir + "short.wav", "1"}).code, 0);
    const long shortPeak = peakKilobytes;
    ASSERT_EQ(run({"demo", dir + "long.wav", "40"}).code, 0); // held whole, 40 s took 40 MB
    EXPECT_LT(peakKilobytes - shortPeak, 4000) << shortPeak << " KB for 1 s";
}

TEST_F(QxhostRun, InfoOnAWindowsModuleSaysHowToRunIt) {
    // The headers of an x64 DLL: MZ, the offset of the PE header, its signature and machine.
    std::string dll(256, '\0');
    dll.replace(0, 2, "MZ");
    dll[60] = char(128);
    dll.replace(128, 6, std::string("PE\0\0\x64\x86", 6));
    { std::ofstream(dir + "x.dll", std::ios::binary) << dll; }
    const Outcome r = run({"info", dir + "x.dll"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(contains(r.err, dir + "x.dll is a Windows module (x64)")) << r.err;
    EXPECT_TRUE(contains(r.err, "win-x86_64/host/qxhost.exe info " + dir + "x.dll\n")) << r.err;
    EXPECT_TRUE(contains(r.err, "\n  wine ")) << r.err;
}
