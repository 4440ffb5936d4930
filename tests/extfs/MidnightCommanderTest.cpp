// Midnight Commander itself, driven in tmux as a user drives it: the streams
// of a file opened in a panel through the helper, a file copied in from the
// other panel, a stream copied out to it, one deleted, and a refusal shown
// with the plug-in's words. Skipped, with the reason, only where mc or tmux
// cannot be started.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/extfs/ExtfsSupport.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/host/StreamRoundTripSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

using Texts = std::vector<std::string>;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// An mc session in a tmux server of its own.
class MidnightCommanderTest : public ::testing::Test {
protected:
    MidnightCommanderTest() : tmux(FindOnPath("tmux")), mc(FindOnPath("mc")) {
        temp.AddDirectory("left");
        temp.AddDirectory("right");
        temp.AddDirectory("home");
        temp.AddDirectory("home/.local");
        temp.AddDirectory("home/.local/share");
        temp.AddDirectory("home/.local/share/mc");
        temp.AddDirectory("home/.local/share/mc/extfs.d");
        symlink(ExtfsHelperPath().c_str(), temp.PathOf("home/.local/share/mc/extfs.d/morvex").c_str());
        file = temp.AddFile("left/notes.txt", "main data");
        setxattr(file.c_str(), "user.hello", "hello world", 11, 0);
        setxattr(file.c_str(), "user.with blank", "x", 1, 0);
        temp.AddFile("right/in.txt", "copied in\n");
        temp.AddFile("right/bad[0]", "no stream can be named so\n");
    }

    ~MidnightCommanderTest() override {
        if (started)
            Tmux({"kill-server"});
    }

    ProgramRun Tmux(Texts arguments) {
        arguments.insert(arguments.begin(), {"-S", temp.PathOf("tmux.socket")});
        return RunProgram(tmux, arguments);
    }

    // Starts mc with both folders; false, with `why` set, when it cannot run.
    bool Start(std::string& why) {
        if (tmux.empty() || mc.empty()) {
            why = std::string(tmux.empty() ? "tmux" : "mc") + " is not installed";
            return false;
        }
        std::string command = "env HOME=" + temp.PathOf("home") + " XDG_DATA_HOME= TERM=xterm";
        for (const std::string& setting : HelperEnvironment(temp.PathOf("registry.reg")))
            command += " '" + setting + "'";
        command += " " + mc + " -u -a " + temp.PathOf("left") + " " + temp.PathOf("right");
        ProgramRun run = Tmux({"new-session", "-d", "-x", "120", "-y", "30", command});
        started = run.status == 0;
        if (!started || !WaitFor([&] { return Contains(Screen(), "Quit"); })) {
            why = "mc did not start in tmux: " + run.err + Screen();
            return false;
        }
        return true;
    }

    std::string Screen() { return Tmux({"capture-pane", "-p"}).out; }

    void Keys(const Texts& keys) {
        Texts arguments = {"send-keys"};
        arguments.insert(arguments.end(), keys.begin(), keys.end());
        Tmux(arguments);
        // mc reads a burst of keys as one escape sequence when they come at once.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }

    // Presses each of `keys` in turn, waits for the dialog that asks
    // `question`, and confirms it with Enter.
    bool Confirm(const Texts& keys, const std::string& question) {
        for (const std::string& key : keys)
            Keys({key});
        if (!WaitFor([&] { return Contains(Screen(), question); }))
            return false;
        Keys({"Enter"});
        return true;
    }

    // Moves to the other panel once this one has settled.
    bool OtherPanel() {
        Keys({"Tab"});
        return Settle();
    }

    // Waits until mc has no dialog open and the screen stays the same for a
    // moment: panels are read again after each operation, and keys sent
    // meanwhile would land on the old listing.
    bool Settle() {
        std::string last;
        return WaitFor([&] {
            const std::string screen = Screen();
            const bool still = screen == last && !Contains(screen, "Copy file") &&
                               !Contains(screen, "Delete file");
            last = screen;
            return still;
        });
    }

    // Waits up to 20 seconds for `done`, for the machine may be busy.
    static bool WaitFor(const std::function<bool()>& done) {
        for (int i = 0; i < 200; ++i) {
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return done();
    }

    TempDirectory temp;
    std::string tmux, mc, file;
    bool started = false;
};

TEST_F(MidnightCommanderTest, APanelShowsCopiesAndDeletesTheStreamsOfAFile) {
    std::string why;
    if (!Start(why))
        GTEST_SKIP() << why;
    Keys({"cd notes.txt/morvex://", "Enter"});
    ASSERT_TRUE(WaitFor([&] {
        const std::string screen = Screen();
        return Contains(screen, "with blank") && Contains(screen, "{Security_Data}");
    })) << Screen();
    EXPECT_TRUE(Contains(Screen(), "{Data}"));
    EXPECT_TRUE(Contains(Screen(), "hello"));
    ASSERT_TRUE(Settle());

    // F5 in the other panel: in.txt becomes a stream.
    Keys({"Tab"});
    ASSERT_TRUE(Confirm({"Down", "Down", "F5"}, "Copy file \"in.txt\"")) << Screen();
    ASSERT_TRUE(WaitFor([&] { return StreamsOf(file).count("in.txt") == 1; })) << Screen();
    EXPECT_EQ(StreamsOf(file)["in.txt"], "copied in\n");
    ASSERT_TRUE(Settle());

    // F5 on the first stream: it lands in the other panel's folder.
    ASSERT_TRUE(OtherPanel());
    ASSERT_TRUE(Confirm({"Home", "Down", "F5"}, "Copy file \"hello\"")) << Screen();
    ASSERT_TRUE(WaitFor([&] { return temp.Exists("right/hello"); })) << Screen();
    EXPECT_TRUE(WaitFor([&] { return temp.Contents("right/hello") == "hello world"; }));
    ASSERT_TRUE(Settle());

    // F8 on "with blank", two below it.
    ASSERT_TRUE(Confirm({"Down", "Down", "F8"}, "\"with blank\"?")) << Screen();
    ASSERT_TRUE(WaitFor([&] { return StreamsOf(file).count("with blank") == 0; })) << Screen();
    EXPECT_TRUE(WaitFor([&] { return !Contains(Screen(), "with blank"); })) << Screen();
    EXPECT_EQ(StreamsOf(file).count("hello"), 1u);

    // A name the plug-in refuses: mc shows its message whole.
    ASSERT_TRUE(Settle());
    ASSERT_TRUE(OtherPanel());
    ASSERT_TRUE(Confirm({"Home", "Down", "F5"}, "Copy file \"bad[0]\"")) << Screen();
    EXPECT_TRUE(WaitFor([&] {
        return Contains(Screen(), "[Number] in name must be more than 0");
    })) << Screen();
    EXPECT_EQ(StreamsOf(file).size(), 2u);
    EXPECT_EQ(temp.Contents("left/notes.txt"), "main data");
}

}  // namespace
