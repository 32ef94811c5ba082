// The main of every test program.
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    // Output goes to a file, which the C runtime buffers whole: a process that
    // dies would take everything it printed with it.
    setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
