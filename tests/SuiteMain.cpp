// The main of every suite program. CTest runs each test case as a process of
// its own, several at once; so that no two cases share settings, each case
// gets a registry file in a folder of its own below $MORVEX_TEST_REGISTRY_DIR.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <utility>

// A refused allocation must come back as null under the sanitizers too, as it
// does from the plain allocator; otherwise the sanitizer ends the program.
extern "C" __attribute__((visibility("default"), used)) const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

namespace {

class RegistryPerTest : public ::testing::EmptyTestEventListener {
public:
    explicit RegistryPerTest(std::string root) : root_(std::move(root)) {}

    void OnTestStart(const ::testing::TestInfo& test) override {
        std::string folder = root_ + '/' + test.test_suite_name() + '.' + test.name();
        // Parameterised names hold '/'.
        for (std::size_t i = root_.size() + 1; i < folder.size(); ++i)
            if (folder[i] == '/') folder[i] = '_';
        mkdir(root_.c_str(), 0755);
        mkdir(folder.c_str(), 0755);
        setenv("MORVEX_REGISTRY", (folder + "/registry.reg").c_str(), 1);
    }

private:
    std::string root_;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The host learns the terminal's character set once per process, as
    // morvex does at start: every case in one process sees a UTF-8 terminal,
    // whichever case comes first.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    if (const char* root = std::getenv("MORVEX_TEST_REGISTRY_DIR"); root && *root)
        ::testing::UnitTest::GetInstance()->listeners().Append(new RegistryPerTest(root));
    return RUN_ALL_TESTS();
}
