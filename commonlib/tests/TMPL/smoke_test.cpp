#include <gtest/gtest.h>
TEST(Smoke, Runs) { EXPECT_EQ(sizeof(wchar_t) == 2, 
#ifdef _WIN32
 true
#else
 false
#endif
); }
