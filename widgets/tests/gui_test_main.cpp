// Entry of the Windows test programs: no error dialog may ever wait for a user, so a crash
// ends the program instead of showing a box.
#include <gtest/gtest.h>

#include <windows.h>

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
